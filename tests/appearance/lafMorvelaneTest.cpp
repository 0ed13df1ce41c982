#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"
#include "plots/FigureComponent.h"

#include <gtest/gtest.h>

namespace
{
struct PaletteGuard
{
    ColourScheme saved = colourPalette;
    ~PaletteGuard() { colourPalette = saved; }
};

struct Expected
{
    int id;
    ColourPaletteIndex role;
};

// Every id that takes a palette entry, with its role.
const Expected paletteIds[] = {
    { juce::DocumentWindow::textColourId, text },
    { juce::AlertWindow::backgroundColourId, background },
    { juce::AlertWindow::textColourId, text },
    { juce::AlertWindow::outlineColourId, outline },
    { juce::ComboBox::backgroundColourId, background },
    { juce::ComboBox::outlineColourId, outline },
    { juce::ComboBox::textColourId, text },
    { juce::ComboBox::buttonColourId, secondaryText },
    { juce::ComboBox::arrowColourId, text },
    { juce::ComboBox::focusedOutlineColourId, transparent },
    { juce::GroupComponent::outlineColourId, outline },
    { juce::GroupComponent::textColourId, text },
    { juce::Label::backgroundColourId, transparent },
    { juce::Label::textColourId, text },
    { juce::Label::outlineColourId, transparent },
    { juce::Label::backgroundWhenEditingColourId, transparent },
    { juce::Label::textWhenEditingColourId, text },
    { juce::Label::outlineWhenEditingColourId, transparent },
    { juce::ListBox::backgroundColourId, background },
    { juce::ListBox::outlineColourId, outline },
    { juce::ListBox::textColourId, text },
    { juce::PopupMenu::backgroundColourId, background },
    { juce::PopupMenu::textColourId, text },
    { juce::PopupMenu::headerTextColourId, text },
    { juce::PopupMenu::highlightedBackgroundColourId, buttonBackground },
    { juce::PopupMenu::highlightedTextColourId, highlightedText },
    { juce::Slider::backgroundColourId, background },
    { juce::Slider::textBoxTextColourId, text },
    { juce::Slider::textBoxBackgroundColourId, background },
    { juce::Slider::textBoxHighlightColourId, secondaryText },
    { juce::Slider::textBoxOutlineColourId, outline },
    { juce::TableHeaderComponent::backgroundColourId, background },
    { juce::TableHeaderComponent::textColourId, text },
    { juce::TableHeaderComponent::outlineColourId, outline },
    { juce::TableHeaderComponent::highlightColourId, selectedRow },
    { juce::TextButton::buttonColourId, buttonBackground },
    { juce::TextButton::buttonOnColourId, buttonBackground },
    { juce::TextButton::textColourOffId, text },
    { juce::TextButton::textColourOnId, text },
    { juce::TextEditor::backgroundColourId, background },
    { juce::TextEditor::textColourId, text },
    { juce::TextEditor::highlightedTextColourId, text },
    { juce::TextEditor::outlineColourId, transparent },
    { juce::TextEditor::focusedOutlineColourId, transparent },
    { juce::TextEditor::shadowColourId, shadow },
    { juce::ToggleButton::textColourId, text },
    { juce::ToggleButton::tickColourId, outline },
    { juce::ToggleButton::tickDisabledColourId, outline },
    { FigureComponent::backgroundColourId, background },
    { FigureComponent::gridColourId, gridLines },
    { FigureComponent::tickColourId, secondaryText },
    { FigureComponent::textColourId, secondaryText },
};

void expectSchemeApplied (const lafMorvelane& laf)
{
    for (const auto& e : paletteIds)
        EXPECT_EQ (laf.findColour (e.id).getARGB(), colourPalette[e.role].getARGB())
            << "colour id 0x" << std::hex << e.id;

    // Fixed colours, independent of the scheme.
    EXPECT_EQ (laf.findColour (juce::Slider::thumbColourId).getARGB(), 0xFFFF7B45u);
    EXPECT_EQ (laf.findColour (juce::Slider::trackColourId).getARGB(), 0xFFFFFFFFu);
    EXPECT_EQ (laf.findColour (juce::Slider::rotarySliderFillColourId).getARGB(), 0xFF282828u);
    EXPECT_EQ (laf.findColour (juce::Slider::rotarySliderOutlineColourId).getARGB(), 0xFF282828u);
}

juce::Colour pixel (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y);
}

bool near (juce::Colour a, juce::Colour b, int tolerance)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
           && std::abs (a.getBlue() - b.getBlue()) <= tolerance;
}
} // namespace

