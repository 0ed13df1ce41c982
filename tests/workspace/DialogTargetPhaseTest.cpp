#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "workspace/DialogTargetPhase.h"
#include "workspace/ModalTestSupport.h"

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

Matrix<double> row (const std::vector<double>& values)
{
    Matrix<double> m (1, values.size());
    for (std::size_t k = 0; k < values.size(); ++k)
        m.data[k] = values[k];
    return m;
}

/** 0, 100, .., 1000 Hz: eleven points, index k at k * 100 Hz. */
Matrix<double> hundredHzGrid()
{
    std::vector<double> f;
    for (int k = 0; k <= 10; ++k)
        f.push_back (100.0 * k);
    return row (f);
}

/** 0, 11.71875, .. Hz: the first five bins at 48000 Hz and NFFT 4096. */
const std::vector<double> firstBins { 0.0, 11.71875, 23.4375, 35.15625, 46.875 };

/** A form on the given grid (the 100 Hz grid by default) with the given phase and band limits,
    pointed at `target`, with the sliders at the limits and the readouts computed. */
struct PhaseForm
{
    PhaseForm (const std::vector<double>& phase, double fminHz, double fmaxHz)
        : PhaseForm (hundredHzGrid(), phase, fminHz, fmaxHz)
    {
    }

    PhaseForm (const Matrix<double>& grid, const std::vector<double>& phase, double fminHz, double fmaxHz)
    {
        target.fminPhase = fminHz;
        target.fmaxPhase = fmaxHz;
        form.targetData = &target;
        form.sliderFMin->setValue (fminHz, juce::dontSendNotification);
        form.sliderFMax->setValue (fmaxHz, juce::dontSendNotification);
        form.frequencies = grid;
        form.phase = row (phase);
        form.updateZeroCrossings();
    }

    std::vector<juce::String> readouts() const
    {
        return { form.labelF1->getText(), form.labelF2->getText(), form.labelF3->getText(), form.labelF4->getText() };
    }

    TargetData target;
    DialogTargetPhase form;
};

using Readouts = std::vector<juce::String>;
} // namespace

// Readouts: below and above the lower limit's grid point a, below and above the upper limit's b.

TEST (DialogTargetPhaseZeroCrossings, WithoutAnySignChangeTheSearchesFallBackToTheEndsOfTheirRanges)
{
    PhaseForm p ({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }, 300.0, 700.0);
    EXPECT_EQ (p.readouts(), (Readouts { "0.00", "700.00", "700.00", "1000.00" }));
    EXPECT_EQ (p.form.zeroCrossings[3], 1000.0);
}

TEST (DialogTargetPhaseZeroCrossings, ALimitHalfwayBetweenTwoPointsBelongsToTheLowerOne)
{
    // Exact zeros at 300 and 800 Hz. With a at 200 Hz the zero at 300 lies above the lower limit;
    // with a at 300 Hz it would show in the first readout too. With b at 800 Hz its own zero is the
    // crossing above it; with b at 900 Hz the search above would find nothing.
    PhaseForm p ({ 1, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1 }, 250.0, 850.0);
    EXPECT_EQ (p.readouts(), (Readouts { "0.00", "300.00", "800.00", "800.00" }));
}

TEST (DialogTargetPhaseZeroCrossings, AnExactZeroAtTheLowerLimitIsBothOfItsCrossings)
{
    PhaseForm p ({ -1, -1, 1, 1, 0, 1, -1, -1, 1, 1, 1 }, 400.0, 800.0);
    EXPECT_EQ (p.readouts()[0], "400.00");
    EXPECT_EQ (p.readouts()[1], "400.00");
}

TEST (DialogTargetPhaseZeroCrossings, ASignChangeGivesThePointOfThePairNearerTheLimit)
{
    //               0  100 200 300 400 500 600 700 800 900 1000
    PhaseForm p ({ 1, 1, 1, -1, -1, -1, -1, -1, 1, 1, 1 }, 500.0, 900.0);
    // below a: pair (200, 300) -> 300; above a: pair (700, 800) -> 700;
    // below b: pair (700, 800) -> 800; above b: no pair above 900 decides -> 1000.
    EXPECT_EQ (p.readouts(), (Readouts { "300.00", "700.00", "800.00", "1000.00" }));
}

