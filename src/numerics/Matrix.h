#pragma once

#include <algorithm>
#include <complex>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

/**
    A two-dimensional array of doubles, complex doubles or unsigned integers, owned by the matrix and
    copied deeply.

    Every quantity of the design engine is a matrix used as a vector (1 x N, or 3 x 1 for the IIR
    coefficient vectors). Element k is data[k], counting from 0 in storage order; vector functions take
    the length as max(rows, cols).

    Invariant after every construction and assignment: rows >= 1, cols >= 1 and data holds exactly
    rows x cols elements. A matrix that has been moved from is left empty (0 x 0, no elements): assign
    to it before using it again. Every function of the numeric library treats such a matrix, or any
    matrix whose data holds fewer elements than its dimensions claim, without reading past its data.
*/
template <typename T>
class Matrix
{
public:
    std::size_t rows = 1;
    std::size_t cols = 1;
    std::vector<T> data;

    /** A 1 x 1 matrix holding zero. */
    Matrix() : data (1, T {}) {}

    /** A rows x cols matrix of zeros; a dimension given as 0 becomes 1. */
    Matrix (std::size_t numRows, std::size_t numCols)
        : rows (std::max<std::size_t> (numRows, 1)),
          cols (std::max<std::size_t> (numCols, 1)),
          data (elementCount (rows, cols), T {})
    {
    }

    /** A rows x cols matrix holding the given values in storage order; a dimension given as 0 becomes 1.
        Missing values are zero, surplus values are dropped.
    */
    Matrix (std::size_t numRows, std::size_t numCols, std::vector<T> values)
        : rows (std::max<std::size_t> (numRows, 1)),
          cols (std::max<std::size_t> (numCols, 1)),
          data (std::move (values))
    {
        data.resize (elementCount (rows, cols), T {});
    }

    /** A complex matrix of a real one's dimensions whose element k is (real[k], 0.0). */
    template <typename U = T,
              typename = std::enable_if_t<std::is_same_v<U, std::complex<double>>>>
    explicit Matrix (const Matrix<double>& real) : rows (real.rows), cols (real.cols)
    {
        data.reserve (real.data.size());
        for (double value : real.data)
            data.emplace_back (value, 0.0);
    }

    /** A deep copy: same dimensions, its own block holding the same elements. */
    Matrix (const Matrix&) = default;

    /** Takes over the other matrix's dimensions and a copy of its elements; assigning a matrix to
        itself changes nothing.
    */
    Matrix& operator= (const Matrix&) = default;

    /** Takes over the other matrix's block without copying; the other matrix is left empty. */
    Matrix (Matrix&& other) noexcept
        : rows (std::exchange (other.rows, 0)),
          cols (std::exchange (other.cols, 0)),
          data (std::move (other.data))
    {
        other.data.clear();
    }

    /** Takes over the other matrix's block without copying; the other matrix is left empty. */
    Matrix& operator= (Matrix&& other) noexcept
    {
        if (this != &other)
        {
            rows = std::exchange (other.rows, 0);
            cols = std::exchange (other.cols, 0);
            data = std::move (other.data);
            other.data.clear();
        }
        return *this;
    }

    ~Matrix() = default;

    /** The vector length max(rows, cols), never more than the elements actually held. */
    std::size_t length() const noexcept
    {
        return std::min (std::max (rows, cols), data.size());
    }

private:
    static std::size_t elementCount (std::size_t numRows, std::size_t numCols)
    {
        // A count that does not fit in memory is the allocation failure it stands for.
        if (numRows > std::numeric_limits<std::size_t>::max() / sizeof (T) / numCols)
            throw std::bad_alloc();

        return numRows * numCols;
    }
};

//==============================================================================
/*  Elementwise arithmetic in the manner of MATLAB's .* and ./ operators. Sizes are not checked: the
    result takes the size of the operand named in each description, and the other matrix operand should
    hold at least as many elements. Should it hold fewer, the missing elements are taken as NaN, so a
    mismatch shows in the result instead of reading outside the matrix.

    Every operation has an overload for a temporary first operand that reuses its storage, so chains
    such as (a * b) / s allocate only once.
*/

/** a[k] * b[k]; the size of a. */
Matrix<double> operator* (const Matrix<double>& a, const Matrix<double>& b);
/** a[k] * b[k]; the size of a, computed in a's storage. */
Matrix<double> operator* (Matrix<double>&& a, const Matrix<double>& b);

/** x[k] * s; the size of x. */
Matrix<double> operator* (const Matrix<double>& x, double s);
/** x[k] * s; the size of x, computed in x's storage. */
Matrix<double> operator* (Matrix<double>&& x, double s);
/** s * x[k], the same as x * s. */
Matrix<double> operator* (double s, const Matrix<double>& x);
/** s * x[k], the same as x * s, computed in x's storage. */
Matrix<double> operator* (double s, Matrix<double>&& x);

