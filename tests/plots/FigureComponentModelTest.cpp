#include "FigureTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using XScale = FigureComponent::XScale;
using Values = std::vector<double>;
using figuretest::vectorOf;

Values toVector (const juce::Array<double>& values)
{
    return { values.begin(), values.end() };
}

/** count values a, a + step, ..., each computed as i * step + a. */
Values steps (double a, double step, int count)
{
    Values v;
    for (int i = 0; i < count; ++i)
        v.push_back (i * step + a);
    return v;
}

/** m * 10^k for m = 1..multipliers and k from first to last, with single-precision decades. */
Values decades (int first, int last, int multipliers = 9)
{
    Values v;
    for (int k = first; k <= last; ++k)
        for (int m = 1; m <= multipliers; ++m)
            v.push_back (m * (double) std::pow (10.0f, (float) k));
    return v;
}
} // namespace

TEST (FigureModel, GridAndTicksFollowTheLimitsScaleAndSteps)
{
    struct Case
    {
        const char* what;
        std::function<void (FigureComponent&)> setUp;
        Values xGrid, xTicks, yGrid, leftTicks, rightTicks;
    };

    const auto leftDefault = steps (-120.0, 10.0, 14);
    const Case cases[] = {
        { "new figure", [] (FigureComponent&) {}, decades (1, 4), decades (1, 4, 1), leftDefault, leftDefault, {} },
        // Right step 2 / (80 / 10) = 0.25: as many intervals as the left axis.
        { "frequency plot", [] (FigureComponent& f) { figuretest::setUpFrequencyPlot (f, 20000.0, 40.0, 120.0); },
          decades (1, 4), decades (1, 4, 1), steps (40, 10, 9), steps (40, 10, 9), steps (-1, 0.25, 9) },
        { "time plot", [] (FigureComponent& f) { figuretest::setUpTimePlot (f, 4096.0 / 48.0); },
          steps (0, 10, 9), steps (0, 10, 9), steps (-1, 0.125, 17), steps (-1, 0.5, 5), {} },
        // 65536 samples at 1 Hz: 6.5 million 10 ms steps thinned to every 1000th, grid and ticks alike.
        { "time plot of millions of steps", [] (FigureComponent& f) { figuretest::setUpTimePlot (f, 65536.0 * 1000.0); },
          steps (0, 10000, 6554), steps (0, 10000, 6554), steps (-1, 0.125, 17), steps (-1, 0.5, 5), {} },
        // The loop stops below ceil(log10 max): the decade 10000 is neither a line nor a tick.
        { "upper limit on a decade", [] (FigureComponent& f) { f.xlim (10.0, 10000.0); f.ylim (-120.0, 10.0); },
          decades (1, 3), decades (1, 3, 1), leftDefault, leftDefault, {} },
        // Below 1: decades from 10^-1, computed from a single-precision 0.1.
        { "limits below one", [] (FigureComponent& f) { f.xlim (0.5, 100.0); f.ylim (-120.0, 10.0); },
          decades (-1, 1), decades (-1, 1, 1), leftDefault, leftDefault, {} },
        // Ten additions of 0.1 give 0.9999999999999999; 10 * 0.1 gives 1.
        { "steps are multiplied", [] (FigureComponent& f) { f.setXScale (XScale::linear); f.gridStep = f.tickStep = { 0.1, 0.1 }; f.xlim (0.0, 1.0); f.ylim (0.0, 1.0); },
          steps (0, 0.1, 11), steps (0, 0.1, 11), steps (0, 0.1, 11), steps (0, 0.1, 11), {} },
        { "no y tick step, log", [] (FigureComponent& f) { f.yyaxis ("Right"); f.ylim (-1.0, 1.0); f.yyaxis ("Left"); f.tickStep[1] = 0.0; f.ylim (-120.0, 10.0); },
          decades (1, 4), decades (1, 4, 1), leftDefault, {}, {} },
        { "no y tick step, linear", [] (FigureComponent& f) { f.yyaxis ("Right"); f.yyaxis ("Left"); f.tickStep[1] = 0.0; f.setXScale (XScale::linear); f.xlim (0.0, 20.0); f.ylim (-120.0, 10.0); },
          steps (0, 10, 3), steps (0, 10, 3), leftDefault, {}, {} },
        { "zero steps", [] (FigureComponent& f) { f.setXScale (XScale::linear); f.gridStep = { 0.0, 0.0 }; f.tickStep[0] = 0.0; f.ylim (-120.0, 10.0); },
          {}, {}, {}, leftDefault, {} },
        { "equal y limits", [] (FigureComponent& f) { f.ylim (5.0, 5.0); }, decades (1, 4), decades (1, 4, 1), { 5.0 }, { 5.0 }, {} },
        { "log axis from 0", [] (FigureComponent& f) { f.xlim (0.0, 100.0); f.ylim (-120.0, 10.0); }, {}, {}, leftDefault, leftDefault, {} },
        // Right limits refresh the ticks but not the grid.
        { "right limits", [] (FigureComponent& f) { f.yyaxis ("Right"); f.gridStep[1] = 20.0; f.ylim (-180.0, 180.0); },
          decades (1, 4), decades (1, 4, 1), leftDefault, leftDefault, steps (-180.0, 360.0 / 13.0, 14) },
        // x limits alone recompute nothing, nor does plotting on another scale.
        { "x limits alone", [] (FigureComponent& f) { f.xlim (100.0, 1000.0); }, decades (1, 4), decades (1, 4, 1), leftDefault, leftDefault, {} },
        { "plot on a log figure", [] (FigureComponent& f) { f.plot (vectorOf ({ 0.0, 1.0 }), vectorOf ({ 0.0, 1.0 }), juce::Colours::red); },
          decades (1, 4), decades (1, 4, 1), leftDefault, leftDefault, {} },
    };

    for (const auto& c : cases)
    {
        FigureComponent f;
        c.setUp (f);
        EXPECT_EQ (toVector (f.xGridLines), c.xGrid) << c.what;
        EXPECT_EQ (toVector (f.xTicks), c.xTicks) << c.what;
        EXPECT_EQ (toVector (f.yGridLines), c.yGrid) << c.what;
        EXPECT_EQ (toVector (f.yTicksLeft), c.leftTicks) << c.what;
        EXPECT_EQ (toVector (f.yTicksRight), c.rightTicks) << c.what;
    }
}

