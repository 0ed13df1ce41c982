#include "design/FilterResponse.h"

#include "design/IirDesigners.h"
#include "design/IirFilterType.h"
#include "numerics/ComplexArithmetic.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
    using Complex = std::complex<double>;

    constexpr double pi = 3.141592653589793;
    constexpr double twoPi = 6.283185307179586;

    Matrix<Complex> onesLike (std::size_t length)
    {
        return Matrix<Complex> (1, length, std::vector<Complex> (std::max<std::size_t> (length, 1), Complex (1.0, 0.0)));
    }
}

bool isAscending (const double* x, std::size_t count) noexcept
{
    for (std::size_t i = 0; i < count; ++i)
    {
        if (std::isnan (x[i]))
            return false;

        if (i > 0 && x[i] < x[i - 1])
            return false;
    }

    return true;
}

std::size_t findLastSegmentContaining (const double* x, std::size_t count, bool xAscending, double value) noexcept
{
    if (count < 2)
        return 0;

    if (xAscending)
    {
        // With x ascending, the segments whose lower end is <= value form a prefix 1 .. last, and among
        // them only the last one can still reach up to value.
        const auto numAtOrBelow = (std::size_t) (std::upper_bound (x, x + count, value) - x);
        const auto j = std::min (numAtOrBelow, count - 1);

        if (j >= 1 && x[j - 1] <= value && value <= x[j])
            return j;

        return 0;
    }

    std::size_t found = 0;

    for (std::size_t j = 1; j < count; ++j)
        if (x[j - 1] <= value && value <= x[j])
            found = j;

    return found;
}

//==============================================================================
Matrix<Complex> calculateUserPointsResponse (const Matrix<double>& fi,
                                             const Matrix<double>& mag,
                                             const Matrix<double>& phi,
                                             std::size_t numPoints,
                                             const Matrix<double>& frequencies)
{
    const auto numBins = frequencies.length();
    auto response = onesLike (numBins);

    const auto numHeld = std::min ({ fi.length(), mag.length(), phi.length() });

    if (numPoints == 0 || numHeld == 0)
        return response;

    if (numPoints == 1)
    {
        const double gain = std::pow (10.0, mag.data[0] / 20.0);
        const double theta = (phi.data[0] / 360.0 + phi.data[0] / 360.0) * pi;
        const auto rotation = complexArithmetic::exponential ({ theta * 0.0, theta });
        const auto value = complexArithmetic::multiply ({ 1.0 * gain, 0.0 * gain }, rotation);

        std::fill (response.data.begin(), response.data.end(), value);
        return response;
    }

    const double* x = fi.data.data();
    const auto n = numHeld;
    const bool ascending = isAscending (x, n);
    const double lastMag = mag.data[mag.length() - 1];
    const double lastPhi = phi.data[phi.length() - 1];

    for (std::size_t u = 0; u < numBins; ++u)
    {
        const double f = frequencies.data[u];
        double levelDb = 0.0, phaseDegrees = 0.0;

        if (f < x[0])
        {
            levelDb = mag.data[0];
            phaseDegrees = phi.data[0];
        }
        else if (f > x[n - 1])
        {
            levelDb = lastMag;
            phaseDegrees = lastPhi;
        }
        else if (const auto j = findLastSegmentContaining (x, n, ascending, f); j > 0)
        {
            const double logF = std::log10 (f);

            if (! std::isfinite (logF))
            {
                levelDb = mag.data[0];
                phaseDegrees = phi.data[0];
            }
            else
            {
                double l0 = std::log10 (x[j - 1]);
                double l1 = std::log10 (x[j]);
                const double r = l1;

                if (! std::isfinite (l0))
                    l0 = log10PositionOfZeroHzAsLowerEnd;

                if (! std::isfinite (l1))
                    l1 = log10PositionOfZeroHzAsUpperEnd;

                const double d = l0 - l1;
                const double sm = (mag.data[j - 1] - mag.data[j]) / d;
                levelDb = logF * sm + (mag.data[j] - r * sm);
                const double sp = (phi.data[j - 1] - phi.data[j]) / d;
                phaseDegrees = sp * logF + (phi.data[j] - r * sp);
            }
        }

        // 10^(M/20) times exp (j * P / 360 * 2 * pi), formed as the elementwise library does it.
        const double gain = std::pow (10.0, levelDb / 20.0);
        const double angle = ((phaseDegrees * 1.0) / 360.0) * 2.0 * pi;
        const double angleReal = ((phaseDegrees * 0.0) / 360.0) * 2.0 * pi;
        const auto rotation = complexArithmetic::exponential ({ angleReal, angle });
        response.data[u] = { gain * rotation.real(), gain * rotation.imag() };
    }

    return response;
}

