#pragma once

#include <complex>
#include <cstddef>

/*  Elementary functions over whole arrays.

    On processors with AVX2 and FMA the arrays go four at a time through the C library's vector
    math (glibc's libmvec, accurate to 4 units in the last place and IEEE-conforming for zeros,
    infinities and NaN); elsewhere each element goes through the scalar std:: function. A spectrum of
    65536 bins then costs a fraction of the scalar loop, which dominates the minimum-phase and
    frequency-response computations otherwise.

    Input and output may be the same array; otherwise they must not overlap.
*/
namespace vectorMath
{
/** out[k] = e^x[k]. */
void exp (const double* x, double* out, std::size_t n) noexcept;

/** out[k] = natural logarithm of x[k]. */
void log (const double* x, double* out, std::size_t n) noexcept;

/** out[k] = base-10 logarithm of x[k]. */
void log10 (const double* x, double* out, std::size_t n) noexcept;

/** out[k] = base raised to x[k]. */
void pow (double base, const double* x, double* out, std::size_t n) noexcept;

/** out[k] = atan2 (y[k], x[k]), in radians. */
void atan2 (const double* y, const double* x, double* out, std::size_t n) noexcept;

/** out[k] = sqrt (x[k]^2 + y[k]^2) without undue overflow or underflow. */
void hypot (const double* x, const double* y, double* out, std::size_t n) noexcept;

/** sinOut[k] = sin (x[k]), cosOut[k] = cos (x[k]). */
void sinCos (const double* x, double* sinOut, double* cosOut, std::size_t n) noexcept;

/** out[k] = e^in[k] for complex values, with the C99 special values of the complex exponential:
    (+inf, 0) -> (+inf, 0); (+inf, inf or NaN) -> (+inf, NaN); (-inf, inf or NaN) -> (0, 0);
    (NaN, 0) -> (NaN, 0); (finite, inf or NaN) -> (NaN, NaN).
*/
void complexExp (const std::complex<double>* in, std::complex<double>* out, std::size_t n) noexcept;

/** out[k] = x[k] rounded to single precision; returns the largest |x[k]|, NaN left out (0 for none). */
double toFloat (const double* x, float* out, std::size_t n) noexcept;

/** out[k] = x[k], widened to double precision. */
void toDouble (const float* x, double* out, std::size_t n) noexcept;
} // namespace vectorMath
