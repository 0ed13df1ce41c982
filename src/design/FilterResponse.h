#pragma once

#include "numerics/Matrix.h"

#include <complex>
#include <cstddef>
#include <vector>

/** Where a curve point at 0 Hz or below, which has no logarithm, is placed on the log10 f axis: as the
    lower end of a segment, and as its upper end (log10 of 0.0002).
*/
inline constexpr double log10PositionOfZeroHzAsLowerEnd = -4.0;
inline constexpr double log10PositionOfZeroHzAsUpperEnd = -3.6989700043360187;

/*  The response of a filter-response section: user points (frequency, level, phase) interpolated
    linearly in log10 of the frequency, and a cascade of IIR sections evaluated on the unit circle.
    The design engine evaluates them on its own frequency axis and sample rate, the section editor's
    preview on its own grid; both use these functions.

    Frequencies in Hz, levels in dB, phases in degrees, fs in Hz. Results are complex gains, one per
    grid point, as 1 x N matrices (N = the grid's length). No function reads past any matrix it is given,
    whatever the lengths or values.
*/

/** The response of the user points on the grid.

    numPoints selects the rule: 0 gives 1 everywhere; 1 gives the gain 10^(mag[0]/20) with the phase
    phi[0] on every point, whatever its frequency; 2 or more interpolate level and phase linearly in
    log10 f between neighbouring points of fi (ascending), holding the first point's values below fi[0]
    and the last values above the last point. A point at 0 Hz or below counts as log10 f = -4 as the
    lower end of a segment and -3.69897 (log10 of 0.0002) as the upper end; the 0 Hz grid point takes
    the first point's values. Of the segments that contain a grid point the last one wins, a segment
    of no width being passed over (see findLastSegmentContaining). A grid point that only segments of
    no width contain (it lies on a step and every point lies at its frequency) takes the values of
    the step's first point when fi is ascending; a grid point in no segment gets 0 dB and 0 degrees.
    The points used are those that fi, mag and phi all hold.
*/
Matrix<std::complex<double>> calculateUserPointsResponse (const Matrix<double>& fi,
                                                          const Matrix<double>& mag,
                                                          const Matrix<double>& phi,
                                                          std::size_t numPoints,
                                                          const Matrix<double>& frequencies);

/** Designs one IIR section of the given IirFilterType id into b and a (3 x 1 each, a[0] multiplying the
    current output). gainDb in dB, frequencyHz in Hz, q is the Q or, for the shelves, the slope S.
    Returns false and leaves b and a untouched for an id that has no designer (0, 5, 10 and above).
*/
bool designIirSection (std::size_t type, double gainDb, double frequencyHz, double q, double fs,
                       Matrix<double>& b, Matrix<double>& a);

/** The product of the responses of the IIR sections (type[i], gain[i], freq[i], q[i]), in order, on the
    grid, at sample rate fs. Sections of an id without a designer contribute nothing, and so do those
    that DesignLimits::isValidIirSection finds invalid at fs (a section at or above fs/2, say): the
    response stays finite. Only the sections that all four matrices hold are used. Gives exactly what freqz of each section multiplied
    element by element gives, with the infinity rules of the complex product and quotient.
*/
Matrix<std::complex<double>> calculateIirCascadeResponse (const Matrix<std::size_t>& type,
                                                          const Matrix<double>& gain,
                                                          const Matrix<double>& freq,
                                                          const Matrix<double>& q,
                                                          const Matrix<double>& frequencies,
                                                          double fs);

/** What calculateIirCascadeResponse keeps between calls to reuse the sections in front that did not
    change: for each section, its coefficients and the product of the sections up to and including it
    on the grid (frequencies, fs) they were computed on.
*/
struct IirCascadeProducts
{
    std::size_t count = 0;                       // sections whose products are valid
    std::vector<Matrix<double>> b, a;
    std::vector<std::vector<double>> re, im;
    Matrix<double> frequencies;
    double fs = 0.0;
};

/** The same response as the function above. The leading sections whose coefficients, grid and fs have
    the same bits as those kept in products are not computed again but continued from the kept
    product, which gives exactly the same values; products is then updated to this cascade.
*/
Matrix<std::complex<double>> calculateIirCascadeResponse (const Matrix<std::size_t>& type,
                                                          const Matrix<double>& gain,
                                                          const Matrix<double>& freq,
                                                          const Matrix<double>& q,
                                                          const Matrix<double>& frequencies,
                                                          double fs,
                                                          IirCascadeProducts& products);

/** Where the ends of a curve segment from lowerHz to upperHz lie on the log10 f axis: log10 of each,
    an end without a finite logarithm (0 Hz or below) at the positions given above.
*/
struct LogSegmentEnds
{
    double lower, upper;
};

LogSegmentEnds logSegmentEnds (double lowerHz, double upperHz) noexcept;

/** The last segment j (1 <= j < count) with x[j - 1] <= value <= x[j], or 0 when none contains value.
    A segment of no width on the log10 f axis (two points at one frequency) has no slope: a value
    with a finite logarithm passes it over, so that the segments beside it decide.
    Ascending x is searched by bisection, any other x by trying every segment in order.
*/
std::size_t findLastSegmentContaining (const double* x, std::size_t count, bool xAscending, double value) noexcept;

/** True when x[0 .. count-1] never decreases and holds no NaN. */
bool isAscending (const double* x, std::size_t count) noexcept;
