#include "workspace/DialogControls.h"

#include "appearance/ColourPalette.h"
#include "design/MeasurementImport.h"

#include <charconv>
#include <cmath>

namespace
{
/** The value in effect as a value box shows it: with the one decimal of the steps, or in full
    where one decimal would round it. */
juce::String valueText (double value)
{
    const juce::String onStep (value, 1);

    if (MeasurementImport::readLeadingNumber (onStep) == value)
        return onStep;

    char buffer[32];
    const auto end = std::to_chars (buffer, buffer + sizeof (buffer), value).ptr;
    return juce::String (buffer, (size_t) (end - buffer));
}

/** A value slider whose value is the value in effect. The framework's slider puts every value it
    is given on its steps, also one that the program sets: a form would show the design's band
    edge of 93.75 Hz as 93.8 Hz and write that back on OK although nobody touched it. Here a value
    that the program sets is kept as it is, and only what the user enters (typed into the box,
    stepped by the buttons or the mouse wheel) is clamped to the range and put on the steps. */
class ValueSlider : public juce::Slider
{
public:
    ValueSlider (const juce::String& componentName, double minimum, double maximum)
        : juce::Slider (componentName)
    {
        using Remap = juce::NormalisableRange<double>::ValueRemapFunction;
        const Remap linear; // none: the range's own linear mapping
        juce::NormalisableRange<double> keptAsSet (minimum, maximum, linear, linear,
                                                   Remap ([] (double, double, double value) { return value; }));
        keptAsSet.interval = DialogControls::sliderStep; // the buttons' and the wheel's step
        setNormalisableRange (keptAsSet);

        // A typed text is read whole; one without a number leaves the value in effect. The text is
        // snapped here as well because assistive technology sets it without going through snapValue.
        valueFromTextFunction = [this] (const juce::String& text)
        {
            return snapValue (MeasurementImport::readLeadingNumber (text).value_or (getValue()), notDragging);
        };
        textFromValueFunction = valueText;
    }

    /** A value the user enters: the value in effect (or NaN) leaves it as it is; any other is put
        on the nearest step (halves up) and clamped to the range. */
    double snapValue (double attemptedValue, DragMode) override
    {
        if (attemptedValue == getValue() || std::isnan (attemptedValue))
            return getValue();

        // Step number / steps per unit rather than the framework's step number x step: a step is
        // then the double nearest its decimal (93.8, not 93.80000000000001).
        const auto stepsPerUnit = std::round (1.0 / DialogControls::sliderStep);
        const auto onStep = std::floor (attemptedValue * stepsPerUnit + 0.5) / stepsPerUnit;
        return juce::jlimit (getMinimum(), getMaximum(), onStep);
    }
};
} // namespace

namespace DialogControls
{
std::unique_ptr<juce::Label> makeLabel (const juce::String& componentName,
                                        const juce::String& text,
                                        juce::Justification justification)
{
    auto label = std::make_unique<juce::Label> (componentName, juce::translate (text));
    label->setFont (juce::Font (15.0f, juce::Font::plain).withTypefaceStyle ("Regular"));
    label->setJustificationType (justification);
    label->setEditable (false, false, false);
    label->setColour (juce::TextEditor::textColourId, juce::Colours::black);
    label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    return label;
}

std::unique_ptr<juce::Slider> makeValueSlider (const juce::String& componentName,
                                               double minimum,
                                               double maximum,
                                               int textBoxWidth)
{
    std::unique_ptr<juce::Slider> slider = std::make_unique<ValueSlider> (componentName, minimum, maximum);
    slider->setSliderStyle (juce::Slider::IncDecButtons);
    slider->setTextBoxStyle (juce::Slider::TextBoxLeft, false, textBoxWidth, 24);
    return slider;
}

std::unique_ptr<juce::TextButton> makeTextButton (const juce::String& componentName,
                                                  const juce::String& text)
{
    auto button = std::make_unique<juce::TextButton> (componentName);
    button->setButtonText (juce::translate (text));
    return button;
}

void colourAsAccent (juce::TextButton& button)
{
    const auto accent = colourPalette[ColourPaletteIndex::accent];
    const auto accentText = colourPalette[ColourPaletteIndex::accentText];
    button.setColour (juce::TextButton::buttonColourId, accent);
    button.setColour (juce::TextButton::buttonOnColourId, accent);
    button.setColour (juce::TextButton::textColourOffId, accentText);
    button.setColour (juce::TextButton::textColourOnId, accentText);
}

void paintFormBackground (juce::Component& form, juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff323e44));
    g.fillAll (form.getLookAndFeel().findColour (juce::AlertWindow::backgroundColourId));
}

void endModalRun (juce::Component& form, int result)
{
    if (auto* top = form.getTopLevelComponent())
        top->exitModalState (result);
}
} // namespace DialogControls
