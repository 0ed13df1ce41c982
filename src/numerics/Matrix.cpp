#include "numerics/Matrix.h"

#include "numerics/ComplexArithmetic.h"
#include "numerics/VectorMath.h"

#include <cmath>

#if defined(__GLIBC__)
 #include <malloc.h>
#endif

namespace
{
using Complex = std::complex<double>;
using RealMatrix = Matrix<double>;
using ComplexMatrix = Matrix<Complex>;

constexpr double quietNaN = std::numeric_limits<double>::quiet_NaN();

/** The value that stands in for an element missing from a too short operand. */
template <typename T>
T missingValue()
{
    if constexpr (std::is_same_v<T, Complex>)
        return { quietNaN, quietNaN };
    else
        return quietNaN;
}

/** Applies f to every element of x in place and hands x back. */
template <typename T, typename Function>
Matrix<T> mapInPlace (Matrix<T>&& x, Function f)
{
    for (auto& value : x.data)
        value = f (value);

    return std::move (x);
}

/** Sets a[k] = f (a[k], b[k]) in place; elements of a past the end of b get f (a[k], NaN). */
template <typename T, typename U, typename Function>
Matrix<T> combineInPlace (Matrix<T>&& a, const Matrix<U>& b, Function f)
{
    const auto common = std::min (a.data.size(), b.data.size());

    for (std::size_t k = 0; k < common; ++k)
        a.data[k] = f (a.data[k], b.data[k]);

    for (std::size_t k = common; k < a.data.size(); ++k)
        a.data[k] = f (a.data[k], missingValue<U>());

    return std::move (a);
}

RealMatrix copyOf (const RealMatrix& x) { return x; }

#if defined(__GLIBC__)
/** A spectrum of 65536 bins is a 1 MB block, and a recompute makes and frees dozens of them. By
    default glibc serves such blocks with mmap or hands the freed top of the heap back to the system,
    so every new block is faulted in page by page again (256 page faults per MB, which costs more than
    the arithmetic on it). Raising both thresholds keeps freed blocks in the heap for reuse; the
    process keeps at most the trim threshold of free memory.
*/
const bool largeBlocksStayInTheHeap = []
{
    mallopt (M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt (M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    return true;
}();
#endif
ComplexMatrix copyOf (const ComplexMatrix& x) { return x; }
} // namespace

//==============================================================================
RealMatrix operator* (RealMatrix&& a, const RealMatrix& b)
{
    return combineInPlace (std::move (a), b, [] (double x, double y) { return x * y; });
}

RealMatrix operator* (const RealMatrix& a, const RealMatrix& b) { return copyOf (a) * b; }

RealMatrix operator* (RealMatrix&& x, double s)
{
    return mapInPlace (std::move (x), [s] (double v) { return v * s; });
}

RealMatrix operator* (const RealMatrix& x, double s) { return copyOf (x) * s; }
RealMatrix operator* (double s, const RealMatrix& x) { return copyOf (x) * s; }
RealMatrix operator* (double s, RealMatrix&& x) { return std::move (x) * s; }

RealMatrix operator/ (RealMatrix&& x, double s)
{
    return mapInPlace (std::move (x), [s] (double v) { return v / s; });
}

RealMatrix operator/ (const RealMatrix& x, double s) { return copyOf (x) / s; }

//==============================================================================
ComplexMatrix operator* (ComplexMatrix&& x, Complex s)
{
    return mapInPlace (std::move (x), [s] (Complex v) { return complexArithmetic::multiply (v, s); });
}

ComplexMatrix operator* (const ComplexMatrix& x, Complex s) { return copyOf (x) * s; }

ComplexMatrix operator* (ComplexMatrix&& x, double s)
{
    return mapInPlace (std::move (x), [s] (Complex v) { return Complex (v.real() * s, v.imag() * s); });
}

ComplexMatrix operator* (const ComplexMatrix& x, double s) { return copyOf (x) * s; }

ComplexMatrix operator/ (ComplexMatrix&& x, double s)
{
    return mapInPlace (std::move (x), [s] (Complex v) { return Complex (v.real() / s, v.imag() / s); });
}

ComplexMatrix operator/ (const ComplexMatrix& x, double s) { return copyOf (x) / s; }

ComplexMatrix operator+ (ComplexMatrix&& x, double s)
{
    return mapInPlace (std::move (x), [s] (Complex v) { return Complex (v.real() + s, v.imag()); });
}

ComplexMatrix operator+ (const ComplexMatrix& x, double s) { return copyOf (x) + s; }

//==============================================================================
ComplexMatrix operator* (const RealMatrix& r, ComplexMatrix&& c)
{
    if (c.rows != r.rows || c.cols != r.cols || c.data.size() != r.data.size())
        return r * static_cast<const ComplexMatrix&> (c);

    for (std::size_t k = 0; k < c.data.size(); ++k)
        c.data[k] = Complex (r.data[k] * c.data[k].real(), r.data[k] * c.data[k].imag());

    return std::move (c);
}

ComplexMatrix operator* (const RealMatrix& r, const ComplexMatrix& c)
{
    std::vector<Complex> values;
    values.reserve (r.data.size());
    const auto common = std::min (r.data.size(), c.data.size());

    for (std::size_t k = 0; k < common; ++k)
        values.emplace_back (r.data[k] * c.data[k].real(), r.data[k] * c.data[k].imag());

    while (values.size() < r.data.size())
        values.emplace_back (quietNaN, quietNaN);

    ComplexMatrix result;
    result.rows = r.rows;
    result.cols = r.cols;
    result.data = std::move (values);
    return result;
}

ComplexMatrix operator* (ComplexMatrix&& a, const ComplexMatrix& b)
{
    return combineInPlace (std::move (a), b, complexArithmetic::multiply);
}

ComplexMatrix operator* (const ComplexMatrix& a, const ComplexMatrix& b) { return copyOf (a) * b; }

ComplexMatrix operator/ (ComplexMatrix&& a, const ComplexMatrix& b)
{
    return combineInPlace (std::move (a), b, complexArithmetic::divide);
}

ComplexMatrix operator/ (const ComplexMatrix& a, const ComplexMatrix& b) { return copyOf (a) / b; }

//==============================================================================
ComplexMatrix exp (ComplexMatrix&& x)
{
    vectorMath::complexExp (x.data.data(), x.data.data(), x.data.size());
    return std::move (x);
}

ComplexMatrix exp (const ComplexMatrix& x) { return exp (copyOf (x)); }

RealMatrix log10 (RealMatrix&& x)
{
    vectorMath::log10 (x.data.data(), x.data.data(), x.data.size());
    return std::move (x);
}

RealMatrix log10 (const RealMatrix& x) { return log10 (copyOf (x)); }

RealMatrix power (double base, RealMatrix&& x)
{
    vectorMath::pow (base, x.data.data(), x.data.data(), x.data.size());
    return std::move (x);
}

RealMatrix power (double base, const RealMatrix& x) { return power (base, copyOf (x)); }

ComplexMatrix timesJ (const RealMatrix& x)
{
    std::vector<Complex> values;
    values.reserve (x.data.size());

    for (double v : x.data)
        values.emplace_back (v * 0.0, v * 1.0);

    ComplexMatrix result;
    result.rows = x.rows;
    result.cols = x.cols;
    result.data = std::move (values);
    return result;
}

RealMatrix linspace (double end, std::size_t n)
{
    RealMatrix result (1, n);

    if (n == 0)
        return result;

    const double step = end / static_cast<double> (n - 1);
    const double offset = end > 0.0 ? 0.0 : end;

    for (std::size_t k = 0; k < n; ++k)
        result.data[k] = static_cast<double> (k) * step + offset;

    return result;
}
