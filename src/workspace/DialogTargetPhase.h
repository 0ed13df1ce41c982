#pragma once

#include <array>

#include <juce_gui_basics/juce_gui_basics.h>

#include "design/DesignData.h"
#include "numerics/Matrix.h"

/**
    Modal form for the frequency band of the target phase.

    While the user moves the two band limits, each change is written into the target block at once
    (the owner that runs the form puts the block back when the run ends without OK), and the form
    shows, for each limit, the nearest grid frequencies below and above it at which the owner's
    phase curve crosses zero. "Snap to zero" moves each limit onto the nearer of its two crossings.
    OK ends the modal run with 1, Cancel with 0.
*/
class DialogTargetPhase : public juce::Component,
                          public juce::Slider::Listener,
                          public juce::Button::Listener
{
public:
    /** Creates the controls, listens to both sliders and the three buttons and sizes the form to
        600 x 400 pixels. */
    DialogTargetPhase();

    /** Deletes the controls in the order they were created. */
    ~DialogTargetPhase() override;

    /** Fills the form with the look-and-feel's alert-window background colour. */
    void paint (juce::Graphics& g) override;

    /** Places OK, Cancel, the four readouts and "Snap to zero" (centred on the form's width). */
    void resized() override;

    /** With `targetData` set: writes both slider values (Hz) into the phase band of the target
        block and recomputes the readouts. Without it: nothing. */
    void sliderValueChanged (juce::Slider* slider) override;

    /** OK writes both slider values into the target block (when set) and ends the run with 1;
        Cancel ends it with 0 and leaves undoing the earlier slider changes to the owner; "Snap to
        zero" (with `targetData` set) moves each slider to the nearer of its two readouts, a tie
        going to the readout above, without notification. */
    void buttonClicked (juce::Button* button) override;

    /** Recomputes the four zero-crossing frequencies (Hz) from `frequencies`, `phase` and the
        band limits of `targetData` (the slider values while no target block is set) and shows them
        with two decimals. A value counts as zero only when it is exactly 0.0; a NaN has no sign.

        - readout 1: the crossing at or below the lower limit's grid point a, searched downwards;
          the lowest grid frequency when there is none;
        - readout 2: the crossing at or above a, searched upwards up to the upper limit's grid point
          b; f_b when there is none;
        - readout 3: the crossing at or below b, searched from b downwards to a; f_b when there is
          none;
        - readout 4: the crossing above b, searched upwards from the pair (b+1, b+2); the highest
          grid frequency when there is none.

        An exact zero wins at its own grid point; a sign change between two neighbours gives the
        one of the pair nearer the limit being searched from. A limit's grid point is the nearest
        one, the lower of two equally near points. */
    void updateZeroCrossings();

    /** The design's target block; set by the owner after construction, not owned; null until then. */
    TargetData* targetData = nullptr;

    /** Grid frequencies in Hz, ascending (1 x n); filled by the owner. */
    Matrix<double> frequencies;

    /** Phase at each grid frequency (1 x n), any unit whose zero is 0.0; filled by the owner. */
    Matrix<double> phase;

    /** The frequencies (Hz) shown in labelF1 .. labelF4. */
    std::array<double, 4> zeroCrossings { { 0.0, 0.0, 0.0, 0.0 } };

    std::unique_ptr<juce::Slider> sliderFMin; ///< lower band limit, Hz
    std::unique_ptr<juce::Slider> sliderFMax; ///< upper band limit, Hz
    std::unique_ptr<juce::Label> labelFrequencyRange;
    std::unique_ptr<juce::TextButton> textButtonOk;
    std::unique_ptr<juce::TextButton> textButtonCancel;
    std::unique_ptr<juce::Label> labelF1; ///< crossing below the lower limit
    std::unique_ptr<juce::Label> labelF2; ///< crossing above the lower limit
    std::unique_ptr<juce::Label> labelF3; ///< crossing below the upper limit
    std::unique_ptr<juce::Label> labelF4; ///< crossing above the upper limit
    std::unique_ptr<juce::TextButton> textButtonSnap;

private:
    void writeBandToTarget();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DialogTargetPhase)
};
