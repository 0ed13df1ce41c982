#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The slider of every number box in the program (the workspace's shifts and window lengths, the
    forms' levels and frequencies): one reader and one rule for what the user enters.

    Its value is the value in effect. A value that the program sets is kept as it is (93.75 stays
    93.75 in a box of 0.1 steps, and so does a value beyond the range). What the user enters (a text
    typed into the box, a click on + or -, the mouse wheel) is put on the nearest step, halves up
    (-6.25 becomes -6.2, 6.25 becomes 6.3), and clamped to the range. A typed text is read whole
    with MeasurementImport::readLeadingNumber ("1e3" is 1000, "+250" and " 250" are 250); a text
    without a number, or the value in effect, changes nothing, and the box shows the value in effect
    again.

    The box shows the value with the decimals of the step, or in full where they would round it.
*/
class ValueSlider : public juce::Slider
{
public:
    /** A slider over 0 .. 1 with the given step (a power of ten: 1 or 0.1, say) counted from 0. */
    ValueSlider (const juce::String& componentName, double step);

    /** Sets the range (both ends on the steps). The value in effect is moved inside it, without a
        notification, and is otherwise kept as it is. */
    void setLimits (double minimum, double maximum);

    /** What a user's entry of `attemptedValue` becomes: the value in effect for that value or NaN,
        else the nearest step (halves up), clamped to the range. */
    double snapValue (double attemptedValue, DragMode) override;

    /** The step of the value, as given. */
    const double step;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueSlider)
};
