#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"
#include "plots/FigureComponent.h"

#include <gtest/gtest.h>

namespace
{
// Restores the palette a test changed, so tests do not depend on their order.
struct PaletteGuard
{
    ColourScheme saved = colourPalette;
    ~PaletteGuard() { colourPalette = saved; }
};

// What paint draws into a transparent image of the given size.
template <typename Paint>
juce::Image painted (int width, int height, Paint paint)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    paint (g);
    return image;
}
} // namespace

TEST (lafMorvelane, EachSchemeSetsTheIdsFromThePaletteTheDividersLimeAndTheSortArrow)
{
    // Before any scheme is chosen outlines and text are darker than in light mode; the dark scheme's
    // window background is a fixed near-black, not the palette's; applying again after the palette
    // was rewritten replaces the colours. The divider shows its lime only while the pointer is over it
    // or drags it. A sorted table column's arrow has the text colour, which shows on either scheme.
    const struct { std::vector<bool> schemes; std::vector<juce::uint32> windowOutlineTextGridTicksDividerArrow; } cases[] {
        { {}, { 0xFFF2F2F2, 0xFF4F4F50, 0xFF4F4F50, 0xFFE4E3E2, 0xFF8A8A8A, 0xFFCCFF00, 0xFFCCFF00, 0, 0xFF4F4F50 } },
        { { true }, { 0xFFF2F2F2, 0xFF373737, 0xFF373737, 0xFFE4E3E2, 0xFF8A8A8A, 0xFFCCFF00, 0xFFCCFF00, 0, 0xFF373737 } },
        { { false }, { 0xFF0A0A0A, 0xFFBFC1C0, 0xFFBFC1C0, 0xFF373737, 0xFF6E6E6E, 0xFFDDFF55, 0xFFDDFF55, 0, 0xFFBFC1C0 } },
        { { false, true }, { 0xFFF2F2F2, 0xFF373737, 0xFF373737, 0xFFE4E3E2, 0xFF8A8A8A, 0xFFCCFF00, 0xFFCCFF00, 0, 0xFF373737 } },
    };
    for (const auto& c : cases)
    {
        PaletteGuard guard;
        lafMorvelane laf;
        for (bool light : c.schemes)
            writeColourPalette (light), laf.lightMode = light, laf.applyColourScheme();
        laf.applyColourScheme();

        std::vector<juce::uint32> colours;
        for (int id : { (int) juce::ResizableWindow::backgroundColourId, (int) juce::ComboBox::outlineColourId, (int) juce::Label::textColourId,
                        (int) FigureComponent::gridColourId, (int) FigureComponent::tickColourId })
            colours.push_back (laf.findColour (id).getARGB());
        for (const auto& overAndDragging : { std::pair { true, false }, std::pair { false, true }, std::pair { false, false } })
            colours.push_back (painted (8, 40, [&] (juce::Graphics& g) { laf.drawStretchableLayoutResizerBar (g, 8, 40, true, overAndDragging.first, overAndDragging.second); })
                                   .getPixelAt (4, 20).getARGB());
        juce::TableHeaderComponent header;
        header.setLookAndFeel (&laf);
        colours.push_back (painted (80, 30, [&] (juce::Graphics& g) { laf.drawTableHeaderColumn (g, header, "Freq", 1, 80, 30, false, false, juce::TableHeaderComponent::sortedForwards); })
                               .getPixelAt (68, 15).getARGB());
        EXPECT_EQ (colours, c.windowOutlineTextGridTicksDividerArrow) << c.schemes.size() << " schemes";
    }
}

TEST (lafMorvelane, DisabledButtonShowsTheButtonBackgroundAndSecondaryText)
{
    PaletteGuard guard;
    for (bool light : { true, false })
    {
        writeColourPalette (light);
        lafMorvelane laf;
        laf.applyColourScheme();
        juce::Component parent;
        juce::TextButton button ("WWWWWW");
        parent.addAndMakeVisible (button);
        button.setBounds (0, 0, 120, 30);
        button.setColour (juce::TextButton::buttonColourId, juce::Colours::red);    // a fill from it would show
        button.setLookAndFeel (&laf);
        parent.setEnabled (false);    // disabled through its parent
        const auto image = painted (120, 30, [&] (juce::Graphics& g) { button.paintEntireComponent (g, false); });

        // Fill and outline in the button background; the text blends from it up to the secondary text
        // colour, no further.
        const auto fill = colourPalette[buttonBackground], textColour = colourPalette[secondaryText];
        EXPECT_NEAR (image.getPixelAt (4, 15).getGreen(), fill.getGreen(), 1) << light;
        EXPECT_NEAR (image.getPixelAt (60, 0).getGreen(), fill.getGreen(), 1) << light;
        float strongest = 0.0f;
        for (int y = 2; y < 28; ++y)
            for (int x = 2; x < 118; ++x)
                strongest = std::max (strongest, float (image.getPixelAt (x, y).getGreen() - fill.getGreen()) / float (textColour.getGreen() - fill.getGreen()));
        EXPECT_NEAR (strongest, 1.0f, 0.1f) << light;
    }
}

TEST (lafMorvelane, GroupBoxIsAFilledRectangleWithoutFrame)
{
    PaletteGuard guard;
    writeColourPalette (false);    // black group background, light outline: a frame would show
    lafMorvelane laf;
    laf.applyColourScheme();
    juce::GroupComponent group ("group", "Input");
    const auto image = painted (200, 100, [&] (juce::Graphics& g) { laf.drawGroupComponentOutline (g, 200, 100, "", juce::Justification::left, group); });

    // Filled from x = 3 to 197 and down to y = 94.5; nothing outside.
    for (auto [x, y] : { std::pair { 3, 50 }, std::pair { 196, 50 }, std::pair { 100, 93 } })
        EXPECT_EQ (image.getPixelAt (x, y).getARGB(), colourPalette[groupBackground].getARGB()) << x << ", " << y;
    for (auto [x, y] : { std::pair { 1, 50 }, std::pair { 198, 50 }, std::pair { 100, 96 }, std::pair { 100, 0 } })
        EXPECT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << x << ", " << y;
}
