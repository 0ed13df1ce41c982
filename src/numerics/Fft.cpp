#include "numerics/Fft.h"

#include "numerics/FftSetup.h"

#include "numerics/VectorMath.h"

namespace
{
using Complex = std::complex<double>;
using ComplexMatrix = Matrix<Complex>;

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

    vectorMath::toFloat (inputParts, bufferParts, 2 * copied);

    std::fill (bufferParts + 2 * copied, bufferParts + 2 * points, 0.0f);

    lease.transform (direction);

    ComplexMatrix result (1, n);
    auto* resultParts = reinterpret_cast<double*> (result.data.data());

    vectorMath::toDouble (bufferParts, resultParts, 2 * points);

    for (std::size_t k = 2 * points; k < 2 * available; ++k)
        resultParts[k] = static_cast<double> (static_cast<float> (inputParts[k]));

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

    for (std::size_t k = 0; k < n; ++k)
    {
        const auto source = (k + rotation) % n;
        buffer[k] = { source < available ? static_cast<float> (x.data[source]) : 0.0f, 0.0f };
    }

    lease.transform (FftSetup::Direction::forward);

    ComplexMatrix result (1, numBins);
    vectorMath::toDouble (reinterpret_cast<const float*> (buffer), reinterpret_cast<double*> (result.data.data()), 2 * numBins);
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
    vectorMath::toFloat (reinterpret_cast<const double*> (X.data.data()), reinterpret_cast<float*> (buffer), 2 * copied);
    std::fill (buffer + copied, buffer + n, std::complex<float>());
    lease.transform (FftSetup::Direction::inverse);

    Matrix<double> result (1, n);
    const auto length = static_cast<double> (n);
    for (std::size_t k = 0; k < n; ++k)
        result.data[k] = static_cast<double> (buffer[k].real()) / length;
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
