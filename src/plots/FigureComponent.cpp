#include "plots/FigureComponent.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace
{
using XScale = FigureComponent::XScale;

/** Line thickness of curves and grid lines, in pixels. */
constexpr float curveThickness = 2.0f;
constexpr float gridThickness = 1.0f;

/** Segments reaching further than this outside the layer image are cut at this distance, so the
    rasteriser only ever sees moderate coordinates; the cut ends are far outside the image. */
constexpr double clipMargin = 64.0;

/** Height of the font of every label, in pixels. */
constexpr float labelFontHeight = 12.0f;

/** Where a non-finite x or y position is drawn, as a fraction of the unzoomed plot area. */
constexpr double nonFiniteXFraction = 0.0;
constexpr double nonFiniteYFraction = 1.0;

/** log10 of the x at which the 0 Hz point of a frequency curve is placed on a log axis. */
constexpr double zeroFrequencyLog10 = -4.0;

/** The values min + i * step for i = 0 ... trunc(|(max - min) / step|); none when that count is
    not a finite non-negative number (a step of 0, non-finite limits). */
/** At most this many steps along one axis. A span of more steps (a time plot of 65536 samples at a
    rate of a few hertz has millions of 10 ms steps, whose lines and labels took a minute to draw)
    takes every 2nd, 5th, 10th, 20th, ... of them: the lines that remain are lines of the full set,
    and grid and ticks of one step stay aligned. */
constexpr double maxStepsPerAxis = 10000.0;

void appendSteps (juce::Array<double>& values, double min, double max, double step)
{
    const double count = std::abs ((max - min) / step);

    if (! std::isfinite (count))
        return;

    constexpr double multipliers[] = { 1.0, 2.0, 5.0 };
    double every = 1.0;

    for (int i = 1; count / every > maxStepsPerAxis; ++i)
        every = multipliers[i % 3] * std::pow (10.0, i / 3);

    const int n = (int) (count / every);

    for (int i = 0; i <= n; ++i)
        values.add ((double) i * (step * every) + min);
}

/** Decades 10^k (computed in single precision) for k from floor(log10 min) while k < ceil(log10 max),
    each multiplied by 1 ... multipliers. */
void appendDecades (juce::Array<double>& values, double min, double max, int multipliers)
{
    const double first = std::floor (std::log10 (min));
    const double last = std::ceil (std::log10 (max));

    // Beyond this, single-precision decades are no longer finite.
    if (! std::isfinite (first) || ! std::isfinite (last) || first < -60.0 || last > 60.0)
        return;

    for (int k = (int) first; k < (int) last; ++k)
    {
        const double p = (double) std::pow (10.0f, (float) k);

        for (int m = 1; m <= multipliers; ++m)
            values.add ((double) m * p);
    }
}

/** Integer pixel coordinate for text boxes, kept in a range that is safe to convert. */
int toPixelInt (double value) noexcept
{
    return (int) juce::jlimit (-1.0e8, 1.0e8, value);
}

/** Cuts the segment a-b to the rectangle [lo, hi] (Liang-Barsky). False when nothing is left. */
bool clipSegment (juce::Point<double>& a, juce::Point<double>& b, juce::Point<double> lo, juce::Point<double> hi)
{
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4] = { a.x - lo.x, hi.x - a.x, a.y - lo.y, hi.y - a.y };

    for (int i = 0; i < 4; ++i)
    {
        if (p[i] == 0.0)
        {
            if (q[i] < 0.0)
                return false;
            continue;
        }

        const double t = q[i] / p[i];

        if (p[i] < 0.0)
            t0 = std::max (t0, t);
        else
            t1 = std::min (t1, t);

        if (t0 > t1)
            return false;
    }

    const auto start = a;
    a = { start.x + t0 * dx, start.y + t0 * dy };
    b = { start.x + t1 * dx, start.y + t1 * dy };
    return true;
}

/** floor(v) for the bucket number of a pixel position; positions beyond any image are held at a
    distance where they still fall into buckets of their own side. */
inline double bucketOf (double pixel, double bucketsPerPixel) noexcept
{
    const double v = juce::jlimit (-1.0e15, 1.0e15, pixel * bucketsPerPixel);
    const double t = (double) (std::int64_t) v;
    return t > v ? t - 1.0 : t;
}

