#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "numerics/Matrix.h"
#include "plots/CurveRasteriser.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

/**
    A 2-D plot with a logarithmic or linear x axis, a left and an optional right y axis, grid
    lines, tick labels, axis labels and a pan/zoom state. Its operations follow their MATLAB
    namesakes: semilogx, plot, xlim, ylim, yyaxis, hold, xlabel, ylabel.

    Coordinates: a value maps to a fraction of the plot area (0 at the left or top edge, 1 at the
    right or bottom edge), the fraction to a pixel inside the plot area by
    pixel = length * fraction * zoom + pan. Every drawing and mouse operation goes through the
    static mapping functions below.

    Points whose position is not finite are drawn at fixed places: an x that gives no finite
    position is put at the left edge of the unzoomed plot area (fraction 0), except the first point
    of a curve on a logarithmic axis (the 0 Hz point), which goes where log10 x = -4 would be; a y
    that gives no finite position (minus infinity dB, NaN) is put at the bottom edge (fraction 1).

    Message thread only.
*/
class FigureComponent : public juce::Component
{
public:
    /** Scale of the x axis. */
    enum class XScale : std::int32_t
    {
        linear = 0,
        log = 1
    };

    /** The figure's colours, looked up through the look-and-feel only. */
    enum ColourIds
    {
        backgroundColourId = 0x0ff00101, /**< fill of the whole component */
        gridColourId = 0x0ff00102,       /**< frame of the plot area and grid lines */
        tickColourId = 0x0ff00103,       /**< set before the tick labels are drawn */
        textColourId = 0x0ff00104        /**< tick labels and axis labels */
    };

    /** One curve: a node of the figure's singly linked list. */
    struct Curve
    {
        juce::Colour colour;         /**< stroke colour */
        Matrix<double> x;            /**< copy of the caller's x values */
        Matrix<double> y;            /**< copy of the caller's y values, at least as many as x */
        std::int32_t yAxis = 0;      /**< 0 left, 1 right: the active axis when it was added */
        std::unique_ptr<Curve> next; /**< next curve, null at the tail */

        /** Number of points: the vector length of x. */
        size_t size() const noexcept;

        /** Kept by paint: the points' positions as fractions of the unzoomed plot area, and the
            x limits, y limits and x scale they were computed for. */
        std::vector<juce::Point<double>> fractions;
        std::array<double, 4> fractionLimits {};
        XScale fractionScale = XScale::log;
    };

    /** Sets the defaults (log x 10..20000 Hz, left and right y -120..10, steps 10, zoom 1, pan 0),
        fills grid and ticks and sizes the figure to 600 x 400 pixels. */
    FigureComponent();

    /** Releases every curve. */
    ~FigureComponent() override;

    //==============================================================================
    /** Switches the x axis to log and adds a curve of the points (x[k], y[k]) on the active y
        axis; unless hold is on, every other curve is deleted first. The values are taken by value:
        pass temporaries or std::move to hand them over without a copy.
        Grid and ticks are not recomputed. Repaints. */
    void semilogx (Matrix<double> x, Matrix<double> y, juce::Colour colour);

    /** As semilogx, with a linear x axis. */
    void plot (Matrix<double> x, Matrix<double> y, juce::Colour colour);

    /** Sets the x range shown, in x units. Grid and ticks are not recomputed (ylim does it). */
    void xlim (double min, double max);

    /** Sets the range of the active y axis; the left axis also recomputes the grid. Ticks are
        recomputed in both cases. */
    void ylim (double min, double max);

    /** Sets the text under the plot. */
    void xlabel (const juce::String& text);

    /** Sets the text of the active y axis. */
    void ylabel (const juce::String& text);

    /** "Left" (exact, case-sensitive) makes the left axis active; any other text makes the right
        axis active and shows it from then on. */
    void yyaxis (const juce::String& side);

    /** With hold on, semilogx and plot add to the curves instead of replacing them. */
    void hold (bool on);

    /** Deletes every curve and repaints. */
    void clear();

    /** Sets the x scale, then recomputes ticks and grid. */
    void setXScale (XScale scale);

    /** Recomputes xGridLines and yGridLines from the limits, the scale and gridStep. */
    void updateGrid();

    /** Recomputes xTicks, yTicksLeft and yTicksRight from the limits, the scale and tickStep. */
    void updateTicks();

    /** Number of curves in the list. */
    int getNumCurves() const noexcept;

    /** The curve at position index in list order, or nullptr. */
    const Curve* getCurve (int index) const noexcept;

    //==============================================================================
    /** Fraction 0..1 of x across [min, max] on the given scale (log uses log10). Not finite
        when x has no position (x <= 0 on a log axis, or min == max). */
    static double xToFraction (double x, double min, double max, XScale scale) noexcept
    {
        if (scale == XScale::log)
            return (std::log10 (x) - std::log10 (min)) / (std::log10 (max) - std::log10 (min));

        return (x - min) / (max - min);
    }