TEST (lafMorvelane, EachSchemeSetsEveryIdFromThePalette)
{
    struct Case
    {
        const char* name;
        std::vector<bool> schemes; // light or dark, written and applied in turn; none: start-up palette
        juce::uint32 windowBackground, outline, figureBackground, figureGrid, figureText;
    };

    // The dark scheme has its own window background, not the palette's (FF222222); the start-up
    // palette has darker outlines and text than light mode.
    const Case cases[] = {
        { "start-up", {}, 0xFFF2F2F2u, 0xFF4F4F50u, 0xFFFFFFFFu, 0xFFE4E3E2u, 0xFF8A8A8Au },
        { "light", { true }, 0xFFF2F2F2u, 0xFF373737u, 0xFFFFFFFFu, 0xFFE4E3E2u, 0xFF8A8A8Au },
        { "dark", { false }, 0xFF0A0A0Au, 0xFFBFC1C0u, 0xFF000000u, 0xFF373737u, 0xFF6E6E6Eu },
        { "dark then light", { false, true }, 0xFFF2F2F2u, 0xFF373737u, 0xFFFFFFFFu, 0xFFE4E3E2u, 0xFF8A8A8Au },
    };

    for (const auto& c : cases)
    {
        PaletteGuard guard;
        lafMorvelane laf;

        for (bool light : c.schemes)
        {
            writeColourPalette (light);
            laf.lightMode = light;
            laf.applyColourScheme();
        }

        if (c.schemes.empty())
            laf.applyColourScheme();

        SCOPED_TRACE (c.name);
        expectSchemeApplied (laf);
        EXPECT_EQ (laf.findColour (juce::ResizableWindow::backgroundColourId).getARGB(), c.windowBackground);
        EXPECT_EQ (laf.findColour (juce::ComboBox::outlineColourId).getARGB(), c.outline);
        EXPECT_EQ (laf.findColour (juce::Label::textColourId).getARGB(), c.outline);
        EXPECT_EQ (laf.findColour (FigureComponent::backgroundColourId).getARGB(), c.figureBackground);
        EXPECT_EQ (laf.findColour (FigureComponent::gridColourId).getARGB(), c.figureGrid);
        EXPECT_EQ (laf.findColour (FigureComponent::tickColourId).getARGB(), c.figureText);
        EXPECT_EQ (laf.findColour (FigureComponent::textColourId).getARGB(), c.figureText);

        // The text editor's highlight stays at the framework's default.
        EXPECT_EQ (laf.findColour (juce::TextEditor::highlightColourId).getARGB(),
                   juce::LookAndFeel_V4().findColour (juce::TextEditor::highlightColourId).getARGB());
    }
}

TEST (lafMorvelane, DividerIsInvisibleUntilThePointerIsOverIt)
{
    lafMorvelane laf;
    juce::Image image (juce::Image::ARGB, 8, 40, true);

    {
        juce::Graphics g (image);
        laf.drawStretchableLayoutResizerBar (g, 8, 40, true, false, false);
    }
    EXPECT_EQ (pixel (image, 4, 20).getAlpha(), 0);

    for (bool light : { true, false })
    {
        laf.lightMode = light;
        image.clear (image.getBounds());

        for (auto [over, dragging] : { std::pair { true, false }, std::pair { false, true } })
        {
            juce::Graphics g (image);
            laf.drawStretchableLayoutResizerBar (g, 8, 40, true, over, dragging);
            EXPECT_EQ (pixel (image, 0, 0).getARGB(), light ? 0xFFCCFF00u : 0xFFDDFF55u);
            EXPECT_EQ (pixel (image, 7, 39).getARGB(), light ? 0xFFCCFF00u : 0xFFDDFF55u);
        }
    }
}

TEST (lafMorvelane, DisabledButtonUsesButtonBackgroundAndSecondaryText)
{
    PaletteGuard guard;

    for (bool light : { true, false })
    {
        writeColourPalette (light);
        lafMorvelane laf;
        laf.lightMode = light;
        laf.applyColourScheme();

        juce::Component parent;
        juce::TextButton button ("WWWWWW");
        parent.addAndMakeVisible (button);
        button.setBounds (0, 0, 120, 30);
        // A red button colour, so that a fill from it would show.
        button.setColour (juce::TextButton::buttonColourId, juce::Colours::red);
        button.setLookAndFeel (&laf);
        parent.setEnabled (false); // disabled through its parent

        juce::Image image (juce::Image::ARGB, 120, 30, true);
        {
            juce::Graphics g (image);
            button.paintEntireComponent (g, false);
        }

        // Fill away from text and corners.
        EXPECT_TRUE (near (pixel (image, 4, 15), colourPalette[buttonBackground], 1)) << "light " << light;

        // Every pixel is a mix of the button background and the secondary text colour, and the
        // glyphs reach the secondary text colour itself.
        const auto bg = colourPalette[buttonBackground];
        const auto fg = colourPalette[secondaryText];
        float strongest = 0.0f;

        for (int y = 2; y < 28; ++y)
            for (int x = 2; x < 118; ++x)
            {
                const auto c = pixel (image, x, y);
                const float t = (float) (c.getRed() - bg.getRed()) / (float) (fg.getRed() - bg.getRed());
                EXPECT_TRUE (near (c, bg.interpolatedWith (fg, juce::jlimit (0.0f, 1.0f, t)), 3))
                    << "pixel " << x << "," << y << " light " << light;
                strongest = std::max (strongest, t);
            }

        EXPECT_GT (strongest, 0.9f);
        button.setLookAndFeel (nullptr);
    }
}

