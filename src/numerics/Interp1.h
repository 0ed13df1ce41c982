#pragma once

#include "numerics/Matrix.h"

#include <string>

/** Resamples the curve (x, y) at the query points xi, in the manner of MATLAB's interp1; 1 x length (xi).

    method "linear": points at or below x[0] take y[0], points at or above the last x take the last y,
    and points between are interpolated on the last interval [x[i-1], x[i]] that contains them (at an
    inner knot that is the interval to its right). A NaN query point gives 0.

    method "spline": the natural cubic spline through the n points (second derivative 0 at the first
    and the last knot). Every query point from x[0] to x[n-1], both included, takes the spline's value;
    points outside that range, and NaN, give 0: the spline neither clamps nor extrapolates. Two points
    give the straight line between them; a single point gives y[0] at x[0] only.

    The methods are told apart by the whole, case-sensitive text; any other text gives a 1 x 1 zero.
    x must ascend and hold as many points as y (the abscissae are counted by x for "linear" and by y
    for "spline"); equal neighbouring abscissae give infinities or NaN in the interval between them.
*/
Matrix<double> interp1 (const Matrix<double>& x, const Matrix<double>& y, const Matrix<double>& xi,
                        const std::string& method);
