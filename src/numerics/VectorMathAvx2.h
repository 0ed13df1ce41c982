#pragma once

#include <cstddef>

/*  The AVX2 kernels behind vectorMath: arrays go four at a time through glibc's vector math
    (libmvec, from glibc 2.35 on). Call them only on a processor with AVX2 and FMA.

    Their file is compiled for AVX2 and FMA as a whole: 256-bit vectors go to libmvec in registers
    only when the whole file is built for AVX (a function's target attribute does not change the
    calling convention with Clang). So that no AVX2 code leaks into the rest of the program, that
    file defines no inline function, template or static object that another file could share.
*/
#if defined(__x86_64__) && defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 35))
 #define TALVO_VECTOR_MATH_AVX2 1
#else
 #define TALVO_VECTOR_MATH_AVX2 0
#endif

#if TALVO_VECTOR_MATH_AVX2
namespace vectorMathAvx2
{
void exp (const double* x, double* out, std::size_t n);
void log (const double* x, double* out, std::size_t n);
void log10 (const double* x, double* out, std::size_t n);
void pow (double base, const double* x, double* out, std::size_t n);
void atan2 (const double* y, const double* x, double* out, std::size_t n);
void hypot (const double* x, const double* y, double* out, std::size_t n);
void sinCos (const double* x, double* sinOut, double* cosOut, std::size_t n);
} // namespace vectorMathAvx2
#endif
