// What the six plots show for each state of the design and of the view toggles.
#include "AppTestSupport.h"

#include <cmath>
#include <random>

using namespace apptest;

namespace
{
class PlotUpdate : public AppTest
{
protected:
    MainComponent main;
    DesignComponent& design = main.designComponent;
    FigureGridComponent& grid = main.figureGrid;

    void select (juce::ComboBox& box, int id) { box.setSelectedId (id, juce::sendNotificationSync); }

    void setToggles (bool magnitudes, bool phases, bool unwrap)
    {
        design.toggleShowMagnitude->setToggleState (magnitudes, juce::dontSendNotification);
        design.toggleShowPhases->setToggleState (phases, juce::dontSendNotification);
        design.toggleButtonUnwarp->setToggleState (unwrap, juce::dontSendNotification);
    }
};

std::string L (ColourPaletteIndex role) { return "L:" + colourName (role); }
std::string R (ColourPaletteIndex role) { return "R:" + colourName (role); }
using Shown = std::vector<std::string>;

void expectLimits (const std::array<double, 2>& limits, double low, double high)
{
    EXPECT_NEAR (limits[0], low, 1e-9);
    EXPECT_NEAR (limits[1], high, 1e-9);
}
} // namespace

TEST_F (PlotUpdate, DefaultDesignShowsImpulsesFlatSpectraAndNoWindowOrTarget)
{
    EXPECT_EQ (describeCurves (*grid.figInputTime), Shown ({ L (curveBlue) }));
    EXPECT_EQ (describeCurves (*grid.figInputFrequency), Shown ({ R (phaseCurveBlue), L (curveBlue) }));
    EXPECT_EQ (describeCurves (*grid.figFilterTime), Shown ({ L (curveBlue) }));
    EXPECT_EQ (describeCurves (*grid.figFilterFrequency), Shown ({ R (phaseCurveBlue), L (curveBlue) }));
    EXPECT_EQ (describeCurves (*grid.figResultTime), Shown ({ L (curveBlue) }));
    EXPECT_EQ (describeCurves (*grid.figResultFrequency), Shown ({ R (phaseCurveBlue), L (curveBlue) }));

    const double spanMs = 4096.0 / 48.0;
    expectLimits (grid.figInputTime->xLim, 0.0, spanMs);
    expectLimits (grid.figFilterTime->xLim, 0.0, spanMs);
    expectLimits (grid.figResultTime->xLim, 0.0, 2.0 * spanMs);
    expectLimits (grid.figInputTime->yLimLeft, -1.0, 1.0);
    expectLimits (grid.figInputFrequency->xLim, 10.0, 24000.0);
    expectLimits (grid.figFilterFrequency->xLim, 10.0, 20000.0);
    expectLimits (grid.figResultFrequency->xLim, 10.0, 20000.0);
    expectLimits (grid.figInputFrequency->yLimLeft, 40.0, 120.0);
    expectLimits (grid.figFilterFrequency->yLimLeft, -60.0, 20.0);
    expectLimits (grid.figResultFrequency->yLimLeft, 40.0, 120.0);
    for (auto* figure : { grid.figInputFrequency.get(), grid.figFilterFrequency.get(), grid.figResultFrequency.get() })
    {
        EXPECT_TRUE (figure->rightAxisOn);
        EXPECT_EQ (figure->activeYAxis, 0);
        expectLimits (figure->yLimRight, -1.0, 1.0);
        EXPECT_EQ (figure->xScale, FigureComponent::XScale::log);
    }

    // The unit impulse of the input and its flat spectrum at the reference level of 80 dB.
    const auto& impulse = curvesOf (*grid.figInputTime)[0]->y;
    EXPECT_EQ (impulse.data[0], 1.0);
    EXPECT_EQ (impulse.data[1], 0.0);
    const auto& magnitude = curvesOf (*grid.figInputFrequency)[1]->y;
    ASSERT_EQ (magnitude.data.size(), 2049u);
    EXPECT_NEAR (magnitude.data[0], 80.0, 1e-9);
    EXPECT_NEAR (magnitude.data[2048], 80.0, 1e-9);
    // The result spans twice the impulse length.
    ASSERT_EQ (curvesOf (*grid.figResultTime)[0]->size(), 8192u);
    EXPECT_NEAR (curvesOf (*grid.figResultTime)[0]->x.data[8191], 8191.0 / 48.0, 1e-9);
}

