#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The application's look-and-feel: copies colourPalette into the framework's colour ids and the
    plots' colour ids, and draws buttons, labels, group boxes and the plot/workspace divider in the
    application's flat style; table headers draw their sort arrows in the text colour, and combo
    boxes squeeze a long text. Everything else is LookAndFeel_V4's.
*/
class lafMorvelane : public juce::LookAndFeel_V4
{
public:
    /** How far the text of a label of fixed width, a combo box's included, is squeezed sideways
        before it is cut: an item name such as "High Pass 2nd Order" then still reads in full in
        the narrow type column of a filter table. */
    static constexpr float minimumTextScale = 0.4f;

    /** Sets the colours of every id the application uses from the current colourPalette. The
        window background is the palette's window background in the light scheme and a fixed
        near-black in the dark one. Call it again after the palette has been rewritten. */
    void applyColourScheme();

    /** Flat rounded button (corner 2 px) whose 1 px outline is the fill colour; a disabled
        button is filled with the palette's button background. */
    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    /** The framework's text-button text, but a disabled button's text uses the palette's
        secondary text colour. */
    void drawButtonText (juce::Graphics&, juce::TextButton&, bool shouldDrawButtonAsHighlighted,
                         bool shouldDrawButtonAsDown) override;

    /** The framework's label, with a rounded 2 px outline (corner 6) instead of a 1 px frame. */
    void drawLabel (juce::Graphics&, juce::Label&) override;

    /** Draws nothing unless the pointer is over the bar or drags it; then fills it with lime. */
    void drawStretchableLayoutResizerBar (juce::Graphics&, int w, int h, bool isVerticalBar,
                                          bool isMouseOver, bool isMouseDragging) override;

    /** A group box is a filled rectangle in the palette's group background with its title near
        the top edge, and no frame. Sizes are in pixels. */
    void drawGroupComponentOutline (juce::Graphics&, int width, int height, const juce::String& text,
                                    const juce::Justification& position, juce::GroupComponent&) override;

    /** The framework's placement of a combo box's text, squeezed down to minimumTextScale before it
        is cut. */
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;

    /** The framework's table header column, but the sort arrow is drawn in the header's text colour
        (the framework's fixed dark grey vanishes on a dark header). */
    void drawTableHeaderColumn (juce::Graphics&, juce::TableHeaderComponent&, const juce::String& columnName,
                                int columnId, int width, int height, bool isMouseOver, bool isMouseDown,
                                int columnFlags) override;

    /** True while the light scheme is shown; selects the window background and divider colour. */
    bool lightMode = true;
};