/**
    Shrinks a dense curve to the points whose strokes can be told apart. Consecutive points whose
    x falls into the same bucket (a pixel column divided into bucketsPerPixel parts) are replaced
    by the first and the last point of the run and by its lowest and highest point, with their
    neighbours in the run when withNeighbours is set, in their original order. A run no longer
    than what would be kept stays whole, so a sparse curve is returned unchanged. The strokes of the left-out points lie between those of
    the kept ones; what differs is only how often their soft edges are painted over.

    fractions are the points' positions in the unzoomed plot area; the kept points are returned
    as pixels of the layer image.
*/
void reduceToBuckets (const std::vector<juce::Point<double>>& fractions, size_t n, double plotW, double plotH,
                      const std::array<double, 2>& zoom, const std::array<double, 2>& pan, double bucketsPerPixel,
                      bool withNeighbours, std::vector<juce::Point<double>>& reduced)
{
    using FC = FigureComponent;
    auto pixelOf = [&] (size_t i) -> juce::Point<double>
    {
        return { FC::fractionToPixel (fractions[i].x, plotW, zoom[0], pan[0]),
                 FC::fractionToPixel (fractions[i].y, plotH, zoom[1], pan[1]) };
    };

    reduced.clear();
    const size_t keepLimit = withNeighbours ? 8 : 4;
    size_t start = 0;
    double bucket = n > 0 ? bucketOf (pixelOf (0).x, bucketsPerPixel) : 0.0;

    while (start < n)
    {
        size_t end = start + 1;
        size_t lowest = start, highest = start;
        double lowestY = fractions[start].y, highestY = lowestY;
        double nextBucket = bucket;

        for (; end < n; ++end)
        {
            nextBucket = bucketOf (FC::fractionToPixel (fractions[end].x, plotW, zoom[0], pan[0]), bucketsPerPixel);

            if (nextBucket != bucket)
                break;

            // The y fraction grows downwards exactly as the pixel does.
            const double y = fractions[end].y;

            if (y < lowestY)
            {
                lowestY = y;
                lowest = end;
            }

            if (y > highestY)
            {
                highestY = y;
                highest = end;
            }
        }

        const size_t last = end - 1;

        if (end - start <= keepLimit)
        {
            for (size_t i = start; i < end; ++i)
                reduced.push_back (pixelOf (i));
        }
        else
        {
            const size_t a = std::min (lowest, highest), b = std::max (lowest, highest);
            const size_t withNeighbourIndices[] = { start, a - (a > start ? 1 : 0), a, std::min (a + 1, last),
                                                    b - (b > start ? 1 : 0), b, std::min (b + 1, last), last };
            const size_t extremeIndices[] = { start, a, b, last };
            const size_t* kept = withNeighbours ? withNeighbourIndices : extremeIndices;
            size_t previous = n;

            for (size_t k = 0; k < keepLimit; ++k)
            {
                const size_t index = kept[k];

                if (previous == n || index > previous)
                {
                    reduced.push_back (pixelOf (index));
                    previous = index;
                }
            }
        }

        start = end;
        bucket = nextBucket;
    }
}
} // namespace

//==============================================================================
size_t FigureComponent::Curve::size() const noexcept
{
    return x.length();
}

FigureComponent::FigureComponent()
{
    updateGrid();
    updateTicks();
    setSize (600, 400);
}

FigureComponent::~FigureComponent()
{
    clear();
}

//==============================================================================
void FigureComponent::addCurve (Matrix<double> x, Matrix<double> y, juce::Colour colour)
{
    if (! holdOn)
        clear();

    auto curve = std::make_unique<Curve>();
    curve->colour = colour;
    curve->x = std::move (x);
    curve->y = std::move (y);
    curve->yAxis = activeYAxis;

    // The position buffer of a deleted curve is reused, so that new data does not allocate it.
    if (! spareFractions.empty())
    {
        curve->fractions = std::move (spareFractions.back());
        curve->fractions.clear();
        spareFractions.pop_back();
    }

    auto* tail = &curves;

    while (*tail != nullptr)
        tail = &(*tail)->next;

    *tail = std::move (curve);
    repaint();
}

void FigureComponent::semilogx (Matrix<double> x, Matrix<double> y, juce::Colour colour)
{
    xScale = XScale::log;
    addCurve (std::move (x), std::move (y), colour);
}

void FigureComponent::plot (Matrix<double> x, Matrix<double> y, juce::Colour colour)
{
    xScale = XScale::linear;
    addCurve (std::move (x), std::move (y), colour);
}

void FigureComponent::xlim (double min, double max)
{
    xLim = { min, max };
}

