#include "numerics/Fft.h"

#include "numerics/FftSetup.h"

#include "numerics/VectorMath.h"

#include <algorithm>
#include <cmath>

namespace
{
using Complex = std::complex<double>;
using ComplexMatrix = Matrix<Complex>;

/** Input whose largest magnitude lies outside [2^-96, 2^96] is scaled by a power of two before it
    goes to single precision, and the result is scaled back. Up to 2^96, a sum over the 2^31 points
    that FFTW takes at the most stays below single precision's overflow at 2^128; from 2^-96 on,
    values down to 2^-30 of the largest, more than single precision resolves beside it, stay normal.
    Input within the range is transformed as it is. */
constexpr double largestUnscaled = 0x1p96;
constexpr double smallestUnscaled = 0x1p-96;

/** The power of two 2^e by which input of the given largest magnitude is divided before it goes
    to single precision: 0 when it can go as it is (or is not finite), else the one that brings the
    largest magnitude into [0.5, 1). */
int rangeExponent (double largest) noexcept
{
    if (! std::isfinite (largest) || largest == 0.0 || (largest >= smallestUnscaled && largest <= largestUnscaled))
        return 0;

    int exponent = 0;
    std::frexp (largest, &exponent);
    return exponent;
}

/** Rounds the n doubles of x to single precision into out, divided by the power of two that
    rangeExponent gives for the largest magnitude among them and alsoLargest (of elements that go to
    single precision elsewhere), and returns its exponent. */
int toFloatInRange (const double* x, float* out, std::size_t n, double alsoLargest = 0.0) noexcept
{
    const auto exponent = rangeExponent (std::max (vectorMath::toFloat (x, out, n), alsoLargest));

    if (exponent != 0)
        for (std::size_t k = 0; k < n; ++k)
            out[k] = static_cast<float> (std::ldexp (x[k], -exponent));

    return exponent;
}

/** Multiplies n doubles by 2^exponent. */
void scaleBack (double* x, std::size_t n, int exponent) noexcept
{
    if (exponent != 0)
        for (std::size_t k = 0; k < n; ++k)
            x[k] = std::ldexp (x[k], exponent);
}

/** True for 1, 2, 4, 8, ...: the lengths whose every element is transformed. */
bool isPowerOfTwo (std::size_t n) noexcept
{
    return n != 0 && (n & (n - 1)) == 0;
}

/** Transforms the first 2^log2n of n elements of x (zero where x ends) and passes the rest through. */
ComplexMatrix transform (const ComplexMatrix& x, std::size_t n, FftSetup::Direction direction)
{
    if (n == 0)
        return ComplexMatrix (1, 0);

    const auto available = std::min (x.data.size(), n);
    const auto lease = FftSetup::acquire (FftSetup::log2Floor (n));
    const auto points = lease.size();
    auto* buffer = lease.data();
    const auto* input = x.data.data();
    const auto copied = std::min (available, points);

    // Complex numbers are pairs of parts in memory, so the conversions run over plain arrays of
    // parts, four at a time.
    auto* bufferParts = reinterpret_cast<float*> (buffer);
    const auto* inputParts = reinterpret_cast<const double*> (input);

    // The elements past the transformed ones pass through single precision too.
    double largestPassedThrough = 0.0;
    for (std::size_t k = 2 * copied; k < 2 * available; ++k)
        largestPassedThrough = std::max (largestPassedThrough, std::fabs (inputParts[k]));

    const auto exponent = toFloatInRange (inputParts, bufferParts, 2 * copied, largestPassedThrough);

    std::fill (bufferParts + 2 * copied, bufferParts + 2 * points, 0.0f);

    lease.transform (direction);

    ComplexMatrix result (1, n);
    auto* resultParts = reinterpret_cast<double*> (result.data.data());

    vectorMath::toDouble (bufferParts, resultParts, 2 * points);
    scaleBack (resultParts, 2 * points, exponent);

    for (std::size_t k = 2 * points; k < 2 * available; ++k)
        resultParts[k] = std::ldexp (static_cast<double> (static_cast<float> (std::ldexp (inputParts[k], -exponent))), exponent);

    return result;
}
} // namespace