TEST (lafMorvelane, EnabledButtonFillsAndOutlinesInItsOwnColour)
{
    lafMorvelane laf;
    juce::TextButton button;
    button.setBounds (0, 0, 60, 20);
    juce::Image image (juce::Image::ARGB, 60, 20, true);
    {
        juce::Graphics g (image);
        laf.drawButtonBackground (g, button, juce::Colours::blue, false, false);
    }
    const auto base = juce::Colours::blue.withMultipliedSaturation (0.9f);
    // Fill and the 1 px outline along the top edge have the same colour.
    EXPECT_TRUE (near (pixel (image, 30, 10), base, 1));
    EXPECT_TRUE (near (pixel (image, 30, 0), base, 1));
    EXPECT_GT (pixel (image, 30, 0).getAlpha(), 0x70);
    // A corner of radius 2 leaves the outermost corner pixel mostly uncovered.
    EXPECT_LT (pixel (image, 0, 0).getAlpha(), pixel (image, 30, 0).getAlpha());
}

TEST (lafMorvelane, GroupBoxIsAFilledRectangleWithoutFrame)
{
    PaletteGuard guard;
    writeColourPalette (false); // black group background, light outline: a frame would show
    lafMorvelane laf;
    laf.applyColourScheme();

    juce::GroupComponent group ("group", "Input");
    group.setBounds (0, 0, 200, 100);
    group.setLookAndFeel (&laf);

    juce::Image image (juce::Image::ARGB, 200, 100, true);
    {
        juce::Graphics g (image);
        laf.drawGroupComponentOutline (g, 200, 100, "", juce::Justification::left, group);
    }

    const float y = juce::Font (15.0f).getAscent() - 3.0f;
    const int top = (int) std::ceil (y - 7.5f);
    const float h = 100.0f - y - 3.0f;
    const int bottom = (int) std::floor (y - 7.5f + h + 5.0f); // corner size 5 added to the height
    const auto fill = colourPalette[groupBackground].getARGB();

    // Filled from x = 3 to 197 and from y - 7.5 for h + 5 pixels.
    EXPECT_EQ (pixel (image, 3, top + 1).getARGB(), fill);
    EXPECT_EQ (pixel (image, 196, 50).getARGB(), fill);
    EXPECT_EQ (pixel (image, 100, bottom - 1).getARGB(), fill);
    EXPECT_EQ (pixel (image, 100, bottom + 1).getAlpha(), 0);
    EXPECT_EQ (pixel (image, 1, 50).getAlpha(), 0);
    EXPECT_EQ (pixel (image, 198, 50).getAlpha(), 0);
    EXPECT_EQ (pixel (image, 100, 0).getAlpha(), 0);

    group.setLookAndFeel (nullptr);
}

TEST (lafMorvelane, LabelOutlineIsRoundedAndTwoPixelsThick)
{
    lafMorvelane laf;
    laf.applyColourScheme();
    juce::Label label ("label", "");
    label.setBounds (0, 0, 80, 24);
    label.setColour (juce::Label::outlineColourId, juce::Colours::red);

    juce::Image image (juce::Image::ARGB, 80, 24, true);
    {
        juce::Graphics g (image);
        laf.drawLabel (g, label);
    }

    // The stroke is centred on the bounds, so one pixel of it lies inside along each edge.
    EXPECT_EQ (pixel (image, 40, 0).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (pixel (image, 0, 12).getARGB(), 0xFFFF0000u);
    EXPECT_EQ (pixel (image, 40, 2).getAlpha(), 0);
    // Rounded corner of 6: the corner pixel itself stays clear.
    EXPECT_EQ (pixel (image, 0, 0).getAlpha(), 0);
}
