// The about box: its text, and how it is drawn and shown in both colour schemes.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"
#include "design/Version.h"

#include <regex>

using namespace apptest;

TEST (AboutDialog, TextHasProductVersionBuildTimeAndAuthor)
{
    EXPECT_TRUE (std::regex_match (AboutDialog::getText().toStdString(),
                                   std::regex ("Talvo - FIR Filter Design Software\n\nVersion " + versionString.toStdString()
                                               + "\nBuilt on [A-Z][a-z]{2} [ 123][0-9] [0-9]{4} @ [0-2][0-9]:[0-5][0-9]:[0-5][0-9]"
                                                 "\n\nBy .+")))
        << AboutDialog::getText();
}

TEST_F (AppTest, AboutItemShowsTheBoxModallyDrawnInTheActiveScheme)
{
    MainComponent main;
    invoke (main, MainComponent::darkMode);
    ModalScript script;
    script.answer ("Ok", [&] (juce::Component& box)
    {
        auto* about = find<AboutDialog> (box);
        ASSERT_NE (about, nullptr);
        ASSERT_EQ (about->getBounds().getWidth(), 512);
        ASSERT_EQ (about->getBounds().getHeight(), 300);
        const auto image = about->createComponentSnapshot (about->getLocalBounds(), true, 1.0f);

        // The dark alert background; above the text only the logo, in its 128-pixel box centred at
        // the top; below it, text in the dark scheme's colour (glyph cores; their edges are blended).
        const juce::Colour background (0xFF000000), text (0xFFBFC1C0);
        int logoPixels = 0, strayPixels = 0, textPixels = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 512; ++x)
            {
                const auto pixel = image.getPixelAt (x, y);
                if (y < 128 && pixel != background)
                    ++(x >= 192 && x < 320 ? logoPixels : strayPixels);
                textPixels += y >= 128 && pixel == text;
            }
        EXPECT_EQ (image.getPixelAt (5, 5), background);
        EXPECT_GT (logoPixels, 128 * 100);
        EXPECT_EQ (strayPixels, 0);
        EXPECT_GT (textPixels, 50);
    });
    main.menuItemSelected (MainComponent::aboutMenuItemId, 2); // returns when the box is closed

    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_EQ (script.boxes[0].buttons, juce::StringArray ({ "Ok" }));
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}
