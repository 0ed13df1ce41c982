#include "NumericsTestSupport.h"

using namespace numericstest;

namespace
{
Complex singleProduct (Complex x, Complex y) { return (complexRow ({ x }) * complexRow ({ y })).data[0]; }
Complex singleQuotient (Complex x, Complex y) { return (complexRow ({ x }) / complexRow ({ y })).data[0]; }

// The scaled quotient with its recovery written out with logb and scalbn, the reference for the fast path.
Complex referenceQuotient (Complex x, Complex y)
{
    const double a = x.real(), b = x.imag();
    const double e = std::logb (std::fmax (std::fabs (y.real()), std::fabs (y.imag())));
    const int i = std::isfinite (e) ? static_cast<int> (e) : 0;
    const double c = std::scalbn (y.real(), -i), d = std::scalbn (y.imag(), -i), q = c * c + d * d;
    const double re = std::scalbn ((a * c + b * d) / q, -i), im = std::scalbn ((b * c - a * d) / q, -i);
    auto box = [] (double v) { return std::copysign (std::isinf (v) ? 1.0 : 0.0, v); };

    if (! std::isnan (re) || ! std::isnan (im))
        return { re, im };
    if (q == 0.0 && (! std::isnan (a) || ! std::isnan (b)))
        return { std::copysign (inf, c) * a, std::copysign (inf, c) * b };
    if ((std::isinf (a) || std::isinf (b)) && std::isfinite (c) && std::isfinite (d))
        return { inf * (box (a) * c + box (b) * d), inf * (box (b) * c - box (a) * d) };
    if (e == inf && std::isfinite (a) && std::isfinite (b))
        return { 0.0 * (a * box (c) + b * box (d)), 0.0 * (b * box (c) - a * box (d)) };
    return { re, im };
}
} // namespace

//==============================================================================
TEST (MatrixConstruction, DimensionsValuesAndLinspace)
{
    // A dimension of 0 becomes 1; values are padded with zeros or cut.
    const struct { RealMatrix m; std::size_t rows, cols; std::vector<double> data; } cases[] {
        { RealMatrix(), 1, 1, { 0.0 } }, { RealMatrix (0, 5), 1, 5, std::vector<double> (5, 0.0) }, { RealMatrix (0, 0), 1, 1, { 0.0 } },
        { RealMatrix (1, 4, { 1.0, 2.0 }), 1, 4, { 1.0, 2.0, 0.0, 0.0 } }, { RealMatrix (2, 1, { 1.0, 2.0, 3.0 }), 2, 1, { 1.0, 2.0 } },
    };
    for (const auto& c : cases)
        EXPECT_TRUE (c.m.rows == c.rows && c.m.cols == c.cols && c.m.data == c.data) << c.rows << " x " << c.cols;

    EXPECT_THROW (RealMatrix (std::numeric_limits<std::size_t>::max() / 2, 4), std::bad_alloc);

    // linspace runs from 0 to its end in n - 1 equal steps; for an end <= 0 every element is offset by it.
    const auto f = linspace (24000.0, 2049);
    EXPECT_TRUE (f.data.size() == 2049u && f.data[0] == 0.0 && f.data[1] == 11.71875 && f.data[2048] == 24000.0);
    EXPECT_EQ (linspace (5.0, 0).data, std::vector<double> (1, 0.0));
    EXPECT_TRUE (std::isnan (linspace (5.0, 1).data[0]));
    EXPECT_EQ (linspace (-1.0, 3).data, (std::vector<double> { -1.0, -1.5, -2.0 }));
}