    /** Inverse of xToFraction. */
    static double fractionToX (double fraction, double min, double max, XScale scale) noexcept
    {
        if (scale == XScale::log)
            return std::pow (10.0, std::log10 (min) + fraction * (std::log10 (max) - std::log10 (min)));

        return min + fraction * (max - min);
    }

    /** Fraction of y on an axis with limits [min, max]: 0 at max (top), 1 at min (bottom). */
    static double yToFraction (double y, double min, double max) noexcept { return (max - y) / (max - min); }

    /** Inverse of yToFraction. */
    static double fractionToY (double fraction, double min, double max) noexcept { return max - fraction * (max - min); }

    /** Pixel inside the plot area for a fraction: lengthPx * fraction * zoom + panPx. */
    static double fractionToPixel (double fraction, double lengthPx, double zoomFactor, double panPx) noexcept
    {
        return lengthPx * fraction * zoomFactor + panPx;
    }

    /** Inverse of fractionToPixel: ((pixel - panPx) / zoom) / lengthPx. */
    static double pixelToFraction (double pixel, double lengthPx, double zoomFactor, double panPx) noexcept
    {
        return ((pixel - panPx) / zoomFactor) / lengthPx;
    }

    /** Text of a right-axis tick label: two decimals while the right axis' upper limit is below
        100 in magnitude, otherwise the number as it is. */
    static juce::String rightTickLabel (double value, double rightAxisMax);

    /** What places the x tick labels: the x limits and scale, the plot area's width, the x zoom
        and pan, and the component's width with its left and right margins, all in pixels. */
    struct XLabelAxis
    {
        std::array<double, 2> xLim { 10.0, 20000.0 };
        XScale scale = XScale::log;
        double plotW = 0.0, zoom = 1.0, pan = 0.0;
        double width = 0.0, left = 0.0, right = 0.0;
    };

    /** Width in pixels of the box an x tick label's text is centred in. */
    static constexpr int xLabelBoxWidth = 100;

    /** Least space in pixels between the texts of two x tick labels drawn side by side. */
    static constexpr double xLabelGap = 4.0;

    /** Left edge, in component pixels, of the box of the x tick label of value x, before it is
        truncated to a whole pixel. */
    static double xLabelBoxX (double x, const XLabelAxis&) noexcept;

    /** The x tick labels to draw, as ascending indices into ticks. The ticks within the x limits
        are the candidates; of them every k-th is drawn, counted from the first, with k the first
        of 1, 2, 5, 10, 20, 50, ... at which no text comes closer than xLabelGap to the next one's
        (each text, textWidth pixels wide, centred in its box), so that the drawn labels are evenly
        spaced and k does not change while the view pans. Of those, only labels whose value lies
        in the visible x range (the plot area with zoom and pan) and whose box starts left of
        width - left - right - 9.5 are drawn. */
    static std::vector<int> chooseXTickLabels (const juce::Array<double>& ticks, const XLabelAxis&,
                                               const std::function<double (const juce::String&)>& textWidth);

    /** The x label geometry of the figure as it is now. */
    XLabelAxis getXLabelAxis() const noexcept;

    //==============================================================================
    /** The plot area in component pixels: (left, top, plotW, plotH). Its width shrinks by 20 px
        on a log x axis while the right axis is shown. */
    juce::Rectangle<int> getPlotArea() const noexcept;

    /** Width and height in pixels used by the pan and zoom limits: the component less the
        margins, never narrowed for the right axis. */
    juce::Point<double> getPanArea() const noexcept;

    //==============================================================================
    /** Draws background, grid layer, tick and axis labels, then the curve layer. */
    void paint (juce::Graphics&) override;

    /** Does nothing: the layout is computed at every paint. */
    void resized() override;

    /** Remembers the pointer position for panning. */
    void mouseDown (const juce::MouseEvent&) override;

    /** Pans by the pointer movement in pixels, within the pan limits, and repaints. */
    void mouseDrag (const juce::MouseEvent&) override;

    /** Does nothing. */
    void mouseUp (const juce::MouseEvent&) override;

    /** Multiplies both zoom factors by scaleFactor (never below 1), keeping the data point under
        the pointer in place, applies the pan limits and repaints. */
    void mouseMagnify (const juce::MouseEvent&, float scaleFactor) override;