void FigureComponent::ylim (double min, double max)
{
    if (activeYAxis == 0)
    {
        yLimLeft = { min, max };
        updateGrid();
    }
    else
    {
        yLimRight = { min, max };
    }

    updateTicks();
}

void FigureComponent::xlabel (const juce::String& text)
{
    xLabel = text;
}

void FigureComponent::ylabel (const juce::String& text)
{
    if (activeYAxis == 0)
        yLabelLeft = text;
    else
        yLabelRight = text;
}

void FigureComponent::yyaxis (const juce::String& side)
{
    if (side == "Left")
    {
        activeYAxis = 0;
    }
    else
    {
        activeYAxis = 1;
        rightAxisOn = true;
    }
}

void FigureComponent::hold (bool on)
{
    holdOn = on;
}

void FigureComponent::clear()
{
    // Unlinked one by one so that a long list is not destroyed recursively.
    while (curves != nullptr)
    {
        if (spareFractions.size() < maxSpareFractions)
            spareFractions.push_back (std::move (curves->fractions));

        curves = std::move (curves->next);
    }

    repaint();
}

void FigureComponent::setXScale (XScale scale)
{
    xScale = scale;
    updateTicks();
    updateGrid();
}

int FigureComponent::getNumCurves() const noexcept
{
    int count = 0;

    for (auto* c = curves.get(); c != nullptr; c = c->next.get())
        ++count;

    return count;
}

const FigureComponent::Curve* FigureComponent::getCurve (int index) const noexcept
{
    auto* c = curves.get();

    for (int i = 0; c != nullptr && i < index; ++i)
        c = c->next.get();

    return index >= 0 ? c : nullptr;
}

//==============================================================================
void FigureComponent::updateGrid()
{
    xGridLines.clearQuick();
    yGridLines.clearQuick();
    xGridLines.minimiseStorageOverheads();
    yGridLines.minimiseStorageOverheads();

    if (xScale == XScale::log)
        appendDecades (xGridLines, xLim[0], xLim[1], 9);
    else if (xScale == XScale::linear)
        appendSteps (xGridLines, xLim[0], xLim[1], gridStep[0]);
    else
        return;

    appendSteps (yGridLines, yLimLeft[0], yLimLeft[1], gridStep[1]);
}

void FigureComponent::updateTicks()
{
    for (auto* ticks : { &xTicks, &yTicksLeft, &yTicksRight })
    {
        ticks->clearQuick();
        ticks->minimiseStorageOverheads();
    }

    if (xScale == XScale::log)
        appendDecades (xTicks, xLim[0], xLim[1], 1);
    else if (xScale == XScale::linear)
    {
        if (tickStep[0] != 0.0)
            appendSteps (xTicks, xLim[0], xLim[1], tickStep[0]);
    }
    else
        return;

    if (tickStep[1] == 0.0)
        return;

    appendSteps (yTicksLeft, yLimLeft[0], yLimLeft[1], tickStep[1]);

    if (rightAxisOn)
    {
        // The right axis gets as many intervals as the left one.
        const double rightStep = (yLimRight[1] - yLimRight[0]) / ((yLimLeft[1] - yLimLeft[0]) / tickStep[1]);

        if (rightStep != 0.0)
            appendSteps (yTicksRight, yLimRight[0], yLimRight[1], rightStep);
    }
}

//==============================================================================
juce::String FigureComponent::rightTickLabel (double value, double rightAxisMax)
{
    return std::abs (rightAxisMax) < 100.0 ? juce::String (value, 2) : juce::String (value);
}

double FigureComponent::xLabelBoxX (double x, const XLabelAxis& axis) noexcept
{
    const double fraction = xToFraction (x, axis.xLim[0], axis.xLim[1], axis.scale);
    return fractionToPixel (fraction, axis.plotW, axis.zoom, axis.pan) + axis.left - xLabelBoxWidth / 2.0;
}

