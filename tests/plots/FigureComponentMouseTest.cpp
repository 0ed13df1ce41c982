#include "plots/FigureComponent.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
using XScale = FigureComponent::XScale;

juce::MouseEvent eventAt (FigureComponent& f, float x, float y, juce::ModifierKeys mods = {})
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (source, { x, y }, mods, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &f, &f, now, { x, y }, now, 1, false);
}

void drag (FigureComponent& f, juce::Point<float> from, juce::Point<float> to)
{
    f.mouseDown (eventAt (f, from.x, from.y));
    f.mouseDrag (eventAt (f, (from.x + to.x) / 2, (from.y + to.y) / 2));
    f.mouseDrag (eventAt (f, to.x, to.y));
    f.mouseUp (eventAt (f, to.x, to.y));
}

/** The data point under a component position, by the pan/zoom geometry. */
juce::Point<double> dataAt (const FigureComponent& f, double x, double y)
{
    const auto panArea = f.getPanArea();
    const double ux = FigureComponent::pixelToFraction (x - f.margins[2], panArea.x, f.zoom[0], f.pan[0]);
    const double uy = FigureComponent::pixelToFraction (y - f.margins[0], panArea.y, f.zoom[1], f.pan[1]);
    return { FigureComponent::fractionToX (ux, f.xLim[0], f.xLim[1], f.xScale),
             FigureComponent::fractionToY (uy, f.yLimLeft[0], f.yLimLeft[1]) };
}

void expectPanWithinLimits (const FigureComponent& f)
{
    const auto panArea = f.getPanArea();
    EXPECT_LE (f.pan[0], 0.0);
    EXPECT_LE (f.pan[1], 0.0);
    EXPECT_GE (f.pan[0], panArea.x * (1.0 - f.zoom[0]) - 1.0e-9);
    EXPECT_GE (f.pan[1], panArea.y * (1.0 - f.zoom[1]) - 1.0e-9);
}
} // namespace

TEST (FigureMapping, ValuesAndFractionsRoundTrip)
{
    std::mt19937 random (3);
    std::uniform_real_distribution<double> unit (0.0, 1.0);

    for (int i = 0; i < 1000; ++i)
    {
        const double f = unit (random) * 1.4 - 0.2; // also outside the limits
        const double hz = FigureComponent::fractionToX (f, 10.0, 24000.0, XScale::log);
        EXPECT_NEAR (FigureComponent::xToFraction (hz, 10.0, 24000.0, XScale::log), f, 1.0e-12);

        const double ms = FigureComponent::fractionToX (f, 0.0, 170.666, XScale::linear);
        EXPECT_NEAR (FigureComponent::xToFraction (ms, 0.0, 170.666, XScale::linear), f, 1.0e-12);

        const double db = FigureComponent::fractionToY (f, -60.0, 20.0);
        EXPECT_NEAR (FigureComponent::yToFraction (db, -60.0, 20.0), f, 1.0e-12);

        const double zoom = 1.0 + unit (random) * 20.0, pan = -unit (random) * 5000.0;
        const double px = FigureComponent::fractionToPixel (f, 525.0, zoom, pan);
        EXPECT_NEAR (FigureComponent::pixelToFraction (px, 525.0, zoom, pan), f, 1.0e-12);
    }
}