TEST (DialogTargetPhaseZeroCrossings, TheCrossingBelowTheUpperLimitIsSearchedOnlyDownToTheLowerLimit)
{
    // The only sign change lies below a (pair 200, 300), so nothing between a and b decides.
    PhaseForm p ({ -1, -1, -1, 1, 1, 1, 1, 1, 1, 1, 1 }, 500.0, 800.0);
    EXPECT_EQ (p.readouts(), (Readouts { "300.00", "800.00", "800.00", "1000.00" }));

    // An exact zero between the limits is found from both sides.
    PhaseForm z ({ 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1 }, 300.0, 800.0);
    EXPECT_EQ (z.readouts(), (Readouts { "0.00", "600.00", "600.00", "1000.00" }));

    // With several crossings between the limits, each search stops at the one nearest its limit.
    PhaseForm m ({ 1, 1, 1, -1, 1, 1, 1, -1, 1, 1, 1 }, 100.0, 1000.0);
    EXPECT_EQ (m.readouts(), (Readouts { "0.00", "200.00", "800.00", "1000.00" }));
}

TEST (DialogTargetPhaseZeroCrossings, AnExactZeroAtTheUpperLimitIsBothOfItsCrossings)
{
    PhaseForm p ({ 1, 1, -1, 1, 1, 1, 1, 0, 1, -1, 1 }, 400.0, 700.0);
    EXPECT_EQ (p.readouts()[2], "700.00");
    EXPECT_EQ (p.readouts()[3], "700.00");
}

TEST (DialogTargetPhaseZeroCrossings, TheSearchAboveTheUpperLimitStartsOnePointAboveIt)
{
    // b = 500 Hz. The sign change between 500 and 600 is not taken; the next one (800, 900) is.
    PhaseForm skip ({ 1, 1, 1, 1, 1, 1, -1, -1, -1, 1, 1 }, 100.0, 500.0);
    EXPECT_EQ (skip.readouts()[3], "800.00");

    // An exact zero at b+1 is taken.
    PhaseForm zero ({ 1, 1, 1, 1, 1, 1, 0, -1, -1, 1, 1 }, 100.0, 500.0);
    EXPECT_EQ (zero.readouts()[3], "600.00");

    // A sign change between b+1 and b+2 gives b+1.
    PhaseForm next ({ 1, 1, 1, 1, 1, 1, 1, -1, -1, -1, -1 }, 100.0, 500.0);
    EXPECT_EQ (next.readouts()[3], "600.00");

}

TEST (DialogTargetPhaseZeroCrossings, ANotANumberNeitherEndsNorDecidesASearch)
{
    PhaseForm p ({ 1, 1, -1, notANumber, 1, 1, 1, notANumber, -1, 1, 1 }, 600.0, 700.0);
    // Below 600: the pairs around the NaN at 300 do not decide; (100, 200) does -> 200.
    EXPECT_EQ (p.readouts()[0], "200.00");
    // Above 700: (800, 900) -> 800.
    EXPECT_EQ (p.readouts()[3], "800.00");
    // Between the limits nothing decides.
    EXPECT_EQ (p.readouts()[1], "700.00");
}

TEST (DialogTargetPhaseZeroCrossings, ReadoutsShowTwoDecimalsOfTheGridFrequency)
{
    PhaseForm p (row (firstBins), { 1, -1, -1, -1, -1 }, 20.0, 40.0);
    EXPECT_EQ (p.readouts()[0], "11.72");
    EXPECT_EQ (p.form.zeroCrossings[0], 11.71875);
    EXPECT_EQ (p.readouts()[3], "46.88");
}

TEST (DialogTargetPhaseZeroCrossings, APhaseShorterThanItsGridIsSearchedOnlyWhereItIsDefined)
{
    PhaseForm p ({ 1, 1, 1 }, 0.0, 1000.0);
    EXPECT_EQ (p.readouts()[2], "200.00");
    EXPECT_EQ (p.readouts()[3], "200.00");
}

TEST (DialogTargetPhaseZeroCrossings, ASinglePointGridShowsThatPointEverywhere)
{
    PhaseForm p (row ({ 50.0 }), { 1.0 }, 93.75, 24000.0);
    EXPECT_EQ (p.readouts(), (Readouts { "50.00", "50.00", "50.00", "50.00" }));
}

TEST (DialogTargetPhaseEditing, MovingALimitWritesTheBandAtOnceAndRefreshesTheReadouts)
{
    PhaseForm p ({ 1, 1, 1, -1, -1, -1, -1, -1, 1, 1, 1 }, 500.0, 900.0);
    p.form.sliderFMin->setValue (100.0, juce::sendNotificationSync);
    EXPECT_EQ (p.target.fminPhase, 100.0);
    EXPECT_EQ (p.target.fmaxPhase, 900.0);
    EXPECT_EQ (p.readouts()[1], "200.00");

    p.form.sliderFMax->setValue (200.0, juce::sendNotificationSync);
    EXPECT_EQ (p.target.fmaxPhase, 200.0);
    EXPECT_EQ (p.readouts()[3], "700.00");
}

