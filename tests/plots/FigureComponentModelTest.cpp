#include "FigureTestSupport.h"

#include <gtest/gtest.h>

namespace
{
using XScale = FigureComponent::XScale;

using figuretest::vectorOf;

std::vector<double> toVector (const juce::Array<double>& values)
{
    return { values.begin(), values.end() };
}

/** a, a + step, ..., computed as i * step + a. */
std::vector<double> steps (double a, double step, int count)
{
    std::vector<double> v;
    for (int i = 0; i < count; ++i)
        v.push_back (i * step + a);
    return v;
}

/** m * 10^k for m = 1..9 and k from first to last decade, with single-precision decades. */
std::vector<double> decadeLines (int first, int last)
{
    std::vector<double> v;
    for (int k = first; k <= last; ++k)
        for (int m = 1; m <= 9; ++m)
            v.push_back (m * (double) std::pow (10.0f, (float) k));
    return v;
}

using figuretest::setUpFrequencyPlot;
using figuretest::setUpTimePlot;
} // namespace

TEST (FigureModel, NewFigureHasTheDefaults)
{
    FigureComponent f;
    EXPECT_EQ (f.getWidth(), 600);
    EXPECT_EQ (f.getHeight(), 400);
    EXPECT_EQ (f.xScale, XScale::log);
    EXPECT_EQ (f.xLim, (std::array<double, 2> { 10.0, 20000.0 }));
    EXPECT_EQ (f.yLimLeft, (std::array<double, 2> { -120.0, 10.0 }));
    EXPECT_EQ (f.yLimRight, (std::array<double, 2> { -120.0, 10.0 }));
    EXPECT_TRUE (f.gridOn);
    EXPECT_FALSE (f.holdOn);
    EXPECT_FALSE (f.rightAxisOn);
    EXPECT_EQ (f.activeYAxis, 0);
    EXPECT_EQ (f.zoom, (std::array<double, 2> { 1.0, 1.0 }));
    EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));
    EXPECT_EQ (f.margins, (std::array<double, 4> { 20.0, 30.0, 45.0, 30.0 }));
    EXPECT_EQ (f.getNumCurves(), 0);

    EXPECT_EQ (toVector (f.xGridLines), decadeLines (1, 4)); // 10 ... 90000
    EXPECT_DOUBLE_EQ (f.xGridLines.getLast(), 90000.0);
    EXPECT_EQ (toVector (f.xTicks), (std::vector<double> { 10.0, 100.0, 1000.0, 10000.0 }));
    EXPECT_EQ (toVector (f.yTicksLeft), steps (-120.0, 10.0, 14));
    EXPECT_EQ (toVector (f.yGridLines), steps (-120.0, 10.0, 14));
    EXPECT_TRUE (f.yTicksRight.isEmpty());
}

TEST (FigureModel, FrequencyPlotGetsNineTicksOnBothAxes)
{
    FigureComponent f;
    setUpFrequencyPlot (f, 20000.0, 40.0, 120.0);

    EXPECT_TRUE (f.rightAxisOn);
    EXPECT_EQ (f.activeYAxis, 0);
    EXPECT_EQ (f.yLabelLeft, "Magnitude [dB]");
    EXPECT_EQ (f.yLabelRight, "Phase [rad/pi]");
    EXPECT_EQ (toVector (f.xTicks), (std::vector<double> { 10.0, 100.0, 1000.0, 10000.0 }));
    EXPECT_EQ (toVector (f.yTicksLeft), steps (40.0, 10.0, 9));
    // Right step 2 / (80 / 10) = 0.25: as many intervals as the left axis.
    EXPECT_EQ (toVector (f.yTicksRight), steps (-1.0, 0.25, 9));
    EXPECT_EQ (f.yLimRight, (std::array<double, 2> { -1.0, 1.0 }));
    EXPECT_EQ (toVector (f.xGridLines), decadeLines (1, 4));
}

TEST (FigureModel, TimePlotTicksAndGrid)
{
    FigureComponent f;
    setUpTimePlot (f, 4096.0 / 48000.0 * 1000.0);

    EXPECT_EQ (f.xScale, XScale::linear);
    EXPECT_EQ (toVector (f.xTicks), steps (0.0, 10.0, 9));
    EXPECT_EQ (toVector (f.xGridLines), steps (0.0, 10.0, 9));
    EXPECT_EQ (toVector (f.yTicksLeft), (std::vector<double> { -1.0, -0.5, 0.0, 0.5, 1.0 }));
    EXPECT_EQ (toVector (f.yGridLines), steps (-1.0, 0.125, 17));
    EXPECT_TRUE (f.yTicksRight.isEmpty());
}