TEST (FigureMapping, LandmarkPositions)
{
    EXPECT_DOUBLE_EQ (FigureComponent::xToFraction (10.0, 10.0, 20000.0, XScale::log), 0.0);
    EXPECT_DOUBLE_EQ (FigureComponent::xToFraction (20000.0, 10.0, 20000.0, XScale::log), 1.0);
    EXPECT_NEAR (FigureComponent::xToFraction (std::sqrt (10.0 * 20000.0), 10.0, 20000.0, XScale::log), 0.5, 1.0e-15);
    EXPECT_DOUBLE_EQ (FigureComponent::xToFraction (50.0, 0.0, 200.0, XScale::linear), 0.25);
    EXPECT_DOUBLE_EQ (FigureComponent::yToFraction (20.0, -60.0, 20.0), 0.0); // top
    EXPECT_DOUBLE_EQ (FigureComponent::yToFraction (-60.0, -60.0, 20.0), 1.0); // bottom
    EXPECT_DOUBLE_EQ (FigureComponent::fractionToPixel (0.5, 500.0, 2.0, -100.0), 400.0);

    // Positions that do not exist are not finite; paint puts them at fixed places.
    EXPECT_FALSE (std::isfinite (FigureComponent::xToFraction (0.0, 10.0, 20000.0, XScale::log)));
    EXPECT_FALSE (std::isfinite (FigureComponent::yToFraction (-INFINITY, -60.0, 20.0)));
    EXPECT_FALSE (std::isfinite (FigureComponent::yToFraction (1.0, 5.0, 5.0)));
}

TEST (FigureGeometry, PlotAreaAndPanAreaFollowTheMargins)
{
    FigureComponent f;
    EXPECT_EQ (f.getPlotArea(), juce::Rectangle<int> (45, 20, 525, 350));
    EXPECT_EQ (f.getPanArea(), juce::Point<double> (525.0, 350.0));

    // The right axis narrows a log plot by 20 pixels, never the pan area.
    f.yyaxis ("Right");
    EXPECT_EQ (f.getPlotArea(), juce::Rectangle<int> (45, 20, 505, 350));
    EXPECT_EQ (f.getPanArea(), juce::Point<double> (525.0, 350.0));

    f.setXScale (XScale::linear);
    EXPECT_EQ (f.getPlotArea().getWidth(), 525);

    f.setSize (301, 151);
    f.margins = { 20.5, 30.0, 45.0, 30.0 };
    EXPECT_EQ (f.getPlotArea(), juce::Rectangle<int> (45, 20, 226, 100));
}

TEST (FigurePanZoom, DraggingAtZoomOneLeavesThePlotInPlace)
{
    FigureComponent f;
    drag (f, { 300, 200 }, { 150, 320 });
    EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));
    EXPECT_EQ (f.lastMousePosition, (std::array<double, 2> { 150.0, 320.0 }));
}

TEST (FigurePanZoom, DraggingAZoomedPlotStopsAtTheDataEdges)
{
    FigureComponent f;
    f.zoom = { 2.0, 3.0 };
    f.pan = { -100.0, -100.0 };

    drag (f, { 300, 200 }, { 340, 180 });
    EXPECT_EQ (f.pan, (std::array<double, 2> { -60.0, -120.0 }));

    drag (f, { 100, 100 }, { 590, 390 }); // far right and down: the data start reaches the edge
    EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));

    drag (f, { 590, 390 }, { -900, -900 }); // far left and up: the data end reaches the edge
    EXPECT_DOUBLE_EQ (f.pan[0], 525.0 - 525.0 * 2.0);
    EXPECT_DOUBLE_EQ (f.pan[1], 350.0 - 350.0 * 3.0);
}

