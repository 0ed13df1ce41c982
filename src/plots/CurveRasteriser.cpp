#include "plots/CurveRasteriser.h"

#include <cmath>

namespace
{
/** floor and ceil for the small coordinates inside a stroke's bounds (far inside int range),
    without a library call. */
inline int floorToInt (float v) noexcept
{
    const int i = (int) v;
    return v < (float) i ? i - 1 : i;
}

inline int ceilToInt (float v) noexcept
{
    const int i = (int) v;
    return v > (float) i ? i + 1 : i;
}
} // namespace

void CurveRasteriser::begin (int newWidth, int newHeight, juce::Colour newColour)
{
    colour = newColour;
    width = newWidth;
    height = newHeight;
    const auto size = (size_t) juce::jmax (0, width) * (size_t) juce::jmax (0, height);

    if (uncovered.size() != size)
        uncovered.assign (size, 1.0f);

    rowSpans.assign ((size_t) juce::jmax (0, height), { width, 0 });

    clearDirty();
}

void CurveRasteriser::addSegment (juce::Point<float> a, juce::Point<float> b, float thickness)
{
    const auto delta = b - a;
    const float length = std::sqrt (delta.x * delta.x + delta.y * delta.y);

    if (! (length > 0.0f) || ! std::isfinite (length))
        return;

    // Corners of the stroke rectangle: half the thickness on either side of the centre line.
    const float half = thickness * 0.5f;
    const juce::Point<float> normal { -delta.y / length * half, delta.x / length * half };
    const juce::Point<float> corners[4] = { a + normal, b + normal, b - normal, a - normal };

    float minX = corners[0].x, maxX = minX, minY = corners[0].y, maxY = minY;

    for (const auto& c : corners)
    {
        minX = juce::jmin (minX, c.x);
        maxX = juce::jmax (maxX, c.x);
        minY = juce::jmin (minY, c.y);
        maxY = juce::jmax (maxY, c.y);
    }

    // The whole pixels around the corners, with room for the increments right of the last column.
    const int left = floorToInt (minX);
    const int right = ceilToInt (maxX) + 2;

    // Rows outside the image contribute nothing; columns left of the image still carry their
    // increments into the visible columns, so the stroke keeps its full horizontal extent.
    const int top = juce::jmax (0, floorToInt (minY));
    const int bottom = juce::jmin (height, ceilToInt (maxY));

    if (top >= bottom || left >= width || right <= 0)
        return;

    strokeBounds = { left, top, right - left, bottom - top };

    // The cells are all zero between strokes: the running sum below clears what it has read.
    const auto cellCount = (size_t) strokeBounds.getWidth() * (size_t) strokeBounds.getHeight();

    if (area.size() < cellCount)
        area.resize (cellCount, 0.0f);

    for (int i = 0; i < 4; ++i)
        addPolygonEdge (corners[i], corners[(i + 1) % 4]);

    // A running sum along each row turns the increments into the covered area of each pixel;
    // a translucent colour lets through the same part of what lies under each stroke.
    const int w = strokeBounds.getWidth();
    const float opacity = colour.getFloatAlpha();

    const int firstVisible = juce::jmax (0, -strokeBounds.getX());
    const int endVisible = juce::jmin (w, width - strokeBounds.getX());

    for (int row = 0; row < strokeBounds.getHeight(); ++row)
    {
        float* cells = area.data() + (size_t) row * (size_t) w;
        float* target = uncovered.data() + (size_t) (strokeBounds.getY() + row) * (size_t) width + strokeBounds.getX();
        float coverage = 0.0f;

        for (int k = 0; k < firstVisible; ++k)
        {
            coverage += cells[k];
            cells[k] = 0.0f;
        }

        // Up to the first increment of the row nothing is covered and the pixels keep their value.
        int i = firstVisible;

        if (coverage == 0.0f)
            while (i < endVisible && cells[i] == 0.0f)
                ++i;

        for (; i < endVisible; ++i)
        {
            coverage += cells[i];
            cells[i] = 0.0f;
            target[i] *= 1.0f - opacity * juce::jmin (1.0f, std::abs (coverage));
        }

        for (int k = endVisible; k < w; ++k)
            cells[k] = 0.0f;

        // Remember which columns of the row the curve touched, for composite.
        auto& span = rowSpans[(size_t) (strokeBounds.getY() + row)];
        span.first = juce::jmin (span.first, strokeBounds.getX() + firstVisible);
        span.second = juce::jmax (span.second, strokeBounds.getX() + endVisible);
    }

    dirtyLeft = juce::jmin (dirtyLeft, strokeBounds.getX());
    dirtyTop = juce::jmin (dirtyTop, strokeBounds.getY());
    dirtyRight = juce::jmax (dirtyRight, strokeBounds.getRight());
    dirtyBottom = juce::jmax (dirtyBottom, strokeBounds.getBottom());
}