std::vector<int> FigureComponent::chooseXTickLabels (const juce::Array<double>& ticks, const XLabelAxis& axis,
                                                     const std::function<double (const juce::String&)>& textWidth)
{
    struct Candidate
    {
        int tick;
        double boxX, textLeft, textRight;
    };

    std::vector<Candidate> candidates;

    for (int i = 0; i < ticks.size(); ++i)
    {
        const double v = ticks[i];

        if (! (axis.xLim[0] <= v && v <= axis.xLim[1]))
            continue;

        const double boxX = xLabelBoxX (v, axis);
        const double halfWidth = textWidth (juce::String (v)) / 2.0;
        const double centre = boxX + xLabelBoxWidth / 2.0;
        candidates.push_back ({ i, boxX, centre - halfWidth, centre + halfWidth });
    }

    const auto n = candidates.size();

    // The distances do not depend on the pan. Boxes start on whole pixels, which can bring two
    // texts up to a pixel closer than here.
    const auto keepsDistance = [&candidates, n] (size_t k)
    {
        for (size_t i = 0; i + k < n; i += k)
            if (candidates[i].textRight + xLabelGap + 1.0 > candidates[i + k].textLeft)
                return false;

        return true;
    };

    // Every label, or every 2nd, 5th, 10th, 20th, 50th, ...: the first that keeps the texts apart.
    size_t every = 1;

    while (! keepsDistance (every))
    {
        size_t decade = 1;

        while (decade * 10 <= every)
            decade *= 10;

        every = every == 2 * decade ? 5 * decade : 2 * every;
    }

    // Labels of values outside the visible range would stand under the neighbouring axes.
    constexpr double edgeTolerance = 1.0e-6;
    const double lastBoxX = axis.width - axis.left - axis.right - 9.5;
    std::vector<int> drawn;

    for (size_t i = 0; i < n; i += every)
    {
        const double px = candidates[i].boxX - axis.left + xLabelBoxWidth / 2.0;

        if (px >= -edgeTolerance && px <= axis.plotW + edgeTolerance && candidates[i].boxX < lastBoxX)
            drawn.push_back (candidates[i].tick);
    }

    return drawn;
}

FigureComponent::XLabelAxis FigureComponent::getXLabelAxis() const noexcept
{
    return { xLim, xScale, (double) getPlotArea().getWidth(), zoom[0], pan[0], (double) getWidth(), margins[2], margins[3] };
}

//==============================================================================
juce::Rectangle<int> FigureComponent::getPlotArea() const noexcept
{
    const double top = margins[0], bottom = margins[1], left = margins[2], right = margins[3];
    double plotW = (double) getWidth() - left - right;

    if (xScale == XScale::log && rightAxisOn)
        plotW -= 20.0;

    const double plotH = (double) getHeight() - top - bottom;
    return { (int) left, (int) top, (int) plotW, (int) plotH };
}

juce::Point<double> FigureComponent::getPanArea() const noexcept
{
    return { (double) getWidth() - margins[2] - margins[3], (double) getHeight() - margins[0] - margins[1] };
}

//==============================================================================
bool FigureComponent::StaticLayerKey::operator== (const StaticLayerKey& o) const
{
    return width == o.width && height == o.height && margins == o.margins && xLim == o.xLim && yLimLeft == o.yLimLeft
           && yLimRight == o.yLimRight && zoom == o.zoom && pan == o.pan && xScale == o.xScale
           && rightAxisOn == o.rightAxisOn && gridOn == o.gridOn && xGridLines == o.xGridLines
           && yGridLines == o.yGridLines && xTicks == o.xTicks && yTicksLeft == o.yTicksLeft
           && yTicksRight == o.yTicksRight && xLabel == o.xLabel && yLabelLeft == o.yLabelLeft
           && yLabelRight == o.yLabelRight && colours == o.colours && lookAndFeel == o.lookAndFeel
           && defaultLookAndFeel == o.defaultLookAndFeel;
}

FigureComponent::StaticLayerKey FigureComponent::makeStaticLayerKey() const
{
    auto& laf = getLookAndFeel();
    StaticLayerKey key;
    key.width = getWidth();
    key.height = getHeight();
    key.margins = margins;
    key.xLim = xLim;
    key.yLimLeft = yLimLeft;
    key.yLimRight = yLimRight;
    key.zoom = zoom;
    key.pan = pan;
    key.xScale = xScale;
    key.rightAxisOn = rightAxisOn;
    key.gridOn = gridOn;
    key.xGridLines = xGridLines;
    key.yGridLines = yGridLines;
    key.xTicks = xTicks;
    key.yTicksLeft = yTicksLeft;
    key.yTicksRight = yTicksRight;
    key.xLabel = xLabel;
    key.yLabelLeft = yLabelLeft;
    key.yLabelRight = yLabelRight;
    key.colours = { laf.findColour (backgroundColourId).getARGB(), laf.findColour (gridColourId).getARGB(),
                    laf.findColour (tickColourId).getARGB(), laf.findColour (textColourId).getARGB() };
    key.lookAndFeel = &laf;
    key.defaultLookAndFeel = &juce::LookAndFeel::getDefaultLookAndFeel();
    return key;
}