TEST (FigurePanZoom, MagnifyKeepsTheDataPointUnderThePointer)
{
    for (auto scale : { XScale::log, XScale::linear })
    {
        FigureComponent f;
        f.setXScale (scale);
        f.xlim (scale == XScale::log ? 10.0 : 0.0, 20000.0);
        f.ylim (-60.0, 20.0);

        // Pinch out by 2 at the centre of the pan area (events carry whole pixels).
        const double cx = 45.0 + 262.0, cy = 20.0 + 175.0;
        const auto before = dataAt (f, cx, cy);
        f.mouseMagnify (eventAt (f, (float) cx, (float) cy), 2.0f);
        EXPECT_EQ (f.zoom, (std::array<double, 2> { 2.0, 2.0 }));
        const auto after = dataAt (f, cx, cy);
        EXPECT_NEAR (after.x, before.x, std::abs (before.x) * 1.0e-12) << "scale " << (int) scale;
        EXPECT_NEAR (after.y, before.y, 1.0e-12);
        expectPanWithinLimits (f);

        // Further in at another point.
        const auto pointer = juce::Point<float> (200.0f, 90.0f);
        const auto target = dataAt (f, pointer.x, pointer.y);
        f.mouseMagnify (eventAt (f, pointer.x, pointer.y), 1.7f);
        const auto moved = dataAt (f, pointer.x, pointer.y);
        EXPECT_NEAR (moved.x, target.x, std::abs (target.x) * 1.0e-12);
        EXPECT_NEAR (moved.y, target.y, 1.0e-12);
        expectPanWithinLimits (f);

        // Pinching in below zoom 1 returns to the whole plot.
        f.mouseMagnify (eventAt (f, pointer.x, pointer.y), 0.1f);
        EXPECT_EQ (f.zoom, (std::array<double, 2> { 1.0, 1.0 }));
        EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));
    }
}

TEST (FigurePanZoom, MagnifyNearACornerIsHeldByThePanLimits)
{
    FigureComponent f;
    // At the top-left corner of the plot area the data corner stays put.
    f.mouseMagnify (eventAt (f, 45.0f, 20.0f), 3.0f);
    EXPECT_EQ (f.zoom, (std::array<double, 2> { 3.0, 3.0 }));
    EXPECT_EQ (f.pan, (std::array<double, 2> { 0.0, 0.0 }));

    // Panned to the end of the data, a pinch right of the plot area pins the data end to the
    // right edge instead of keeping the point under the pointer.
    drag (f, { 300, 200 }, { -2000, -2000 });
    EXPECT_DOUBLE_EQ (f.pan[0], 525.0 * (1.0 - 3.0));
    f.mouseMagnify (eventAt (f, 599.0f, 399.0f), 1.5f);
    EXPECT_DOUBLE_EQ (f.zoom[0], 4.5);
    EXPECT_DOUBLE_EQ (f.pan[0], 525.0 * (1.0 - 4.5));
    EXPECT_DOUBLE_EQ (f.pan[1], 350.0 * (1.0 - 4.5));
}

#if JUCE_LINUX || JUCE_BSD
TEST (FigurePanZoom, ControlWheelZoomsLikeAPinch)
{
    FigureComponent reference, f;
    const float notch = 50.0f / 256.0f;
    juce::MouseWheelDetails wheel {};
    wheel.deltaY = notch;

    const auto ctrl = juce::ModifierKeys (juce::ModifierKeys::ctrlModifier);
    f.mouseWheelMove (eventAt (f, 250.0f, 150.0f, ctrl), wheel); // away from the user: in
    reference.mouseMagnify (eventAt (reference, 250.0f, 150.0f), 1.1f);
    EXPECT_NEAR (f.zoom[0], 1.1, 1.0e-6);
    EXPECT_NEAR (f.pan[0], reference.pan[0], 1.0e-4);
    EXPECT_NEAR (f.pan[1], reference.pan[1], 1.0e-4);

    wheel.deltaY = 3.0f * notch;
    f.mouseWheelMove (eventAt (f, 250.0f, 150.0f, ctrl), wheel);
    EXPECT_NEAR (f.zoom[1], std::pow (1.1, 4.0), 1.0e-5);

    wheel.deltaY = -2.0f * notch; // towards the user: out
    f.mouseWheelMove (eventAt (f, 250.0f, 150.0f, ctrl), wheel);
    EXPECT_NEAR (f.zoom[0], 1.1 * 1.1, 1.0e-5);

    // The plain wheel is not used.
    const auto zoomBefore = f.zoom;
    const auto panBefore = f.pan;
    wheel.deltaY = notch;
    f.mouseWheelMove (eventAt (f, 250.0f, 150.0f), wheel);
    EXPECT_EQ (f.zoom, zoomBefore);
    EXPECT_EQ (f.pan, panBefore);
}
#endif
