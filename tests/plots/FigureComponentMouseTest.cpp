#include "plots/FigureComponent.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
using FC = FigureComponent;
using XScale = FC::XScale;

juce::MouseEvent eventAt (FC& f, float x, float y, juce::ModifierKeys mods = {})
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (source, { x, y }, mods, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &f, &f, now, { x, y }, now, 1, false);
}

void drag (FC& f, juce::Point<float> from, juce::Point<float> to)
{
    f.mouseDown (eventAt (f, from.x, from.y));
    f.mouseDrag (eventAt (f, (from.x + to.x) / 2, (from.y + to.y) / 2));
    f.mouseDrag (eventAt (f, to.x, to.y));
    f.mouseUp (eventAt (f, to.x, to.y));
}

/** The data point under a component position, by the pan/zoom geometry. */
juce::Point<double> dataAt (const FC& f, juce::Point<float> p)
{
    const auto panArea = f.getPanArea();
    const double ux = FC::pixelToFraction (p.x - f.margins[2], panArea.x, f.zoom[0], f.pan[0]);
    const double uy = FC::pixelToFraction (p.y - f.margins[0], panArea.y, f.zoom[1], f.pan[1]);
    return { FC::fractionToX (ux, f.xLim[0], f.xLim[1], f.xScale), FC::fractionToY (uy, f.yLimLeft[0], f.yLimLeft[1]) };
}
} // namespace

TEST (FigureMapping, ValuesAndFractionsRoundTripAndHaveTheirLandmarks)
{
    std::mt19937 random (3);
    std::uniform_real_distribution<double> unit (0.0, 1.0);

    for (int i = 0; i < 1000; ++i)
    {
        const double f = unit (random) * 1.4 - 0.2; // also outside the limits
        EXPECT_NEAR (FC::xToFraction (FC::fractionToX (f, 10.0, 24000.0, XScale::log), 10.0, 24000.0, XScale::log), f, 1.0e-12);
        EXPECT_NEAR (FC::xToFraction (FC::fractionToX (f, 0.0, 170.666, XScale::linear), 0.0, 170.666, XScale::linear), f, 1.0e-12);
        EXPECT_NEAR (FC::yToFraction (FC::fractionToY (f, -60.0, 20.0), -60.0, 20.0), f, 1.0e-12);
        const double zoom = 1.0 + unit (random) * 20.0, pan = -unit (random) * 5000.0;
        EXPECT_NEAR (FC::pixelToFraction (FC::fractionToPixel (f, 525.0, zoom, pan), 525.0, zoom, pan), f, 1.0e-12);
    }

    EXPECT_NEAR (FC::xToFraction (std::sqrt (10.0 * 20000.0), 10.0, 20000.0, XScale::log), 0.5, 1.0e-15);
    EXPECT_DOUBLE_EQ (FC::xToFraction (50.0, 0.0, 200.0, XScale::linear), 0.25);
    EXPECT_DOUBLE_EQ (FC::yToFraction (20.0, -60.0, 20.0), 0.0); // the top
    EXPECT_DOUBLE_EQ (FC::fractionToPixel (0.5, 500.0, 2.0, -100.0), 400.0);
    // Positions that do not exist are not finite; paint puts them at fixed places.
    EXPECT_FALSE (std::isfinite (FC::xToFraction (0.0, 10.0, 20000.0, XScale::log)));
    EXPECT_FALSE (std::isfinite (FC::yToFraction (-INFINITY, -60.0, 20.0)));
    EXPECT_FALSE (std::isfinite (FC::yToFraction (1.0, 5.0, 5.0)));
}

TEST (FigureGeometry, PlotAreaAndPanAreaFollowTheMargins)
{
    FC f;
    EXPECT_EQ (f.getPlotArea(), juce::Rectangle<int> (45, 20, 525, 350));
    EXPECT_EQ (f.getPanArea(), juce::Point<double> (525.0, 350.0));

    // The right axis narrows a log plot by 20 pixels, never the pan area nor a linear plot.
    f.yyaxis ("Right");
    EXPECT_EQ (f.getPlotArea(), juce::Rectangle<int> (45, 20, 505, 350));
    EXPECT_EQ (f.getPanArea(), juce::Point<double> (525.0, 350.0));
    f.setXScale (XScale::linear);
    EXPECT_EQ (f.getPlotArea().getWidth(), 525);

    f.setSize (301, 151);
    f.margins = { 20.5, 30.0, 45.0, 30.0 };
    EXPECT_EQ (f.getPlotArea(), juce::Rectangle<int> (45, 20, 226, 100));
}

