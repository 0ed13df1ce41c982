#include "FigureTestSupport.h"
#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"
#include "plots/CurveRasteriser.h"
#include "plots/FigureComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace
{
using XScale = FigureComponent::XScale;

using figuretest::vectorOf;

/** A frequency response of n points from 0 Hz to fs/2, ragged like a room measurement. */
void makeFrequencyCurve (size_t n, double fs, unsigned seed, Matrix<double>& f, Matrix<double>& db)
{
    std::mt19937 random (seed);
    std::normal_distribution<double> noise (0.0, 3.0);
    std::vector<double> fv (n), dv (n);

    for (size_t i = 0; i < n; ++i)
    {
        fv[i] = (double) i * fs / 2.0 / (double) (n - 1);
        dv[i] = 80.0 + 10.0 * std::sin (std::log (fv[i] + 1.0) * 3.0) + noise (random);
    }

    f = vectorOf (fv);
    db = vectorOf (dv);
}

/** A decaying, noisy impulse response of n points over t milliseconds. */
void makeTimeCurve (size_t n, double t, unsigned seed, Matrix<double>& x, Matrix<double>& y)
{
    std::mt19937 random (seed);
    std::normal_distribution<double> noise (0.0, 1.0);
    std::vector<double> xv (n), yv (n);

    for (size_t i = 0; i < n; ++i)
    {
        xv[i] = (double) i * t / (double) (n - 1);
        yv[i] = 0.8 * std::exp (-xv[i] / (t / 6.0)) * noise (random) * (i % 4096 == 17 ? 2.0 : 1.0);
    }

    x = vectorOf (xv);
    y = vectorOf (yv);
}

/** Gives target the state of source, with copies of its curves when withCurves is set. */
void copyFigure (const FigureComponent& source, FigureComponent& target, bool withCurves)
{
    target.setBounds (source.getBounds());
    target.xScale = source.xScale;
    target.xLim = source.xLim;
    target.yLimLeft = source.yLimLeft;
    target.yLimRight = source.yLimRight;
    target.rightAxisOn = source.rightAxisOn;
    target.gridOn = source.gridOn;
    target.zoom = source.zoom;
    target.pan = source.pan;
    target.margins = source.margins;
    target.xGridLines = source.xGridLines;
    target.yGridLines = source.yGridLines;
    target.xTicks = source.xTicks;
    target.yTicksLeft = source.yTicksLeft;
    target.yTicksRight = source.yTicksRight;
    target.xLabel = source.xLabel;
    target.yLabelLeft = source.yLabelLeft;
    target.yLabelRight = source.yLabelRight;
    target.setLookAndFeel (&source.getLookAndFeel());
    target.clear();

    for (int c = 0; withCurves && c < source.getNumCurves(); ++c)
    {
        const auto* curve = source.getCurve (c);
        target.hold (true);
        target.activeYAxis = curve->yAxis;
        target.plot (curve->x, curve->y, curve->colour);
        target.xScale = source.xScale;
    }

    target.hold (false);
}

/** The figure as it paints itself. */
juce::Image paintFigure (FigureComponent& figure)
{
    juce::Image image (juce::Image::ARGB, figure.getWidth(), figure.getHeight(), true);
    juce::Graphics g (image);
    figure.paintEntireComponent (g, false);
    return image;
}

/**
    The figure drawn with every segment of every curve stroked on its own, the way a curve is
    defined to look: the figure without curves, then a layer of all segments on top.
*/
enum class Stroke
{
    framework, // Graphics::drawLine, one call per segment
    exact      // exact-area strokes, each composited on its own
};

juce::Image paintEverySegment (FigureComponent& figure, Stroke stroke)
{
    const auto area = figure.getPlotArea();
    const int plotW = area.getWidth(), plotH = area.getHeight();
    juce::Image layer (juce::Image::ARGB, plotW, plotH, true);

    {
        CurveRasteriser exact;
        juce::Graphics g (layer);
        const bool logX = figure.xScale == XScale::log;

        for (int c = 0; c < figure.getNumCurves(); ++c)
        {
            const auto* curve = figure.getCurve (c);
            const auto& yLim = curve->yAxis == 0 ? figure.yLimLeft : figure.yLimRight;
            g.setColour (curve->colour);
            juce::Point<double> previous;

            for (size_t i = 0; i < curve->size(); ++i)
            {
                double fx = FigureComponent::xToFraction (curve->x.data[i], figure.xLim[0], figure.xLim[1], figure.xScale);

                // The 0 Hz point of a frequency curve sits where log10 f = -4 would be.
                if (logX && i == 0 && ! std::isfinite (fx))
                    fx = FigureComponent::xToFraction (1.0e-4, figure.xLim[0], figure.xLim[1], XScale::log);

                const double fy = FigureComponent::yToFraction (curve->y.data[i], yLim[0], yLim[1]);
                const juce::Point<double> p { FigureComponent::fractionToPixel (fx, plotW, figure.zoom[0], figure.pan[0]),
                                              FigureComponent::fractionToPixel (fy, plotH, figure.zoom[1], figure.pan[1]) };

                if (i > 0)
                {
                    auto a = previous, b = p;
                    if (logX)
                    {
                        a.x = std::floor (a.x);
                        b.x = std::ceil (b.x);
                    }
                    if (stroke == Stroke::framework)
                    {
                        g.drawLine ((float) a.x, (float) a.y, (float) b.x, (float) b.y, 2.0f);
                    }
                    else
                    {
                        exact.begin (plotW, plotH, curve->colour);
                        exact.addSegment (a.toFloat(), b.toFloat(), 2.0f);
                        exact.composite (layer);
                    }
                }

                previous = p;
            }
        }
    }

    // The same figure without its curves, with the segment layer composited on top.
    FigureComponent bare;
    copyFigure (figure, bare, false);

    auto image = paintFigure (bare);
    {
        juce::Graphics g (image);
        g.drawImageAt (layer, area.getX(), area.getY());
    }
    bare.setLookAndFeel (nullptr);
    return image;
}

struct Difference
{
    int pixels = 0;    // pixels whose largest channel difference exceeds the threshold
    int largest = 0;   // largest channel difference anywhere
    int inked = 0;     // pixels that differ from the background in either image
};

Difference compare (const juce::Image& a, const juce::Image& b, juce::Colour backgroundColour, int threshold)
{
    Difference d;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto ca = a.getPixelAt (x, y), cb = b.getPixelAt (x, y);
            const int diff = std::max ({ std::abs (ca.getRed() - cb.getRed()), std::abs (ca.getGreen() - cb.getGreen()),
                                         std::abs (ca.getBlue() - cb.getBlue()), std::abs (ca.getAlpha() - cb.getAlpha()) });
            d.largest = std::max (d.largest, diff);
            d.pixels += diff > threshold ? 1 : 0;
            d.inked += (ca != backgroundColour || cb != backgroundColour) ? 1 : 0;
        }

    return d;
}

