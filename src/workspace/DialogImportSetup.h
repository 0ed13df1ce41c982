#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    The small modal form in which the user says how a measurement or target file is to be read:
    magnitude unit, phase unit, field delimiter and, for a measurement, the nominal target level and
    whether to import it as minimum phase.

    The form owns none of these settings: it writes every change straight into the caller's
    variables, which must outlive it. There is no Cancel; OK and the window's close button both keep
    what was changed. It is 204 x 348 pixels.
*/
class DialogImportSetup : public juce::Component,
                          public juce::ComboBox::Listener,
                          public juce::Label::Listener,
                          public juce::Button::Listener,
                          public juce::Slider::Listener
{
public:
    /** Shows the caller's settings and edits them in place.
        @param magnitudeUnits  1 linear, 2 decibels; another id shows no selection
        @param phaseUnits      1 degrees, 2 radians; another id shows no selection
        @param delimiter       the delimiter text, kept exactly as typed (no escapes translated here)
        @param targetLevel     nominal target level in dB, 0 to 200; null hides its label and slider
        @param minimumPhase    import as minimum phase; null hides its toggle
    */
    DialogImportSetup (int* magnitudeUnits, int* phaseUnits, juce::String* delimiter, double* targetLevel,
                       bool* minimumPhase);

    /** Deletes the controls in creation order. */
    ~DialogImportSetup() override;

    /** Fills the form with the look-and-feel's alert-window background colour. */
    void paint (juce::Graphics& g) override;

    /** Stacks the controls at x 12, 180 x 24 each, at their fixed rows. */
    void resized() override;

    /** Writes the chosen unit id into the caller's magnitude or phase unit. */
    void comboBoxChanged (juce::ComboBox* comboBoxThatHasChanged) override;

    /** Writes the delimiter label's text into the caller's delimiter. */
    void labelTextChanged (juce::Label* labelThatHasChanged) override;

    /** OK ends the modal run of the window holding the form with result 1; the toggle writes the
        caller's minimum-phase flag. */
    void buttonClicked (juce::Button* buttonThatWasClicked) override;

    /** Writes the slider's value (dB) into the caller's target level. */
    void sliderValueChanged (juce::Slider* sliderThatWasMoved) override;

    /** Width and height of the form in pixels. */
    static constexpr int formWidth = 204, formHeight = 348;

    int* magnitudeUnits = nullptr;
    int* phaseUnits = nullptr;
    juce::String* delimiter = nullptr;
    double* targetLevel = nullptr;
    bool* minimumPhase = nullptr;

    std::unique_ptr<juce::ComboBox> comboBoxMagnitudeUnits;
    std::unique_ptr<juce::Label> labelMagnitudeUnits;
    std::unique_ptr<juce::Label> labelPhaseUnits;
    std::unique_ptr<juce::ComboBox> comboBoxPhaseUnits;
    std::unique_ptr<juce::Label> labelDelimiterHeader;
    std::unique_ptr<juce::Label> labelDelimiter;
    std::unique_ptr<juce::TextButton> textButtonOk;
    std::unique_ptr<juce::Label> labelTargetLevel;
    std::unique_ptr<juce::Slider> sliderTargetLevel;
    std::unique_ptr<juce::ToggleButton> toggleButtonMinimumPhase;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogImportSetup)
};