/** x[k] / s; the size of x. */
Matrix<double> operator/ (const Matrix<double>& x, double s);
/** x[k] / s; the size of x, computed in x's storage. */
Matrix<double> operator/ (Matrix<double>&& x, double s);

/** x[k] * s by the complex product with infinity recovery; the size of x. */
Matrix<std::complex<double>> operator* (const Matrix<std::complex<double>>& x, std::complex<double> s);
/** x[k] * s, computed in x's storage. */
Matrix<std::complex<double>> operator* (Matrix<std::complex<double>>&& x, std::complex<double> s);

/** (re x[k] * s, im x[k] * s); the size of x. */
Matrix<std::complex<double>> operator* (const Matrix<std::complex<double>>& x, double s);
/** (re x[k] * s, im x[k] * s), computed in x's storage. */
Matrix<std::complex<double>> operator* (Matrix<std::complex<double>>&& x, double s);

/** (re x[k] / s, im x[k] / s); the size of x. */
Matrix<std::complex<double>> operator/ (const Matrix<std::complex<double>>& x, double s);
/** (re x[k] / s, im x[k] / s), computed in x's storage. */
Matrix<std::complex<double>> operator/ (Matrix<std::complex<double>>&& x, double s);

/** (r[k] * re c[k], r[k] * im c[k]); complex, the size of the real operand r. */
Matrix<std::complex<double>> operator* (const Matrix<double>& r, const Matrix<std::complex<double>>& c);
/** (r[k] * re c[k], r[k] * im c[k]), computed in c's storage when c has r's dimensions. */
Matrix<std::complex<double>> operator* (const Matrix<double>& r, Matrix<std::complex<double>>&& c);

/** a[k] * b[k] by the complex product with infinity recovery; the size of a. */
Matrix<std::complex<double>> operator* (const Matrix<std::complex<double>>& a,
                                        const Matrix<std::complex<double>>& b);
/** a[k] * b[k], computed in a's storage. */
Matrix<std::complex<double>> operator* (Matrix<std::complex<double>>&& a,
                                        const Matrix<std::complex<double>>& b);

/** (re x[k] + s, im x[k]): the scalar is added to the real part only; the size of x. */
Matrix<std::complex<double>> operator+ (const Matrix<std::complex<double>>& x, double s);
/** (re x[k] + s, im x[k]), computed in x's storage. */
Matrix<std::complex<double>> operator+ (Matrix<std::complex<double>>&& x, double s);

/** a[k] / b[k] by the scaled complex quotient with infinity recovery; the size of a. */
Matrix<std::complex<double>> operator/ (const Matrix<std::complex<double>>& a,
                                        const Matrix<std::complex<double>>& b);
/** a[k] / b[k], computed in a's storage. */
Matrix<std::complex<double>> operator/ (Matrix<std::complex<double>>&& a,
                                        const Matrix<std::complex<double>>& b);

/** Complex exponential of every element, with the C99 values for infinite and NaN parts. */
Matrix<std::complex<double>> exp (const Matrix<std::complex<double>>& x);
/** Complex exponential of every element, computed in x's storage. */
Matrix<std::complex<double>> exp (Matrix<std::complex<double>>&& x);

/** Base-10 logarithm of every element (0 gives -inf, a negative value NaN). */
Matrix<double> log10 (const Matrix<double>& x);
/** Base-10 logarithm of every element, computed in x's storage. */
Matrix<double> log10 (Matrix<double>&& x);

/** base raised to every element: power (10.0, dB / 20.0) turns levels in dB into linear gains. */
Matrix<double> power (double base, const Matrix<double>& x);
/** base raised to every element, computed in x's storage. */
Matrix<double> power (double base, Matrix<double>&& x);

/** j * x[k], formed as (x[k] * 0.0, x[k] * 1.0): -2 gives (-0.0, -2.0), +inf gives (NaN, +inf). */
Matrix<std::complex<double>> timesJ (const Matrix<double>& x);

/** A 1 x n row running from 0 to end in n equal steps (step = end / (n - 1)).
    n = 0 gives a 1 x 1 zero and n = 1 a single NaN (0 * inf). For end <= 0 every element is offset
    by end: linspace (-1.0, 3) gives -1.0, -1.5, -2.0.
*/
Matrix<double> linspace (double end, std::size_t n);

/** True when both matrices have the same shape and the same bits in every element (so NaN equals
    the same NaN, and -0.0 differs from 0.0): the test for a result that may be reused. */
template <typename T>
bool sameBits (const Matrix<T>& a, const Matrix<T>& b) noexcept
{
    return a.rows == b.rows && a.cols == b.cols && a.data.size() == b.data.size()
           && (a.data.empty() || std::memcmp (a.data.data(), b.data.data(), a.data.size() * sizeof (T)) == 0);
}

//==============================================================================
// The rest of the numeric library, so that this one header gives all of it.
#include "numerics/Fft.h"
#include "numerics/Interp1.h"
#include "numerics/SpectralFunctions.h"
