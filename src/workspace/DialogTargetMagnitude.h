#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "design/DesignData.h"

/**
    Modal form for the flat target magnitude: nominal target level, boost/cut limit and the band
    in which the flat target applies.

    Nothing is written while the form is open: OK copies the four slider values into the target
    block and ends the modal run with 1, Cancel ends it with 0 and leaves the block untouched.
    The owner points `targetData` at the design's target block, fills the sliders and runs the form
    in a dialog window.
*/
class DialogTargetMagnitude : public juce::Component,
                              public juce::Slider::Listener,
                              public juce::Button::Listener
{
public:
    /** Creates the controls at their fixed bounds and sizes the form to 600 x 400 pixels. */
    DialogTargetMagnitude();

    /** Deletes the controls in the order they were created. */
    ~DialogTargetMagnitude() override;

    /** Fills the form with the look-and-feel's alert-window background colour. */
    void paint (juce::Graphics& g) override;

    /** Does nothing: every control keeps the bounds given at construction. */
    void resized() override;

    /** Ignores slider changes: the values are read only when OK is clicked. */
    void sliderValueChanged (juce::Slider* slider) override;

    /** OK writes level (dB), limit (dB), lower and upper band edge (Hz) into `targetData` when it
        is set and ends the modal run with 1; Cancel ends it with 0 and writes nothing. */
    void buttonClicked (juce::Button* button) override;

    /** The design's target block; set by the owner, not owned. Null writes nothing on OK. */
    TargetData* targetData = nullptr;

    std::unique_ptr<juce::Label> labelNominalTargetLevel;
    std::unique_ptr<juce::Label> labelBoostCutLimit;
    std::unique_ptr<juce::Slider> sliderBoostCutLimit;      ///< dB, -100 .. 100
    std::unique_ptr<juce::Slider> sliderNominalTargetLevel; ///< dB, 0 .. 200
    std::unique_ptr<juce::Slider> sliderFMin;               ///< Hz, 0 .. 24000
    std::unique_ptr<juce::Slider> sliderFMax;               ///< Hz, 0 .. 24000
    std::unique_ptr<juce::Label> labelFrequencyRange;
    std::unique_ptr<juce::TextButton> textButtonOk;
    std::unique_ptr<juce::TextButton> textButtonCancel;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogTargetMagnitude)
};