    /** On Linux, where no pinch gesture reaches the component, the wheel with the control key
        held zooms through mouseMagnify: 1.1 per notch, in when the wheel moves away from the
        user. Any other wheel movement is passed on unused. */
    void mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails&) override;

    //==============================================================================
    std::unique_ptr<Curve> curves;                    /**< the curves, in the order added */
    bool gridOn = true;                               /**< grid lines are drawn only when set */
    bool holdOn = false;                              /**< MATLAB hold */
    std::array<double, 2> xLim { 10.0, 20000.0 };     /**< {min, max} of the x axis */
    std::array<double, 2> yLimLeft { -120.0, 10.0 };  /**< {min, max} of the left axis */
    std::array<double, 2> yLimRight { -120.0, 10.0 }; /**< {min, max} of the right axis */
    std::array<double, 2> gridStep { 10.0, 10.0 };    /**< {x (linear only), y (left axis)} */
    std::array<double, 2> tickStep { 10.0, 10.0 };    /**< {x (linear only), y (left), 0 = no y labels} */
    std::array<double, 2> zoom { 1.0, 1.0 };          /**< {x, y} zoom factors, at least 1 */
    std::array<double, 2> pan { 0.0, 0.0 };           /**< {x, y} pan offsets in pixels */
    std::array<double, 2> lastMousePosition { 0.0, 0.0 }; /**< pointer at the last down or drag */
    std::array<double, 4> margins { 20.0, 30.0, 45.0, 30.0 }; /**< {top, bottom, left, right} in pixels */
    juce::Array<double> xGridLines;                   /**< x values of vertical grid lines */
    juce::Array<double> yGridLines;                   /**< left-axis values of horizontal grid lines */
    juce::Array<double> xTicks;                       /**< x values with a label */
    juce::Array<double> yTicksLeft;                   /**< left-axis values with a label */
    juce::Array<double> yTicksRight;                  /**< right-axis values with a label */
    XScale xScale = XScale::log;                      /**< x-axis scale */
    bool rightAxisOn = false;                         /**< the right axis is shown; never cleared */
    std::int32_t activeYAxis = 0;                     /**< 0 left, 1 right */
    juce::String xLabel;                              /**< text under the plot */
    juce::String yLabelLeft;                          /**< text of the left axis */
    juce::String yLabelRight;                         /**< text of the right axis */

private:
    /** Everything the static layer (background, grid, frame, tick and axis labels) is drawn
        from: while it stays the same, a paint reuses the layer and draws only the curves. */
    struct StaticLayerKey
    {
        int width = 0, height = 0;
        std::array<double, 4> margins {};
        std::array<double, 2> xLim {}, yLimLeft {}, yLimRight {}, zoom {}, pan {};
        XScale xScale = XScale::log;
        bool rightAxisOn = false, gridOn = false;
        juce::Array<double> xGridLines, yGridLines, xTicks, yTicksLeft, yTicksRight;
        juce::String xLabel, yLabelLeft, yLabelRight;
        std::array<juce::uint32, 4> colours {};
        const juce::LookAndFeel* lookAndFeel = nullptr;
        const juce::LookAndFeel* defaultLookAndFeel = nullptr;

        bool operator== (const StaticLayerKey&) const;
    };

    /** The x positions of one x vector as fractions of the unzoomed plot area, for the x limits
        and scale they were computed for: curves that share their x values share these. */
    struct XFractions
    {
        std::vector<double> x;
        std::array<double, 2> limits {};
        XScale scale = XScale::log;
        std::vector<double> fractions;
    };

    void addCurve (Matrix<double> x, Matrix<double> y, juce::Colour colour);
    void applyPanLimits() noexcept;
    StaticLayerKey makeStaticLayerKey() const;
    void paintStaticLayer (juce::Graphics&, juce::Rectangle<int> plotArea);
    void paintGrid (int plotW, int plotH);
    void paintLabels (juce::Graphics&, juce::Rectangle<int> plotArea);
    juce::Rectangle<int> paintCurves (juce::Image& target, juce::Point<int> origin, int plotW, int plotH);
    const std::vector<double>& xFractionsOf (const Matrix<double>& x, size_t n);
    void drawLabel (juce::Graphics&, const juce::String& text, juce::Rectangle<int> box, juce::Justification);

    juce::Image gridImage;
    juce::Image curveImage;     // curve layer of a paint that draws everything afresh
    juce::Image staticLayer;    // the whole component without curves
    juce::Image frame;          // the static layer with the curves of the last paint
    StaticLayerKey staticLayerKey;
    juce::Rectangle<int> frameCurveArea; // where the last paint's curves changed the frame
    struct DrawnCurve
    {
        Curve* curve;
        bool newYPositions; // its y positions are to be computed with its strokes
    };

    std::vector<DrawnCurve> drawnCurves;                 // the curves of this paint that have points
    std::vector<CurveRasteriser> rasterisers;            // one per drawn curve
    std::vector<std::vector<juce::Point<double>>> reducedPoints; // the kept points of each drawn curve
    std::map<juce::String, juce::GlyphArrangement> labelLayouts; // by text, box size and justification
    std::vector<XFractions> xFractionCache;         // the few x vectors painted last
    std::vector<std::vector<juce::Point<double>>> spareFractions; // position buffers of deleted curves
    static constexpr size_t maxSpareFractions = 8;
    size_t nextXFractionSlot = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FigureComponent)
};