class FigurePaint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = colourPalette;
        writeColourPalette (true);
        laf.applyColourScheme();
        figure.setLookAndFeel (&laf);
    }

    void TearDown() override
    {
        figure.setLookAndFeel (nullptr);
        colourPalette = saved;
    }

    /**
        Compares the figure with the same figure drawn segment by segment. Against exact strokes
        the only differences come from leaving out the points that hide behind others; against
        the framework's lines they also include its coarser anti-aliasing of slanted edges (up to
        about 30 levels on one edge).
    */
    void expectLikeEverySegment (const char* what)
    {
        const auto drawn = paintFigure (figure);

        for (auto stroke : { Stroke::exact, Stroke::framework })
        {
            const auto reference = paintEverySegment (figure, stroke);
            const auto all = compare (drawn, reference, colourPalette[background], 0);
            const auto over16 = compare (drawn, reference, colourPalette[background], 16);
            const auto over48 = compare (drawn, reference, colourPalette[background], 48);
            const char* name = stroke == Stroke::exact ? "exact" : "framework";

            std::printf ("%-14s %-9s: inked %6d, differing %6d, >16 %5d, >48 %4d, largest %3d\n", what, name,
                         all.inked, all.pixels, over16.pixels, over48.pixels, all.largest);

            // Something was drawn, and nearly all of it the same.
            EXPECT_GT (all.inked, 20000) << what;
            EXPECT_LE (all.largest, 128) << what << " " << name;
            EXPECT_LE (over48.pixels, all.inked / 1000) << what << " " << name;

            if (stroke == Stroke::exact)
            {
                EXPECT_LE (over16.pixels, all.inked / 100) << what;
            }
        }
    }

    ColourScheme saved;
    lafMorvelane laf;
    FigureComponent figure;
};
} // namespace

