#include "design/FilterResponse.h"

#include "design/DesignLimits.h"
#include "design/IirDesigners.h"
#include "design/IirFilterType.h"
#include "numerics/ComplexArithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
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

LogSegmentEnds logSegmentEnds (double lowerHz, double upperHz) noexcept
{
    LogSegmentEnds ends { std::log10 (lowerHz), std::log10 (upperHz) };

    if (! std::isfinite (ends.lower))
        ends.lower = log10PositionOfZeroHzAsLowerEnd;

    if (! std::isfinite (ends.upper))
        ends.upper = log10PositionOfZeroHzAsUpperEnd;

    return ends;
}

namespace
{
    /** False when the segment has no width on the log10 f axis and would have to interpolate at
        valueHz; a frequency without a finite logarithm is never interpolated. */
    bool canServe (double lowerHz, double upperHz, double valueHz) noexcept
    {
        if (! (valueHz > 0.0 && std::isfinite (valueHz)))
            return true;

        const auto ends = logSegmentEnds (lowerHz, upperHz);
        return ends.lower != ends.upper;
    }
}

std::size_t findLastSegmentContaining (const double* x, std::size_t count, bool xAscending, double value) noexcept
{
    if (count < 2)
        return 0;

    if (xAscending)
    {
        // With x ascending, the segments whose lower end is <= value form a prefix 1 .. last, and among
        // them only the last ones can still reach up to value; those all end at value, except the last.
        const auto numAtOrBelow = (std::size_t) (std::upper_bound (x, x + count, value) - x);

        for (auto j = std::min (numAtOrBelow, count - 1); j >= 1 && x[j - 1] <= value && value <= x[j]; --j)
            if (canServe (x[j - 1], x[j], value))
                return j;

        return 0;
    }

    std::size_t found = 0;

    for (std::size_t j = 1; j < count; ++j)
        if (x[j - 1] <= value && value <= x[j] && canServe (x[j - 1], x[j], value))
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
                const auto ends = logSegmentEnds (x[j - 1], x[j]);
                const double r = std::log10 (x[j]);
                const double d = ends.lower - ends.upper;
                const double sm = (mag.data[j - 1] - mag.data[j]) / d;
                levelDb = logF * sm + (mag.data[j] - r * sm);
                const double sp = (phi.data[j - 1] - phi.data[j]) / d;
                phaseDegrees = sp * logF + (phi.data[j] - r * sp);
            }
        }
        else if (ascending && f == x[0])
        {
            // No segment of some width reaches f, so every point lies at f (a point below or above
            // it would give one): f takes the first point's values, as it does when a point below
            // the step gives a segment that reaches it.
            levelDb = mag.data[0];
            phaseDegrees = phi.data[0];
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

namespace
{
    /** The points z = e^(j 2 pi f / fs) of a grid, as freqz forms them, kept for the last grid and
        sample rate asked for: a design recomputes the same grid over and over. */
    struct UnitCirclePoints
    {
        std::vector<double> frequencies, re, im;
        double fs = 0.0;
        bool allFinite = true;

        void update (const Matrix<double>& grid, double sampleRate)
        {
            const auto n = grid.length();

            if (sampleRate == fs && n == frequencies.size()
                 && std::equal (frequencies.begin(), frequencies.end(), grid.data.begin()))
                return;

            frequencies.assign (grid.data.begin(), grid.data.begin() + (std::ptrdiff_t) n);
            fs = sampleRate;
            re.resize (n);
            im.resize (n);
            allFinite = true;

            for (std::size_t u = 0; u < n; ++u)
            {
                const double w = (twoPi * frequencies[u]) / fs;
                const auto z = complexArithmetic::exponential ({ w * 0.0, w * 1.0 });
                re[u] = z.real();
                im[u] = z.imag();
                allFinite = allFinite && std::isfinite (re[u]) && std::isfinite (im[u]);
            }
        }
    };

    // Bounds within which the plain complex formulas give exactly what the scaled quotient and the
    // infinity-recovering product give: no operand, product or sum overflows, underflows or is
    // subnormal, in the scaled form or the plain one.
    constexpr double largestPlain = 0x1p250;
    constexpr double smallestPlain = 0x1p-250;
    constexpr double smallestResult = 0x1p-900;

    /** h[u] *= B(z[u]) / A(z[u]) for one section of three coefficients each and the count points
        from z, exactly as polyval, freqz's scaled quotient and the recovering product compute it, as
        long as every value stays within the plain range; returns false when some point leaves it (h
        then holds values that must not be used). h may be updated in place. Compiled once more for
        AVX2 without fused multiply-adds, so both versions round every step alike. */
    __attribute__ ((target_clones ("avx2", "default")))
    bool multiplySectionPlainly (const double* b, const double* a, const double* __restrict zr, const double* __restrict zi,
                                 double* hr, double* hi, std::size_t count)
    {
        const double b0 = b[0], b1 = b[1], b2 = b[2], a0 = a[0], a1 = a[1], a2 = a[2];
        std::uint64_t outside = 0;

        for (std::size_t u = 0; u < count; ++u)
        {
            const double cr = zr[u], ci = zi[u];

            // polyval: y = (p0, 0); y = y z; y.re += p1; y = y z; y.re += p2.
            double nr = b0 * cr - 0.0 * ci, ni = b0 * ci + 0.0 * cr;
            nr = nr + b1;
            double tr = nr * cr - ni * ci, ti = nr * ci + ni * cr;
            nr = tr + b2;
            ni = ti;

            double dr = a0 * cr - 0.0 * ci, di = a0 * ci + 0.0 * cr;
            dr = dr + a1;
            tr = dr * cr - di * ci;
            ti = dr * ci + di * cr;
            dr = tr + a2;
            di = ti;

            const double q = dr * dr + di * di;
            const double qr = (nr * dr + ni * di) / q;
            const double qi = (ni * dr - nr * di) / q;

            const double pr = hr[u] * qr - hi[u] * qi;
            const double pi = hr[u] * qi + hi[u] * qr;
            hr[u] = pr;
            hi[u] = pi;

            const double anr = std::fabs (nr), ani = std::fabs (ni), adr = std::fabs (dr), adi = std::fabs (di);
            const double aqr = std::fabs (qr), aqi = std::fabs (qi);
            // Branch-free, so that the loop runs on vectors.
            const bool leavesRange = ! (anr <= largestPlain) | ! (ani <= largestPlain) | ! (adr <= largestPlain) | ! (adi <= largestPlain)
                                   | ((anr < smallestPlain) & (anr != 0.0)) | ((ani < smallestPlain) & (ani != 0.0))
                                   | ((adr < smallestPlain) & (adr != 0.0)) | ((adi < smallestPlain) & (adi != 0.0))
                                   | ((adr < smallestPlain) & (adi < smallestPlain))
                                   | ((aqr < smallestResult) & (aqr != 0.0)) | ((aqi < smallestResult) & (aqi != 0.0))
                                   | ((pr != pr) & (pi != pi));
            outside |= (std::uint64_t) leavesRange;
        }

        return outside == 0;
    }

    /** H[u] *= B(z[u]) / A(z[u]) with the exact kernels, for coefficient vectors of any length. */
    void multiplySectionExactly (const Matrix<double>& b, const Matrix<double>& a, const UnitCirclePoints& z,
                                 const std::vector<double>& hRe, const std::vector<double>& hIm,
                                 std::vector<double>& outRe, std::vector<double>& outIm)
    {
        using namespace complexArithmetic;

        auto polynomial = [] (const Matrix<double>& p, Complex zu)
        {
            Complex y (p.data[0], 0.0);

            for (std::size_t k = 1; k < p.length(); ++k)
            {
                y = multiply (y, zu);
                y = { y.real() + p.data[k], y.imag() };
            }

            return y;
        };

        for (std::size_t u = 0; u < hRe.size(); ++u)
        {
            const Complex zu (z.re[u], z.im[u]);
            const auto product = multiply ({ hRe[u], hIm[u] }, divide (polynomial (b, zu), polynomial (a, zu)));
            outRe[u] = product.real();
            outIm[u] = product.imag();
        }
    }

    struct Section
    {
        Matrix<double> b, a;
    };

    /** The sections that have a designer and are valid at fs, in order; only those that all four
        matrices hold. */
    std::vector<Section> designSections (const Matrix<std::size_t>& type, const Matrix<double>& gain,
                                         const Matrix<double>& freq, const Matrix<double>& q, double fs)
    {
        const auto numSections = std::min ({ type.length(), gain.length(), freq.length(), q.length() });
        std::vector<Section> sections;

        for (std::size_t i = 0; i < numSections; ++i)
        {
            Section s;

            if (DesignLimits::isValidIirSection (type.data[i], gain.data[i], freq.data[i], q.data[i], fs)
                 && designIirSection (type.data[i], gain.data[i], freq.data[i], q.data[i], fs, s.b, s.a))
                sections.push_back (std::move (s));
        }

        return sections;
    }

    bool hasPlainCoefficients (const Matrix<double>& m) noexcept
    {
        if (m.length() != 3)
            return false;

        for (std::size_t k = 0; k < 3; ++k)
            if (! (std::abs (m.data[k]) <= largestPlain))
                return false;

        return true;
    }

    /** out = h times the section's response over the whole grid: the plain kernel where the section
        stays in range, the exact one where it does not. out and h are different arrays. */
    void multiplySection (const Section& s, const UnitCirclePoints& z,
                          const std::vector<double>& hRe, const std::vector<double>& hIm,
                          std::vector<double>& outRe, std::vector<double>& outIm)
    {
        outRe = hRe;
        outIm = hIm;

        const bool plain = hasPlainCoefficients (s.b) && hasPlainCoefficients (s.a) && z.allFinite
                            && multiplySectionPlainly (s.b.data.data(), s.a.data.data(), z.re.data(), z.im.data(),
                                                       outRe.data(), outIm.data(), outRe.size());

        if (! plain)
            multiplySectionExactly (s.b, s.a, z, hRe, hIm, outRe, outIm);
    }
}

Matrix<Complex> calculateIirCascadeResponse (const Matrix<std::size_t>& type,
                                             const Matrix<double>& gain,
                                             const Matrix<double>& freq,
                                             const Matrix<double>& q,
                                             const Matrix<double>& frequencies,
                                             double fs)
{
    IirCascadeProducts nothingKept;
    return calculateIirCascadeResponse (type, gain, freq, q, frequencies, fs, nothingKept);
}

Matrix<Complex> calculateIirCascadeResponse (const Matrix<std::size_t>& type,
                                             const Matrix<double>& gain,
                                             const Matrix<double>& freq,
                                             const Matrix<double>& q,
                                             const Matrix<double>& frequencies,
                                             double fs,
                                             IirCascadeProducts& kept)
{
    const auto numBins = frequencies.length();
    const auto sections = designSections (type, gain, freq, q, fs);

    if (sections.empty())
        return onesLike (numBins);

    static thread_local UnitCirclePoints z;
    z.update (frequencies, fs);

    if (! sameBits (kept.frequencies, frequencies) || std::memcmp (&kept.fs, &fs, sizeof (fs)) != 0)
    {
        kept.count = 0;
        kept.frequencies = frequencies;
        kept.fs = fs;
    }

    std::size_t reused = 0;

    while (reused < std::min (kept.count, sections.size())
           && sameBits (kept.b[reused], sections[reused].b) && sameBits (kept.a[reused], sections[reused].a))
        ++reused;

    const auto numSections = sections.size();
    kept.count = reused;
    kept.b.resize (std::max (kept.b.size(), numSections));
    kept.a.resize (kept.b.size());
    kept.re.resize (kept.b.size());
    kept.im.resize (kept.b.size());

    for (std::size_t i = reused; i < numSections; ++i)
    {
        kept.re[i].resize (numBins);
        kept.im[i].resize (numBins);
    }

    bool allPlain = z.allFinite;

    for (std::size_t i = reused; i < numSections; ++i)
        allPlain = allPlain && hasPlainCoefficients (sections[i].b) && hasPlainCoefficients (sections[i].a);

    // Usually every section stays in the plain range: then the sections are run block by block, each
    // block of points going through all of them while it is in the cache.
    if (allPlain)
    {
        constexpr std::size_t blockSize = 256;
        bool plain = true;

        for (std::size_t start = 0; start < numBins && plain; start += blockSize)
        {
            const auto count = std::min (blockSize, numBins - start);

            for (std::size_t i = reused; i < numSections; ++i)
            {
                auto* hr = kept.re[i].data() + start;
                auto* hi = kept.im[i].data() + start;

                if (i == 0)
                {
                    std::fill (hr, hr + count, 1.0);
                    std::fill (hi, hi + count, 0.0);
                }
                else
                {
                    std::copy (kept.re[i - 1].data() + start, kept.re[i - 1].data() + start + count, hr);
                    std::copy (kept.im[i - 1].data() + start, kept.im[i - 1].data() + start + count, hi);
                }

                plain = multiplySectionPlainly (sections[i].b.data.data(), sections[i].a.data.data(),
                                                z.re.data() + start, z.im.data() + start, hr, hi, count) && plain;
            }
        }

        if (plain)
        {
            for (std::size_t i = reused; i < numSections; ++i)
            {
                kept.b[i] = sections[i].b;
                kept.a[i] = sections[i].a;
            }

            reused = numSections;
            kept.count = numSections;
        }
    }

    // Otherwise section by section, as the general path above computes it.
    const std::vector<double> onesRe (reused == 0 ? numBins : 0, 1.0), zerosIm (reused == 0 ? numBins : 0, 0.0);

    for (std::size_t i = reused; i < numSections; ++i)
    {
        const auto& s = sections[i];
        const auto& hRe = i == 0 ? onesRe : kept.re[i - 1];
        const auto& hIm = i == 0 ? zerosIm : kept.im[i - 1];
        multiplySection (s, z, hRe, hIm, kept.re[i], kept.im[i]);
        kept.b[i] = s.b;
        kept.a[i] = s.a;
        kept.count = i + 1;
    }

    Matrix<Complex> response (1, numBins);
    const auto& hRe = kept.re[numSections - 1];
    const auto& hIm = kept.im[numSections - 1];

    for (std::size_t u = 0; u < numBins; ++u)
        response.data[u] = Complex (hRe[u], hIm[u]);

    return response;
}
