#include "numerics/Fft.h"

#include "numerics/FftSetup.h"

#include <cmath>

#if defined(__x86_64__)
 #include <immintrin.h>
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

#if defined(__x86_64__)
#pragma GCC push_options
#pragma GCC target("avx")

void narrowAvx (const double* src, float* dst, std::size_t count) noexcept
{
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4)
        _mm_storeu_ps (dst + k, _mm256_cvtpd_ps (_mm256_loadu_pd (src + k)));
    for (; k < count; ++k)
        dst[k] = static_cast<float> (src[k]);
}

void widenAvx (const float* src, double* dst, std::size_t count) noexcept
{
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4)
        _mm256_storeu_pd (dst + k, _mm256_cvtps_pd (_mm_loadu_ps (src + k)));
    for (; k < count; ++k)
        dst[k] = static_cast<double> (src[k]);
}

#pragma GCC pop_options

bool hasAvx()
{
    static const bool supported = __builtin_cpu_supports ("avx");
    return supported;
}
#endif

/** dst[k] = src[k] rounded to single precision, for k < count. */
void narrow (const double* src, float* dst, std::size_t count) noexcept
{
#if defined(__x86_64__)
    if (hasAvx())
        return narrowAvx (src, dst, count);
#endif
    for (std::size_t k = 0; k < count; ++k)
        dst[k] = static_cast<float> (src[k]);
}

/** dst[k] = src[k], for k < count. */
void widen (const float* src, double* dst, std::size_t count) noexcept
{
#if defined(__x86_64__)
    if (hasAvx())
        return widenAvx (src, dst, count);
#endif
    for (std::size_t k = 0; k < count; ++k)
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
    // parts, four at a time.
    auto* bufferParts = reinterpret_cast<float*> (buffer);
    const auto* inputParts = reinterpret_cast<const double*> (input);

    narrow (inputParts, bufferParts, 2 * copied);

    std::fill (bufferParts + 2 * copied, bufferParts + 2 * points, 0.0f);

    lease.transform (direction);

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