TEST (DialogTargetPhaseEditing, SlidersWithoutATargetBlockWriteNothing)
{
    DialogTargetPhase form;
    form.sliderFMin->setValue (300.0, juce::sendNotificationSync);
    EXPECT_EQ (form.labelF1->getText(), "0.0");
}

TEST (DialogTargetPhaseEditing, CancelKeepsWhatTheSlidersWrote)
{
    TargetData target;
    auto form = std::make_unique<DialogTargetPhase>();
    form->targetData = &target;
    form->frequencies = hundredHzGrid();
    form->phase = row ({ 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 });
    form->setSize (320, 200);

    const int result = modaltest::runFormAndAct<DialogTargetPhase> (std::move (form), [] (DialogTargetPhase& open, juce::DialogWindow&)
    {
        open.sliderFMin->setValue (500.0, juce::sendNotificationSync);
        open.sliderFMax->setValue (600.0, juce::sendNotificationSync);
        open.textButtonCancel->triggerClick();
    });

    EXPECT_EQ (result, 0);
    EXPECT_EQ (target.fminPhase, 500.0);
    EXPECT_EQ (target.fmaxPhase, 600.0);
}

TEST (DialogTargetPhaseEditing, OkWritesBothLimitsAndOkWithoutATargetStillEndsWithOne)
{
    const auto clickOk = [] (DialogTargetPhase& open, juce::DialogWindow&) { open.textButtonOk->triggerClick(); };

    TargetData target;
    auto form = std::make_unique<DialogTargetPhase>();
    form->targetData = &target;
    form->setSize (320, 200);
    // Values set without notification reach the block only through OK.
    form->sliderFMin->setValue (1234.5, juce::dontSendNotification);
    form->sliderFMax->setValue (2345.6, juce::dontSendNotification);

    EXPECT_EQ (modaltest::runFormAndAct<DialogTargetPhase> (std::move (form), clickOk), 1);
    EXPECT_NEAR (target.fminPhase, 1234.5, 1e-9);
    EXPECT_NEAR (target.fmaxPhase, 2345.6, 1e-9);

    EXPECT_EQ (modaltest::runFormAndAct<DialogTargetPhase> (std::make_unique<DialogTargetPhase>(), clickOk), 1);
}

TEST (DialogTargetPhaseSnap, EachLimitMovesToTheNearerReadoutAndTiesGoUp)
{
    //                                 0  100 200 300 400 500 600 700 800 900 1000
    const std::vector<double> curve { 1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1 };
    const Readouts crossings { "200.00", "400.00", "700.00", "900.00" };

    // Both limits lie exactly halfway between their readouts: both go to the readout above.
    PhaseForm tie (curve, 300.0, 800.0);
    ASSERT_EQ (tie.readouts(), crossings);
    tie.form.buttonClicked (tie.form.textButtonSnap.get());
    EXPECT_EQ (tie.form.sliderFMin->getValue(), 400.0);
    EXPECT_EQ (tie.form.sliderFMax->getValue(), 900.0);
    // Snapping sends no notification: the block and the readouts stay until the next change.
    EXPECT_EQ (tie.target.fminPhase, 300.0);
    EXPECT_EQ (tie.target.fmaxPhase, 800.0);
    EXPECT_EQ (tie.readouts()[1], "400.00");

    PhaseForm below (curve, 290.0, 790.0);
    ASSERT_EQ (below.readouts(), crossings);
    below.form.buttonClicked (below.form.textButtonSnap.get());
    EXPECT_EQ (below.form.sliderFMin->getValue(), 200.0);
    EXPECT_EQ (below.form.sliderFMax->getValue(), 700.0);
}

TEST (DialogTargetPhaseSnap, SnapsToTheTwoDecimalReadoutRoundedToTheSliderStep)
{
    PhaseForm p (row (firstBins), { 1, 0, 1, 1, 1 }, 10.0, 30.0);
    ASSERT_EQ (p.readouts()[0], "11.72");
    p.form.buttonClicked (p.form.textButtonSnap.get());
    EXPECT_NEAR (p.form.sliderFMin->getValue(), 11.7, 1e-9);
}

TEST (DialogTargetPhaseSnap, WithoutATargetBlockSnapDoesNothing)
{
    DialogTargetPhase form;
    form.labelF1->setText ("100.00", juce::dontSendNotification);
    form.labelF2->setText ("200.00", juce::dontSendNotification);
    form.sliderFMin->setValue (150.0, juce::dontSendNotification);
    form.buttonClicked (form.textButtonSnap.get());
    EXPECT_EQ (form.sliderFMin->getValue(), 150.0);
}