void FigureComponent::paint (juce::Graphics& g)
{
    const auto plotArea = getPlotArea();
    const int plotW = plotArea.getWidth(), plotH = plotArea.getHeight();
    const bool hasPlotArea = plotW > 0 && plotH > 0;

    // On a scaled context the layers would be resampled: everything is drawn afresh there.
    if (g.getInternalContext().getPhysicalPixelScaleFactor() != 1.0f || getWidth() <= 0 || getHeight() <= 0)
    {
        paintStaticLayer (g, plotArea);

        if (hasPlotArea)
        {
            if (curveImage.getWidth() != plotW || curveImage.getHeight() != plotH)
                curveImage = juce::Image (juce::Image::ARGB, plotW, plotH, true);
            else
                curveImage.clear (curveImage.getBounds());

            paintCurves (curveImage, {}, plotW, plotH);
            g.drawImageAt (curveImage, plotArea.getX(), plotArea.getY());
        }

        return;
    }

    // The static layer is drawn again only when something it shows has changed; the frame is
    // that layer with the curves on top, restored where the last curves were.
    auto key = makeStaticLayerKey();

    if (staticLayer.isNull() || ! (key == staticLayerKey))
    {
        const bool opaque = getLookAndFeel().findColour (backgroundColourId).isOpaque();
        staticLayer = juce::Image (opaque ? juce::Image::RGB : juce::Image::ARGB, getWidth(), getHeight(), true);

        {
            juce::Graphics layer (staticLayer);
            paintStaticLayer (layer, plotArea);
        }

        frame = staticLayer.createCopy();
        frameCurveArea = {};
        staticLayerKey = std::move (key);
    }
    else if (! frameCurveArea.isEmpty())
    {
        const juce::Image::BitmapData from (staticLayer, frameCurveArea.getX(), frameCurveArea.getY(),
                                            frameCurveArea.getWidth(), frameCurveArea.getHeight());
        juce::Image::BitmapData to (frame, frameCurveArea.getX(), frameCurveArea.getY(), frameCurveArea.getWidth(),
                                    frameCurveArea.getHeight(), juce::Image::BitmapData::writeOnly);
        const auto rowBytes = (size_t) frameCurveArea.getWidth() * (size_t) from.pixelStride;

        for (int y = 0; y < frameCurveArea.getHeight(); ++y)
            std::memcpy (to.getLinePointer (y), from.getLinePointer (y), rowBytes);

        frameCurveArea = {};
    }

    if (hasPlotArea)
        frameCurveArea = paintCurves (frame, plotArea.getPosition(), plotW, plotH);

    g.drawImageAt (frame, 0, 0);
}

void FigureComponent::paintStaticLayer (juce::Graphics& g, juce::Rectangle<int> plotArea)
{
    g.fillAll (getLookAndFeel().findColour (backgroundColourId));

    const int plotW = plotArea.getWidth(), plotH = plotArea.getHeight();

    if (plotW > 0 && plotH > 0)
        paintGrid (plotW, plotH);

    paintLabels (g, plotArea);

    if (plotW > 0 && plotH > 0)
        g.drawImageAt (gridImage, plotArea.getX(), plotArea.getY());
}

void FigureComponent::paintGrid (int plotW, int plotH)
{
    if (gridImage.getWidth() != plotW || gridImage.getHeight() != plotH)
        gridImage = juce::Image (juce::Image::ARGB, plotW, plotH, true);
    else
        gridImage.clear (gridImage.getBounds());

    juce::Graphics g (gridImage);
    const auto gridColour = getLookAndFeel().findColour (gridColourId);
    g.setColour (gridColour);
    g.drawRect (0.0f, 0.0f, (float) plotW, (float) plotH, 1.0f);

    if (! gridOn)
        return;

    // A grid line is the axis-aligned rectangle that a line of this thickness covers.
    g.setColour (gridColour);

    for (auto x : xGridLines)
    {
        if (! (xLim[0] <= x && x <= xLim[1]))
            continue;

        const double px = fractionToPixel (xToFraction (x, xLim[0], xLim[1], xScale), plotW, zoom[0], pan[0]);

        if (std::isfinite (px) && px > -clipMargin && px < plotW + clipMargin)
            g.fillRect (juce::Rectangle<float> ((float) px - gridThickness * 0.5f, 0.0f, gridThickness, (float) plotH));
    }

    for (auto y : yGridLines)
    {
        if (! (yLimLeft[0] <= y && y <= yLimLeft[1]))
            continue;

        const double py = fractionToPixel (yToFraction (y, yLimLeft[0], yLimLeft[1]), plotH, zoom[1], pan[1]);

        if (std::isfinite (py) && py > -clipMargin && py < plotH + clipMargin)
            g.fillRect (juce::Rectangle<float> (0.0f, (float) py - gridThickness * 0.5f, (float) plotW, gridThickness));
    }
}

