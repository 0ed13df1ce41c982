#include "numerics/VectorMath.h"
#include "numerics/VectorMathAvx2.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__x86_64__)
 #include <immintrin.h>
#endif

namespace
{
#if TALVO_VECTOR_MATH_AVX2
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
    TALVO_VECTOR_OR_SCALAR (vectorMathAvx2::exp (x, out, n),
                            scalarUnary ([] (double v) { return std::exp (v); }, x, out, n))
}

void vectorMath::log (const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (vectorMathAvx2::log (x, out, n),
                            scalarUnary ([] (double v) { return std::log (v); }, x, out, n))
}

void vectorMath::log10 (const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (vectorMathAvx2::log10 (x, out, n),
                            scalarUnary ([] (double v) { return std::log10 (v); }, x, out, n))
}

void vectorMath::pow (double base, const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (vectorMathAvx2::pow (base, x, out, n),
                            scalarUnary ([base] (double v) { return std::pow (base, v); }, x, out, n))
}

void vectorMath::atan2 (const double* y, const double* x, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (vectorMathAvx2::atan2 (y, x, out, n),
                            scalarBinary ([] (double a, double b) { return std::atan2 (a, b); }, y, x, out, n))
}

void vectorMath::hypot (const double* x, const double* y, double* out, std::size_t n) noexcept
{
    TALVO_VECTOR_OR_SCALAR (vectorMathAvx2::hypot (x, y, out, n),
                            scalarBinary ([] (double a, double b) { return std::hypot (a, b); }, x, y, out, n))
}

void vectorMath::sinCos (const double* x, double* sinOut, double* cosOut, std::size_t n) noexcept
{
#if TALVO_VECTOR_MATH_AVX2
    if (hasAvx2())
    {
        vectorMathAvx2::sinCos (x, sinOut, cosOut, n);
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
// Compiled for AVX, which is checked for at run time. These take and return no vectors, so a
// function's target attribute is enough here.
#define TALVO_AVX __attribute__ ((target ("avx")))

TALVO_AVX double toFloatAvx (const double* src, float* dst, std::size_t count) noexcept
{
    const __m256d signBit = _mm256_set1_pd (-0.0);
    __m256d largest = _mm256_setzero_pd();
    std::size_t k = 0;

    for (; k + 4 <= count; k += 4)
    {
        const __m256d v = _mm256_loadu_pd (src + k);
        _mm_storeu_ps (dst + k, _mm256_cvtpd_ps (v));
        largest = _mm256_max_pd (_mm256_andnot_pd (signBit, v), largest); // a NaN lane keeps largest
    }

    alignas (32) double lanes[4];
    _mm256_store_pd (lanes, largest);
    double result = std::max (std::max (lanes[0], lanes[1]), std::max (lanes[2], lanes[3]));

    for (; k < count; ++k)
    {
        dst[k] = static_cast<float> (src[k]);
        result = std::fabs (src[k]) > result ? std::fabs (src[k]) : result;
    }

    return result;
}

TALVO_AVX void toDoubleAvx (const float* src, double* dst, std::size_t count) noexcept
{
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4)
        _mm256_storeu_pd (dst + k, _mm256_cvtps_pd (_mm_loadu_ps (src + k)));
    for (; k < count; ++k)
        dst[k] = static_cast<double> (src[k]);
}

#undef TALVO_AVX

bool hasAvx()
{
    static const bool supported = __builtin_cpu_supports ("avx");
    return supported;
}
} // namespace
#endif

double vectorMath::toFloat (const double* x, float* out, std::size_t n) noexcept
{
#if defined(__x86_64__)
    if (hasAvx())
        return toFloatAvx (x, out, n);
#endif
    double largest = 0.0;
    for (std::size_t k = 0; k < n; ++k)
    {
        out[k] = static_cast<float> (x[k]);
        largest = std::fabs (x[k]) > largest ? std::fabs (x[k]) : largest;
    }
    return largest;
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