TEST_F (PlotUpdate, ResultInTimeIsTheLinearConvolutionOfWindowedInputAndFir)
{
    select (*design.comboBoxNfft, 4); // 256 samples
    ASSERT_EQ (design.NFFT, 256u);

    std::mt19937 random (7);
    std::uniform_real_distribution<double> value (-1.0, 1.0);
    auto& input = design.inputData;
    auto& filter = design.filterData;
    for (size_t k = 0; k < 256; ++k)
    {
        input.shiftedImpulseResponse.data[k] = value (random);
        input.window.data[k] = 0.5 + 0.5 * value (random);
        filter.coefficients.data[k] = value (random);
    }
    main.updatePlots();

    const auto* result = curvesOf (*grid.figResultTime)[0];
    ASSERT_EQ (result->size(), 512u);
    double largest = 0.0;
    for (size_t n = 0; n < 512; ++n)
    {
        double expected = 0.0; // direct sum, independent of any transform
        for (size_t k = 0; k < 256; ++k)
            if (n >= k && n - k < 256)
                expected += input.shiftedImpulseResponse.data[k] * input.window.data[k] * filter.coefficients.data[n - k];
        largest = std::max (largest, std::abs (expected));
        // Single-precision transforms of 512 points: a few 1e-6 of the signal's scale.
        ASSERT_NEAR (result->y.data[n], expected, 1e-4) << "sample " << n;
    }
    EXPECT_GT (largest, 1.0); // the comparison above was not between near-zero values
    EXPECT_NEAR (result->x.data[511], 511.0 / 48.0, 1e-9);
}

TEST_F (PlotUpdate, WindowsAddRedCurvesAndTargetsOrangeOnesOverTheirBand)
{
    select (*design.comboBoxWindow, WindowType::hann);
    EXPECT_EQ (describeCurves (*grid.figInputTime), Shown ({ L (curveBlue), L (curveRed) }));
    EXPECT_EQ (curvesOf (*grid.figInputTime)[1]->y.data, design.inputData.window.data);
    select (*design.comboBoxWindowFilter, WindowType::hann);
    EXPECT_EQ (describeCurves (*grid.figFilterTime), Shown ({ L (curveBlue), L (curveRed) }));
    EXPECT_EQ (describeCurves (*grid.figFilterFrequency),
               Shown ({ R (phaseCurveBlue), R (phaseCurveRed), L (curveBlue), L (curveRed) }));

    select (*design.comboBoxTargetMagnitude, TargetMagnitudeType::flat);
    EXPECT_EQ (describeCurves (*grid.figInputFrequency), Shown ({ R (phaseCurveBlue), L (curveBlue), L (curveOrange) }));
    select (*design.comboBoxTargetPhase, TargetPhaseType::zero);
    EXPECT_EQ (describeCurves (*grid.figInputFrequency),
               Shown ({ R (phaseCurveBlue), R (phaseCurveOrange), L (curveBlue), L (curveOrange) }));
    EXPECT_EQ (curvesOf (*grid.figInputFrequency)[3]->x.data, design.targetData.bandFrequencies.data);
}

TEST_F (PlotUpdate, TogglesChooseMagnitudesPhasesOrKeepTheOldCurves)
{
    select (*design.comboBoxTargetMagnitude, TargetMagnitudeType::flat);
    select (*design.comboBoxWindowFilter, WindowType::hann);

    setToggles (true, false, false);
    main.updatePlots();
    EXPECT_EQ (describeCurves (*grid.figInputFrequency), Shown ({ L (curveBlue), L (curveOrange) }));
    EXPECT_EQ (describeCurves (*grid.figFilterFrequency), Shown ({ L (curveBlue), L (curveRed) }));
    EXPECT_EQ (describeCurves (*grid.figResultFrequency), Shown ({ L (curveBlue) }));

    setToggles (false, true, false);
    main.updatePlots();
    EXPECT_EQ (describeCurves (*grid.figInputFrequency), Shown ({ R (phaseCurveBlue) })); // phase target is None
    EXPECT_EQ (describeCurves (*grid.figFilterFrequency), Shown ({ R (phaseCurveBlue), R (phaseCurveRed) }));
    EXPECT_EQ (describeCurves (*grid.figResultFrequency), Shown ({ R (phaseCurveBlue) }));

    // Both off: the frequency plots keep what they had; the time plots are still redrawn.
    const auto* keptCurve = grid.figFilterFrequency->curves.get();
    const auto keptPhase = keptCurve->y.data;
    design.inputData.shiftedImpulseResponse.data[5] = 0.25;
    design.filterData.response.data[3] = { 0.0, 1.0 };
    setToggles (false, false, false);
    main.updatePlots();
    EXPECT_EQ (grid.figFilterFrequency->curves.get(), keptCurve);
    EXPECT_EQ (grid.figFilterFrequency->curves->y.data, keptPhase);
    EXPECT_EQ (describeCurves (*grid.figFilterFrequency), Shown ({ R (phaseCurveBlue), R (phaseCurveRed) }));
    EXPECT_EQ (curvesOf (*grid.figInputTime)[0]->y.data[5], 0.25);
}