TEST_F (FigurePaint, DenseLogCurvesLookLikeEverySegment)
{
    figure.xlim (10.0, 20000.0);
    figure.ylim (40.0, 120.0);
    Matrix<double> f, db;

    for (unsigned c = 0; c < 3; ++c)
    {
        makeFrequencyCurve (32769, 48000.0, c + 1, f, db);
        figure.semilogx (f, db, colourPalette[(size_t) (curveBlue + 2 * c)]);
        figure.hold (true);
    }
    figure.hold (false);

    expectLikeEverySegment ("log");
    figure.zoom = { 3.0, 2.0 };
    figure.pan = { -400.0, -200.0 };
    expectLikeEverySegment ("log zoomed");
}

TEST_F (FigurePaint, DenseLinearCurvesLookLikeEverySegment)
{
    figure.setXScale (XScale::linear);
    figure.xlim (0.0, 2730.0);
    figure.ylim (-1.0, 1.0);
    Matrix<double> t, y;

    for (unsigned c = 0; c < 2; ++c)
    {
        makeTimeCurve (131072, 2730.0, c + 7, t, y);
        figure.plot (t, y, colourPalette[(size_t) (curveBlue + 2 * c)]);
        figure.hold (true);
    }
    figure.hold (false);

    expectLikeEverySegment ("linear");
    figure.zoom = { 4.0, 1.5 };
    figure.pan = { -700.0, -90.0 };
    expectLikeEverySegment ("linear zoomed");
}

namespace
{
/** True when some pixel of the area differs from the colour. */
bool anyInk (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    area = area.getIntersection (image.getBounds());

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y) != colour)
                return true;

    return false;
}

/** A figure that draws nothing but what a test puts into it. */
void stripLabels (FigureComponent& f)
{
    f.xTicks.clear();
    f.yTicksLeft.clear();
    f.yTicksRight.clear();
    f.xLabel = f.yLabelLeft = f.yLabelRight = {};
}
} // namespace

TEST_F (FigurePaint, NonFinitePointsAreDrawnAtFixedPlaces)
{
    figure.setXScale (XScale::linear);
    figure.xlim (0.0, 100.0);
    figure.ylim (-1.0, 1.0);
    stripLabels (figure);
    figure.gridOn = false;

    // Every y is minus infinity, infinity or NaN: the curve runs along the bottom edge.
    std::vector<double> xs, ys;
    for (int i = 0; i < 2000; ++i)
    {
        xs.push_back (i * 0.05);
        ys.push_back (i % 3 == 0 ? -INFINITY : i % 3 == 1 ? INFINITY : NAN);
    }
    figure.plot (vectorOf (xs), vectorOf (ys), juce::Colours::red);

    const auto area = figure.getPlotArea();
    const auto image = paintFigure (figure);
    const auto bottom = image.getPixelAt (area.getCentreX(), area.getBottom() - 1);
    // Abutting separate strokes leave the row a little lighter than the full colour.
    EXPECT_GT (bottom.getRed(), 200);
    EXPECT_LT (bottom.getGreen(), 128);
    EXPECT_FALSE (anyInk (image, area.reduced (4), colourPalette[background]));

    // A few x values of no position join the curve at the left edge.
    std::vector<double> x2 { 50.0, NAN, 60.0, INFINITY }, y2 { 0.0, 0.0, 0.0, 0.0 };
    figure.hold (true);
    figure.plot (vectorOf (x2), vectorOf (y2), juce::Colours::blue);
    figure.hold (false);

    const auto both = paintFigure (figure);
    EXPECT_EQ (both.getPixelAt (area.getX() + 10, area.getCentreY()), juce::Colours::blue);
    EXPECT_FALSE (anyInk (both, area.reduced (4).withTrimmedLeft (area.getWidth() * 3 / 5), colourPalette[background]));

    // Zoomed and panned far away, painting still works and shows nothing broken.
    figure.zoom = { 1.0e9, 1.0e9 };
    figure.pan = { -5.0e11, -1.0e11 };
    const auto far = paintFigure (figure);
    EXPECT_EQ (far.getWidth(), 600);
}

TEST_F (FigurePaint, ZeroHertzStartsFarLeftOfALogPlot)
{
    stripLabels (figure);
    figure.gridOn = false;
    figure.ylim (-60.0, 20.0);
    stripLabels (figure);

    // 0 Hz then 1 kHz, both at 0 dB: the segment runs in from the left edge.
    figure.semilogx (vectorOf ({ 0.0, 1000.0 }), vectorOf ({ 0.0, 0.0 }), juce::Colours::red);
    const auto image = paintFigure (figure);
    const auto area = figure.getPlotArea();
    const int y = area.getY() + (int) (area.getHeight() * 20.0 / 80.0);
    EXPECT_EQ (image.getPixelAt (area.getX() + 1, y), juce::Colours::red);
    EXPECT_EQ (image.getPixelAt (area.getX() + area.getWidth() / 2, y), juce::Colours::red);
    EXPECT_FALSE (anyInk (image, { area.getRight() - 100, y - 3, 98, 6 }, colourPalette[background]));
    // Nothing of the curve outside the plot area.
    EXPECT_FALSE (anyInk (image, { 0, y - 3, area.getX() - 1, 6 }, colourPalette[background]));
}