TEST (FigureModel, LogDecadesStopBelowTheUpperLimitsDecade)
{
    FigureComponent f;
    f.xlim (10.0, 10000.0);
    f.ylim (-60.0, 20.0);
    EXPECT_EQ (toVector (f.xGridLines), decadeLines (1, 3));
    EXPECT_DOUBLE_EQ (f.xGridLines.getLast(), 9000.0);
    EXPECT_EQ (toVector (f.xTicks), (std::vector<double> { 10.0, 100.0, 1000.0 }));

    // Below 1: decades from 10^-1, computed in single precision.
    f.xlim (0.5, 100.0);
    f.ylim (-60.0, 20.0);
    ASSERT_EQ (f.xGridLines.size(), 27);
    EXPECT_EQ (f.xGridLines[0], (double) 0.1f);
    EXPECT_NE (f.xGridLines[0], 0.1);
    EXPECT_EQ (f.xGridLines[1], 2.0 * (double) 0.1f);
    EXPECT_EQ (f.xTicks[0], (double) 0.1f);
    EXPECT_EQ (f.xTicks.size(), 3);
}

TEST (FigureModel, StepsAreMultipliedNotAccumulated)
{
    FigureComponent f;
    f.setXScale (XScale::linear);
    f.gridStep = { 0.1, 0.1 };
    f.tickStep = { 0.1, 0.1 };
    f.xlim (0.0, 1.0);
    f.ylim (0.0, 1.0);

    // Ten additions of 0.1 give 0.9999999999999999; 10 * 0.1 gives 1.
    ASSERT_EQ (f.xGridLines.size(), 11);
    EXPECT_EQ (f.xGridLines.getLast(), 1.0);
    EXPECT_EQ (f.yGridLines.getLast(), 1.0);
    EXPECT_EQ (f.xTicks.getLast(), 1.0);
    EXPECT_EQ (f.yTicksLeft.getLast(), 1.0);
}

TEST (FigureModel, ZeroStepsAndDegenerateLimitsGiveNoOrSingleValues)
{
    for (auto scale : { XScale::log, XScale::linear })
    {
        FigureComponent f;
        f.yyaxis ("Right");
        f.ylim (-1.0, 1.0);
        f.yyaxis ("Left");
        f.setXScale (scale);
        f.tickStep = { 10.0, 0.0 };
        f.ylim (-60.0, 20.0);
        EXPECT_TRUE (f.yTicksLeft.isEmpty()) << "scale " << (int) scale;
        EXPECT_TRUE (f.yTicksRight.isEmpty()) << "scale " << (int) scale;
        EXPECT_FALSE (f.xTicks.isEmpty());
    }

    FigureComponent f;
    f.setXScale (XScale::linear);
    f.gridStep = { 0.0, 0.0 };
    f.tickStep = { 0.0, 10.0 };
    f.ylim (-60.0, 20.0);
    EXPECT_TRUE (f.xGridLines.isEmpty());
    EXPECT_TRUE (f.yGridLines.isEmpty());
    EXPECT_TRUE (f.xTicks.isEmpty());

    // Equal limits: one line and one tick at that value.
    f.gridStep = { 10.0, 10.0 };
    f.ylim (5.0, 5.0);
    EXPECT_EQ (toVector (f.yGridLines), (std::vector<double> { 5.0 }));
    EXPECT_EQ (toVector (f.yTicksLeft), (std::vector<double> { 5.0 }));

    // A log axis with limits of no finite logarithm has no lines at all.
    f.setXScale (XScale::log);
    f.xlim (0.0, 100.0);
    f.ylim (5.0, 5.0);
    EXPECT_TRUE (f.xGridLines.isEmpty());
    EXPECT_TRUE (f.xTicks.isEmpty());
}

TEST (FigureModel, RightAxisLimitsRefreshTicksButNotTheGrid)
{
    FigureComponent f;
    f.yyaxis ("Right");
    f.gridStep = { 10.0, 20.0 };
    f.ylim (-180.0, 180.0);

    EXPECT_EQ (toVector (f.yGridLines), steps (-120.0, 10.0, 14)); // unchanged
    EXPECT_EQ (f.yLimLeft, (std::array<double, 2> { -120.0, 10.0 }));
    EXPECT_EQ (toVector (f.yTicksRight), steps (-180.0, 360.0 / 13.0, 14));

    f.yyaxis ("Left");
    f.ylim (-120.0, 10.0);
    EXPECT_EQ (toVector (f.yGridLines), steps (-120.0, 20.0, 7));
}

