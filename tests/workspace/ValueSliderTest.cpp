// The number boxes' one rule: values the program sets are kept, what the user enters is read whole,
// put on the nearest step (halves up) and clamped.
#include "GuiTestSupport.h"

#include "workspace/ValueSlider.h"

#include <cmath>

using namespace guitest;

TEST (ValueSlider, KeepsTheProgramsValueAndStepsWhatTheUserEntersHalvesUp)
{
    ValueSlider slider ("slider", 0.1);   // a form's box
    slider.setSliderStyle (juce::Slider::IncDecButtons);
    slider.setLimits (-100.0, 100.0);
    int changes = 0;
    slider.onValueChange = [&] { ++changes; };
    const auto shown = [&] { return find<juce::Label> (slider)->getText(); };
    const auto click = [&] (const char* button) { find<juce::Button> (slider, button)->triggerClick(); pump (20); };

    // The value in effect re-entered, or a text without a number, changes nothing.
    slider.setValue (93.75, juce::dontSendNotification);
    for (const char* text : { "93.750", "93.75 dB", "no number", "", "nan" })
        typeIntoValueBox (slider, text);
    EXPECT_EQ (slider.getValue(), 93.75);
    EXPECT_EQ (shown(), "93.75");
    EXPECT_EQ (changes, 0);

    // + and - step from the value in effect, to the nearest step and no further than the range.
    for (const auto& [start, button, value] : { std::tuple (80.0, "+", 80.1), { 80.0, "-", 79.9 }, { 93.75, "-", 93.7 },
                                                { -93.75, "+", -93.6 }, { 100.0, "+", 100.0 } })
    {
        slider.setValue (start, juce::dontSendNotification);
        click (button);
        EXPECT_EQ (slider.getValue(), value) << start << button;
    }
    EXPECT_EQ (changes, 4);

    // Negative halves go up as positive ones do; -0.05 gives +0.
    for (const auto& [text, value] : { std::pair ("-6.25", -6.2), { "6.25", 6.3 }, { "-6.26", -6.3 }, { " +2.45", 2.5 },
                                       { "-1e400", -100.0 }, { "-0.05", 0.0 } })
    {
        typeIntoValueBox (slider, text);
        EXPECT_EQ (slider.getValue(), value) << text;
        EXPECT_FALSE (std::signbit (slider.getValue()) && value == 0.0) << text;
    }
    EXPECT_EQ (shown(), "0.0");
}