TEST_F (FigurePaint, GridIsTheFrameworksOnePixelLines)
{
    figure.setXScale (XScale::linear);
    figure.gridStep = { 7.0, 0.3 };
    figure.xlim (0.0, 100.0);
    figure.ylim (-1.0, 1.0);
    figure.zoom = { 1.3, 1.1 };
    figure.pan = { -33.3, -12.7 };
    stripLabels (figure);

    const auto area = figure.getPlotArea();
    juce::Image expected (juce::Image::ARGB, 600, 400, true);
    {
        juce::Graphics g (expected);
        g.fillAll (colourPalette[background]);
        juce::Image grid (juce::Image::ARGB, area.getWidth(), area.getHeight(), true);
        {
            juce::Graphics gg (grid);
            gg.setColour (colourPalette[gridLines]);
            gg.drawRect (0.0f, 0.0f, (float) area.getWidth(), (float) area.getHeight(), 1.0f);
            for (auto x : figure.xGridLines)
            {
                const auto px = (float) FigureComponent::fractionToPixel (FigureComponent::xToFraction (x, 0.0, 100.0, XScale::linear), area.getWidth(), 1.3, -33.3);
                gg.drawLine (px, 0.0f, px, (float) area.getHeight(), 1.0f);
            }
            for (auto y : figure.yGridLines)
            {
                const auto py = (float) FigureComponent::fractionToPixel (FigureComponent::yToFraction (y, -1.0, 1.0), area.getHeight(), 1.1, -12.7);
                gg.drawLine (0.0f, py, (float) area.getWidth(), py, 1.0f);
            }
        }
        g.drawImageAt (grid, area.getX(), area.getY());
    }

    // Rectangles and lines of the framework differ by rounding only.
    const auto d = compare (paintFigure (figure), expected, colourPalette[background], 2);
    EXPECT_EQ (d.pixels, 0);
    EXPECT_GT (d.inked, 1000);

    // Without the grid the frame stays.
    figure.gridOn = false;
    const auto frameOnly = paintFigure (figure);
    EXPECT_NE (frameOnly.getPixelAt (area.getX(), area.getCentreY()), colourPalette[background]);
    EXPECT_NE (frameOnly.getPixelAt (area.getCentreX(), area.getBottom() - 1), colourPalette[background]);
    EXPECT_FALSE (anyInk (frameOnly, area.reduced (2), colourPalette[background]));
}

TEST_F (FigurePaint, RepaintsAfterEachChangeLookLikeAFirstPaint)
{
    // A figure keeps layers between paints; after each change it must look as a new figure in
    // the same state looks on its first paint.
    figure.yyaxis ("Right");
    figure.ylim (-1.0, 1.0);
    figure.ylabel ("Phase");
    figure.yyaxis ("Left");
    figure.ylim (40.0, 120.0);
    figure.xlabel ("Frequency");
    Matrix<double> f, db, f2, db2;
    makeFrequencyCurve (2049, 48000.0, 1, f, db);
    makeFrequencyCurve (2049, 44100.0, 2, f2, db2);
    figure.semilogx (f, db, juce::Colours::red);

    const std::pair<const char*, std::function<void()>> changes[] = {
        { "nothing", [] {} },
        { "new y, same x", [&] { figure.semilogx (f, db2, juce::Colours::red); } },
        { "new x, same length", [&] { figure.semilogx (f2, db2, juce::Colours::red); } },
        { "second curve on the right axis", [&] { figure.yyaxis ("Right"); figure.hold (true); figure.semilogx (f, db * 0.01, juce::Colours::blue); figure.hold (false); figure.yyaxis ("Left"); } },
        { "left limits", [&] { figure.ylim (60.0, 100.0); } },
        { "x limits", [&] { figure.xlim (100.0, 10000.0); figure.ylim (60.0, 100.0); } },
        { "right limits", [&] { figure.yyaxis ("Right"); figure.ylim (-2.0, 2.0); figure.yyaxis ("Left"); } },
        { "x label", [&] { figure.xlabel ("Hz"); } },
        { "y label", [&] { figure.ylabel ("dB"); } },
        { "ticks", [&] { figure.xTicks = { 1000.0 }; } },
        { "zoom and pan", [&] { figure.zoom = { 2.0, 1.5 }; figure.pan = { -200.0, -50.0 }; } },
        { "grid off", [&] { figure.gridOn = false; } },
        { "size", [&] { figure.setSize (450, 300); } },
        { "colour scheme", [&] { writeColourPalette (false); laf.applyColourScheme(); } },
        { "no curves", [&] { figure.clear(); } },
    };

    for (const auto& [what, change] : changes)
    {
        paintFigure (figure);
        change();
        const auto repainted = paintFigure (figure);

        FigureComponent fresh;
        copyFigure (figure, fresh, true);
        const auto first = paintFigure (fresh);
        fresh.setLookAndFeel (nullptr);

        EXPECT_EQ (compare (repainted, first, colourPalette[background], 0).pixels, 0) << what;
    }
}

