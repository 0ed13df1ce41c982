#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>

/*  Scalar complex kernels shared by the elementwise matrix operations, polyval and freqz.

    The products and quotients follow the C99 rules for infinities: a result whose real and imaginary
    parts both come out NaN is recomputed so that an infinite operand gives an infinite (or zero)
    result instead of NaN. The ordinary finite case takes the plain formula and never calls into the
    run-time library's slow general routines.
*/
namespace complexArithmetic
{
/** Returns 2^k exactly for k in [-1074, 1023] (normal and subnormal powers of two). */
inline double exactPowerOfTwo (int k) noexcept
{
    std::uint64_t bits = k >= -1022 ? static_cast<std::uint64_t> (k + 1023) << 52
                                    : std::uint64_t { 1 } << (k + 1074);
    double result;
    std::memcpy (&result, &bits, sizeof (result));
    return result;
}

/** The larger of two magnitudes, ignoring a NaN as fmax does. */
inline double maxIgnoringNaN (double x, double y) noexcept
{
    if (std::isnan (x))
        return y;
    if (std::isnan (y))
        return x;
    return x > y ? x : y;
}

/** Replaces an infinite value by +-1 and a finite one by +-0, keeping the sign. */
inline double boxInfinity (double x) noexcept
{
    return std::copysign (std::isinf (x) ? 1.0 : 0.0, x);
}

/** Replaces a NaN by a zero of the same sign bit; other values are returned as they are. */
inline double zeroIfNaN (double x) noexcept
{
    return std::isnan (x) ? std::copysign (0.0, x) : x;
}

/** Complex product x * y with C99 infinity recovery. */
inline std::complex<double> multiply (std::complex<double> x, std::complex<double> y) noexcept
{
    double a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
    const double ac = a * c, bd = b * d, ad = a * d, bc = b * c;
    double re = ac - bd;
    double im = ad + bc;

    if (std::isnan (re) && std::isnan (im))
    {
        bool recompute = false;

        if (std::isinf (a) || std::isinf (b))
        {
            a = boxInfinity (a);
            b = boxInfinity (b);
            c = zeroIfNaN (c);
            d = zeroIfNaN (d);
            recompute = true;
        }

        if (std::isinf (c) || std::isinf (d))
        {
            c = boxInfinity (c);
            d = boxInfinity (d);
            a = zeroIfNaN (a);
            b = zeroIfNaN (b);
            recompute = true;
        }

        if (! recompute && (std::isinf (ac) || std::isinf (bd) || std::isinf (ad) || std::isinf (bc)))
        {
            a = zeroIfNaN (a);
            b = zeroIfNaN (b);
            c = zeroIfNaN (c);
            d = zeroIfNaN (d);
            recompute = true;
        }

        if (recompute)
        {
            constexpr double inf = std::numeric_limits<double>::infinity();
            re = inf * (a * c - b * d);
            im = inf * (a * d + b * c);
        }
    }

    return { re, im };
}

/** Complex quotient x / y by the scaled algorithm with C99 infinity recovery.

    The denominator is scaled by 2^-i, i being the binary exponent of its larger part, so that
    neither huge nor tiny denominators overflow or underflow in c*c + d*d. For a normal denominator the
    exponent is read from the bits and the scaling is an exact multiplication by a power of two, which
    gives the same result as logb/scalbn without their cost.
*/
inline std::complex<double> divide (std::complex<double> x, std::complex<double> y) noexcept
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    double a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
    const double largest = maxIgnoringNaN (std::fabs (c), std::fabs (d));

    int i = 0;
    bool denominatorInfinite = false;

    if (std::isnormal (largest))
    {
        std::uint64_t bits;
        std::memcpy (&bits, &largest, sizeof (bits));
        i = static_cast<int> ((bits >> 52) & 0x7ff) - 1023;
        const double scale = exactPowerOfTwo (-i);
        c *= scale;
        d *= scale;
    }
    else
    {
        const double e = std::logb (largest);    // zero, subnormal, infinite or NaN

        if (std::isfinite (e))
        {
            i = static_cast<int> (e);
            c = std::scalbn (c, -i);
            d = std::scalbn (d, -i);
        }

        denominatorInfinite = (e == inf);
    }

    const double q = c * c + d * d;
    double re = (a * c + b * d) / q;
    double im = (b * c - a * d) / q;

    if (i != 0)
    {
        if (i >= -1022 && i <= 1023)
        {
            const double unscale = exactPowerOfTwo (-i);
            re *= unscale;
            im *= unscale;
        }
        else
        {
            re = std::scalbn (re, -i);
            im = std::scalbn (im, -i);
        }
    }

    if (std::isnan (re) && std::isnan (im))
    {
        if (q == 0.0 && (! std::isnan (a) || ! std::isnan (b)))
        {
            re = std::copysign (inf, c) * a;
            im = std::copysign (inf, c) * b;
        }
        else if ((std::isinf (a) || std::isinf (b)) && std::isfinite (c) && std::isfinite (d))
        {
            a = boxInfinity (a);
            b = boxInfinity (b);
            re = inf * (a * c + b * d);
            im = inf * (b * c - a * d);
        }
        else if (denominatorInfinite && std::isfinite (a) && std::isfinite (b))
        {
            c = boxInfinity (c);
            d = boxInfinity (d);
            re = 0.0 * (a * c + b * d);
            im = 0.0 * (b * c - a * d);
        }
    }

    return { re, im };
}

/** Complex exponential e^re * (cos im + j sin im) of one value, with the C99 special values:
    (+inf, 0) -> (+inf, 0); (+inf, inf or NaN) -> (+inf, NaN); (-inf, inf or NaN) -> (0, 0);
    (NaN, 0) -> (NaN, 0). For whole arrays vectorMath::complexExp is much faster.
*/
inline std::complex<double> exponential (std::complex<double> x) noexcept
{
    const double re = x.real(), im = x.imag();
    const double magnitude = re == 0.0 ? 1.0 : std::exp (re);    // points on the unit circle skip exp

    if (im == 0.0)
        return { magnitude, im };

    if (! std::isfinite (im))
    {
        if (re == std::numeric_limits<double>::infinity())
            return { re, std::numeric_limits<double>::quiet_NaN() };
        if (re == -std::numeric_limits<double>::infinity())
            return { 0.0, 0.0 };
        return { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN() };
    }

    return { magnitude * std::cos (im), magnitude * std::sin (im) };
}
} // namespace complexArithmetic
