#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Set-up shared by the workspace's small modal forms (target magnitude and target phase): the
    look of their labels, their value sliders, the accent colours of their OK button and their
    background.
*/
namespace DialogControls
{
/** Step of every value slider of the forms, in the slider's unit (dB or Hz). */
constexpr double sliderStep = 0.1;

/** A read-only label with the given component name and (translated) text: 15 pt plain "Regular",
    the given justification, black editor text on a transparent editor background. */
std::unique_ptr<juce::Label> makeLabel (const juce::String& componentName,
                                        const juce::String& text,
                                        juce::Justification justification);

/** A slider with increment/decrement buttons and an editable value box on the left of the given
    width (24 px high), over minimum .. maximum (both on the steps) in steps of `sliderStep`
    counted from 0, without a unit suffix.

    Its value is the value in effect: setValue keeps a value as it is (93.75 stays 93.75, and so
    does a value beyond the range), and the box shows it with one decimal, or in full where one
    decimal would round it. What the user enters is put on the nearest step, the double nearest
    its decimal, and clamped to the range: a text typed into the box is read whole
    (MeasurementImport::readLeadingNumber, so "1e9" is 1e9 before the clamp), and a text without a
    number, or the value in effect, changes nothing.
    snapValue (value, juce::Slider::notDragging) gives what a user's entry of `value` becomes. */
std::unique_ptr<juce::Slider> makeValueSlider (const juce::String& componentName,
                                               double minimum,
                                               double maximum,
                                               int textBoxWidth);

/** A text button with the given component name and (translated) text. */
std::unique_ptr<juce::TextButton> makeTextButton (const juce::String& componentName,
                                                  const juce::String& text);

/** Gives a button the palette's accent colours (fill off and on; accent text off and on). */
void colourAsAccent (juce::TextButton& button);

/** Paints a form's background: the fixed base colour, then the look-and-feel's alert-window
    background colour of `form` over it. */
void paintFormBackground (juce::Component& form, juce::Graphics& g);

/** Ends the modal run of the window that holds `form` with the given result (1 OK, 0 Cancel). */
void endModalRun (juce::Component& form, int result);
} // namespace DialogControls