void FigureComponent::paintLabels (juce::Graphics& g, juce::Rectangle<int> plotArea)
{
    auto& laf = getLookAndFeel();
    const double H = getHeight();
    const double top = margins[0], bottom = margins[1], left = margins[2];
    const double plotW = plotArea.getWidth(), plotH = plotArea.getHeight();

    g.setFont (labelFontHeight);
    g.setColour (laf.findColour (tickColourId));

    const juce::Font font (labelFontHeight);
    const auto xAxis = getXLabelAxis();
    const auto textWidth = [&font] (const juce::String& text) { return (double) font.getStringWidthFloat (text); };

    for (auto i : chooseXTickLabels (xTicks, xAxis, textWidth))
    {
        const double v = xTicks[i];
        g.setColour (laf.findColour (textColourId));
        drawLabel (g, juce::String (v),
                   { toPixelInt (xLabelBoxX (v, xAxis)), toPixelInt (H - bottom + 2.0), xLabelBoxWidth, toPixelInt (bottom) },
                   juce::Justification::centredTop);
    }

    for (auto v : yTicksLeft)
    {
        if (! (yLimLeft[0] <= v && v <= yLimLeft[1]))
            continue;

        const double boxY = fractionToPixel (yToFraction (v, yLimLeft[0], yLimLeft[1]), plotH, zoom[1], pan[1]) + top - 10.0;

        if (boxY < H - bottom - 9.5)
        {
            g.setColour (laf.findColour (textColourId));
            drawLabel (g, juce::String (v), { 0, toPixelInt (boxY), toPixelInt (left - 3.0), 20 },
                       juce::Justification::centredRight);
        }
    }

    if (xScale == XScale::log && rightAxisOn)
    {
        for (auto v : yTicksRight)
        {
            if (! (yLimRight[0] <= v && v <= yLimRight[1]))
                continue;

            const double boxY = fractionToPixel (yToFraction (v, yLimRight[0], yLimRight[1]), plotH, zoom[1], pan[1]) + top - 10.0;

            if (boxY < H - bottom - 9.5)
            {
                g.setColour (laf.findColour (textColourId));
                drawLabel (g, rightTickLabel (v, yLimRight[1]), { toPixelInt (plotW + left), toPixelInt (boxY), 30, 20 },
                           juce::Justification::centredRight);
            }
        }
    }

    g.setColour (laf.findColour (textColourId));
    g.drawText (xLabel, toPixelInt (left), toPixelInt (top + plotH + 10.0), toPixelInt (plotW), 20,
                juce::Justification::centred, true);

    const int w = getWidth(), h = getHeight();

    // Vertical axis labels read from bottom to top, centred 10 px inside the left or right edge.
    auto drawRotated = [&] (const juce::String& label, int offset)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, (float) w / 2.0f, (float) h / 2.0f));
        g.addTransform (juce::AffineTransform::translation (0.0f, (float) offset));
        g.drawText (label, 0, 0, w, h, juce::Justification::centred, true);
    };

    drawRotated (yLabelLeft, 10 - w / 2);

    if (rightAxisOn)
        drawRotated (yLabelRight, w / 2 - 10);
}

void FigureComponent::drawLabel (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> box,
                                 juce::Justification justification)
{
    // What Graphics::drawText draws, with the layout of each text kept between paints: a tick
    // label keeps its text and box size while pan and zoom only move it.
    if (text.isEmpty() || ! g.clipRegionIntersects (box))
        return;

    const auto key = text + "|" + juce::String (box.getWidth()) + "x" + juce::String (box.getHeight()) + "|"
                     + juce::String (justification.getFlags());
    auto found = labelLayouts.find (key);

    if (found == labelLayouts.end())
    {
        if (labelLayouts.size() > 4096)
            labelLayouts.clear();

        juce::GlyphArrangement layout;
        layout.addCurtailedLineOfText (juce::Font (labelFontHeight), text, 0.0f, 0.0f, (float) box.getWidth(), true);
        layout.justifyGlyphs (0, layout.getNumGlyphs(), 0.0f, 0.0f, (float) box.getWidth(), (float) box.getHeight(), justification);
        found = labelLayouts.emplace (key, std::move (layout)).first;
    }

    found->second.draw (g, juce::AffineTransform::translation ((float) box.getX(), (float) box.getY()));
}

