#include "NumericsTestSupport.h"

#include <algorithm>

using namespace numericstest;

TEST (Interp1, WorkedCases)
{
    // Linear holds the ends; a NaN query matches no interval and gives 0; where abscissae repeat or
    // are out of order, the last interval that holds the query wins. The natural spline covers the
    // last interval and knot too, but neither clamps nor extrapolates. The method is matched exactly.
    const struct { const char* method; std::vector<double> x, y, xi, expected; } cases[] {
        { "linear", { 1, 2, 3 }, { 10, 20, 40 }, { 0, 1, 1.5, 2, 2.5, 3, 9, notANumber }, { 10, 10, 15, 20, 30, 40, 40, 0 } },
        { "linear", { 0, 1, 1, 2 }, { 0, 1, 5, 6 }, { 1, 0.5, 1.5 }, { 5, 0.5, 5.5 } },
        { "linear", { 0, 2, 1 }, { 0, 2, 10 }, { 0.5, 1.5 }, { 0.5, 10 } },
        // h = [1, 2], d = [2, -0.5]: M[1] = 6 (d2 - d1) / (2 (h0 + h1)) = -2.5, M[0] = M[2] = 0.
        { "spline", { 0, 1, 3 }, { 0, 2, 1 }, { 0, 0.5, 1, 2, 3 }, { 0, 1.15625, 2, 2.125, 1 } },
        { "spline", { 0, 1, 3 }, { 5, 2, 1 }, { -0.001, 0, 3.001, notANumber }, { 0, 5, 0, 0 } },
        { "spline", { 0, 1, 2, 4, 5 }, { 1, 3, 5, 9, 11 }, { 0.5, 1, 3, 4.5, 5 }, { 2, 3, 7, 10, 11 } },
        { "spline", { 10, 20 }, { 1, -1 }, { 10, 12.5, 20 }, { 1, 0.5, -1 } },
        { "spline", { 4 }, { 7 }, { 4, 5 }, { 7, 0 } },
        { "Spline", { 0, 1 }, { 1, 2 }, { 0.5, 0.7 }, { 0 } },
    };

    for (const auto& c : cases)
    {
        const auto result = interp1 (row (c.x), row (c.y), row (c.xi), c.method);
        ASSERT_EQ (result.data.size(), c.expected.size()) << c.method << " " << c.x.size();
        for (std::size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_NEAR (result.data[k], c.expected[k], 1e-13) << c.method << " through " << c.x.size() << " points at " << c.xi[k];
    }
}

TEST (Interp1, SplineThroughManyUnevenKnotsFollowsASmoothCurve)
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

    const auto queries = linspace (3.14, 10001);
    const auto result = interp1 (row (knots), row (values), queries, "spline");
    ASSERT_EQ (result.cols, queries.cols);
    for (std::size_t k = 0; k < queries.data.size(); ++k)
        ASSERT_NEAR (result.data[k], std::sin (queries.data[k]), 1e-8) << queries.data[k];
}
