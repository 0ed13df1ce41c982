#include "numerics/SpectralFunctions.h"

#include "numerics/ComplexArithmetic.h"
#include "numerics/Fft.h"
#include "numerics/FftSetup.h"
#include "numerics/VectorMath.h"

#include <cmath>
#include <cstring>
#include <iostream>

namespace
{
using Complex = std::complex<double>;
using RealMatrix = Matrix<double>;
using ComplexMatrix = Matrix<Complex>;

constexpr double twoPi = 6.283185307179586;
constexpr double pi = 3.141592653589793;

bool isVector (const RealMatrix& p) { return p.rows == 1 || p.cols == 1; }

/** Horner's scheme for one point: ((p[0] z + p[1]) z + p[2]) ... */
inline Complex horner (const double* p, std::size_t n, Complex z) noexcept
{
    if (n == 0)    // no coefficients at all: the zero polynomial
        return {};

    if (n == 3)    // a second-order section, unrolled
    {
        auto y = complexArithmetic::multiply ({ p[0], 0.0 }, z);
        y.real (y.real() + p[1]);
        y = complexArithmetic::multiply (y, z);
        y.real (y.real() + p[2]);
        return y;
    }

    Complex y (p[0], 0.0);

    for (std::size_t k = 1; k < n; ++k)
    {
        y = complexArithmetic::multiply (y, z);
        y.real (y.real() + p[k]);
    }

    return y;
}

/** e^(j 2 pi f / fs), formed as the exponential of j times the normalised angle. The design engine's
    cascade of sections forms its points the same way, so freqz and the cascade agree bit for bit.
*/
Complex unitCirclePoint (double f, double fs) noexcept
{
    const double w = twoPi * f / fs;
    return complexArithmetic::exponential ({ w * 0.0, w * 1.0 });
}

/** True when x[n - k] is conj (x[k]) bit for bit for every k = 1 .. n - 1. */
bool isConjugateSymmetric (const Complex* x, std::size_t n) noexcept
{
    for (std::size_t k = 1; k < n; ++k)
    {
        const auto mirrored = std::conj (x[k]);

        if (std::memcmp (&x[n - k], &mirrored, sizeof (Complex)) != 0)
            return false;
    }

    return true;
}
} // namespace

//==============================================================================
ComplexMatrix polyval (const RealMatrix& p, const ComplexMatrix& z)
{
    if (! isVector (p))
    {
        std::cerr << "polyval: first argument must be a vector" << std::endl;
        return {};
    }

    ComplexMatrix y (z);
    const auto n = p.length();

    for (auto& value : y.data)
        value = horner (p.data.data(), n, value);

    return y;
}

ComplexMatrix freqz (const RealMatrix& b, const RealMatrix& a, const RealMatrix& f, double fs)
{
    ComplexMatrix z (f.rows, f.cols);
    const auto n = std::min (z.data.size(), f.data.size());

    for (std::size_t k = 0; k < n; ++k)
        z.data[k] = unitCirclePoint (f.data[k], fs);

    if (! isVector (b) || ! isVector (a))
        return polyval (b, z) / polyval (a, z);

    // In place, without intermediate matrices: the same arithmetic as evaluating both polynomials on
    // the whole frequency axis and dividing the results.
    const auto nb = b.length(), na = a.length();

    for (auto& point : z.data)
        point = complexArithmetic::divide (horner (b.data.data(), nb, point), horner (a.data.data(), na, point));

    return z;
}

//==============================================================================
RealMatrix unwrap (const RealMatrix& phase)
{
    RealMatrix y (phase);

    if (phase.rows < 2 && phase.cols < 2)
    {
        std::cerr << "diff(): X has to be a vector or a matrix" << std::endl;
        return y;
    }

    const auto n = phase.length();
    const auto* p = phase.data.data();
    double turns = 0.0;

    for (std::size_t i = 0; i + 1 < n; ++i)
    {
        const double step = p[i + 1] - p[i];
        const double d = step / twoPi;

        // Truncation toward zero; std::trunc agrees with a conversion to a 32-bit integer wherever
        // that conversion is defined and stays defined for huge or non-finite steps.
        double k = std::fabs (d - std::trunc (d)) <= 0.5 ? 0.0 : std::round (d);

        if (std::fabs (step) < pi)
            k = 0.0;

        turns += k;
        y.data[i + 1] = p[i + 1] + turns * -twoPi;
    }

    return y;
}

