#include "numerics/VectorMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

namespace
{
const double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();

// The vector routines promise 4 units in the last place.
constexpr double ulps = 4.0 * std::numeric_limits<double>::epsilon();

::testing::AssertionResult close (double got, double want)
{
    if (std::isnan (want) ? std::isnan (got) : (got == want || std::fabs (got - want) <= ulps * std::fabs (want)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " vs " << want;
}

/** Random values plus zeros, infinities, NaN and awkward magnitudes, in a length that is not a
    multiple of the vector width. */
std::vector<double> testValues (double spread)
{
    std::mt19937_64 random (42);
    std::uniform_real_distribution<double> value (-spread, spread);
    std::vector<double> x { 0.0, -0.0, inf, -inf, notANumber, 1e-310, -1e300, 1.0, -1.0 };
    while (x.size() < 1003)
        x.push_back (value (random));
    return x;
}

void checkUnary (void (*batch) (const double*, double*, std::size_t), const std::function<double (double)>& reference,
                 double spread)
{
    const auto x = testValues (spread);
    std::vector<double> out (x.size());
    batch (x.data(), out.data(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k)
        ASSERT_TRUE (close (out[k], reference (x[k]))) << "at " << x[k];

    // In place, and for every short tail length.
    for (std::size_t n = 1; n <= 7; ++n)
    {
        std::vector<double> y (x.begin() + 20, x.begin() + 20 + static_cast<std::ptrdiff_t> (n));
        batch (y.data(), y.data(), n);
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_TRUE (close (y[k], reference (x[20 + k]))) << "tail " << n;
    }
}
} // namespace

TEST (VectorMath, UnaryFunctionsMatchTheScalarOnes)
{
    checkUnary (vectorMath::exp, [] (double v) { return std::exp (v); }, 700.0);
    checkUnary (vectorMath::log, [] (double v) { return std::log (v); }, 1e6);
    checkUnary (vectorMath::log10, [] (double v) { return std::log10 (v); }, 1e6);
}

TEST (VectorMath, PowerWithAFixedBase)
{
    const auto x = testValues (300.0);
    std::vector<double> out (x.size());
    vectorMath::pow (10.0, x.data(), out.data(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k)
        ASSERT_TRUE (close (out[k], std::pow (10.0, x[k]))) << x[k];
}

TEST (VectorMath, BinaryFunctionsMatchTheScalarOnes)
{
    const auto x = testValues (1e3);
    auto y = testValues (1e3);
    std::reverse (y.begin(), y.end());
    std::vector<double> angle (x.size()), length (x.size());

    vectorMath::atan2 (y.data(), x.data(), angle.data(), x.size());
    vectorMath::hypot (x.data(), y.data(), length.data(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k)
    {
        ASSERT_TRUE (close (angle[k], std::atan2 (y[k], x[k]))) << y[k] << ", " << x[k];
        ASSERT_TRUE (close (length[k], std::hypot (x[k], y[k]))) << x[k] << ", " << y[k];
    }

    // Signs of zero decide the half turn.
    const double zeros[] { 0.0, -0.0, 0.0, -0.0 };
    const double negatives[] { -1.0, -1.0, 1.0, 1.0 };
    double result[4];
    vectorMath::atan2 (zeros, negatives, result, 4);
    EXPECT_EQ (result[0], std::atan2 (0.0, -1.0));
    EXPECT_EQ (result[1], std::atan2 (-0.0, -1.0));
    EXPECT_TRUE (std::signbit (result[3]));
}

TEST (VectorMath, SineAndCosine)
{
    const auto x = testValues (1e4);
    std::vector<double> s (x.size()), c (x.size());
    vectorMath::sinCos (x.data(), s.data(), c.data(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k)
    {
        // Near their zeros the results are compared in absolute terms.
        ASSERT_EQ (std::isnan (s[k]), std::isnan (std::sin (x[k]))) << x[k];
        ASSERT_EQ (std::isnan (c[k]), std::isnan (std::cos (x[k]))) << x[k];
        if (std::isfinite (x[k]))
        {
            ASSERT_NEAR (s[k], std::sin (x[k]), ulps) << x[k];
            ASSERT_NEAR (c[k], std::cos (x[k]), ulps) << x[k];
        }
    }
}

TEST (VectorMath, PrecisionConversionsRoundAsACastDoes)
{
    // Over every tail length of the four-wide loop, in both directions.
    const auto x = testValues (1e40);
    for (std::size_t n : { x.size(), std::size_t (1), std::size_t (3), std::size_t (6) })
    {
        std::vector<float> narrow (n);
        std::vector<double> wide (n);
        vectorMath::toFloat (x.data(), narrow.data(), n);
        vectorMath::toDouble (narrow.data(), wide.data(), n);
        for (std::size_t k = 0; k < n; ++k)
        {
            const auto expected = static_cast<float> (x[k]);
            ASSERT_TRUE (std::memcmp (&narrow[k], &expected, sizeof (float)) == 0 || (std::isnan (expected) && std::isnan (narrow[k]))) << x[k];
            ASSERT_TRUE (wide[k] == static_cast<double> (expected) || std::isnan (expected)) << x[k];
        }
    }

    // The largest magnitude comes back from any lane of the four-wide loop or its tail; NaN is left out.
    for (std::size_t at = 0; at < 7; ++at)
    {
        double y[] { 1.0, -2.0, notANumber, 0.5, -0.25, 3.0, 1.5 };
        y[at] = -7.0;
        float narrow[7];
        EXPECT_EQ (vectorMath::toFloat (y, narrow, 7), 7.0) << at;
    }
}
