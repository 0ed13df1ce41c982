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
        main.updatePlots();
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

TEST_F (PlotUpdate, WindowsTargetsAndTogglesChooseTheCurves)
{
    // The default design: the input's unit impulse and its flat spectrum at the reference level of 80 dB.
    EXPECT_EQ (curvesOf (*grid.figInputTime)[0]->y.data[0], 1.0);
    for (double level : curvesOf (*grid.figInputFrequency)[1]->y.data)
        ASSERT_NEAR (level, 80.0, 1e-9);

    // Magnitudes and time signals on the left axis, phases on the right.
    const auto b = L (curveBlue), r = L (curveRed), o = L (curveOrange);
    const auto pb = R (phaseCurveBlue), pr = R (phaseCurveRed), po = R (phaseCurveOrange);
    const struct
    {
        std::function<void()> change;
        Shown inputTime, inputFrequency, filterTime, filterFrequency, resultFrequency;
    } steps[] = {
        { [] {}, { b }, { pb, b }, { b }, { pb, b }, { pb, b } },
        { [&] { select (*design.comboBoxWindow, WindowType::hann); }, { b, r }, { pb, b }, { b }, { pb, b }, { pb, b } },
        { [&] { select (*design.comboBoxWindowFilter, WindowType::hann); },
          { b, r }, { pb, b }, { b, r }, { pb, pr, b, r }, { pb, b } },
        { [&] { select (*design.comboBoxTargetMagnitude, TargetMagnitudeType::flat); },
          { b, r }, { pb, b, o }, { b, r }, { pb, pr, b, r }, { pb, b } },
        { [&] { select (*design.comboBoxTargetPhase, TargetPhaseType::zero); },
          { b, r }, { pb, po, b, o }, { b, r }, { pb, pr, b, r }, { pb, b } },
        { [&] { setToggles (true, false, false); }, { b, r }, { b, o }, { b, r }, { b, r }, { b } },
        { [&] { setToggles (false, true, false); }, { b, r }, { pb, po }, { b, r }, { pb, pr }, { pb } },
    };
    for (size_t i = 0; i < std::size (steps); ++i)
    {
        SCOPED_TRACE ("step " + std::to_string (i));
        steps[i].change();
        EXPECT_EQ (describeCurves (*grid.figInputTime), steps[i].inputTime);
        EXPECT_EQ (describeCurves (*grid.figInputFrequency), steps[i].inputFrequency);
        EXPECT_EQ (describeCurves (*grid.figFilterTime), steps[i].filterTime);
        EXPECT_EQ (describeCurves (*grid.figFilterFrequency), steps[i].filterFrequency);
        EXPECT_EQ (describeCurves (*grid.figResultFrequency), steps[i].resultFrequency);
    }
    EXPECT_EQ (curvesOf (*grid.figInputTime)[1]->y.data, design.inputData.window.data);
    EXPECT_EQ (curvesOf (*grid.figInputFrequency)[1]->x.data, design.targetData.bandFrequencies.data);

    // Both toggles off: the frequency plots keep what they had; the time plots are still redrawn.
    const auto* keptCurve = grid.figFilterFrequency->curves.get();
    const auto keptPhase = keptCurve->y.data;
    design.inputData.shiftedImpulseResponse.data[5] = 0.25;
    design.filterData.response.data[3] = { 0.0, 1.0 };
    setToggles (false, false, false);
    EXPECT_EQ (grid.figFilterFrequency->curves.get(), keptCurve);
    EXPECT_EQ (keptCurve->y.data, keptPhase);
    EXPECT_EQ (curvesOf (*grid.figInputTime)[0]->y.data[5], 0.25);
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
    const auto& unwrapped = curvesOf (*grid.figInputFrequency)[0]->y;
    for (size_t bin : { 1u, 100u, 1000u, 2047u })
        EXPECT_NEAR (unwrapped.data[bin], -200.0 * static_cast<double> (bin) / 4096.0, 1e-4) << "bin " << bin;
    // The result carries the same delay (and the filter's own), so it leaves the range -1..1 too.
    double largest = 0.0;
    for (double p : curvesOf (*grid.figResultFrequency)[0]->y.data)
        largest = std::max (largest, std::abs (p));
    EXPECT_GT (largest, 50.0);
}

TEST_F (PlotUpdate, AxesFollowTheImpulseLengthAndSampleRateAndOtherwiseKeepTheUsersZoom)
{
    grid.figInputTime->xlim (1.0, 2.0);
    design.inputChanged = design.targetChanged = design.filterChanged = true;
    main.updatePlots(); // axes unchanged since the start: the user's range stays
    expectLimits (grid.figInputTime->xLim, 1.0, 2.0);
    EXPECT_FALSE (design.inputChanged || design.targetChanged || design.filterChanged);

    select (*design.comboBoxNfft, 9); // 8192
    design.labelFs->setText ("96000", juce::sendNotificationSync); // typed into the sample-rate field
    ASSERT_EQ (design.NFFT, 8192u);
    ASSERT_EQ (design.fs, 96000.0);
    EXPECT_TRUE (design.axesChanged); // the update does not clear it
    expectLimits (grid.figInputTime->xLim, 0.0, 8192.0 / 96.0);
    expectLimits (grid.figFilterTime->xLim, 0.0, 8192.0 / 96.0);
    expectLimits (grid.figResultTime->xLim, 0.0, 2.0 * 8192.0 / 96.0);
    ASSERT_EQ (curvesOf (*grid.figResultTime)[0]->size(), 16384u);
    EXPECT_NEAR (curvesOf (*grid.figResultTime)[0]->x.data[16383], 16383.0 / 96.0, 1e-9);
    for (auto* figure : { grid.figInputFrequency.get(), grid.figFilterFrequency.get(), grid.figResultFrequency.get() })
    {
        expectLimits (figure->xLim, 10.0, 48000.0);
        EXPECT_EQ (figure->activeYAxis, 0); // the re-fit ends on the left axis
    }
    expectLimits (grid.figFilterFrequency->yLimLeft, -60.0, 20.0);
    expectLimits (grid.figResultFrequency->yLimLeft, 40.0, 120.0);
}