const std::vector<double>& FigureComponent::xFractionsOf (const Matrix<double>& x, size_t n)
{
    for (auto& entry : xFractionCache)
        if (entry.limits == xLim && entry.scale == xScale && entry.x.size() == n
            && std::equal (entry.x.begin(), entry.x.end(), x.data.begin()))
            return entry.fractions;

    // The curves of one plot use only a few x vectors: the oldest of a handful is replaced.
    constexpr size_t cacheSize = 4;

    if (xFractionCache.size() < cacheSize)
        xFractionCache.emplace_back();

    auto& entry = xFractionCache[nextXFractionSlot % xFractionCache.size()];
    nextXFractionSlot = (nextXFractionSlot + 1) % cacheSize;
    entry.x.assign (x.data.begin(), x.data.begin() + (std::ptrdiff_t) n);
    entry.limits = xLim;
    entry.scale = xScale;
    entry.fractions.resize (n);

    const double zeroFrequencyFraction = (zeroFrequencyLog10 - std::log10 (xLim[0]))
                                         / (std::log10 (xLim[1]) - std::log10 (xLim[0]));

    for (size_t i = 0; i < n; ++i)
    {
        double fx = xToFraction (entry.x[i], xLim[0], xLim[1], xScale);

        if (! std::isfinite (fx))
            fx = (xScale == XScale::log && i == 0 && std::isfinite (zeroFrequencyFraction)) ? zeroFrequencyFraction
                                                                                            : nonFiniteXFraction;

        entry.fractions[i] = fx;
    }

    return entry.fractions;
}

juce::Rectangle<int> FigureComponent::paintCurves (juce::Image& target, juce::Point<int> origin, int plotW, int plotH)
{
    const bool logX = xScale == XScale::log;
    drawnCurves.clear();

    for (auto* curve = curves.get(); curve != nullptr; curve = curve->next.get())
    {
        // A y shorter than x would be a caller's error; only the points that exist are drawn.
        const size_t n = std::min (curve->size(), curve->y.length());

        if (n == 0)
            continue;

        const auto& yLim = curve->yAxis == 0 ? yLimLeft : yLimRight;
        const std::array<double, 4> limits { xLim[0], xLim[1], yLim[0], yLim[1] };

        // The unzoomed positions change only with the data, the limits or the scale, so panning
        // and zooming reuse them. The x positions come from the shared cache here; the y
        // positions are filled in with the curve's strokes below.
        const bool stale = curve->fractions.size() != n || curve->fractionLimits != limits || curve->fractionScale != xScale;

        if (stale)
        {
            const auto& fx = xFractionsOf (curve->x, n);
            curve->fractions.resize (n);
            curve->fractionLimits = limits;
            curve->fractionScale = xScale;

            for (size_t i = 0; i < n; ++i)
                curve->fractions[i].x = fx[i];
        }

        drawnCurves.push_back ({ curve, stale });
    }

    if (rasterisers.size() < drawnCurves.size())
    {
        rasterisers.resize (drawnCurves.size());
        reducedPoints.resize (drawnCurves.size());
    }

    // Each curve is reduced and stroked on its own; only compositing keeps the list order.
    const auto strokeCurve = [this, logX, plotW, plotH] (size_t k)
    {
        auto* curve = drawnCurves[k].curve;
        auto& points = reducedPoints[k];

        if (drawnCurves[k].newYPositions)
        {
            const auto& yLim = curve->yAxis == 0 ? yLimLeft : yLimRight;

            for (size_t i = 0; i < curve->fractions.size(); ++i)
            {
                const double fy = yToFraction (curve->y.data[i], yLim[0], yLim[1]);
                curve->fractions[i].y = std::isfinite (fy) ? fy : nonFiniteYFraction;
            }
        }

        auto& rasteriser = rasterisers[k];
        const juce::Point<double> clipLo { -clipMargin, -clipMargin };
        const juce::Point<double> clipHi { plotW + clipMargin, plotH + clipMargin };

        // On a log axis every segment ends on whole pixels, so a whole column is one bucket and
        // the neighbours of its extremes decide how its edges look; on a linear axis the ends keep
        // their fractions and an eighth of a pixel is one bucket, narrow enough for its extremes.
        reduceToBuckets (curve->fractions, curve->fractions.size(), plotW, plotH, zoom, pan, logX ? 1.0 : 8.0, logX,
                         points);

        rasteriser.begin (plotW, plotH, curve->colour);

        for (size_t i = 1; i < points.size(); ++i)
        {
            auto a = points[i - 1];
            auto b = points[i];

            // On a log axis each segment starts on a whole pixel at or left of its start and
            // ends on a whole pixel at or right of its end.
            if (logX)
            {
                a.x = std::floor (a.x);
                b.x = std::ceil (b.x);
            }

            const bool inside = a.x > clipLo.x && a.x < clipHi.x && a.y > clipLo.y && a.y < clipHi.y
                                && b.x > clipLo.x && b.x < clipHi.x && b.y > clipLo.y && b.y < clipHi.y;

            if (! inside && ! clipSegment (a, b, clipLo, clipHi))
                continue;

            rasteriser.addSegment (a.toFloat(), b.toFloat(), curveThickness);
        }
    };

    for (size_t k = 0; k < drawnCurves.size(); ++k)
        strokeCurve (k);

    juce::Rectangle<int> painted;

    for (size_t k = 0; k < drawnCurves.size(); ++k)
    {
        const auto area = rasterisers[k].composite (target, origin);

        if (! area.isEmpty())
            painted = painted.isEmpty() ? area : painted.getUnion (area);
    }

    return painted;
}

