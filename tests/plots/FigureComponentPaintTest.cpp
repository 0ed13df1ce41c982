#include "FigureTestSupport.h"
#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"
#include "plots/CurveRasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace
{
using FC = FigureComponent;
using XScale = FC::XScale;
using figuretest::vectorOf;

/** n noisy points over x from 0 to xMax: a ragged room response around 80 dB for a spectrum,
    otherwise a decaying impulse response. */
void makeCurve (size_t n, double xMax, bool spectrum, unsigned seed, Matrix<double>& x, Matrix<double>& y)
{
    std::mt19937 random (seed);
    std::normal_distribution<double> noise (0.0, 1.0);
    x = Matrix<double> (1, n);
    y = Matrix<double> (1, n);

    for (size_t i = 0; i < n; ++i)
    {
        const double v = x.data[i] = (double) i * xMax / (double) (n - 1);
        y.data[i] = spectrum ? 80.0 + 10.0 * std::sin (std::log (v + 1.0) * 3.0) + 3.0 * noise (random)
                             : 0.8 * std::exp (-v / (xMax / 6.0)) * noise (random) * (i % 4096 == 17 ? 2.0 : 1.0);
    }
}

/** The figure as it paints itself. */
juce::Image paintFigure (FC& figure)
{
    juce::Image image (juce::Image::ARGB, figure.getWidth(), figure.getHeight(), true);
    juce::Graphics g (image);
    figure.paintEntireComponent (g, false);
    return image;
}

/** The figure drawn the way a curve is defined to look: every segment stroked exactly and
    composited on its own, over the figure painted without its curves. */
juce::Image paintEverySegment (FC& figure)
{
    const auto area = figure.getPlotArea();
    const int plotW = area.getWidth(), plotH = area.getHeight();
    const bool logX = figure.xScale == XScale::log;
    juce::Image layer (juce::Image::ARGB, plotW, plotH, true);
    CurveRasteriser stroke;

    for (int c = 0; c < figure.getNumCurves(); ++c)
    {
        const auto* curve = figure.getCurve (c);
        const auto& yLim = curve->yAxis == 0 ? figure.yLimLeft : figure.yLimRight;
        juce::Point<double> previous;

        for (size_t i = 0; i < curve->size(); ++i)
        {
            double fx = FC::xToFraction (curve->x.data[i], figure.xLim[0], figure.xLim[1], figure.xScale);

            // The 0 Hz point of a frequency curve sits where log10 f = -4 would be.
            if (logX && i == 0 && ! std::isfinite (fx))
                fx = FC::xToFraction (1.0e-4, figure.xLim[0], figure.xLim[1], XScale::log);

            const double fy = FC::yToFraction (curve->y.data[i], yLim[0], yLim[1]);
            const juce::Point<double> p { FC::fractionToPixel (fx, plotW, figure.zoom[0], figure.pan[0]),
                                          FC::fractionToPixel (fy, plotH, figure.zoom[1], figure.pan[1]) };

            // On a log axis a segment runs from the whole pixel at or left of its start to the one
            // at or right of its end.
            if (i > 0)
            {
                stroke.begin (plotW, plotH, curve->colour);
                stroke.addSegment ({ (float) (logX ? std::floor (previous.x) : previous.x), (float) previous.y },
                                   { (float) (logX ? std::ceil (p.x) : p.x), (float) p.y }, 2.0f);
                stroke.composite (layer);
            }

            previous = p;
        }
    }

    auto curves = std::move (figure.curves);
    auto image = paintFigure (figure);
    figure.curves = std::move (curves);
    juce::Graphics (image).drawImageAt (layer, area.getX(), area.getY());
    return image;
}

struct Difference
{
    int pixels = 0;  // pixels whose largest channel difference exceeds the threshold
    int largest = 0; // largest channel difference anywhere
    int inked = 0;   // pixels that differ from the background in either image
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

/** True when some pixel of the area differs from the colour. */
bool anyInk (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    return compare (image.getClippedImage (area), image.getClippedImage (area), colour, 0).inked > 0;
}

/** A figure that draws no label but what a test puts into it. */
void stripLabels (FC& f)
{
    f.xTicks.clear();
    f.yTicksLeft.clear();
    f.yTicksRight.clear();
    f.xLabel = f.yLabelLeft = f.yLabelRight = {};
}

/**
    The figure's static layer drawn with the framework's own calls: background, frame and grid
    lines, the x tick labels of the given indices and the y tick labels whose box top lies above
    H - bottom - 9.5, each a text centred in its box. Axis labels are not drawn.
*/
juce::Image drawStaticLayer (const FC& f, const std::vector<int>& xLabels)
{
    const auto& laf = f.getLookAndFeel();
    const auto area = f.getPlotArea();
    const double w = area.getWidth(), h = area.getHeight(), left = f.margins[2], top = f.margins[0];
    const double bottom = f.getHeight() - f.margins[1];
    const auto px = [&] (double x)
    { return FC::fractionToPixel (FC::xToFraction (x, f.xLim[0], f.xLim[1], f.xScale), w, f.zoom[0], f.pan[0]); };
    const auto py = [&] (double y, const std::array<double, 2>& lim)
    { return FC::fractionToPixel (FC::yToFraction (y, lim[0], lim[1]), h, f.zoom[1], f.pan[1]); };

    juce::Image grid (juce::Image::ARGB, area.getWidth(), area.getHeight(), true);
    {
        juce::Graphics g (grid);
        g.setColour (laf.findColour (FC::gridColourId));
        g.drawRect (0.0f, 0.0f, (float) w, (float) h, 1.0f);
        for (auto x : f.xGridLines)
            if (f.xLim[0] <= x && x <= f.xLim[1])
                g.drawLine ((float) px (x), 0.0f, (float) px (x), (float) h, 1.0f);
        for (auto y : f.yGridLines)
            if (f.yLimLeft[0] <= y && y <= f.yLimLeft[1])
                g.drawLine (0.0f, (float) py (y, f.yLimLeft), (float) w, (float) py (y, f.yLimLeft), 1.0f);
    }

    juce::Image image (juce::Image::ARGB, f.getWidth(), f.getHeight(), true);
    juce::Graphics g (image);
    g.fillAll (laf.findColour (FC::backgroundColourId));
    g.setFont (12.0f);
    g.setColour (laf.findColour (FC::textColourId));

    for (auto i : xLabels)
        g.drawText (juce::String (f.xTicks[i]), (int) (px (f.xTicks[i]) + left - 50.0), (int) bottom + 2, 100,
                    (int) f.margins[1], juce::Justification::centredTop, true);

    for (int side = 0; side < (f.rightAxisOn ? 2 : 1); ++side)
        for (auto y : side == 0 ? f.yTicksLeft : f.yTicksRight)
        {
            const auto& lim = side == 0 ? f.yLimLeft : f.yLimRight;
            const double boxY = py (y, lim) + top - 10.0;
            if (lim[0] <= y && y <= lim[1] && boxY < bottom - 9.5)
                g.drawText (side == 0 ? juce::String (y) : FC::rightTickLabel (y, lim[1]), side == 0 ? 0 : (int) (w + left),
                            (int) boxY, side == 0 ? (int) left - 3 : 30, 20, juce::Justification::centredRight, true);
        }

    g.drawImageAt (grid, (int) left, (int) top);
    return image;
}

/** Text width in pixels in the figure's label font. */
double labelWidth (const juce::String& text)
{
    return (double) juce::Font (12.0f).getStringWidthFloat (text);
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

    ColourScheme saved;
    lafMorvelane laf;
    FC figure;
};
} // namespace

TEST_F (FigurePaint, DenseCurvesLookLikeEverySegmentStrokedAlone)
{
    for (const bool logX : { true, false })
    {
        if (logX)
            figuretest::setUpFrequencyPlot (figure, 20000.0, 40.0, 120.0);
        else
            figuretest::setUpTimePlot (figure, 2730.0);

        Matrix<double> x, y;
        for (unsigned c = 0; c < (logX ? 3u : 2u); ++c)
        {
            makeCurve (logX ? 32769 : 131072, logX ? 24000.0 : 2730.0, logX, c + 1, x, y);
            figure.hold (c > 0);
            const auto colour = colourPalette[(size_t) (curveBlue + 2 * c)];
            logX ? figure.semilogx (x, y, colour) : figure.plot (x, y, colour);
        }
        figure.hold (false);

        for (const bool zoomed : { false, true })
        {
            figure.zoom = zoomed ? std::array<double, 2> { 3.5, 2.0 } : std::array<double, 2> { 1.0, 1.0 };
            figure.pan = zoomed ? std::array<double, 2> { -555.5, -200.0 } : std::array<double, 2> { 0.0, 0.0 };
            SCOPED_TRACE (std::string (logX ? "log" : "linear") + (zoomed ? ", zoomed" : ""));

            // Only the left-out points hidden behind the kept ones make a difference, and a slight one.
            const auto drawn = paintFigure (figure), reference = paintEverySegment (figure);
            const auto all = compare (drawn, reference, colourPalette[background], 0);
            EXPECT_GT (all.inked, 20000);
            EXPECT_LE (all.largest, 128);
            EXPECT_LE (compare (drawn, reference, colourPalette[background], 16).pixels, all.inked / 100);
            EXPECT_LE (compare (drawn, reference, colourPalette[background], 48).pixels, all.inked / 1000);
        }
    }
}

TEST_F (FigurePaint, PointsOfNoPositionAreDrawnAtFixedPlacesAndMissingOnesNotAtAll)
{
    figuretest::setUpTimePlot (figure, 100.0);
    stripLabels (figure);
    figure.gridOn = false;

    // Every y is minus infinity, infinity or NaN: the red curve runs along the bottom edge.
    std::vector<double> xs, ys;
    for (int i = 0; i < 2000; ++i)
    {
        xs.push_back (i * 0.05);
        ys.push_back (i % 3 == 0 ? -INFINITY : i % 3 == 1 ? INFINITY : NAN);
    }
    figure.plot (vectorOf (xs), vectorOf (ys), juce::Colours::red);
    figure.hold (true);
    // x values of no position join the blue curve at the left edge.
    figure.plot (vectorOf ({ 50.0, NAN, 60.0, INFINITY }), vectorOf ({ 0.0, 0.0, 0.0, 0.0 }), juce::Colours::blue);
    // A curve of no points, and one of three x values but two y values: only its first segment exists.
    Matrix<double> empty;
    empty.data.clear();
    figure.plot (empty, empty, juce::Colours::green);
    figure.plot (vectorOf ({ 0.0, 50.0, 100.0 }), vectorOf ({ 0.5, 0.5 }), juce::Colours::green);

    const auto area = figure.getPlotArea();
    const auto image = paintFigure (figure);
    const auto bottom = image.getPixelAt (area.getCentreX(), area.getBottom() - 1);
    // Abutting separate strokes leave the row a little lighter than the full colour.
    EXPECT_GT (bottom.getRed(), 200);
    EXPECT_LT (bottom.getGreen(), 128);
    EXPECT_EQ (image.getPixelAt (area.getX() + 10, area.getCentreY()), juce::Colours::blue);
    EXPECT_EQ (image.getPixelAt (area.getX() + area.getWidth() / 4, area.getY() + area.getHeight() / 4), juce::Colours::green);
    EXPECT_FALSE (anyInk (image, area.reduced (4).withTrimmedLeft (area.getWidth() * 3 / 5), colourPalette[background]));

    // Zoomed and panned far away, painting still works.
    figure.zoom = { 1.0e9, 1.0e9 };
    figure.pan = { -5.0e11, -1.0e11 };
    paintFigure (figure);

    // On a log axis the 0 Hz point is far left of the plot: a segment from it to 1 kHz at 0 dB runs
    // in from the left edge, and nothing of it is drawn beyond that edge.
    FC f;
    f.setLookAndFeel (&laf);
    f.gridOn = false;
    f.ylim (-60.0, 20.0);
    stripLabels (f);
    f.semilogx (vectorOf ({ 0.0, 1000.0 }), vectorOf ({ 0.0, 0.0 }), juce::Colours::red);
    const auto logImage = paintFigure (f);
    const int y = area.getY() + (int) (area.getHeight() * 20.0 / 80.0);
    EXPECT_EQ (logImage.getPixelAt (area.getX() + 1, y), juce::Colours::red);
    EXPECT_EQ (logImage.getPixelAt (area.getCentreX(), y), juce::Colours::red);
    EXPECT_FALSE (anyInk (logImage, { area.getRight() - 100, y - 3, 98, 6 }, colourPalette[background]));
    EXPECT_FALSE (anyInk (logImage, { 0, y - 3, area.getX() - 1, 6 }, colourPalette[background]));
    f.setLookAndFeel (nullptr);
}

TEST_F (FigurePaint, RepaintsAfterEachChangeLookLikeAFirstPaint)
{
    // A figure keeps layers between paints; after each change it must look as a new figure looks
    // on its first paint after the same steps.
    Matrix<double> f, db, f2, db2;
    makeCurve (2049, 24000.0, true, 1, f, db);
    makeCurve (2049, 22050.0, true, 2, f2, db2);
    const auto red = juce::Colours::red;

    const std::pair<const char*, std::function<void (FC&)>> steps[] = {
        { "set-up", [&] (FC& g) { figuretest::setUpFrequencyPlot (g, 20000.0, 40.0, 120.0); g.semilogx (f, db, red); } },
        { "new y, same x", [&] (FC& g) { g.semilogx (f, db2, red); } },
        { "new x, same length", [&] (FC& g) { g.semilogx (f2, db2, red); } },
        { "second curve on the right axis",
          [&] (FC& g) { g.yyaxis ("Right"); g.hold (true); g.semilogx (f, db * 0.01, juce::Colours::blue); g.hold (false); g.yyaxis ("Left"); } },
        { "left limits", [] (FC& g) { g.ylim (60.0, 100.0); } },
        { "x limits", [] (FC& g) { g.xlim (100.0, 10000.0); g.ylim (60.0, 100.0); } },
        { "right limits", [] (FC& g) { g.yyaxis ("Right"); g.ylim (-2.0, 2.0); g.yyaxis ("Left"); } },
        { "labels", [] (FC& g) { g.xlabel ("Hz"); g.ylabel ("dB"); } },
        { "x ticks", [] (FC& g) { g.xTicks = { 1000.0 }; } },
        { "right ticks", [] (FC& g) { g.yTicksRight = { 0.5 }; } },
        { "zoom and pan", [] (FC& g) { g.zoom = { 2.0, 1.5 }; g.pan = { -200.0, -50.0 }; } },
        { "grid off", [] (FC& g) { g.gridOn = false; } },
        { "size", [] (FC& g) { g.setSize (450, 300); } },
        { "colour scheme", [&] (FC&) { writeColourPalette (false); laf.applyColourScheme(); } },
        { "no curves", [] (FC& g) { g.clear(); } },
    };

    for (size_t i = 0; i < std::size (steps); ++i)
    {
        paintFigure (figure);
        steps[i].second (figure);
        const auto repainted = paintFigure (figure);

        FC fresh;
        fresh.setLookAndFeel (&laf);
        for (size_t j = 0; j <= i; ++j)
            steps[j].second (fresh);
        EXPECT_EQ (compare (repainted, paintFigure (fresh), colourPalette[background], 0).pixels, 0) << steps[i].first;
        fresh.setLookAndFeel (nullptr);
    }
}

TEST_F (FigurePaint, AScaledContextGetsTheSamePictureAtItsScale)
{
    // A scaled context is drawn on directly, without the kept layers: the picture is the same, enlarged.
    figuretest::setUpTimePlot (figure, 10.0);
    figure.plot (vectorOf ({ 0.0, 10.0 }), vectorOf ({ 0.5, 0.5 }), juce::Colours::red);
    const auto once = paintFigure (figure);

    juce::Image scaled (juce::Image::ARGB, 1200, 800, true);
    {
        juce::Graphics g (scaled);
        g.addTransform (juce::AffineTransform::scale (2.0f));
        figure.paintEntireComponent (g, false);
    }

    const auto d = compare (once, scaled.rescaled (600, 400, juce::Graphics::mediumResamplingQuality), colourPalette[background], 96);
    EXPECT_LE (d.pixels, d.inked / 50); // the curve alone would be more
}

TEST_F (FigurePaint, TheStaticLayerIsTheFrameworksDrawingWithTheChosenXLabels)
{
    struct Case
    {
        int width, height;
        double timeSpanMs, topHz;  // a time plot when timeSpanMs is not 0, else a spectrum up to topHz
        double zoom, panShare;     // on both axes
        bool everyFittingLabel;    // every x label within the limits whose box starts left of the right margin
    };

    const double ms4096 = 4096.0 / 48.0;
    const Case cases[] = {
        // The plots as the main window first shows them, at a figure's own size and in a cell, keep
        // every x label.
        { 600, 400, ms4096, 0, 1, 0, true }, { 600, 400, 2 * ms4096, 0, 1, 0, true }, { 600, 400, 0, 24000, 1, 0, true },
        { 600, 400, 0, 20000, 1, 0, true }, { 300, 250, ms4096, 0, 1, 0, true },      { 300, 250, 0, 24000, 1, 0, true },
        // Thinned or cut to the view: the result at 4096 points in a cell; zoomed and panned plots.
        { 300, 250, 2 * ms4096, 0, 1, 0, false }, { 300, 250, 16384 / 44.1, 0, 3.3, 0.4, false }, { 600, 400, 0, 48000, 1.7, 0.3, false },
    };

    for (const auto& c : cases)
    {
        FC f;
        f.setLookAndFeel (&laf);
        c.timeSpanMs > 0.0 ? figuretest::setUpTimePlot (f, c.timeSpanMs) : figuretest::setUpFrequencyPlot (f, c.topHz, 40.0, 120.0);
        f.xLabel = f.yLabelLeft = f.yLabelRight = {};
        f.setSize (c.width, c.height);
        f.zoom = { c.zoom, c.zoom };
        f.pan = { -c.panShare * f.getPanArea().x * (c.zoom - 1.0), -c.panShare * f.getPanArea().y * (c.zoom - 1.0) };
        SCOPED_TRACE (juce::String::formatted ("%d px, %g ms, %g Hz", c.width, c.timeSpanMs, c.topHz).toStdString());

        const auto axis = f.getXLabelAxis();
        std::vector<int> fitting;
        for (int i = 0; i < f.xTicks.size(); ++i)
            if (f.xLim[0] <= f.xTicks[i] && f.xTicks[i] <= f.xLim[1] && FC::xLabelBoxX (f.xTicks[i], axis) < c.width - 45 - 30 - 9.5)
                fitting.push_back (i);

        const auto chosen = FC::chooseXTickLabels (f.xTicks, axis, labelWidth);
        // Rectangles and lines of the framework differ from the figure's grid by rounding only.
        const auto d = compare (paintFigure (f), drawStaticLayer (f, c.everyFittingLabel ? fitting : chosen), colourPalette[background], 2);
        EXPECT_EQ (d.pixels, 0);
        EXPECT_EQ (chosen.size() < fitting.size(), ! c.everyFittingLabel);
        f.setLookAndFeel (nullptr);
    }
}

TEST_F (FigurePaint, TickLabelsAreDrawnOnlyWhereTheyFit)
{
    const juce::Rectangle<int> underPlot { 0, 372, 600, 28 }, leftColumn { 0, 0, 42, 400 }, rightStrip { 551, 0, 49, 400 },
        rightEdge { 571, 0, 29, 400 };

    const std::tuple<const char*, std::function<void (FC&)>, juce::Rectangle<int>, bool> cases[] = {
        // Without the right axis the label box at the upper x limit starts at 520, right of 515.5.
        { "x tick at the upper limit", [] (FC& f) { f.xTicks = { 20000.0 }; }, underPlot, false },
        { "x tick at the upper limit, right axis on", [] (FC& f) { f.yyaxis ("Right"); f.yyaxis ("Left"); f.xTicks = { 20000.0 }; }, underPlot, true },
        { "x ticks outside the limits", [] (FC& f) { f.xTicks = { 9.0, 30000.0 }; }, underPlot, false },
        // The box top of a left tick at the lower limit is at H - bottom - 10; one pixel lower is too low.
        { "left tick panned down", [] (FC& f) { f.yTicksLeft = { -120.0 }; f.pan[1] = 1.0; }, leftColumn, false },
        { "right tick, log axis", [] (FC& f) { f.yyaxis ("Right"); f.yTicksRight = { -120.0 }; }, rightStrip, true },
        { "right tick, linear axis", [] (FC& f) { f.yyaxis ("Right"); f.xScale = XScale::linear; f.yTicksRight = { -120.0 }; }, rightEdge, false },
        { "right axis label, linear axis", [] (FC& f) { f.yyaxis ("Right"); f.xScale = XScale::linear; f.yLabelRight = "Phase"; }, rightEdge, true },
    };

    for (const auto& [what, setUp, area, inked] : cases)
    {
        FC f;
        f.setLookAndFeel (&laf);
        f.gridOn = false;
        stripLabels (f);
        setUp (f);
        EXPECT_EQ (anyInk (paintFigure (f), area, colourPalette[background]), inked) << what;
        f.setLookAndFeel (nullptr);
    }
}

TEST (FigureLabels, RightTicksHaveTwoDecimalsBelowAHundred)
{
    EXPECT_EQ (FC::rightTickLabel (-1.0, 1.0), "-1.00");
    EXPECT_EQ (FC::rightTickLabel (45.0, 99.5), "45.00");
    EXPECT_EQ (FC::rightTickLabel (-180.0, 180.0), "-180");
    EXPECT_EQ (FC::rightTickLabel (45.0, -120.0), "45"); // the magnitude of the limit counts
}

TEST (FigureLabels, DrawnXLabelsKeepApartEvenlySpacedAndInView)
{
    int thinned = 0;
    // The whole plot, zoomed a little, zoomed into the middle, panned to the end.
    const std::pair<double, double> views[] = { { 1.0, 0.0 }, { 1.7, 0.35 }, { 8.0, 0.5 }, { 40.0, 1.0 } };

    // Cells of the main window at its narrowest and at its first size, a figure's own width, a wide
    // one; plots of the input or filter, of the result (twice as long) and of a spectrum.
    for (int width : { 147, 300, 600, 1200 })
        for (int nfft = 32; nfft <= 65536; nfft *= 2)
            for (double fs : { 44100.0, 96000.0 })
                for (int plot = 0; plot < 3; ++plot)
                    for (const auto& [zoom, panShare] : views)
                    {
                        FC f;
                        plot < 2 ? figuretest::setUpTimePlot (f, (plot + 1) * nfft / fs * 1000.0)
                                 : figuretest::setUpFrequencyPlot (f, fs / 2.0, 40.0, 120.0);
                        f.setSize (width, 250);
                        f.zoom[0] = zoom;
                        f.pan[0] = -panShare * f.getPanArea().x * (zoom - 1.0);
                        const auto axis = f.getXLabelAxis();
                        const auto drawn = FC::chooseXTickLabels (f.xTicks, axis, labelWidth);
                        SCOPED_TRACE (juce::String::formatted ("%d px, NFFT %d, %g Hz, plot %d, zoom %g", width, nfft, fs, plot, zoom).toStdString());

                        const auto valueAt = [&] (double pixel)
                        { return FC::fractionToX (FC::pixelToFraction (pixel, axis.plotW, f.zoom[0], f.pan[0]), f.xLim[0], f.xLim[1], f.xScale); };
                        const auto centre = [&] (int tick) { return std::trunc (FC::xLabelBoxX (f.xTicks[tick], axis)) + 50.0; };
                        const auto halfText = [&] (int tick) { return labelWidth (juce::String (f.xTicks[tick])) / 2.0; };
                        double widest = 0.0;
                        for (int i = 0; i < f.xTicks.size(); ++i)
                            widest = std::max (widest, 2.0 * halfText (i));

                        for (size_t j = 0; j < drawn.size(); ++j)
                        {
                            EXPECT_GE (f.xTicks[drawn[j]], valueAt (0.0) * (1.0 - 1.0e-9));
                            EXPECT_LE (f.xTicks[drawn[j]], valueAt (axis.plotW) * (1.0 + 1.0e-9));
                            if (j == 0)
                                continue;

                            // Every k-th tick, k = 1, 2, 5, 10, ..., counted from the first.
                            const int k = drawn[1] - drawn[0], decade = (int) std::pow (10.0, std::floor (std::log10 (k)));
                            EXPECT_EQ (drawn[j] - drawn[j - 1], k);
                            EXPECT_EQ (drawn[0] % k, 0);
                            EXPECT_TRUE (k == decade || k == 2 * decade || k == 5 * decade) << k;

                            // The texts as drawn stand apart, and no further than the step before k
                            // would have brought some two closer than the widest text.
                            const double pitch = centre (drawn[j]) - centre (drawn[j - 1]);
                            EXPECT_GE (pitch - halfText (drawn[j]) - halfText (drawn[j - 1]), 2.0);
                            if (k > 1)
                            {
                                EXPECT_LT (pitch, 2.5 * (widest + FC::xLabelGap) + 4.0) << k;
                                ++thinned;
                            }
                        }

                        // The whole plot of a cell of the main window is labelled.
                        if (zoom == 1.0 && width >= 300)
                        {
                            EXPECT_GE (drawn.size(), (size_t) std::min (f.xTicks.size(), 2));
                        }
                    }

    EXPECT_GT (thinned, 100);
}