//==============================================================================
TEST (MatrixArithmetic, ElementwiseResultsTakeTheFirstOperandsSizeAndMissingElementsAreNaN)
{
    const auto a = row ({ 1, 2, 3, 4 }), b = row ({ 2, 3, 4, 5, 6, 7 });
    EXPECT_EQ ((a * b).data, (std::vector<double> { 2, 6, 12, 20 }));
    EXPECT_EQ ((row ({ 1, 2, 3, 4 }) * b).data, (a * b).data);
    const auto shortProduct = a * row ({ 4 });
    EXPECT_TRUE (shortProduct.data.size() == 4u && shortProduct.data[0] == 4.0 && std::isnan (shortProduct.data[3]));

    // A real times a complex matrix takes the real operand's size, also when the complex one is a temporary.
    const auto r = row ({ 2, -1 });
    const auto c = complexRow ({ { 1, 1 }, { 3, -4 }, { 7, 7 } });
    const std::vector<Complex> rc { { 2, 2 }, { -3, 4 } };
    EXPECT_EQ ((r * c).data, rc);
    EXPECT_EQ ((r * complexRow ({ { 1, 1 }, { 3, -4 } })).data, rc);
    EXPECT_EQ ((r * complexRow ({ { 1, 1 }, { 3, -4 }, { 7, 7 } })).data, rc);
    EXPECT_TRUE (std::isnan ((r * complexRow ({ { 1, 0 } })).data[1].real()));

    const auto z = complexRow ({ { 1, 2 }, { 3, 4 } });
    const auto p = z * c;
    EXPECT_EQ (p.data, (std::vector<Complex> { { -1, 3 }, { 25, 0 } }));
    EXPECT_EQ ((p / c).data, z.data);

    // Scalars and element functions.
    EXPECT_EQ ((z * 2.0).data, (std::vector<Complex> { { 2, 4 }, { 6, 8 } }));
    EXPECT_EQ ((z / 2.0).data, (std::vector<Complex> { { 0.5, 1 }, { 1.5, 2 } }));
    EXPECT_EQ ((z + 10.0).data, (std::vector<Complex> { { 11, 2 }, { 13, 4 } }));    // the real part only
    EXPECT_EQ ((z * Complex (0, 1)).data, (std::vector<Complex> { { -2, 1 }, { -4, 3 } }));

    // j x is formed as (x * 0, x * 1): -2 gives a negative zero, infinity a NaN real part.
    const auto j = timesJ (row ({ -2.0, inf }));
    EXPECT_TRUE (sameComplex (j.data[0], { -0.0, -2.0 }) && sameComplex (j.data[1], { notANumber, inf }));
    EXPECT_DOUBLE_EQ (log10 (row ({ 100.0 })).data[0], 2.0);
    EXPECT_DOUBLE_EQ (power (10.0, row ({ 2.0 })).data[0], 100.0);
}

//==============================================================================
TEST (MatrixComplexArithmetic, ProductAndQuotientFollowTheC99RulesAndTheScaledAlgorithm)
{
    // The compiler's own complex product follows the same rules of recovery: both parts NaN are
    // recomputed to an infinite result, one NaN part is left, overflowing partial products included.
    const double values[] { 0.0, -0.0, 1.0, -1.0, 2.5, -3.0, 1e300, -1e-300, inf, -inf, notANumber };
    for (double a : values)
        for (double b : values)
            for (double c : values)
                for (double d : values)
                {
                    const Complex x (a, b), y (c, d);
                    EXPECT_TRUE (sameComplex (singleProduct (x, y), x * y)) << x << " * " << y;
                    EXPECT_TRUE (sameComplex (singleQuotient (x, y), referenceQuotient (x, y))) << x << " / " << y;
                }

    // Ordinary quotients, with every fourth trial spread over the whole exponent range, bit for bit.
    std::mt19937_64 random (20261206);
    std::uniform_real_distribution<double> mantissa (-1.0, 1.0);
    std::uniform_int_distribution<int> exponent (-1070, 1020);

    for (int trial = 0; trial < 20000; ++trial)
    {
        auto draw = [&] { return trial % 4 == 0 ? std::ldexp (mantissa (random), exponent (random)) : mantissa (random) * 100.0; };
        const Complex x (draw(), draw()), y (draw(), draw());
        ASSERT_TRUE (sameComplex (singleQuotient (x, y), referenceQuotient (x, y))) << x << " / " << y;
    }

    // Quotients worked by hand, for the reference itself.
    EXPECT_TRUE (sameComplex (referenceQuotient ({ -1, 2 }, { -0.0, 0 }), { inf, -inf }));
    EXPECT_TRUE (sameComplex (referenceQuotient ({ inf, 0 }, { 2, 0 }), { inf, notANumber }));
    EXPECT_TRUE (sameComplex (referenceQuotient ({ 1, 1 }, { inf, inf }), { 0, 0 }));
}

TEST (MatrixComplexArithmetic, Exponential)
{
    const struct { Complex x, expected; } cases[] {
        { { inf, 0 }, { inf, 0 } }, { { inf, inf }, { inf, notANumber } }, { { inf, notANumber }, { inf, notANumber } },
        { { -inf, inf }, { 0, 0 } }, { { -inf, notANumber }, { 0, 0 } }, { { -inf, 1 }, { 0, 0 } },
        { { notANumber, 0 }, { notANumber, 0 } }, { { 2, inf }, { notANumber, notANumber } },
        { { 0, 0 }, { 1, 0 } }, { { 0, -0.0 }, { 1, -0.0 } },
    };
    for (const auto& c : cases)
        EXPECT_TRUE (sameComplex (exp (complexRow ({ c.x })).data[0], c.expected)) << c.x;
}
