#include "numerics/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__x86_64__)
 #include <immintrin.h>
#endif

#if defined(__x86_64__) && defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 35))
 #define TALVO_VECTOR_MATH_AVX2 1
#else
 #define TALVO_VECTOR_MATH_AVX2 0
#endif

namespace
{
#if TALVO_VECTOR_MATH_AVX2
#pragma GCC push_options
#pragma GCC target("avx2,fma")

// The AVX2 variants of glibc's vector math, under their vector-ABI names. libm's link script pulls
// the library in as needed.
extern "C"
{
    __m256d _ZGVdN4v_exp (__m256d);
    __m256d _ZGVdN4v_log (__m256d);
    __m256d _ZGVdN4v_log10 (__m256d);
    __m256d _ZGVdN4v_sin (__m256d);
    __m256d _ZGVdN4v_cos (__m256d);
    __m256d _ZGVdN4vv_atan2 (__m256d, __m256d);
    __m256d _ZGVdN4vv_hypot (__m256d, __m256d);
    __m256d _ZGVdN4vv_pow (__m256d, __m256d);
}

using Unary = __m256d (*) (__m256d);
using Binary = __m256d (*) (__m256d, __m256d);

/** Loads the last n < 4 elements into a full vector, padding with a harmless 1.0. */
__m256d loadPartial (const double* x, std::size_t n)
{
    alignas (32) double padded[4] { 1.0, 1.0, 1.0, 1.0 };
    std::copy (x, x + n, padded);
    return _mm256_load_pd (padded);
}

void storePartial (__m256d v, double* out, std::size_t n)
{
    alignas (32) double padded[4];
    _mm256_store_pd (padded, v);
    std::copy (padded, padded + n, out);
}

void applyUnary (Unary f, const double* x, double* out, std::size_t n)
{
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4)
        _mm256_storeu_pd (out + k, f (_mm256_loadu_pd (x + k)));

    if (k < n)
        storePartial (f (loadPartial (x + k, n - k)), out + k, n - k);
}

void applyBinary (Binary f, const double* a, const double* b, double* out, std::size_t n)
{
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4)
        _mm256_storeu_pd (out + k, f (_mm256_loadu_pd (a + k), _mm256_loadu_pd (b + k)));

    if (k < n)
        storePartial (f (loadPartial (a + k, n - k), loadPartial (b + k, n - k)), out + k, n - k);
}

void applyPower (double base, const double* x, double* out, std::size_t n)
{
    const __m256d bases = _mm256_set1_pd (base);
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4)
        _mm256_storeu_pd (out + k, _ZGVdN4vv_pow (bases, _mm256_loadu_pd (x + k)));

    if (k < n)
        storePartial (_ZGVdN4vv_pow (bases, loadPartial (x + k, n - k)), out + k, n - k);
}

void applySinCos (const double* x, double* sinOut, double* cosOut, std::size_t n)
{
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4)
    {
        const __m256d v = _mm256_loadu_pd (x + k);
        _mm256_storeu_pd (sinOut + k, _ZGVdN4v_sin (v));
        _mm256_storeu_pd (cosOut + k, _ZGVdN4v_cos (v));
    }

    if (k < n)
    {
        const __m256d v = loadPartial (x + k, n - k);
        storePartial (_ZGVdN4v_sin (v), sinOut + k, n - k);
        storePartial (_ZGVdN4v_cos (v), cosOut + k, n - k);
    }
}

#pragma GCC pop_options

bool hasAvx2()
{
    static const bool supported = __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
    return supported;
}
#endif

template <typename Function>
void scalarUnary (Function f, const double* x, double* out, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        out[k] = f (x[k]);
}

template <typename Function>
void scalarBinary (Function f, const double* a, const double* b, double* out, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        out[k] = f (a[k], b[k]);
}

constexpr std::size_t blockSize = 256;
} // namespace

//==============================================================================
#if TALVO_VECTOR_MATH_AVX2
 #define TALVO_VECTOR_OR_SCALAR(vectorCall, scalarCall) \
     if (hasAvx2())                                     \
         vectorCall;                                    \
     else                                               \
         scalarCall;
