#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "workspace/ButtonsTestSupport.h"
#include "workspace/ModalTestSupport.h"

using buttonstest::Workspace;

namespace
{
/** A filter impulse response of NFFT zeros with the given samples set (0-based positions). */
Matrix<double> impulseWith (std::uint64_t nfft, std::initializer_list<std::pair<std::size_t, double>> samples)
{
    Matrix<double> ir (1, nfft);
    for (const auto& s : samples)
        ir.data[s.first] = s.second;
    return ir;
}

/** Clicks the filter window's peak button with the given response, window type and length. */
void clickPeakButton (Workspace& w, Matrix<double> ir, std::int32_t windowType, std::uint64_t windowLength)
{
    w.design.filterData.impulseResponse = std::move (ir);
    w.design.filterData.windowType = windowType;
    w.design.filterData.windowLength = windowLength;
    w.markCoefficients();
    w.design.buttonClicked (w.design.textButtonMaxWindowShiftFilter.get());
}
} // namespace

TEST (DesignComponentButtonsFilterWindow, MaxLengthSetsNfftEvenWithoutAWindowAndRecomputes)
{
    Workspace w;
    w.design.filterData.windowType = 1;
    w.design.filterData.windowLength = 1024;
    w.design.sliderWindowLengthFilter->setValue (1024, juce::dontSendNotification);
    w.design.labelWindowLengthTimeFilter->setText ("21.33 ms", juce::dontSendNotification);

    w.design.buttonClicked (w.design.textButtonMaxWindowLengthFilter.get());

    EXPECT_EQ (w.design.filterData.windowLength, 4096u);
    EXPECT_EQ (w.design.sliderWindowLengthFilter->getValue(), 4096.0);
    EXPECT_EQ (w.design.labelWindowLengthTimeFilter->getText(), "85.33 ms");
    EXPECT_TRUE (w.recomputed());
    EXPECT_EQ (w.notifications, 1);
    EXPECT_FALSE (w.design.filterChanged);
}

TEST (DesignComponentButtonsFilterWindow, MaxShiftCentresTheWindowOnTheOneBasedPeak)
{
    Workspace w;

    // Peak at 0-based sample 2048 (position 2049), Hann window of 1024: 2049 - 512.
    clickPeakButton (w, impulseWith (4096, { { 2048, 1.0 } }), 2, 1024);
    EXPECT_EQ (w.design.filterData.windowShift, 1537);
    EXPECT_EQ (w.design.sliderWindowShiftFilter->getValue(), 1537.0);
    EXPECT_EQ (w.design.labelWindowShiftTimeFilter->getText(), "32.02 ms");
    EXPECT_TRUE (w.recomputed());
    EXPECT_FALSE (w.design.filterChanged);

    // A Hann 50% window always spans NFFT samples, whatever its stored length: 2049 - 2048.
    clickPeakButton (w, impulseWith (4096, { { 2048, 1.0 } }), 3, 1024);
    EXPECT_EQ (w.design.filterData.windowShift, 1);
    EXPECT_EQ (w.design.labelWindowShiftTimeFilter->getText(), "0.02 ms");

    // Half of an odd length is truncated: 2049 - 2047.
    clickPeakButton (w, impulseWith (4096, { { 2048, 1.0 } }), 2, 4095);
    EXPECT_EQ (w.design.filterData.windowShift, 2);
}

TEST (DesignComponentButtonsFilterWindow, MaxShiftTakesTheFirstLargestMagnitudeAndMayGoNegative)
{
    Workspace w;

    // A negative sample counts by its magnitude; of two equal magnitudes the first wins.
    clickPeakButton (w, impulseWith (4096, { { 100, 1.0 }, { 3000, -2.0 }, { 3500, 2.0 } }), 1, 4096);
    EXPECT_EQ (w.design.filterData.windowShift, 3001 - 2048);

    // A not-a-number sample never becomes the peak.
    clickPeakButton (w, impulseWith (4096, { { 10, std::numeric_limits<double>::quiet_NaN() }, { 20, 0.5 } }), 1, 4096);
    EXPECT_EQ (w.design.filterData.windowShift, 21 - 2048);

    // Peak on the first sample: 1 - 2048, shown as a negative time.
    clickPeakButton (w, impulseWith (4096, { { 0, 1.0 } }), 1, 4096);
    EXPECT_EQ (w.design.filterData.windowShift, -2047);
    EXPECT_EQ (w.design.labelWindowShiftTimeFilter->getText(), "-42.65 ms");
}

TEST (DesignComponentButtonsFilterWindow, MaxShiftOnTheDefaultDesignGivesOneSample)
{
    Workspace w;
    w.design.calculate (true);
    ASSERT_EQ (w.design.filterData.impulseResponse.data[2048], 1.0);

    w.markCoefficients();
    w.design.buttonClicked (w.design.textButtonMaxWindowShiftFilter.get());
    EXPECT_EQ (w.design.filterData.windowShift, 1);
    EXPECT_EQ (w.design.labelWindowShiftTimeFilter->getText(), "0.02 ms");
    EXPECT_TRUE (w.recomputed());
}

TEST (DesignComponentButtonsToggles, MinimumPhaseFollowsTheToggleAndRecomputes)
{
    Workspace w;
    w.design.toggleMinimumPhase->triggerClick();
    modaltest::pump();
    EXPECT_TRUE (w.design.toggleMinimumPhase->getToggleState());
    EXPECT_TRUE (w.design.filterData.minimumPhase);
    EXPECT_TRUE (w.recomputed());
    EXPECT_FALSE (w.design.filterChanged);

    w.markCoefficients();
    w.design.toggleMinimumPhase->triggerClick();
    modaltest::pump();
    EXPECT_FALSE (w.design.filterData.minimumPhase);
    EXPECT_TRUE (w.recomputed());
    EXPECT_EQ (w.notifications, 2);
}

TEST (DesignComponentButtonsToggles, DisplayTogglesRedrawWithoutRecomputing)
{
    Workspace w;

    for (auto* toggle : { w.design.toggleShowMagnitude.get(), w.design.toggleShowPhases.get(), w.design.toggleButtonUnwarp.get() })
    {
        const bool before = toggle->getToggleState();
        toggle->triggerClick();
        modaltest::pump();
        EXPECT_NE (toggle->getToggleState(), before) << toggle->getName();
    }

    EXPECT_EQ (w.notifications, 3);
    EXPECT_FALSE (w.recomputed());
    EXPECT_FALSE (w.design.inputChanged || w.design.targetChanged || w.design.filterChanged);
    EXPECT_FALSE (w.design.filterData.minimumPhase);
}

TEST (DesignComponentButtonsToggles, AButtonThatIsNoChildIsIgnored)
{
    Workspace w;
    juce::TextButton stranger ("textButtonExport");
    w.design.buttonClicked (&stranger);
    w.design.buttonClicked (nullptr);
    EXPECT_EQ (w.notifications, 0);
    EXPECT_FALSE (w.recomputed());
}