RealMatrix shiftSamples (const RealMatrix& x, std::int32_t k)
{
    if (k == 0)
        return x;

    const auto length = static_cast<std::int64_t> (x.length());
    const auto shift = static_cast<std::int64_t> (k);
    RealMatrix result (1, static_cast<std::size_t> (length));

    if (shift > 0)
    {
        for (std::int64_t j = 0; j < length - shift; ++j)
            result.data[static_cast<std::size_t> (j + shift)] = x.data[static_cast<std::size_t> (j)];
    }
    else
    {
        for (std::int64_t m = 0; m < length + shift; ++m)
            result.data[static_cast<std::size_t> (m)] = x.data[static_cast<std::size_t> (m - shift)];
    }

    return result;
}

//==============================================================================
ComplexMatrix minimumPhase (const ComplexMatrix& H)
{
    const auto n = H.length();

    if (n == 0)
        return ComplexMatrix (1, 0);

    const auto* h = H.data.data();

    // The spectrum of a real signal has an even log magnitude and an odd phase: only its first half
    // is computed and the rest mirrored, which gives the very bits a computation of every bin gives.
    const auto count = isConjugateSymmetric (h, n) ? n / 2 + 1 : n;

    static thread_local std::vector<double> re, im, logMagnitude, phase;
    re.resize (count);
    im.resize (count);
    logMagnitude.resize (count);
    phase.resize (count);

    for (std::size_t i = 0; i < count; ++i)
    {
        re[i] = h[i].real();
        im[i] = h[i].imag();
    }

    vectorMath::hypot (re.data(), im.data(), logMagnitude.data(), count);

    double largest = logMagnitude[0];
    for (std::size_t i = 1; i < count; ++i)
        if (logMagnitude[i] > largest)
            largest = logMagnitude[i];

    // A spectrum that is zero everywhere has no logarithm; its minimum-phase version is itself.
    if (largest == 0.0)
        return ComplexMatrix (1, n);

    // Bins below the floor become (limit, 0): magnitude 'limit' and phase 0.
    if (largest != 0.0)
    {
        const double limit = largest * std::pow (10.0, -5.0);

        for (std::size_t i = 0; i < count; ++i)
        {
            if (logMagnitude[i] < limit)
            {
                re[i] = limit;
                im[i] = 0.0;
                logMagnitude[i] = limit;
            }
        }
    }

    // Complex logarithm: (log |G|, atan2 (im G, re G)).
    vectorMath::log (logMagnitude.data(), logMagnitude.data(), count);
    vectorMath::atan2 (im.data(), re.data(), phase.data(), count);

    auto logarithm = [&] (std::size_t k) noexcept
    {
        return k < count ? Complex (logMagnitude[k], phase[k]) : Complex (logMagnitude[n - k], -phase[n - k]);
    };

    // The cepstrum is formed in the result's storage, and both transforms run in one working
    // buffer; elements past the transformed 2^log2n points pass through in single precision, as
    // fft and ifft pass them.
    ComplexMatrix result (1, n);
    auto* c = result.data.data();
    const double length = static_cast<double> (n);
    const auto lease = FftSetup::acquire (FftSetup::log2Floor (n));
    const auto points = lease.size();
    auto* buffer = lease.data();

    for (std::size_t k = 0; k < points; ++k)
    {
        const auto value = logarithm (k);
        buffer[k] = { static_cast<float> (value.real()), static_cast<float> (value.imag()) };
    }

    lease.transform (FftSetup::Direction::inverse);

    for (std::size_t k = 0; k < n; ++k)
    {
        const auto value = k < points ? std::complex<float> (buffer[k]) : std::complex<float> (logarithm (k));
        c[k] = { static_cast<double> (value.real()) / length, static_cast<double> (value.imag()) / length };
    }

    if (n >= 3)
    {
        const auto half = n / 2;
        const auto lastFolded = n % 2 == 0 ? half - 1 : half;

        for (std::size_t k = 1; k <= lastFolded; ++k)
            c[k] += std::conj (c[n - k]);

        if (n % 2 == 0)
            c[half] = std::conj (c[half]);

        std::fill (c + lastFolded + 1 + (n % 2 == 0 ? 1 : 0), c + n, Complex());
    }

    auto* parts = reinterpret_cast<double*> (c);
    auto* bufferParts = reinterpret_cast<float*> (buffer);
    vectorMath::toFloat (parts, bufferParts, 2 * points);
    lease.transform (FftSetup::Direction::forward);
    vectorMath::toDouble (bufferParts, parts, 2 * points);

    for (std::size_t k = 2 * points; k < 2 * n; ++k)
        parts[k] = static_cast<double> (static_cast<float> (parts[k]));

    vectorMath::complexExp (c, c, n);
    return result;
}