TEST_F (FigurePaint, AScaledContextGetsTheSamePictureAtItsScale)
{
    // A scaled context is drawn on directly, without the kept layers: the picture is the same,
    // enlarged.
    figure.setXScale (XScale::linear);
    figure.xlim (0.0, 10.0);
    figure.ylim (-1.0, 1.0);
    figure.plot (vectorOf ({ 0.0, 10.0 }), vectorOf ({ 0.5, 0.5 }), juce::Colours::red);
    const auto once = paintFigure (figure);

    juce::Image scaled (juce::Image::ARGB, 1200, 800, true);
    {
        juce::Graphics g (scaled);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        figure.paintEntireComponent (g, false);
    }

    const auto half = scaled.rescaled (600, 400, juce::Graphics::mediumResamplingQuality);
    const auto d = compare (once, half, colourPalette[background], 96);
    EXPECT_LE (d.pixels, d.inked / 50);
    const auto area = figure.getPlotArea();
    const auto onCurve = scaled.getPixelAt (2 * area.getCentreX(), 2 * (area.getY() + area.getHeight() / 4));
    EXPECT_GT (onCurve.getRed(), 240);
    EXPECT_LT (onCurve.getGreen(), 64);
}

TEST_F (FigurePaint, TickLabelsAreDrawnOnlyWhereTheyFit)
{
    const juce::Rectangle<int> underPlot { 0, 372, 600, 28 }, leftColumn { 0, 0, 42, 400 }, rightStrip { 551, 0, 49, 400 },
        rightEdge { 571, 0, 29, 400 };

    struct Case
    {
        const char* what;
        std::function<void (FigureComponent&)> setUp;
        juce::Rectangle<int> area;
        bool inked;
    };

    const Case cases[] = {
        // Without the right axis the label box at the upper x limit starts at 520, right of 515.5.
        { "x tick at the upper limit", [] (FigureComponent& f) { f.xTicks = { 20000.0 }; }, underPlot, false },
        { "x tick at the upper limit, right axis on",
          [] (FigureComponent& f) { f.yyaxis ("Right"); f.yyaxis ("Left"); f.xTicks = { 20000.0 }; }, underPlot, true },
        { "x tick at the lower limit", [] (FigureComponent& f) { f.xTicks = { 10.0 }; }, underPlot, true },
        { "x ticks outside the limits", [] (FigureComponent& f) { f.xTicks = { 9.0, 30000.0 }; }, underPlot, false },
        // The box top of a left tick at the lower limit is at H - bottom - 10; one pixel lower is too low.
        { "left tick at the lower limit", [] (FigureComponent& f) { f.yTicksLeft = { -120.0 }; }, leftColumn, true },
        { "left tick panned down", [] (FigureComponent& f) { f.yTicksLeft = { -120.0 }; f.pan[1] = 1.0; }, leftColumn, false },
        { "right tick, log axis", [] (FigureComponent& f) { f.yyaxis ("Right"); f.yTicksRight = { -120.0 }; }, rightStrip, true },
        { "right tick, linear axis",
          [] (FigureComponent& f) { f.yyaxis ("Right"); f.xScale = XScale::linear; f.yTicksRight = { -120.0 }; }, rightEdge, false },
        { "right axis label, linear axis",
          [] (FigureComponent& f) { f.yyaxis ("Right"); f.xScale = XScale::linear; f.yLabelRight = "Phase"; }, rightEdge, true },
    };

    for (const auto& c : cases)
    {
        FigureComponent f;
        f.setLookAndFeel (&laf);
        f.gridOn = false;
        stripLabels (f);
        c.setUp (f);
        EXPECT_EQ (anyInk (paintFigure (f), c.area, colourPalette[background]), c.inked) << c.what;
        f.setLookAndFeel (nullptr);
    }
}

