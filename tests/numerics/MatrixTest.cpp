#include "numerics/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace
{
using Complex = std::complex<double>;
using RealMatrix = Matrix<double>;
using ComplexMatrix = Matrix<Complex>;

const double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();

RealMatrix row (std::vector<double> values)
{
    const auto n = values.size();
    return RealMatrix (1, n, std::move (values));
}

ComplexMatrix complexRow (std::vector<Complex> values)
{
    const auto n = values.size();
    return ComplexMatrix (1, n, std::move (values));
}

bool sameBits (double x, double y)
{
    std::uint64_t bx, by;
    std::memcpy (&bx, &x, sizeof (bx));
    std::memcpy (&by, &y, sizeof (by));
    return bx == by || (std::isnan (x) && std::isnan (y));
}

/** Equal values, with equal signs of zeros; any NaN equals any NaN. */
bool samePart (double x, double y)
{
    if (std::isnan (x) || std::isnan (y))
        return std::isnan (x) && std::isnan (y);
    return x == y && std::signbit (x) == std::signbit (y);
}

::testing::AssertionResult sameComplex (Complex x, Complex y)
{
    if (samePart (x.real(), y.real()) && samePart (x.imag(), y.imag()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << x << " != " << y;
}

Complex singleProduct (Complex x, Complex y) { return (complexRow ({ x }) * complexRow ({ y })).data[0]; }
Complex singleQuotient (Complex x, Complex y) { return (complexRow ({ x }) / complexRow ({ y })).data[0]; }
Complex singleExp (Complex x) { return exp (complexRow ({ x })).data[0]; }

/** The scaled quotient with its recovery written out with logb and scalbn, the reference for the fast path. */
Complex referenceQuotient (Complex x, Complex y)
{
    double a = x.real(), b = x.imag(), c = y.real(), d = y.imag();
    const double e = std::logb (std::fmax (std::fabs (c), std::fabs (d)));
    int i = 0;
    if (std::isfinite (e))
    {
        i = static_cast<int> (e);
        c = std::scalbn (c, -i);
        d = std::scalbn (d, -i);
    }
    const double q = c * c + d * d;
    double re = std::scalbn ((a * c + b * d) / q, -i);
    double im = std::scalbn ((b * c - a * d) / q, -i);

    if (std::isnan (re) && std::isnan (im))
    {
        if (q == 0.0 && (! std::isnan (a) || ! std::isnan (b)))
        {
            re = std::copysign (inf, c) * a;
            im = std::copysign (inf, c) * b;
        }
        else if ((std::isinf (a) || std::isinf (b)) && std::isfinite (c) && std::isfinite (d))
        {
            a = std::copysign (std::isinf (a) ? 1.0 : 0.0, a);
            b = std::copysign (std::isinf (b) ? 1.0 : 0.0, b);
            re = inf * (a * c + b * d);
            im = inf * (b * c - a * d);
        }
        else if (e == inf && std::isfinite (a) && std::isfinite (b))
        {
            c = std::copysign (std::isinf (c) ? 1.0 : 0.0, c);
            d = std::copysign (std::isinf (d) ? 1.0 : 0.0, d);
            re = 0.0 * (a * c + b * d);
            im = 0.0 * (b * c - a * d);
        }
    }
    return { re, im };
}

/** Calls check (x, y) for every pair of complex numbers whose parts are zeros, ordinary, huge, tiny,
    infinite or NaN values. */
template <typename Check>
void forEverySpecialPair (Check check)
{
    const double values[] { 0.0, -0.0, 1.0, -1.0, 2.5, -3.0, 1e300, -1e-300, inf, -inf, notANumber };

    for (double a : values)
        for (double b : values)
            for (double c : values)
                for (double d : values)
                    check (Complex (a, b), Complex (c, d));
}
} // namespace

//==============================================================================
TEST (MatrixConstruction, DimensionsAndValues)
{
    // Default 1 x 1 zero; a dimension of 0 becomes 1; values are padded with zeros or cut.
    EXPECT_EQ (RealMatrix().data, std::vector<double> (1, 0.0));
    EXPECT_EQ (ComplexMatrix().data, std::vector<Complex> (1, Complex()));
    EXPECT_EQ (Matrix<std::size_t>().data, std::vector<std::size_t> (1, 0u));

    const struct { RealMatrix m; std::size_t rows, cols; std::vector<double> data; } cases[] {
        { RealMatrix(), 1, 1, { 0.0 } },
        { RealMatrix (0, 5), 1, 5, std::vector<double> (5, 0.0) },
        { RealMatrix (0, 0), 1, 1, { 0.0 } },
        { RealMatrix (1, 4, { 1.0, 2.0 }), 1, 4, { 1.0, 2.0, 0.0, 0.0 } },
        { RealMatrix (2, 1, { 1.0, 2.0, 3.0 }), 2, 1, { 1.0, 2.0 } },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (c.m.rows, c.rows);
        EXPECT_EQ (c.m.cols, c.cols);
        EXPECT_EQ (c.m.data, c.data);
    }

    EXPECT_EQ (ComplexMatrix (3, 1).length(), 3u);
}

TEST (MatrixConstruction, ImpossibleSizeIsAnAllocationFailure)
{
    EXPECT_THROW (RealMatrix (std::numeric_limits<std::size_t>::max() / 2, 4), std::bad_alloc);
}

TEST (MatrixConstruction, ComplexFromRealHasZeroImaginaryParts)
{
    ComplexMatrix c (RealMatrix (3, 1, { 1.5, -2.0, inf }));
    EXPECT_EQ (c.rows, 3u);
    EXPECT_EQ (c.cols, 1u);
    EXPECT_EQ (c.data[0], Complex (1.5, 0.0));
    EXPECT_EQ (c.data[1], Complex (-2.0, 0.0));
    EXPECT_EQ (c.data[2], Complex (inf, 0.0));
}

TEST (MatrixCopying, CopiesAreDeepAndSelfAssignmentKeepsTheMatrix)
{
    RealMatrix a = row ({ 1.0, 2.0, 3.0 });
    RealMatrix b = a;
    b.data[0] = 9.0;
    EXPECT_EQ (a.data[0], 1.0);

    RealMatrix c;
    c = a;
    c.data[2] = -1.0;
    EXPECT_EQ (a.data[2], 3.0);
    EXPECT_EQ (c.cols, 3u);

    auto& alias = a;
    a = alias;
    EXPECT_EQ (a.rows, 1u);
    EXPECT_EQ (a.cols, 3u);
    EXPECT_EQ (a.data, (std::vector<double> { 1.0, 2.0, 3.0 }));
}

TEST (MatrixCopying, MovedFromMatrixIsEmptyAndCanBeAssignedAgain)
{
    RealMatrix a = row ({ 1.0, 2.0 });
    RealMatrix b = std::move (a);
    EXPECT_EQ (b.data, (std::vector<double> { 1.0, 2.0 }));
    EXPECT_EQ (a.length(), 0u);                    // NOLINT: deliberately inspecting the moved-from state
    EXPECT_TRUE (a.data.empty());

    // Operations on it read nothing and give an empty result.
    EXPECT_TRUE ((a * 2.0).data.empty());

    a = row ({ 5.0 });
    EXPECT_EQ (a.rows, 1u);
    EXPECT_EQ (a.data, (std::vector<double> { 5.0 }));
}

//==============================================================================
TEST (MatrixRealArithmetic, ProductTakesTheFirstOperandsSize)
{
    const auto a = row ({ 1.0, 2.0, 3.0, 4.0 });
    const auto b = row ({ 2.0, 3.0, 4.0, 5.0, 6.0, 7.0 });

    const auto p = a * b;
    EXPECT_EQ (p.rows, 1u);
    EXPECT_EQ (p.cols, 4u);
    EXPECT_EQ (p.data, (std::vector<double> { 2.0, 6.0, 12.0, 20.0 }));

    // The temporary overload gives the same.
    EXPECT_EQ ((row ({ 1.0, 2.0, 3.0, 4.0 }) * b).data, p.data);
}

TEST (MatrixRealArithmetic, TooShortSecondOperandGivesNaNInsteadOfReadingPastIt)
{
    const auto p = row ({ 1.0, 2.0, 3.0 }) * row ({ 4.0 });
    ASSERT_EQ (p.data.size(), 3u);
    EXPECT_EQ (p.data[0], 4.0);
    EXPECT_TRUE (std::isnan (p.data[1]));
    EXPECT_TRUE (std::isnan (p.data[2]));
}

TEST (MatrixRealArithmetic, ScalarProductsAndQuotient)
{
    const RealMatrix x (2, 1, { 3.0, -0.5 });

    const auto left = 2.0 * x;
    const auto right = x * 2.0;
    EXPECT_EQ (left.rows, 2u);
    EXPECT_EQ (left.cols, 1u);
    EXPECT_EQ (left.data, (std::vector<double> { 6.0, -1.0 }));
    EXPECT_EQ (right.data, left.data);
    EXPECT_EQ ((x / 4.0).data, (std::vector<double> { 0.75, -0.125 }));
    EXPECT_EQ (x.data, (std::vector<double> { 3.0, -0.5 }));   // operands are left alone

    const auto byZero = x / 0.0;
    EXPECT_EQ (byZero.data[0], inf);
    EXPECT_EQ (byZero.data[1], -inf);
}

TEST (MatrixRealArithmetic, Log10AndPower)
{
    const auto logs = log10 (row ({ 100.0, 0.0, -1.0, 1.0 }));
    EXPECT_DOUBLE_EQ (logs.data[0], 2.0);
    EXPECT_EQ (logs.data[1], -inf);
    EXPECT_TRUE (std::isnan (logs.data[2]));
    EXPECT_EQ (logs.data[3], 0.0);

    const auto gains = power (10.0, row ({ 20.0, -6.0, 0.0 }) / 20.0);
    EXPECT_DOUBLE_EQ (gains.data[0], 10.0);
    EXPECT_NEAR (gains.data[1], 0.501187233627272, 1e-15);
    EXPECT_EQ (gains.data[2], 1.0);
}

TEST (MatrixRealArithmetic, TimesJ)
{
    const auto j = timesJ (RealMatrix (1, 3, { -2.0, inf, 0.5 }));
    EXPECT_TRUE (sameComplex (j.data[0], Complex (-0.0, -2.0)));
    EXPECT_TRUE (sameComplex (j.data[1], Complex (notANumber, inf)));
    EXPECT_TRUE (sameComplex (j.data[2], Complex (0.0, 0.5)));
    EXPECT_EQ (j.cols, 3u);
}

//==============================================================================
TEST (MatrixComplexArithmetic, ScalarOperations)
{
    const auto x = complexRow ({ { 1.0, 2.0 }, { -3.0, 0.5 } });

    const auto scaled = x * 2.0;
    EXPECT_EQ (scaled.data[0], Complex (2.0, 4.0));
    EXPECT_EQ (scaled.data[1], Complex (-6.0, 1.0));

    const auto halved = x / 2.0;
    EXPECT_EQ (halved.data[0], Complex (0.5, 1.0));

    const auto shifted = x + 10.0;
    EXPECT_EQ (shifted.data[0], Complex (11.0, 2.0));
    EXPECT_EQ (shifted.data[1], Complex (7.0, 0.5));

    const auto rotated = x * Complex (0.0, 1.0);
    EXPECT_EQ (rotated.data[0], Complex (-2.0, 1.0));
    EXPECT_EQ (rotated.data[1], Complex (-0.5, -3.0));
}

TEST (MatrixComplexArithmetic, RealTimesComplexTakesTheRealOperandsSize)
{
    const auto r = row ({ 2.0, -1.0 });
    const auto c = complexRow ({ { 1.0, 1.0 }, { 3.0, -4.0 }, { 7.0, 7.0 } });

    const auto p = r * c;
    EXPECT_EQ (p.cols, 2u);
    ASSERT_EQ (p.data.size(), 2u);
    EXPECT_EQ (p.data[0], Complex (2.0, 2.0));
    EXPECT_EQ (p.data[1], Complex (-3.0, 4.0));

    const auto q = r * complexRow ({ { 1.0, 1.0 }, { 3.0, -4.0 } });
    EXPECT_EQ (q.data, p.data);

    const auto shortOperand = r * complexRow ({ { 1.0, 0.0 } });
    ASSERT_EQ (shortOperand.data.size(), 2u);
    EXPECT_TRUE (std::isnan (shortOperand.data[1].real()));
}

TEST (MatrixComplexArithmetic, ProductAgreesWithTheC99RulesOnEverySpecialValue)
{
    // The compiler's own complex product follows the same rules of recovery: both parts NaN are
    // recomputed to an infinite result, one NaN part is left, overflowing partial products included.
    forEverySpecialPair ([] (Complex x, Complex y) {
        EXPECT_TRUE (sameComplex (singleProduct (x, y), x * y)) << x << " * " << y;
    });
}

TEST (MatrixComplexArithmetic, QuotientRecoversInfinitiesAndZeros)
{
    EXPECT_TRUE (sameComplex (singleQuotient ({ 1.0, 1.0 }, { 0.0, 0.0 }), Complex (inf, inf)));
    EXPECT_TRUE (sameComplex (singleQuotient ({ -1.0, 2.0 }, { -0.0, 0.0 }), Complex (inf, -inf)));
    EXPECT_TRUE (sameComplex (singleQuotient ({ inf, 0.0 }, { 2.0, 0.0 }), Complex (inf, notANumber)));
    EXPECT_TRUE (sameComplex (singleQuotient ({ inf, inf }, { 1.0, 0.0 }), Complex (inf, inf)));
    EXPECT_TRUE (sameComplex (singleQuotient ({ 1.0, 1.0 }, { inf, inf }), Complex (0.0, 0.0)));
    EXPECT_TRUE (sameComplex (singleQuotient ({ 0.0, 0.0 }, { 0.0, 0.0 }), Complex (notANumber, notANumber)));
    EXPECT_TRUE (sameComplex (singleQuotient ({ 6.0, 0.0 }, { 3.0, 0.0 }), Complex (2.0, 0.0)));
}

TEST (MatrixComplexArithmetic, QuotientMatchesTheScaledAlgorithmBitForBit)
{
    std::mt19937_64 random (20261206);
    std::uniform_real_distribution<double> mantissa (-1.0, 1.0);
    std::uniform_int_distribution<int> exponent (-1070, 1020);

    for (int trial = 0; trial < 20000; ++trial)
    {
        // Mostly ordinary magnitudes, with every fourth trial spread over the whole exponent range.
        const bool extreme = trial % 4 == 0;
        auto draw = [&] { return extreme ? std::ldexp (mantissa (random), exponent (random)) : mantissa (random) * 100.0; };
        const Complex x (draw(), draw()), y (draw(), draw());
        const auto ours = singleQuotient (x, y);
        const auto reference = referenceQuotient (x, y);
        ASSERT_TRUE (sameBits (ours.real(), reference.real()) && sameBits (ours.imag(), reference.imag()))
            << x << " / " << y << ": " << ours << " vs " << reference;
    }
}

TEST (MatrixComplexArithmetic, QuotientMatchesTheScaledAlgorithmOnEverySpecialValue)
{
    forEverySpecialPair ([] (Complex x, Complex y) {
        EXPECT_TRUE (sameComplex (singleQuotient (x, y), referenceQuotient (x, y))) << x << " / " << y;
    });
}

TEST (MatrixComplexArithmetic, ProductAndQuotientOfMatricesTakeTheFirstOperandsSize)
{
    const auto a = complexRow ({ { 1.0, 2.0 }, { 3.0, 4.0 } });
    const auto b = complexRow ({ { 0.0, 1.0 }, { 2.0, 0.0 }, { 5.0, 5.0 } });

    const auto p = a * b;
    ASSERT_EQ (p.data.size(), 2u);
    EXPECT_EQ (p.data[0], Complex (-2.0, 1.0));
    EXPECT_EQ (p.data[1], Complex (6.0, 8.0));

    const auto q = p / b;
    ASSERT_EQ (q.data.size(), 2u);
    EXPECT_EQ (q.data[0], a.data[0]);
    EXPECT_EQ (q.data[1], a.data[1]);
}

TEST (MatrixComplexArithmetic, ExponentialSpecialValues)
{
    EXPECT_TRUE (sameComplex (singleExp ({ inf, 0.0 }), Complex (inf, 0.0)));
    EXPECT_TRUE (sameComplex (singleExp ({ inf, inf }), Complex (inf, notANumber)));
    EXPECT_TRUE (sameComplex (singleExp ({ inf, notANumber }), Complex (inf, notANumber)));
    EXPECT_TRUE (sameComplex (singleExp ({ -inf, inf }), Complex (0.0, 0.0)));
    EXPECT_TRUE (sameComplex (singleExp ({ -inf, notANumber }), Complex (0.0, 0.0)));
    EXPECT_TRUE (sameComplex (singleExp ({ notANumber, 0.0 }), Complex (notANumber, 0.0)));
    EXPECT_TRUE (sameComplex (singleExp ({ -inf, 1.0 }), Complex (0.0, 0.0)));
    const auto realAxis = singleExp ({ 1.0, -0.0 });    // a real argument keeps its signed zero
    EXPECT_NEAR (realAxis.real(), std::exp (1.0), 1e-15);
    EXPECT_TRUE (realAxis.imag() == 0.0 && std::signbit (realAxis.imag()));
    EXPECT_TRUE (sameComplex (singleExp ({ 0.0, 0.0 }), Complex (1.0, 0.0)));
    EXPECT_TRUE (sameComplex (singleExp ({ 2.0, inf }), Complex (notANumber, notANumber)));
}

//==============================================================================
TEST (MatrixLinspace, RunsFromZeroToTheEnd)
{
    const auto f = linspace (24000.0, 2049);
    EXPECT_EQ (f.rows, 1u);
    ASSERT_EQ (f.cols, 2049u);
    EXPECT_EQ (f.data[0], 0.0);
    EXPECT_EQ (f.data[1], 11.71875);
    EXPECT_EQ (f.data[2048], 24000.0);

    const auto n = linspace (4095.0, 4096);
    ASSERT_EQ (n.cols, 4096u);
    for (std::size_t k = 0; k < 4096; ++k)
        ASSERT_EQ (n.data[k], static_cast<double> (k));
}

TEST (MatrixLinspace, DegenerateCountsAndNonPositiveEnds)
{
    const auto none = linspace (5.0, 0);
    EXPECT_EQ (none.cols, 1u);
    EXPECT_EQ (none.data[0], 0.0);

    const auto one = linspace (5.0, 1);
    EXPECT_EQ (one.cols, 1u);
    EXPECT_TRUE (std::isnan (one.data[0]));

    EXPECT_EQ (linspace (-1.0, 3).data, (std::vector<double> { -1.0, -1.5, -2.0 }));
}
