// The target phase form: the four zero-crossing readouts around the band limits, the band edits
// and the snap of the limits to the readouts.
#include "GuiTestSupport.h"

#include "workspace/DialogTargetMagnitude.h"
#include "workspace/DialogTargetPhase.h"

#include <limits>

using namespace guitest;

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

/** 0, 100, .., 1000 Hz: eleven points, index k at k * 100 Hz. */
const std::vector<double> hundredHzGrid { 0, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000 };

/** 0, 11.71875, .. Hz: the first five bins at 48000 Hz and NFFT 4096. */
const std::vector<double> firstBins { 0.0, 11.71875, 23.4375, 35.15625, 46.875 };

using Readouts = std::vector<juce::String>;

/** A form on a grid with the given phase and band limits, pointed at its own target, with the
    sliders at the limits and the readouts computed. */
struct PhaseForm
{
    PhaseForm (const std::vector<double>& phase, double fminHz, double fmaxHz,
               const std::vector<double>& grid = hundredHzGrid)
    {
        target.fminPhase = fminHz;
        target.fmaxPhase = fmaxHz;
        form.targetData = &target;
        form.sliderFMin->setValue (fminHz, juce::dontSendNotification);
        form.sliderFMax->setValue (fmaxHz, juce::dontSendNotification);
        form.frequencies = Matrix<double> (1, grid.size(), grid);
        form.phase = Matrix<double> (1, phase.size(), phase);
        form.updateZeroCrossings();
    }

    Readouts readouts() const
    {
        return { form.labelF1->getText(), form.labelF2->getText(), form.labelF3->getText(), form.labelF4->getText() };
    }

    void snap() { form.buttonClicked (form.textButtonSnap.get()); }

    TargetData target;
    DialogTargetPhase form;
};
} // namespace

// Readouts: the crossings below and above the lower limit's grid point a, below and above the
// upper limit's grid point b. An empty expectation is not checked.
TEST (DialogTargetPhase, ZeroCrossingReadouts)
{
    struct Case { const char* what; std::vector<double> phase; double fmin, fmax; Readouts expected; std::vector<double> grid = hundredHzGrid; };
    const Case cases[] = {
        { "no sign change: the ends of the ranges", { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }, 300, 700,
          { "0.00", "700.00", "700.00", "1000.00" } },
        { "a limit halfway between two points belongs to the lower one", { 1, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1 }, 250, 850,
          { "0.00", "300.00", "800.00", "800.00" } },
        { "an exact zero at the lower limit", { -1, -1, 1, 1, 0, 1, -1, -1, 1, 1, 1 }, 400, 800, { "400.00", "400.00", "", "" } },
        { "an exact zero at the upper limit", { 1, 1, -1, 1, 1, 1, 1, 0, 1, -1, 1 }, 400, 700, { "", "", "700.00", "700.00" } },
        { "a sign change gives the point of the pair nearer the limit", { 1, 1, 1, -1, -1, -1, -1, -1, 1, 1, 1 }, 500, 900,
          { "300.00", "700.00", "800.00", "1000.00" } },
        { "below b is searched only down to a", { -1, -1, -1, 1, 1, 1, 1, 1, 1, 1, 1 }, 500, 800,
          { "300.00", "800.00", "800.00", "1000.00" } },
        { "a zero between the limits is found from both sides", { 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1 }, 300, 800,
          { "0.00", "600.00", "600.00", "1000.00" } },
        { "each search stops at the crossing nearest its limit", { 1, 1, 1, -1, 1, 1, 1, -1, 1, 1, 1 }, 100, 1000,
          { "0.00", "200.00", "800.00", "1000.00" } },
        { "above b starts one point above it", { 1, 1, 1, 1, 1, 1, -1, -1, -1, 1, 1 }, 100, 500, { "", "", "", "800.00" } },
        { "an exact zero at b+1", { 1, 1, 1, 1, 1, 1, 0, -1, -1, 1, 1 }, 100, 500, { "", "", "", "600.00" } },
        { "a sign change between b+1 and b+2", { 1, 1, 1, 1, 1, 1, 1, -1, -1, -1, -1 }, 100, 500, { "", "", "", "600.00" } },
        { "NaN neither ends nor decides a search", { 1, 1, -1, notANumber, 1, 1, 1, notANumber, -1, 1, 1 }, 600, 700,
          { "200.00", "700.00", "", "800.00" } },
        { "a phase shorter than its grid", { 1, 1, 1 }, 0, 1000, { "", "", "200.00", "200.00" } },
        { "a single point grid", { 1 }, 93.75, 24000, { "50.00", "50.00", "50.00", "50.00" }, { 50.0 } },
        { "two decimals of the grid frequency", { 1, -1, -1, -1, -1 }, 20, 40, { "11.72", "", "", "46.88" }, firstBins },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        PhaseForm p (c.phase, c.fmin, c.fmax, c.grid);
        const auto shown = p.readouts();
        for (size_t i = 0; i < 4; ++i)
            EXPECT_TRUE (c.expected[i].isEmpty() || shown[i] == c.expected[i]) << "readout " << i + 1 << ": " << shown[i];
    }
}