#else
 #define TALVO_VECTOR_OR_SCALAR(vectorCall, scalarCall) scalarCall;
#endif

void vectorMath::exp (const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (applyUnary (_ZGVdN4v_exp, x, out, n),
                            scalarUnary ([] (double v) { return std::exp (v); }, x, out, n))
}

void vectorMath::log (const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (applyUnary (_ZGVdN4v_log, x, out, n),
                            scalarUnary ([] (double v) { return std::log (v); }, x, out, n))
}

void vectorMath::log10 (const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (applyUnary (_ZGVdN4v_log10, x, out, n),
                            scalarUnary ([] (double v) { return std::log10 (v); }, x, out, n))
}

void vectorMath::pow (double base, const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (applyPower (base, x, out, n),
                            scalarUnary ([base] (double v) { return std::pow (base, v); }, x, out, n))
}

void vectorMath::atan2 (const double* y, const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (applyBinary (_ZGVdN4vv_atan2, y, x, out, n),
                            scalarBinary ([] (double a, double b) { return std::atan2 (a, b); }, y, x, out, n))
}

void vectorMath::hypot (const double* x, const double* y, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (applyBinary (_ZGVdN4vv_hypot, x, y, out, n),
                            scalarBinary ([] (double a, double b) { return std::hypot (a, b); }, x, y, out, n))
}

void vectorMath::sinCos (const double* x, double* sinOut, double* cosOut, std::size_t n) noexcept
{
#if TALVO_VECTOR_MATH_AVX2
    if (hasAvx2())
    {
        applySinCos (x, sinOut, cosOut, n);
        return;
    }
#endif
    for (std::size_t k = 0; k < n; ++k)
    {
        const double v = x[k];
        sinOut[k] = std::sin (v);
        cosOut[k] = std::cos (v);
    }
}

#undef TALVO_VECTOR_OR_SCALAR

void vectorMath::complexExp (const std::complex<double>* in, std::complex<double>* out, std::size_t n) noexcept
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
    double re[blockSize], im[blockSize], magnitude[blockSize], sine[blockSize], cosine[blockSize];

    for (std::size_t start = 0; start < n; start += blockSize)
    {
        const auto count = std::min (blockSize, n - start);

        for (std::size_t k = 0; k < count; ++k)
        {
            re[k] = in[start + k].real();
            im[k] = in[start + k].imag();
        }

        exp (re, magnitude, count);
        sinCos (im, sine, cosine, count);

        for (std::size_t k = 0; k < count; ++k)
        {
            auto& result = out[start + k];

            if (im[k] == 0.0)
                result = { magnitude[k], im[k] };
            else if (! std::isfinite (im[k]))
                result = re[k] == inf    ? std::complex<double> (inf, notANumber)
                         : re[k] == -inf ? std::complex<double> (0.0, 0.0)
                                         : std::complex<double> (notANumber, notANumber);
            else
                result = { magnitude[k] * cosine[k], magnitude[k] * sine[k] };
        }
    }
}

//==============================================================================
#if defined(__x86_64__)
namespace
{
#pragma GCC push_options
#pragma GCC target("avx")

void toFloatAvx (const double* src, float* dst, std::size_t count) noexcept
{
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4)
        _mm_storeu_ps (dst + k, _mm256_cvtpd_ps (_mm256_loadu_pd (src + k)));
    for (; k < count; ++k)
        dst[k] = static_cast<float> (src[k]);
}

void toDoubleAvx (const float* src, double* dst, std::size_t count) noexcept
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
} // namespace
#endif

void vectorMath::toFloat (const double* x, float* out, std::size_t n) noexcept
{
#if defined(__x86_64__)
    if (hasAvx())
        return toFloatAvx (x, out, n);
#endif
    for (std::size_t k = 0; k < n; ++k)
        out[k] = static_cast<float> (x[k]);
}

void vectorMath::toDouble (const float* x, double* out, std::size_t n) noexcept
{
#if defined(__x86_64__)
    if (hasAvx())
        return toDoubleAvx (x, out, n);
#endif
    for (std::size_t k = 0; k < n; ++k)
        out[k] = static_cast<double> (x[k]);
}
