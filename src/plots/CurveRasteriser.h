#pragma once

#include <juce_graphics/juce_graphics.h>

#include <limits>
#include <vector>

/**
    Draws the straight strokes of one curve into an image, anti-aliased by exact pixel-area
    coverage.

    Strokes are rectangles around their centre line (square-cut ends, no joins). Each stroke
    counts as if it were painted on its own: where strokes overlap, their coverages combine like
    successive translucent fills (the uncovered parts multiply), and the whole curve is then
    composited once. This gives the picture of stroking every segment separately at the cost of
    one pass per pixel.

    Coordinates are pixels of the target image, with (0, 0) at its top-left corner.
*/
class CurveRasteriser
{
public:
    /** Starts a new curve in the given colour for an image of width x height pixels. */
    void begin (int width, int height, juce::Colour colour);

    /** Adds the stroke of the given thickness (pixels) along the segment a-b. A segment of zero
        length covers nothing. Coordinates must be finite; parts outside the image are ignored. */
    void addSegment (juce::Point<float> a, juce::Point<float> b, float thickness);

    /** Paints the strokes added since begin() onto the image, whose pixel origin.x, origin.y
        is the point (0, 0) of the strokes and which must hold the width x height pixels given to
        begin from there; an ARGB or RGB image. Forgets the strokes and returns the area of the
        image that was painted on (empty when nothing was). */
    juce::Rectangle<int> composite (juce::Image& image, juce::Point<int> origin = {});

private:
    template <typename Pixel>
    void compositeInto (juce::Image::BitmapData& pixels, juce::Rectangle<int> area);
    void addPolygonEdge (juce::Point<float> p0, juce::Point<float> p1);

    int width = 0, height = 0;
    std::vector<float> uncovered; // per image pixel: the part left uncovered by the strokes so far
    std::vector<float> area;      // per cell of the current stroke: signed area increments
    std::vector<std::pair<int, int>> rowSpans; // per image row: the columns [first, second) touched
    void clearDirty() noexcept { dirtyLeft = dirtyTop = std::numeric_limits<int>::max(); dirtyRight = dirtyBottom = std::numeric_limits<int>::min(); }

    juce::Rectangle<int> strokeBounds;
    int dirtyLeft = 0, dirtyTop = 0, dirtyRight = 0, dirtyBottom = 0; // the strokes' bounds since begin()
    juce::Colour colour;
};