TEST (DialogTargetPhase, MovingALimitWritesTheBandAtOnceAndUpdatesTheReadouts)
{
    PhaseForm p ({ 1, 1, 1, -1, -1, -1, -1, -1, 1, 1, 1 }, 500.0, 900.0);
    p.form.sliderFMin->setValue (100.0, juce::sendNotificationSync);
    EXPECT_EQ (p.target.fminPhase, 100.0);
    EXPECT_EQ (p.target.fmaxPhase, 900.0);
    EXPECT_EQ (p.readouts()[1], "200.00");

    // Values set without notification reach the block through OK.
    p.form.sliderFMax->setValue (2345.6, juce::dontSendNotification);
    p.form.buttonClicked (p.form.textButtonOk.get());
    EXPECT_EQ (p.target.fmaxPhase, 2345.6);

    // Without a target block the sliders write nowhere, and OK of either target form still ends
    // the run with 1.
    DialogTargetPhase orphan;
    orphan.sliderFMin->setValue (300.0, juce::sendNotificationSync);
    const auto okEndsTheRun = [] (juce::Component* form)
    {
        ModalScript script;
        script.then ([] (juce::Component& modal) { find<juce::Button> (modal, "textButtonOk")->triggerClick(); });
        juce::DialogWindow::LaunchOptions options;
        options.content.setOwned (form);
        return options.runModal();
    };
    EXPECT_EQ (okEndsTheRun (new DialogTargetPhase()), 1);
    EXPECT_EQ (okEndsTheRun (new DialogTargetMagnitude()), 1);
}

TEST (DialogTargetPhase, SnapMovesEachLimitToTheNearerReadoutAndTiesGoUp)
{
    //                                 0  100 200 300 400 500 600 700 800 900 1000
    const std::vector<double> curve { 1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1 };
    struct Case { double fmin, fmax, snappedMin, snappedMax; };
    // Readouts 200, 400 around the lower limit and 700, 900 around the upper one.
    for (const auto& c : { Case { 300.0, 800.0, 400.0, 900.0 }, Case { 290.0, 790.0, 200.0, 700.0 } })
    {
        PhaseForm p (curve, c.fmin, c.fmax);
        p.snap();
        EXPECT_EQ (p.form.sliderFMin->getValue(), c.snappedMin);
        EXPECT_EQ (p.form.sliderFMax->getValue(), c.snappedMax);
        EXPECT_EQ (p.target.fminPhase, c.fmin); // no notification: the block waits for the next change
    }

    // The two-decimal readout, rounded to the slider's step.
    PhaseForm fine ({ 1, 0, 1, 1, 1 }, 10.0, 30.0, firstBins);
    ASSERT_EQ (fine.readouts()[0], "11.72");
    fine.snap();
    EXPECT_EQ (fine.form.sliderFMin->getValue(), 11.7);

    // Without a target block snap does nothing.
    DialogTargetPhase orphan;
    orphan.labelF2->setText ("200.00", juce::dontSendNotification);
    orphan.sliderFMin->setValue (150.0, juce::dontSendNotification);
    orphan.buttonClicked (orphan.textButtonSnap.get());
    EXPECT_EQ (orphan.sliderFMin->getValue(), 150.0);
}
