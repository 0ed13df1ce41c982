#include "numerics/VectorMathAvx2.h"

#if TALVO_VECTOR_MATH_AVX2

#if ! defined(__AVX2__) || ! defined(__FMA__)
 #error "This file must be compiled with -mavx2 -mfma"
#endif

#include <immintrin.h>

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

namespace
{
using Unary = __m256d (*) (__m256d);
using Binary = __m256d (*) (__m256d, __m256d);

/** Loads the last n < 4 elements into a full vector, padding with a harmless 1.0. */
__m256d loadPartial (const double* x, std::size_t n)
{
    alignas (32) double padded[4] { 1.0, 1.0, 1.0, 1.0 };
    for (std::size_t k = 0; k < n; ++k)
        padded[k] = x[k];
    return _mm256_load_pd (padded);
}

void storePartial (__m256d v, double* out, std::size_t n)
{
    alignas (32) double padded[4];
    _mm256_store_pd (padded, v);
    for (std::size_t k = 0; k < n; ++k)
        out[k] = padded[k];
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
} // namespace

void vectorMathAvx2::exp (const double* x, double* out, std::size_t n)   { applyUnary (_ZGVdN4v_exp, x, out, n); }
void vectorMathAvx2::log (const double* x, double* out, std::size_t n)   { applyUnary (_ZGVdN4v_log, x, out, n); }
void vectorMathAvx2::log10 (const double* x, double* out, std::size_t n) { applyUnary (_ZGVdN4v_log10, x, out, n); }

void vectorMathAvx2::atan2 (const double* y, const double* x, double* out, std::size_t n)
{
    applyBinary (_ZGVdN4vv_atan2, y, x, out, n);
}

void vectorMathAvx2::hypot (const double* x, const double* y, double* out, std::size_t n)
{
    applyBinary (_ZGVdN4vv_hypot, x, y, out, n);
}

void vectorMathAvx2::pow (double base, const double* x, double* out, std::size_t n)
{
    const __m256d bases = _mm256_set1_pd (base);
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4)
        _mm256_storeu_pd (out + k, _ZGVdN4vv_pow (bases, _mm256_loadu_pd (x + k)));

    if (k < n)
        storePartial (_ZGVdN4vv_pow (bases, loadPartial (x + k, n - k)), out + k, n - k);
}

void vectorMathAvx2::sinCos (const double* x, double* sinOut, double* cosOut, std::size_t n)
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

#endif
