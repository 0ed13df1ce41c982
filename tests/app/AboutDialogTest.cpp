// The about box: its text, its logo and how it is drawn in both colour schemes.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"
#include "design/Version.h"

#include <regex>

using namespace apptest;

namespace
{
juce::Image render (MainComponent& main)
{
    AboutDialog about;
    about.setLookAndFeel (&main.laf);
    about.setSize (512, 300);
    juce::Image image (juce::Image::ARGB, 512, 300, true);
    juce::Graphics g (image);
    about.paintEntireComponent (g, true);
    about.setLookAndFeel (nullptr);
    return image;
}

bool near (juce::Colour a, juce::Colour b, int tolerance)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
        && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}

/** Checks the drawing against the scheme's alert background and window text colours. */
void expectDrawnIn (const juce::Image& image, juce::Colour background, juce::Colour text)
{
    const juce::Colour logoBlue (0xFF013D63);
    EXPECT_EQ (image.getPixelAt (5, 5), background);
    EXPECT_EQ (image.getPixelAt (150, 64), background);
    EXPECT_TRUE (near (image.getPixelAt (256, 100), logoBlue, 2)) << image.getPixelAt (256, 100).toString();

    // Above the text, everything that is not background lies in the logo's box x 192..320, y 0..128.
    // Below it, the text: glyph pixels in the text colour (their cores; edges are blended).
    int logoPixels = 0, strayPixels = 0, textPixels = 0, inkBelowLogo = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 512; ++x)
        {
            const auto pixel = image.getPixelAt (x, y);
            if (y < 128 && pixel != background)
                ++(x >= 192 && x < 320 ? logoPixels : strayPixels);
            if (y >= 128 && pixel != background)
                ++inkBelowLogo;
            if (y >= 128 && near (pixel, text, 8))
                ++textPixels;
        }
    EXPECT_GT (logoPixels, 128 * 100);
    EXPECT_EQ (strayPixels, 0);
    EXPECT_GT (inkBelowLogo, 1000);
    EXPECT_GT (textPixels, 100);
}
} // namespace

TEST (AboutDialog, TextHasProductVersionBuildAndAuthorLines)
{
    const auto lines = juce::StringArray::fromLines (AboutDialog::getText());
    ASSERT_EQ (lines.size(), 6);
    EXPECT_EQ (lines[0], "Talvo - FIR Filter Design Software");
    EXPECT_TRUE (lines[1].isEmpty());
    EXPECT_EQ (lines[2], "Version 1.0.0");
    EXPECT_EQ (lines[2], "Version " + versionString);
    EXPECT_TRUE (std::regex_match (lines[3].toStdString(),
                                   std::regex ("Built on [A-Z][a-z]{2} [ 123][0-9] [0-9]{4} @ [0-2][0-9]:[0-5][0-9]:[0-5][0-9]")))
        << lines[3];
    EXPECT_TRUE (lines[4].isEmpty());
    EXPECT_TRUE (lines[5].startsWith ("By ") && lines[5].length() > 3);
}

TEST (AboutDialog, LogoIsA512PixelImageWithAlphaDecodedOnce)
{
    const auto logo = AboutDialog::getLogo();
    ASSERT_TRUE (logo.isValid());
    EXPECT_EQ (logo.getWidth(), 512);
    EXPECT_EQ (logo.getHeight(), 512);
    EXPECT_TRUE (logo.hasAlphaChannel());
    EXPECT_EQ (logo.getPixelAt (0, 0).getAlpha(), 0);   // transparent corner
    EXPECT_EQ (logo.getPixelAt (256, 400).getAlpha(), 255);
    EXPECT_TRUE (logo == AboutDialog::getLogo());        // the same pixels, from the image cache
}

TEST_F (AppTest, AboutBoxIsDrawnInTheActiveScheme)
{
    MainComponent main;
    invoke (main, MainComponent::lightMode);
    expectDrawnIn (render (main), juce::Colour (0xFFFFFFFF), juce::Colour (0xFF373737));

    invoke (main, MainComponent::darkMode);
    expectDrawnIn (render (main), juce::Colour (0xFF000000), juce::Colour (0xFFBFC1C0));
}

TEST_F (AppTest, AboutItemShowsTheBoxModallyWithOneOkButton)
{
    MainComponent main;
    ModalScript script;
    script.answer ("Ok", [&] (juce::Component& box)
    {
        EXPECT_EQ (&box.getLookAndFeel(), &main.laf);
        auto* about = find<AboutDialog> (box);
        ASSERT_NE (about, nullptr);
        EXPECT_TRUE (about->isVisible());
        EXPECT_EQ (about->getBounds().getWidth(), 512);
        EXPECT_EQ (about->getBounds().getHeight(), 300);
    });
    main.menuItemSelected (MainComponent::aboutMenuItemId, 2); // returns when the box is closed

    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_EQ (script.boxes[0].buttons, juce::StringArray ({ "Ok" }));
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}
