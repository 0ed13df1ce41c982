#pragma once

#include "design/DesignData.h"
#include "numerics/Matrix.h"
#include "plots/FigureComponent.h"
#include "workspace/FrequencyValueTableComponent.h"
#include "workspace/IirTableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdint>
#include <memory>

/**
    The editor of the design's filter-response section: a plot of the section's response over the
    top half, below it the table of user-defined points (left) and the table of IIR sections (right),
    each with "Add" and "Delete", two toggles that choose the magnitude and phase curves, and "OK"
    and "Cancel".

    The editor works on the design's FilterData in place: it writes both tables into the block when
    it opens and after every change, so "OK" and "Cancel" only end the modal run of the window that
    hosts it, with 1 and 0; whoever runs it keeps the block as it was before and puts it back after
    anything but "OK". The preview always uses the editor's own 48000 Hz and its own grid of
    2048 points from 0 to 24000 Hz, whatever the design's sample rate and FFT length. It leaves out
    the sections that the design leaves out (those not valid at the design's rate) and those not
    valid at 48000 Hz (above 24000 Hz, say).
*/
class FilterComponent : public juce::Component,
                        public ValueTableComponent::Listener,
                        public juce::Button::Listener
{
public:
    /** Fills the tables from the block (which must outlive the editor), lays out the children at
        1024 x 768 and draws the preview, which already writes the tables back into the block.
        designSampleRate (Hz) is the design's rate: the IIR table accepts only sections valid at it. */
    explicit FilterComponent (FilterData* filterDataToEdit, double designSampleRate = 48000.0);
    ~FilterComponent() override;

    /** Fills the editor with the look-and-feel's window background. */
    void paint (juce::Graphics& g) override;

    /** Plot over the top half, the two tables side by side below it, their buttons under them,
        the toggles bottom left, "Cancel" and "OK" bottom right. */
    void resized() override;

    /** Recomputes the preview (and writes the tables back), whichever table changed. */
    void valueTableChanged (ValueTableComponent* table) override;

    /** "Add" appends a new row, "Delete" removes the first selected row of its table (if any),
        "OK" and "Cancel" end the top-level window's modal state with 1 and 0, the toggles redraw. */
    void buttonClicked (juce::Button* button) override;

    /** Computes the points' response, the IIR cascade and their product on the editor's grid at its
        sample rate, draws the chosen curves (phases in degrees on the right axis, magnitudes in dB on
        the left), and writes the points sorted by frequency (points at one frequency in table order)
        and the sections in table order into the FilterData block, unless it already holds them. */
    void updateFrequencyResponse();

    /** The preview's frequencies in Hz: NFFT/2 points from 0 to fs/2. */
    Matrix<double> frequencyGrid;
    /** The preview's sample rate in Hz; always 48000. */
    double fs = 48000.0;
    /** Sizes frequencyGrid only; always 4096. */
    std::uint64_t NFFT = 4096;
    /** The edited block (not owned). */
    FilterData* filterData = nullptr;

    std::unique_ptr<FrequencyValueTableComponent> frequencyValueTable;
    std::unique_ptr<juce::TextButton> textButtonAddFr;
    std::unique_ptr<FigureComponent> figFrequencyResponse;
    std::unique_ptr<IirTableComponent> iirTable;
    std::unique_ptr<juce::TextButton> textButtonAddIir;
    std::unique_ptr<juce::TextButton> textButtonDeleteFr;
    std::unique_ptr<juce::TextButton> textButtonDeleteIir;
    std::unique_ptr<juce::TextButton> textButtonOK;
    std::unique_ptr<juce::TextButton> textButtonCancel;
    std::unique_ptr<juce::ToggleButton> toggleButtonShowMagnitudes;
    std::unique_ptr<juce::ToggleButton> toggleButtonShowPhases;

private:
    template <typename ButtonType>
    std::unique_ptr<ButtonType> makeButton (const juce::String& name, const juce::String& text);

    void fillTablesFromFilterData();

    template <typename Table>
    static void deleteFirstSelectedRow (Table& table);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FilterComponent)
};
