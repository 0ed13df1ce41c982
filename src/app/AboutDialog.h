#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The contents of the about box: the logo at the top, then the product line, the version, the build
    date and time and the author, centred. It is shown inside a modal alert window whose look-and-feel
    gives it its colours; its size is set by that window's owner (512 x 300). */
class AboutDialog : public juce::Component
{
public:
    AboutDialog() = default;

    /** Fills the component with the alert window's background colour, draws the logo scaled into a
        128 x 128 pixel box centred at the top edge and the text lines below it, the first baseline at
        y = 150 pixels. */
    void paint (juce::Graphics& g) override;

    /** Nothing to lay out: the component has no children. */
    void resized() override {}

    /** The logo image (512 x 512 pixels with alpha), decoded once and then taken from the image cache. */
    static juce::Image getLogo();

    /** The text below the logo, lines separated by line feeds: product line, empty line, version line,
        build line ("Built on <date> @ <time>", the compiler's date and time of this build), empty line,
        author line. */
    static juce::String getText();

    /** The top edge and size, in pixels, of the square that the logo is fitted into. */
    static constexpr int logoTop = 0, logoSize = 128;
    /** Baseline of the first text line, in pixels from the top. */
    static constexpr int textBaseline = 150;
    /** Height of the text font, in points. */
    static constexpr float fontHeight = 16.0f;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AboutDialog)
};