TEST_F (PlotUpdate, PhasesAreInUnitsOfPiAndUnwrappedOnRequest)
{
    // A delay of 100 samples: the input phase falls by 2 pi * 100 / NFFT per bin.
    design.sliderShift->setValue (100.0, juce::sendNotificationSync);
    ASSERT_EQ (design.inputData.shift, 100);

    const auto wrapped = curvesOf (*grid.figInputFrequency)[0]->y;
    for (double p : wrapped.data)
        ASSERT_LE (std::abs (p), 1.0 + 1e-12);
    EXPECT_NEAR (wrapped.data[1], -200.0 / 4096.0, 1e-6);

    setToggles (true, true, true);
    main.updatePlots();
    const auto& unwrapped = curvesOf (*grid.figInputFrequency)[0]->y;
    for (size_t bin : { 1u, 100u, 1000u, 2047u })
        EXPECT_NEAR (unwrapped.data[bin], -200.0 * static_cast<double> (bin) / 4096.0, 1e-4) << "bin " << bin;
    // The result carries the same delay (and the filter's own), so it leaves the range -1..1 too.
    double largest = 0.0;
    for (double p : curvesOf (*grid.figResultFrequency)[0]->y.data)
        largest = std::max (largest, std::abs (p));
    EXPECT_GT (largest, 50.0);
}

TEST_F (PlotUpdate, AxesFollowTheImpulseLengthAndSampleRate)
{
    select (*design.comboBoxNfft, 9); // 8192
    ASSERT_EQ (design.NFFT, 8192u);
    ASSERT_TRUE (design.axesChanged);
    expectLimits (grid.figInputTime->xLim, 0.0, 8192.0 / 48.0);
    expectLimits (grid.figFilterTime->xLim, 0.0, 8192.0 / 48.0);
    expectLimits (grid.figResultTime->xLim, 0.0, 2.0 * 8192.0 / 48.0);
    EXPECT_EQ (curvesOf (*grid.figResultTime)[0]->size(), 16384u);
    for (auto* figure : { grid.figInputFrequency.get(), grid.figFilterFrequency.get(), grid.figResultFrequency.get() })
        expectLimits (figure->xLim, 10.0, 24000.0);
    expectLimits (grid.figFilterFrequency->yLimLeft, -60.0, 20.0);
    expectLimits (grid.figInputFrequency->yLimLeft, 40.0, 120.0);

    design.labelFs->setText ("96000", juce::sendNotificationSync); // typed into the sample-rate field
    ASSERT_EQ (design.fs, 96000.0);
    expectLimits (grid.figInputTime->xLim, 0.0, 8192.0 / 96.0);
    expectLimits (grid.figResultTime->xLim, 0.0, 2.0 * 8192.0 / 96.0);
    EXPECT_NEAR (curvesOf (*grid.figResultTime)[0]->x.data[16383], 16383.0 / 96.0, 1e-9);
    for (auto* figure : { grid.figInputFrequency.get(), grid.figFilterFrequency.get(), grid.figResultFrequency.get() })
    {
        expectLimits (figure->xLim, 10.0, 48000.0);
        EXPECT_EQ (figure->activeYAxis, 0); // the re-fit ends on the left axis
    }
}

TEST_F (PlotUpdate, ZoomSurvivesAnUpdateAndTheBlockFlagsButNotTheAxesFlagAreCleared)
{
    grid.figInputTime->xlim (1.0, 2.0);
    design.inputChanged = design.targetChanged = design.filterChanged = true;
    main.updatePlots(); // axes unchanged since the start: the user's range stays
    expectLimits (grid.figInputTime->xLim, 1.0, 2.0);
    EXPECT_FALSE (design.inputChanged || design.targetChanged || design.filterChanged);

    design.axesChanged = true;
    main.updatePlots();
    EXPECT_TRUE (design.axesChanged);
}