TEST (FigureModel, AxesLabelsAndCurvesGoWhereTheCallsSay)
{
    FigureComponent f;
    // Only the exact text "Left" selects the left axis; the right axis, once shown, stays.
    f.yyaxis ("left");
    EXPECT_EQ (f.activeYAxis, 1);
    EXPECT_TRUE (f.rightAxisOn);
    f.ylabel ("right text");
    f.yyaxis ("Left");
    f.ylabel ("left text");
    EXPECT_TRUE (f.rightAxisOn);
    EXPECT_EQ (f.yLabelRight, "right text");
    EXPECT_EQ (f.yLabelLeft, "left text");

    // Without hold a curve replaces the others; with it, curves accumulate in call order, each on
    // the axis active when it was added, with its own copy of the values.
    auto x = vectorOf ({ 10.0, 100.0, 1000.0 });
    auto y = vectorOf ({ 0.5, -0.5, 0.25 });
    f.semilogx (x, y, juce::Colours::green);
    f.semilogx (x, y, juce::Colours::red);
    f.hold (true);
    f.yyaxis ("Right");
    f.semilogx (x, y, juce::Colours::blue);
    f.yyaxis ("Left");
    f.plot (x, y, juce::Colours::white);
    f.hold (false);
    x.data[0] = y.data[2] = 99.0;

    ASSERT_EQ (f.getNumCurves(), 3);
    const juce::Colour colours[] = { juce::Colours::red, juce::Colours::blue, juce::Colours::white };
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (f.getCurve (i)->colour, colours[i]);
        EXPECT_EQ (f.getCurve (i)->yAxis, i == 1 ? 1 : 0);
        EXPECT_EQ (f.getCurve (i)->x.data[0], 10.0);
        EXPECT_EQ (f.getCurve (i)->y.data[2], 0.25);
    }
    EXPECT_EQ (f.getCurve (3), nullptr);
    EXPECT_EQ (f.getCurve (-1), nullptr);
    EXPECT_EQ (f.xScale, XScale::linear); // set by the last plot

    f.clear();
    EXPECT_EQ (f.getNumCurves(), 0);
}