TEST (FigureLabels, RightTicksHaveTwoDecimalsBelowAHundred)
{
    const char* expected[] = { "-1.00", "-0.75", "-0.50", "-0.25", "0.00", "0.25", "0.50", "0.75", "1.00" };

    for (int i = 0; i < 9; ++i)
        EXPECT_EQ (FigureComponent::rightTickLabel (i * 0.25 - 1.0, 1.0), expected[i]);

    EXPECT_EQ (FigureComponent::rightTickLabel (-180.0, 180.0), "-180");
    EXPECT_EQ (FigureComponent::rightTickLabel (-152.30769230769232, 180.0), "-152.308");
    EXPECT_EQ (FigureComponent::rightTickLabel (45.0, -120.0), "45");
    EXPECT_EQ (FigureComponent::rightTickLabel (45.0, 99.5), "45.00");
}

TEST_F (FigurePaint, DefaultFigurePaintsAndCurveOfNoPointsIsSkipped)
{
    Matrix<double> empty;
    empty.rows = empty.cols = 0;
    empty.data.clear();
    figure.semilogx (empty, empty, juce::Colours::red);
    EXPECT_EQ (figure.getNumCurves(), 1);

    // Inside the plot area only grid lines: nothing of the colour of the empty curve.
    const auto image = paintFigure (figure);
    const auto area = figure.getPlotArea();
    for (int y = area.getY() + 2; y < area.getBottom() - 2; ++y)
        for (int x = area.getX() + 2; x < area.getRight() - 2; ++x)
            ASSERT_LT (image.getPixelAt (x, y).getRed() - image.getPixelAt (x, y).getBlue(), 40) << x << "," << y;
    EXPECT_EQ (image.getPixelAt (0, 0), colourPalette[background]);
    // Tick labels under the plot and left of it exist.
    EXPECT_TRUE (anyInk (image, { 0, 372, 600, 28 }, colourPalette[background]));
    EXPECT_TRUE (anyInk (image, { 0, 0, 42, 400 }, colourPalette[background]));
}

TEST_F (FigurePaint, LabelsAreTheFrameworksText)
{
    figure.yyaxis ("Right");
    figure.ylim (-1.0, 1.0);
    figure.yyaxis ("Left");
    figure.ylim (-60.0, 20.0);
    figure.gridOn = false;
    stripLabels (figure);
    figure.xTicks = { 1000.0 };
    figure.yTicksLeft = { -20.0 };
    figure.yTicksRight = { 0.5 };
    figure.zoom = { 1.5, 1.2 };
    figure.pan = { -100.0, -30.0 };

    // Painted twice, so that the second paint reuses what the first laid out.
    paintFigure (figure);
    const auto drawn = paintFigure (figure);

    figure.xTicks.clear();
    figure.yTicksLeft.clear();
    figure.yTicksRight.clear();
    auto expected = paintFigure (figure);
    {
        juce::Graphics g (expected);
        g.setFont (12.0f);
        g.setColour (colourPalette[secondaryText]);
        const auto area = figure.getPlotArea();
        const double fx = FigureComponent::xToFraction (1000.0, 10.0, 20000.0, XScale::log);
        const double fyLeft = FigureComponent::yToFraction (-20.0, -60.0, 20.0);
        const double fyRight = FigureComponent::yToFraction (0.5, -1.0, 1.0);
        const int boxX = (int) (area.getWidth() * fx * 1.5 + 45.0 - 50.0 - 100.0);
        g.drawText ("1000", boxX, 372, 100, 30, juce::Justification::centredTop, true);
        g.drawText ("-20", 0, (int) (350.0 * fyLeft * 1.2 + 20.0 - 10.0 - 30.0), 42, 20, juce::Justification::centredRight, true);
        g.drawText ("0.50", area.getRight(), (int) (350.0 * fyRight * 1.2 + 20.0 - 10.0 - 30.0), 30, 20,
                    juce::Justification::centredRight, true);
    }

    const auto d = compare (drawn, expected, colourPalette[background], 0);
    EXPECT_EQ (d.pixels, 0);
    EXPECT_TRUE (anyInk (drawn, { 0, 372, 600, 28 }, colourPalette[background]));
}

