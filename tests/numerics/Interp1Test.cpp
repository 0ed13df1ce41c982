#include "numerics/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace
{
using RealMatrix = Matrix<double>;

RealMatrix row (std::vector<double> values)
{
    const auto n = values.size();
    return RealMatrix (1, n, std::move (values));
}

const double pi = std::acos (-1.0);
} // namespace

//==============================================================================
TEST (Interp1Linear, HoldsTheEndsAndInterpolatesBetween)
{
    const auto result = interp1 (row ({ 1, 2, 3 }), row ({ 10, 20, 40 }), row ({ 0, 1, 1.5, 2, 2.5, 3, 9 }), "linear");
    EXPECT_EQ (result.rows, 1u);
    EXPECT_EQ (result.data, (std::vector<double> { 10, 10, 15, 20, 30, 40, 40 }));
}

TEST (Interp1Linear, AnInnerKnotTakesTheIntervalToItsRight)
{
    // A repeated abscissa makes the two intervals meeting at it disagree: the later one wins.
    const auto result = interp1 (row ({ 0, 1, 1, 2 }), row ({ 0, 1, 5, 6 }), row ({ 1, 0.5, 1.5 }), "linear");
    EXPECT_EQ (result.data, (std::vector<double> { 5, 0.5, 5.5 }));
}

TEST (Interp1Linear, NaNQueryAndUnorderedAbscissae)
{
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    const auto nanResult = interp1 (row ({ 0, 1 }), row ({ 3, 4 }), row ({ notANumber }), "linear");
    EXPECT_EQ (nanResult.data[0], 0.0);

    // Unordered abscissae are scanned interval by interval.
    const auto unordered = interp1 (row ({ 0, 2, 1 }), row ({ 0, 2, 10 }), row ({ 0.5, 1.5 }), "linear");
    EXPECT_EQ (unordered.data, (std::vector<double> { 0.5, 10 }));
}

TEST (Interp1Linear, QueryPointsMayBeAColumn)
{
    const auto result = interp1 (row ({ 0, 10 }), row ({ 0, 1 }), RealMatrix (3, 1, { 2, 5, 7.5 }), "linear");
    EXPECT_EQ (result.rows, 1u);
    EXPECT_EQ (result.cols, 3u);
    EXPECT_EQ (result.data, (std::vector<double> { 0.2, 0.5, 0.75 }));
}

//==============================================================================
TEST (Interp1Spline, ThreePointsGiveTheHandComputedCurve)
{
    // h = [1, 2], d = [2, -0.5]: M[1] = 6 (d2 - d1) / (2 (h0 + h1)) = -2.5, M[0] = M[2] = 0.
    const auto x = row ({ 0, 1, 3 });
    const auto y = row ({ 0, 2, 1 });
    const auto result = interp1 (x, y, row ({ 0, 0.5, 1, 2, 3 }), "spline");

    EXPECT_EQ (result.data[0], 0.0);
    EXPECT_NEAR (result.data[1], 1.15625, 1e-14);
    EXPECT_NEAR (result.data[2], 2.0, 1e-14);
    EXPECT_NEAR (result.data[3], 2.125, 1e-14);    // the last interval is part of the curve
    EXPECT_NEAR (result.data[4], 1.0, 1e-14);      // and so is the last knot
}

TEST (Interp1Spline, NeitherClampsNorExtrapolates)
{
    const auto result = interp1 (row ({ 0, 1, 3 }), row ({ 5, 2, 1 }),
                                 row ({ -0.001, 0, 3, 3.001, std::numeric_limits<double>::quiet_NaN() }), "spline");
    EXPECT_EQ (result.data[0], 0.0);
    EXPECT_EQ (result.data[1], 5.0);
    EXPECT_NEAR (result.data[2], 1.0, 1e-14);
    EXPECT_EQ (result.data[3], 0.0);
    EXPECT_EQ (result.data[4], 0.0);
}

TEST (Interp1Spline, CollinearPointsAndTwoPointsGiveTheLine)
{
    const auto line = interp1 (row ({ 0, 1, 2, 4, 5 }), row ({ 1, 3, 5, 9, 11 }), row ({ 0.5, 1, 3, 4.5, 5 }), "spline");
    const std::vector<double> expected { 2, 3, 7, 10, 11 };
    for (std::size_t k = 0; k < expected.size(); ++k)
        EXPECT_NEAR (line.data[k], expected[k], 1e-13) << k;

    const auto twoPoints = interp1 (row ({ 10, 20 }), row ({ 1, -1 }), row ({ 10, 12.5, 20 }), "spline");
    EXPECT_NEAR (twoPoints.data[0], 1.0, 1e-15);
    EXPECT_NEAR (twoPoints.data[1], 0.5, 1e-15);
    EXPECT_NEAR (twoPoints.data[2], -1.0, 1e-15);

    const auto onePoint = interp1 (row ({ 4 }), row ({ 7 }), row ({ 4, 5 }), "spline");
    EXPECT_EQ (onePoint.data, (std::vector<double> { 7, 0 }));
}

TEST (Interp1Spline, ManyUnevenKnotsFollowASmoothCurve)
{
    // sin has zero second derivative at 0 and pi, so the natural spline converges to it everywhere.
    std::mt19937_64 random (3);
    std::uniform_real_distribution<double> position (0.0, pi);
    std::vector<double> knots { 0.0, pi };
    for (int k = 0; k < 3000; ++k)
        knots.push_back (position (random));
    std::sort (knots.begin(), knots.end());
    knots.erase (std::unique (knots.begin(), knots.end()), knots.end());

    std::vector<double> values;
    for (double t : knots)
        values.push_back (std::sin (t));

    std::vector<double> queries;
    for (int k = 0; k <= 10000; ++k)
        queries.push_back (pi * k / 10000.0);

    const auto result = interp1 (row (knots), row (values), row (queries), "spline");
    ASSERT_EQ (result.cols, queries.size());
    for (std::size_t k = 0; k < queries.size(); ++k)
        ASSERT_NEAR (result.data[k], std::sin (queries[k]), 1e-8) << queries[k];
}

//==============================================================================
TEST (Interp1, MethodIsMatchedExactly)
{
    for (const char* method : { "Spline", "Linear", "cubic", "" })
    {
        const auto result = interp1 (row ({ 0, 1 }), row ({ 1, 2 }), row ({ 0.5, 0.7 }), method);
        EXPECT_EQ (result.rows, 1u) << method;
        EXPECT_EQ (result.cols, 1u) << method;
        EXPECT_EQ (result.data[0], 0.0) << method;
    }
}
