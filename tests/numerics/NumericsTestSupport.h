#pragma once

#include "numerics/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace numericstest
{
using Complex = std::complex<double>;
using RealMatrix = Matrix<double>;
using ComplexMatrix = Matrix<Complex>;

const double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double pi = std::acos (-1.0);

inline RealMatrix row (std::vector<double> v) { const auto n = v.size(); return RealMatrix (1, n, std::move (v)); }
inline ComplexMatrix complexRow (std::vector<Complex> v) { const auto n = v.size(); return ComplexMatrix (1, n, std::move (v)); }

// Equal values with equal signs of zeros; any NaN equals any NaN.
inline bool samePart (double x, double y)
{
    return std::isnan (x) || std::isnan (y) ? std::isnan (x) && std::isnan (y) : x == y && std::signbit (x) == std::signbit (y);
}

inline ::testing::AssertionResult sameComplex (Complex x, Complex y)
{
    if (samePart (x.real(), y.real()) && samePart (x.imag(), y.imag()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << x << " != " << y;
}

// A 1 x n row of complex values whose parts are drawn from a standard normal distribution.
inline ComplexMatrix randomSignal (std::size_t n, std::mt19937_64& random)
{
    std::normal_distribution<double> value (0.0, 1.0);
    ComplexMatrix x (1, n);
    for (auto& element : x.data)
        element = { value (random), value (random) };
    return x;
}
} // namespace numericstest
