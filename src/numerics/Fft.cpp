#include "numerics/Fft.h"

#include "numerics/FftSetup.h"

#include <cmath>

#if defined(__SSE2__)
 #include <emmintrin.h>
#endif

namespace
{
using Complex = std::complex<double>;
using ComplexMatrix = Matrix<Complex>;

/** log2 (n) truncated toward zero, never so large that 2^log2n exceeds n. */
std::size_t truncatedLog2 (std::size_t n)
{
    auto log2n = static_cast<std::size_t> (std::log2 (static_cast<double> (n)));

    if (log2n > FftSetup::maxLog2n)
        log2n = FftSetup::maxLog2n;

    while (log2n > 0 && (std::size_t { 1 } << log2n) > n)
        --log2n;

    return log2n;
}

/** dst[k] = src[k] for k < count. Spelled out with SSE2 where available: left to itself the compiler
    widens the upper pair of each vector through a store to the stack and a reload.
*/
void widen (const float* src, double* dst, std::size_t count) noexcept
{
    std::size_t k = 0;
#if defined(__SSE2__)
    for (; k + 4 <= count; k += 4)
    {
        const __m128 four = _mm_loadu_ps (src + k);
        _mm_storeu_pd (dst + k, _mm_cvtps_pd (four));
        _mm_storeu_pd (dst + k + 2, _mm_cvtps_pd (_mm_movehl_ps (four, four)));
    }
#endif
    for (; k < count; ++k)
        dst[k] = static_cast<double> (src[k]);
}

/** Transforms the first 2^log2n of n elements of x (zero where x ends) and passes the rest through. */
ComplexMatrix transform (const ComplexMatrix& x, std::size_t n, FftSetup::Direction direction)
{
    if (n == 0)
        return ComplexMatrix (1, 0);

    const auto available = std::min (x.data.size(), n);
    const auto lease = FftSetup::acquire (truncatedLog2 (n));
    const auto points = lease.size();
    auto* buffer = lease.data();
    const auto* input = x.data.data();
    const auto copied = std::min (available, points);

    // Complex numbers are pairs of parts in memory, so the conversions run over plain arrays of
    // parts, which the compiler turns into packed conversions.
    auto* bufferParts = reinterpret_cast<float*> (buffer);
    const auto* inputParts = reinterpret_cast<const double*> (input);

    for (std::size_t k = 0; k < 2 * copied; ++k)
        bufferParts[k] = static_cast<float> (inputParts[k]);

    std::fill (bufferParts + 2 * copied, bufferParts + 2 * points, 0.0f);

    lease.transform (direction);

    // The usual power-of-two length builds the result straight from the buffer, sparing the zeroing
    // of a block that is overwritten at once.
    if (points == n)
        return ComplexMatrix (1, n, std::vector<Complex> (buffer, buffer + points));

    ComplexMatrix result (1, n);
    auto* resultParts = reinterpret_cast<double*> (result.data.data());

    widen (bufferParts, resultParts, 2 * points);

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

Matrix<double> fftshift (const Matrix<double>& x)
{
    Matrix<double> result (x);
    const auto n = x.length();
    const auto h = n - n / 2;

    std::rotate_copy (x.data.begin(), x.data.begin() + static_cast<std::ptrdiff_t> (h),
                      x.data.begin() + static_cast<std::ptrdiff_t> (n), result.data.begin());
    return result;
}