TEST_F (FigurePaint, AShorterYDrawsOnlyTheCompletePoints)
{
    figure.setXScale (XScale::linear);
    figure.xlim (0.0, 10.0);
    figure.ylim (-1.0, 1.0);
    stripLabels (figure);
    figure.gridOn = false;

    // Three x values but two y values: only the segment between the first two points exists.
    figure.plot (vectorOf ({ 0.0, 5.0, 10.0 }), vectorOf ({ 0.0, 0.0 }), juce::Colours::red);
    const auto image = paintFigure (figure);
    const auto area = figure.getPlotArea();
    EXPECT_EQ (image.getPixelAt (area.getX() + area.getWidth() / 4, area.getCentreY()), juce::Colours::red);
    EXPECT_FALSE (anyInk (image, area.reduced (4).withTrimmedLeft (area.getWidth() / 2 + 4), colourPalette[background]));
}

TEST (FigureLabels, DrawnXLabelsKeepApartEvenlySpacedAndInView)
{
    using FC = FigureComponent;
    const juce::Font font (12.0f);
    const auto textWidth = [&font] (const juce::String& text) { return (double) font.getStringWidthFloat (text); };
    int thinned = 0, cases = 0;

    // The main window's narrowest and first plot cells, a figure's own width, a wide one.
    for (int width : { 147, 300, 600, 1200 })
        for (int nfft = 32; nfft <= 65536; nfft *= 2)
            for (double fs : { 44100.0, 96000.0 })
                for (int plot = 0; plot < 3; ++plot) // input or filter in time, result in time, a spectrum
                {
                    FC f;
                    if (plot < 2)
                    {
                        figuretest::setUpTimePlot (f, (plot + 1) * nfft / fs * 1000.0);
                    }
                    else
                    {
                        figuretest::setUpFrequencyPlot (f, fs / 2.0, 40.0, 120.0);
                    }
                    f.setSize (width, 250);

                    double widest = 0.0;
                    for (auto v : f.xTicks)
                        widest = std::max (widest, textWidth (juce::String (v)));

                    // The whole plot, zoomed a little, zoomed into the middle, panned to the end.
                    const std::pair<double, double> views[] = { { 1.0, 0.0 }, { 1.7, 0.35 }, { 8.0, 0.5 }, { 40.0, 1.0 } };

                    for (const auto& [zoom, panShare] : views)
                    {
                        f.zoom[0] = zoom;
                        f.pan[0] = -panShare * f.getPanArea().x * (zoom - 1.0);
                        const auto axis = f.getXLabelAxis();
                        const auto drawn = FC::chooseXTickLabels (f.xTicks, axis, textWidth);
                        const auto what = juce::String (width) + " px, NFFT " + juce::String (nfft) + ", " + juce::String (fs)
                                          + " Hz, plot " + juce::String (plot) + ", zoom " + juce::String (zoom);
                        SCOPED_TRACE (what.toStdString());
                        ++cases;

                        const auto visible = [&] (double pixel)
                        { return FC::fractionToX (FC::pixelToFraction (pixel, axis.plotW, zoom, f.pan[0]), f.xLim[0], f.xLim[1], f.xScale); };
                        const double lo = visible (0.0), hi = visible (axis.plotW);

                        for (size_t j = 0; j < drawn.size(); ++j)
                        {
                            const double v = f.xTicks[drawn[j]];
                            EXPECT_GE (v, lo - 1.0e-9 * std::abs (lo)) << v;
                            EXPECT_LE (v, hi + 1.0e-9 * std::abs (hi)) << v;

                            if (j == 0)
                                continue;

                            // Evenly spaced: every k-th tick, k = 1, 2, 5, 10, ..., counted from the first.
                            const int k = drawn[1] - drawn[0];
                            EXPECT_EQ (drawn[j] - drawn[j - 1], k);
                            EXPECT_EQ (drawn[0] % k, 0);
                            const int decade = (int) std::pow (10.0, std::floor (std::log10 (k)));
                            EXPECT_TRUE (k == decade || k == 2 * decade || k == 5 * decade) << k;

                            // The texts as they are drawn, centred in boxes on whole pixels, stand apart.
                            const double u = f.xTicks[drawn[j - 1]];
                            const double previousRight = std::trunc (FC::xLabelBoxX (u, axis)) + 50.0 + textWidth (juce::String (u)) / 2.0;
                            const double left = std::trunc (FC::xLabelBoxX (v, axis)) + 50.0 - textWidth (juce::String (v)) / 2.0;
                            EXPECT_GE (left - previousRight, 2.0) << u << " " << v;

                            // Not thinned further than needed: the step before k would bring some
                            // two labels closer than the widest text.
                            const double pitch = std::trunc (FC::xLabelBoxX (v, axis)) - std::trunc (FC::xLabelBoxX (u, axis));
                            if (k > 1)
                            {
                                EXPECT_LT (pitch, 2.5 * (widest + FC::xLabelGap) + 4.0) << k;
                                ++thinned;
                            }
                        }

                        // The whole plot of a cell of the main window is labelled.
                        if (zoom == 1.0 && width >= 300)
                        {
                            EXPECT_GE (drawn.size(), std::min (f.xTicks.size(), 2)) << f.xTicks.size();
                        }
                    }
                }

    std::printf ("%d views, %d thinned label pairs\n", cases, thinned);
    EXPECT_GT (thinned, 100);
}