//==============================================================================
bool designIirSection (std::size_t type, double gainDb, double frequencyHz, double q, double fs,
                       Matrix<double>& b, Matrix<double>& a)
{
    switch (type)
    {
        case IirFilterType::lowPass1stOrder:  designFirstOrderLowpass (b, a, frequencyHz, fs); return true;
        case IirFilterType::lowPass2ndOrder:  designSecondOrderLowpass (b, a, q, frequencyHz, fs); return true;
        case IirFilterType::highPass1stOrder: designFirstOrderHighpass (b, a, frequencyHz, fs); return true;
        case IirFilterType::highPass2ndOrder: designSecondOrderHighpass (b, a, q, frequencyHz, fs); return true;
        case IirFilterType::peq:              designPeakingBiquad (b, a, gainDb, frequencyHz, q, fs); return true;
        case IirFilterType::lowShelf:         designLowShelfBiquad (b, a, gainDb, frequencyHz, q, fs); return true;
        case IirFilterType::highShelf:        designHighShelfBiquad (b, a, gainDb, frequencyHz, q, fs); return true;
        case IirFilterType::allpass:          designAllpassBiquad (b, a, frequencyHz, q, fs); return true;
        default:                              return false;
    }
}

Matrix<Complex> calculateIirCascadeResponse (const Matrix<std::size_t>& type,
                                             const Matrix<double>& gain,
                                             const Matrix<double>& freq,
                                             const Matrix<double>& q,
                                             const Matrix<double>& frequencies,
                                             double fs)
{
    using namespace complexArithmetic;

    const auto numBins = frequencies.length();
    auto response = onesLike (numBins);
    const auto numSections = std::min ({ type.length(), gain.length(), freq.length(), q.length() });

    // The points on the unit circle, z = e^(j 2 pi f / fs), are the same for every section.
    std::vector<Complex> z;

    for (std::size_t i = 0; i < numSections; ++i)
    {
        Matrix<double> b, a;

        if (! designIirSection (type.data[i], gain.data[i], freq.data[i], q.data[i], fs, b, a))
            continue;

        if (z.empty())
        {
            z.resize (numBins);

            for (std::size_t u = 0; u < numBins; ++u)
            {
                const double w = (twoPi * frequencies.data[u]) / fs;
                z[u] = exponential ({ w * 0.0, w * 1.0 });
            }
        }

        const auto nb = b.length(), na = a.length();

        for (std::size_t u = 0; u < numBins; ++u)
        {
            // Horner's scheme, highest power first, as polyval evaluates it.
            Complex numerator (b.data[0], 0.0), denominator (a.data[0], 0.0);

            for (std::size_t k = 1; k < nb; ++k)
            {
                numerator = multiply (numerator, z[u]);
                numerator = { numerator.real() + b.data[k], numerator.imag() };
            }

            for (std::size_t k = 1; k < na; ++k)
            {
                denominator = multiply (denominator, z[u]);
                denominator = { denominator.real() + a.data[k], denominator.imag() };
            }

            response.data[u] = multiply (response.data[u], divide (numerator, denominator));
        }
    }

    return response;
}
