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

/** A ValueSlider with increment/decrement buttons and an editable value box on the left of the
    given width (24 px high), over minimum .. maximum (both on the steps) in steps of `sliderStep`,
    without a unit suffix. It keeps the values that the program gives it; what the user enters is
    read, stepped and clamped as ValueSlider says. */
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