ComplexMatrix fft (const ComplexMatrix& x, std::size_t n)
{
    return transform (x, n, FftSetup::Direction::forward);
}

ComplexMatrix ifft (const ComplexMatrix& X, std::size_t n)
{
    return transform (X, n, FftSetup::Direction::inverse);
}

ComplexMatrix fftOfReal (const Matrix<double>& x, std::size_t n, std::size_t numBins, bool shifted)
{
    numBins = std::min (numBins, n);

    if (! isPowerOfTwo (n) || (shifted && x.data.size() != n))
    {
        const auto full = fft (ComplexMatrix (shifted ? fftshift (x) : x), n);
        return ComplexMatrix (1, numBins, std::vector<Complex> (full.data.begin(), full.data.begin() + static_cast<std::ptrdiff_t> (numBins)));
    }

    // fftshift moves element (k + h) mod n to place k, with h = ceil (n / 2).
    const auto lease = FftSetup::acquire (FftSetup::log2Floor (n));
    auto* buffer = lease.data();
    const auto rotation = shifted ? n - n / 2 : 0;
    const auto available = std::min (x.data.size(), n);

    double largest = 0.0;
    const auto fill = [&] (auto toSingle)
    {
        for (std::size_t k = 0; k < n; ++k)
        {
            const auto source = (k + rotation) % n;
            buffer[k] = { source < available ? toSingle (x.data[source]) : 0.0f, 0.0f };
        }
    };

    fill ([&largest] (double v)
    {
        largest = std::fabs (v) > largest ? std::fabs (v) : largest;
        return static_cast<float> (v);
    });

    const auto exponent = rangeExponent (largest);
    if (exponent != 0)
        fill ([exponent] (double v) { return static_cast<float> (std::ldexp (v, -exponent)); });

    lease.transform (FftSetup::Direction::forward);

    ComplexMatrix result (1, numBins);
    auto* resultParts = reinterpret_cast<double*> (result.data.data());
    vectorMath::toDouble (reinterpret_cast<const float*> (buffer), resultParts, 2 * numBins);
    scaleBack (resultParts, 2 * numBins, exponent);
    return result;
}

Matrix<double> ifftRealPart (const ComplexMatrix& X, std::size_t n)
{
    if (! isPowerOfTwo (n))
    {
        const auto y = ifft (X, n);
        Matrix<double> result (1, n);
        for (std::size_t k = 0; k < std::min (n, y.data.size()); ++k)
            result.data[k] = y.data[k].real() / static_cast<double> (n);
        return result;
    }

    const auto lease = FftSetup::acquire (FftSetup::log2Floor (n));
    auto* buffer = lease.data();
    const auto copied = std::min (X.data.size(), n);
    const auto* parts = reinterpret_cast<const double*> (X.data.data());
    auto* bufferParts = reinterpret_cast<float*> (buffer);
    const auto exponent = toFloatInRange (parts, bufferParts, 2 * copied);

    std::fill (buffer + copied, buffer + n, std::complex<float>());
    lease.transform (FftSetup::Direction::inverse);

    Matrix<double> result (1, n);
    const auto length = static_cast<double> (n);
    for (std::size_t k = 0; k < n; ++k)
        result.data[k] = static_cast<double> (buffer[k].real()) / length;
    scaleBack (result.data.data(), n, exponent);
    return result;
}

Matrix<double> fftshift (const Matrix<double>& x)
{
    Matrix<double> result (x);
    const auto n = x.length();
    const auto h = n - n / 2;

    std::rotate_copy (x.data.begin(), x.data.begin() + static_cast<std::ptrdiff_t> (h),
                      x.data.begin() + static_cast<std::ptrdiff_t> (n), result.data.begin());
    return result;
}
