#include "workspace/ValueSlider.h"

#include "design/MeasurementImport.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace
{
/** The value as the box shows it: with the decimals of the step, or in full (the shortest text
    that reads back as the value) where those decimals would round it. */
juce::String valueText (double value, int decimals)
{
    char buffer[64];
    const auto fixed = std::to_chars (buffer, buffer + sizeof (buffer), value, std::chars_format::fixed, decimals);

    if (fixed.ec == std::errc())
    {
        const juce::String text (buffer, (size_t) (fixed.ptr - buffer));

        if (MeasurementImport::readLeadingNumber (text) == value)
            return text;
    }

    const auto shortest = std::to_chars (buffer, buffer + sizeof (buffer), value).ptr;
    return juce::String (buffer, (size_t) (shortest - buffer));
}
} // namespace

ValueSlider::ValueSlider (const juce::String& componentName, double valueStep)
    : juce::Slider (componentName), step (valueStep)
{
    setLimits (0.0, 1.0);

    // The text is snapped here as well because assistive technology sets it without going through
    // snapValue.
    valueFromTextFunction = [this] (const juce::String& text)
    {
        return snapValue (MeasurementImport::readLeadingNumber (text).value_or (getValue()), notDragging);
    };

    const int decimals = std::max (0, (int) std::lround (-std::log10 (step)));
    textFromValueFunction = [decimals] (double value) { return valueText (value, decimals); };
}

void ValueSlider::setLimits (double minimum, double maximum)
{
    // The framework's slider puts every value it is given on its steps, also one that the program
    // sets: a form would show a band edge of 93.75 Hz as 93.8 Hz and write that back on OK although
    // nobody touched it. The range's own snapping is therefore none; snapValue steps what the user
    // enters, and the buttons and the wheel move by the range's interval.
    using Remap = juce::NormalisableRange<double>::ValueRemapFunction;
    const Remap linear; // none: the range's own linear mapping
    juce::NormalisableRange<double> keptAsSet (minimum, maximum, linear, linear,
                                               Remap ([] (double, double, double value) { return value; }));
    keptAsSet.interval = step;

    const auto inside = juce::jlimit (minimum, maximum, getValue());
    setNormalisableRange (keptAsSet);
    setValue (inside, juce::dontSendNotification);
}

double ValueSlider::snapValue (double attemptedValue, DragMode)
{
    if (attemptedValue == getValue() || std::isnan (attemptedValue))
        return getValue();

    // Step number / steps per unit rather than the framework's step number x step: a step is then
    // the double nearest its decimal (93.8, not 93.80000000000001).
    const auto stepsPerUnit = std::round (1.0 / step);
    const auto onStep = std::floor (attemptedValue * stepsPerUnit + 0.5) / stepsPerUnit;
    return juce::jlimit (getMinimum(), getMaximum(), onStep);
}