void FigureComponent::resized()
{
}

//==============================================================================
void FigureComponent::mouseDown (const juce::MouseEvent& e)
{
    lastMousePosition = { (double) e.x, (double) e.y };
}

void FigureComponent::mouseDrag (const juce::MouseEvent& e)
{
    pan[0] += e.x - lastMousePosition[0];
    pan[1] += e.y - lastMousePosition[1];
    lastMousePosition = { (double) e.x, (double) e.y };
    applyPanLimits();
    repaint();
}

void FigureComponent::mouseUp (const juce::MouseEvent&)
{
}

void FigureComponent::mouseMagnify (const juce::MouseEvent& e, float scaleFactor)
{
    const auto panArea = getPanArea();
    const double px = e.x - margins[2];
    const double py = e.y - margins[0];

    // The data point under the pointer before zooming.
    const double xd = fractionToX (pixelToFraction (px, panArea.x, zoom[0], pan[0]), xLim[0], xLim[1], xScale);
    const double yd = fractionToY (pixelToFraction (py, panArea.y, zoom[1], pan[1]), yLimLeft[0], yLimLeft[1]);

    zoom[0] = std::max (1.0, zoom[0] * scaleFactor);
    zoom[1] = std::max (1.0, zoom[1] * scaleFactor);

    // Put it back under the pointer.
    pan[0] = px - fractionToPixel (xToFraction (xd, xLim[0], xLim[1], xScale), panArea.x, zoom[0], 0.0);
    pan[1] = py - fractionToPixel (yToFraction (yd, yLimLeft[0], yLimLeft[1]), panArea.y, zoom[1], 0.0);

    applyPanLimits();
    repaint();
}

void FigureComponent::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
#if JUCE_LINUX || JUCE_BSD
    // One notch of an X11 wheel arrives as a delta of 50/256.
    constexpr float notch = 50.0f / 256.0f;

    if (e.mods.isCtrlDown() && wheel.deltaY != 0.0f)
    {
        mouseMagnify (e, std::pow (1.1f, wheel.deltaY / notch));
        return;
    }
#endif

    juce::Component::mouseWheelMove (e, wheel);
}

void FigureComponent::applyPanLimits() noexcept
{
    const auto panArea = getPanArea();
    const double length[2] = { panArea.x, panArea.y };

    for (int i = 0; i < 2; ++i)
    {
        // The start of the data may not come inside the plot's leading edge, nor its end
        // inside the trailing edge.
        if (pan[(size_t) i] > 0.0)
            pan[(size_t) i] = 0.0;

        if (length[i] * zoom[(size_t) i] + pan[(size_t) i] < length[i])
            pan[(size_t) i] = length[i] - length[i] * zoom[(size_t) i];
    }
}