TEST (FigureModel, OnlyExactLeftSelectsTheLeftAxis)
{
    FigureComponent f;
    f.yyaxis ("left");
    EXPECT_EQ (f.activeYAxis, 1);
    EXPECT_TRUE (f.rightAxisOn);

    f.yyaxis ("Left");
    EXPECT_EQ (f.activeYAxis, 0);
    EXPECT_TRUE (f.rightAxisOn); // never cleared

    f.yyaxis ("");
    EXPECT_EQ (f.activeYAxis, 1);

    f.ylabel ("right text");
    f.yyaxis ("Left");
    f.ylabel ("left text");
    EXPECT_EQ (f.yLabelRight, "right text");
    EXPECT_EQ (f.yLabelLeft, "left text");
}

TEST (FigureModel, HoldDecidesWhetherCurvesAccumulate)
{
    FigureComponent f;
    const auto x = vectorOf ({ 10.0, 100.0 });
    const juce::Colour colours[] = { juce::Colours::red, juce::Colours::green, juce::Colours::blue };

    for (auto c : colours)
        f.semilogx (x, vectorOf ({ 1.0, 2.0 }), c);

    ASSERT_EQ (f.getNumCurves(), 1);
    EXPECT_EQ (f.getCurve (0)->colour, juce::Colours::blue);

    f.semilogx (x, vectorOf ({ 1.0, 2.0 }), colours[0]);
    f.hold (true);
    f.semilogx (x, vectorOf ({ 1.0, 2.0 }), colours[1]);
    f.plot (x, vectorOf ({ 1.0, 2.0 }), colours[2]);
    f.hold (false);

    ASSERT_EQ (f.getNumCurves(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (f.getCurve (i)->colour, colours[i]) << "curve " << i;
    EXPECT_EQ (f.getCurve (3), nullptr);
    EXPECT_EQ (f.getCurve (-1), nullptr);

    f.clear();
    EXPECT_EQ (f.getNumCurves(), 0);
}

TEST (FigureModel, CurvesKeepTheAxisAndACopyOfTheValues)
{
    FigureComponent f;
    auto x = vectorOf ({ 10.0, 100.0, 1000.0 });
    auto y = vectorOf ({ 0.5, -0.5, 0.25 });

    f.yyaxis ("Right");
    f.semilogx (x, y, juce::Colours::red);
    f.hold (true);
    f.yyaxis ("Left");
    f.semilogx (x, y, juce::Colours::blue);
    f.hold (false);

    x.data[0] = 99.0;
    y.data[2] = 99.0;

    ASSERT_EQ (f.getNumCurves(), 2);
    EXPECT_EQ (f.getCurve (0)->yAxis, 1);
    EXPECT_EQ (f.getCurve (1)->yAxis, 0);
    EXPECT_EQ (f.getCurve (0)->x.data[0], 10.0);
    EXPECT_EQ (f.getCurve (0)->y.data[2], 0.25);
    EXPECT_EQ (f.getCurve (1)->size(), 3u);
}

TEST (FigureModel, PlottingChangesTheScaleButNotTheGrid)
{
    FigureComponent f;
    f.plot (vectorOf ({ 0.0, 1.0 }), vectorOf ({ 0.0, 1.0 }), juce::Colours::red);
    EXPECT_EQ (f.xScale, XScale::linear);
    EXPECT_EQ (toVector (f.xGridLines), decadeLines (1, 4)); // still the log lines

    f.setXScale (XScale::linear);
    f.xlim (0.0, 50.0);
    f.setXScale (XScale::linear);
    EXPECT_EQ (toVector (f.xGridLines), steps (0.0, 10.0, 6));

    f.semilogx (vectorOf ({ 10.0, 100.0 }), vectorOf ({ 0.0, 1.0 }), juce::Colours::red);
    EXPECT_EQ (f.xScale, XScale::log);
    EXPECT_EQ (toVector (f.xTicks), steps (0.0, 10.0, 6)); // until the next ylim or setXScale
}

TEST (FigureModel, XLimitsAloneRecomputeNothing)
{
    FigureComponent f;
    f.xlim (100.0, 1000.0);
    EXPECT_EQ (toVector (f.xGridLines), decadeLines (1, 4));
    f.ylim (-120.0, 10.0);
    EXPECT_EQ (toVector (f.xGridLines), decadeLines (2, 2));
}