TEST_F (FigurePaint, XLabelsAreTheChosenOnesAndTheDefaultPlotsKeepAllTheirs)
{
    using FC = FigureComponent;
    const juce::Font font (12.0f);
    const auto textWidth = [&font] (const juce::String& text) { return (double) font.getStringWidthFloat (text); };

    struct Case
    {
        int width;
        double timeSpanMs, topHz; // a time plot when timeSpanMs is not 0
        double zoom, panShare;
        bool everyFittingLabel; // every label within the limits whose box starts left of the right margin
    };

    const double ms4096 = 4096.0 / 48.0;
    const Case cases[] = {
        // The plots as the main window first shows them, at a figure's own size and in a cell.
        { 600, ms4096, 0.0, 1.0, 0.0, true },      { 600, 2.0 * ms4096, 0.0, 1.0, 0.0, true },
        { 600, 0.0, 24000.0, 1.0, 0.0, true },     { 600, 0.0, 20000.0, 1.0, 0.0, true },
        { 300, ms4096, 0.0, 1.0, 0.0, true },      { 300, 0.0, 24000.0, 1.0, 0.0, true },
        { 300, 0.0, 20000.0, 1.0, 0.0, true },
        // Thinned: the result at 4096 points in a cell, and 16384 points at 44.1 kHz zoomed and panned.
        { 300, 2.0 * ms4096, 0.0, 1.0, 0.0, false }, { 300, 16384.0 / 44.1, 0.0, 3.0, 0.4, false },
    };

    for (const auto& c : cases)
    {
        FC f;
        f.setLookAndFeel (&laf);
        if (c.timeSpanMs > 0.0)
        {
            figuretest::setUpTimePlot (f, c.timeSpanMs);
        }
        else
        {
            figuretest::setUpFrequencyPlot (f, c.topHz, 40.0, 120.0);
        }
        f.setSize (c.width, 250);
        f.zoom[0] = c.zoom;
        f.pan[0] = -c.panShare * f.getPanArea().x * (c.zoom - 1.0);
        SCOPED_TRACE (juce::String (c.width) + " px, " + juce::String (c.timeSpanMs) + " ms, " + juce::String (c.topHz) + " Hz");

        const auto area = f.getPlotArea();
        const double left = f.margins[2];
        std::vector<int> expected;

        for (int i = 0; i < f.xTicks.size(); ++i)
        {
            const double v = f.xTicks[i];
            const double boxX = area.getWidth() * FC::xToFraction (v, f.xLim[0], f.xLim[1], f.xScale) * f.zoom[0] + left - 50.0 + f.pan[0];
            if (f.xLim[0] <= v && v <= f.xLim[1] && boxX < c.width - left - f.margins[3] - 9.5)
                expected.push_back (i);
        }

        const auto chosen = FC::chooseXTickLabels (f.xTicks, f.getXLabelAxis(), textWidth);
        if (c.everyFittingLabel)
        {
            EXPECT_EQ (chosen, expected);
        }
        else
        {
            EXPECT_LT (chosen.size(), expected.size());
        }

        // Paint draws the chosen labels, each the framework's text in its box, and nothing else.
        const auto drawn = paintFigure (f);
        const auto ticks = f.xTicks;
        f.xTicks.clear();
        auto reference = paintFigure (f);
        {
            juce::Graphics g (reference);
            g.setFont (12.0f);
            g.setColour (laf.findColour (FC::textColourId));
            for (auto i : chosen)
            {
                const double fx = FC::xToFraction (ticks[i], f.xLim[0], f.xLim[1], f.xScale);
                g.drawText (juce::String (ticks[i]), (int) (area.getWidth() * fx * f.zoom[0] + left - 50.0 + f.pan[0]),
                            250 - 30 + 2, 100, 30, juce::Justification::centredTop, true);
            }
        }
        EXPECT_EQ (compare (drawn, reference, colourPalette[background], 0).pixels, 0);
        f.setLookAndFeel (nullptr);
    }
}