TEST (FigurePanZoom, DraggingPansOnlyAsFarAsTheDataEdges)
{
    FC f;
    drag (f, { 300, 200 }, { 150, 320 }); // the whole plot shown: nowhere to go
    EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));
    EXPECT_EQ (f.lastMousePosition, (std::array<double, 2> { 150.0, 320.0 }));

    f.zoom = { 2.0, 3.0 };
    f.pan = { -100.0, -100.0 };
    drag (f, { 300, 200 }, { 340, 180 });
    EXPECT_EQ (f.pan, (std::array<double, 2> { -60.0, -120.0 }));
    drag (f, { 100, 100 }, { 590, 390 }); // far right and down: the data start reaches the edge
    EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));
    drag (f, { 590, 390 }, { -900, -900 }); // far left and up: the data end reaches the edge
    EXPECT_DOUBLE_EQ (f.pan[0], 525.0 * (1.0 - 2.0));
    EXPECT_DOUBLE_EQ (f.pan[1], 350.0 * (1.0 - 3.0));
}

TEST (FigurePanZoom, MagnifyKeepsTheDataPointUnderThePointerWithinThePanLimits)
{
    for (auto scale : { XScale::log, XScale::linear })
    {
        FC f;
        f.yyaxis ("Right"); // narrows the plot area of a log plot, not the pan area
        f.yyaxis ("Left");
        f.setXScale (scale);
        f.xlim (scale == XScale::log ? 10.0 : 0.0, 20000.0);
        f.ylim (-60.0, 20.0);

        // Out by 2 at the centre of the pan area (events carry whole pixels), then further at another point.
        const std::pair<juce::Point<float>, float> pinches[] = { { { 307.0f, 195.0f }, 2.0f }, { { 200.0f, 90.0f }, 1.7f } };

        for (const auto& [pointer, factor] : pinches)
        {
            const auto before = dataAt (f, pointer);
            f.mouseMagnify (eventAt (f, pointer.x, pointer.y), factor);
            const auto after = dataAt (f, pointer);
            EXPECT_NEAR (after.x, before.x, std::abs (before.x) * 1.0e-12) << "scale " << (int) scale;
            EXPECT_NEAR (after.y, before.y, 1.0e-12);
            EXPECT_LE (f.pan[0], 0.0);
            EXPECT_GE (f.pan[0], 525.0 * (1.0 - f.zoom[0]));
        }
        EXPECT_NEAR (f.zoom[1], 3.4, 1.0e-6);

        // Pinching in below zoom 1 returns to the whole plot.
        f.mouseMagnify (eventAt (f, 200.0f, 90.0f), 0.1f);
        EXPECT_EQ (f.zoom, (std::array<double, 2> { 1.0, 1.0 }));
        EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));
    }

    // Panned to the end of the data, a pinch right of the plot area pins the data end to the
    // right edge instead of keeping the point under the pointer.
    FC f;
    f.mouseMagnify (eventAt (f, 45.0f, 20.0f), 3.0f);
    drag (f, { 300, 200 }, { -2000, -2000 });
    f.mouseMagnify (eventAt (f, 599.0f, 399.0f), 1.5f);
    EXPECT_DOUBLE_EQ (f.pan[0], 525.0 * (1.0 - 4.5));
    EXPECT_DOUBLE_EQ (f.pan[1], 350.0 * (1.0 - 4.5));
}

#if JUCE_LINUX || JUCE_BSD
TEST (FigurePanZoom, ControlWheelZoomsLikeAPinch)
{
    FC reference, f;
    const float notch = 50.0f / 256.0f;
    const auto ctrl = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier);
    juce::MouseWheelDetails wheel {};

    // Each notch away from the user zooms in by 1.1, towards the user out; the plain wheel does nothing.
    const std::tuple<float, juce::ModifierKeys, double> turns[] = {
        { 1.0f, ctrl, 1.1 }, { 3.0f, ctrl, std::pow (1.1, 4.0) }, { -2.0f, ctrl, 1.1 * 1.1 }, { 1.0f, {}, 1.1 * 1.1 }
    };

    for (const auto& [delta, mods, zoom] : turns)
    {
        wheel.deltaY = delta * notch;
        f.mouseWheelMove (eventAt (f, 250.0f, 150.0f, mods), wheel);
        EXPECT_NEAR (f.zoom[0], zoom, 1.0e-5);
        EXPECT_NEAR (f.zoom[1], zoom, 1.0e-5);
    }

    reference.mouseMagnify (eventAt (reference, 250.0f, 150.0f), 1.1f * 1.1f);
    EXPECT_NEAR (f.pan[0], reference.pan[0], 1.0e-3);
    EXPECT_NEAR (f.pan[1], reference.pan[1], 1.0e-3);
}
#endif