void CurveRasteriser::addPolygonEdge (juce::Point<float> p0, juce::Point<float> p1)
{
    if (p0.y == p1.y)
        return;

    // Walk the edge downwards; the direction only decides the sign.
    float direction = 1.0f;

    if (p0.y > p1.y)
    {
        std::swap (p0, p1);
        direction = -1.0f;
    }

    const float originX = (float) strokeBounds.getX();
    const float originY = (float) strokeBounds.getY();
    const int w = strokeBounds.getWidth();
    const int rows = strokeBounds.getHeight();
    const float dxdy = (p1.x - p0.x) / (p1.y - p0.y);

    const float y0 = p0.y - originY, y1 = p1.y - originY;
    const int firstRow = juce::jmax (0, floorToInt (y0));
    const int endRow = juce::jmin (rows, ceilToInt (y1));

    for (int row = firstRow; row < endRow; ++row)
    {
        // The part of the edge inside this row, in local x.
        const float rowTop = juce::jmax ((float) row, y0);
        const float rowBottom = juce::jmin ((float) (row + 1), y1);
        const float dy = rowBottom - rowTop;

        if (dy <= 0.0f)
            continue;

        const float xa = p0.x + (rowTop - y0) * dxdy - originX;
        const float xb = p0.x + (rowBottom - y0) * dxdy - originX;
        const float d = dy * direction;
        float* cells = area.data() + (size_t) row * (size_t) w;

        const float left = juce::jmin (xa, xb), right = juce::jmax (xa, xb);
        const int leftCell = juce::jlimit (0, w - 2, floorToInt (left));
        const float leftFloor = (float) leftCell;
        const int rightCell = ceilToInt (right);
        const float rightCeil = (float) rightCell;

        if (rightCell <= leftCell + 1)
        {
            // Within one pixel: split by the mean x of the edge in this row.
            const float mid = 0.5f * (xa + xb) - leftFloor;
            cells[leftCell] += d - d * mid;
            cells[leftCell + 1] += d * mid;
            continue;
        }

        // Across several pixels: the covered area grows linearly between the ends, with
        // quadratic pieces in the two end pixels.
        const float slope = 1.0f / (right - left);
        const float leftFraction = left - leftFloor;
        const float firstArea = 0.5f * slope * (1.0f - leftFraction) * (1.0f - leftFraction);
        const float rightFraction = right - rightCeil + 1.0f;
        const float lastArea = 0.5f * slope * rightFraction * rightFraction;
        const int lastCell = juce::jmin (w - 1, rightCell);

        cells[leftCell] += d * firstArea;

        if (rightCell == leftCell + 2)
        {
            cells[leftCell + 1] += d * (1.0f - firstArea - lastArea);
        }
        else
        {
            const float secondArea = slope * (1.5f - leftFraction);
            cells[leftCell + 1] += d * (secondArea - firstArea);

            for (int x = leftCell + 2; x < rightCell - 1 && x < w; ++x)
                cells[x] += d * slope;

            const float beforeLast = secondArea + (float) (rightCell - leftCell - 3) * slope;

            if (rightCell - 1 < w)
                cells[rightCell - 1] += d * (1.0f - beforeLast - lastArea);
        }

        cells[lastCell] += d * lastArea;
    }
}

juce::Rectangle<int> CurveRasteriser::composite (juce::Image& image, juce::Point<int> origin)
{
    if (dirtyLeft >= dirtyRight)
        return {};

    const auto area = juce::Rectangle<int>::leftTopRightBottom (dirtyLeft, dirtyTop, dirtyRight, dirtyBottom)
                          .getIntersection ({ 0, 0, width, height });

    if (area.isEmpty())
        return {};

    const auto target = area + origin;
    juce::Image::BitmapData pixels (image, target.getX(), target.getY(), target.getWidth(), target.getHeight(),
                                    juce::Image::BitmapData::readWrite);

    if (image.getFormat() == juce::Image::RGB)
        compositeInto<juce::PixelRGB> (pixels, area);
    else
        compositeInto<juce::PixelARGB> (pixels, area);

    clearDirty();
    return target;
}

template <typename Pixel>
void CurveRasteriser::compositeInto (juce::Image::BitmapData& pixels, juce::Rectangle<int> area)
{
    const auto source = colour.withAlpha (1.0f).getPixelARGB();

    for (int y = 0; y < area.getHeight(); ++y)
    {
        auto& span = rowSpans[(size_t) (area.getY() + y)];
        float* row = uncovered.data() + (size_t) (area.getY() + y) * (size_t) width;

        for (int x = span.first; x < span.second; ++x)
        {
            const float left = row[x];

            if (left < 1.0f)
            {
                const auto level = (juce::uint32) juce::roundToInt ((1.0f - left) * 255.0f);
                auto* pixel = reinterpret_cast<Pixel*> (pixels.getPixelPointer (x - area.getX(), y));

                if (level >= 255)
                    pixel->set (source);
                else if (level > 0)
                    pixel->blend (source, level);

                row[x] = 1.0f;
            }
        }

        span = { width, 0 };
    }
}
