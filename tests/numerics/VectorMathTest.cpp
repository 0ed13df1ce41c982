#include "numerics/VectorMath.h"

#include "NumericsTestSupport.h"

#include <functional>

using namespace numericstest;

namespace
{
// The vector routines promise 4 units in the last place.
constexpr double ulps = 4.0 * std::numeric_limits<double>::epsilon();

// Within 4 units in the last place of the larger of |want| and scale; NaN for NaN; a zero only for
// a zero of the same sign.
::testing::AssertionResult close (double got, double want, double scale = 0.0)
{
    if (std::isnan (want) ? std::isnan (got) : got == want ? std::signbit (got) == std::signbit (want)
                                                           : std::fabs (got - want) <= ulps * std::fmax (std::fabs (want), scale))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " vs " << want;
}

// Random values plus zeros, infinities, NaN and awkward magnitudes, in a length that is not a
// multiple of the vector width.
std::vector<double> testValues (double spread)
{
    std::mt19937_64 random (42);
    std::uniform_real_distribution<double> value (-spread, spread);
    std::vector<double> x { 0.0, -0.0, inf, -inf, notANumber, 1e-310, -1e300, 1.0, -1.0 };
    while (x.size() < 1003)
        x.push_back (value (random));
    return x;
}

// Compares batch, run in place, with reference over testValues (spread) for tails of 3, 2 and 1
// elements after the four-wide loop, which must leave the elements after them alone; results below
// scale in magnitude are compared in absolute terms.
void checkUnary (const std::function<void (const double*, double*, std::size_t)>& batch, const std::function<double (double)>& reference, double spread, double scale = 0.0)
{
    const auto x = testValues (spread);
    for (std::size_t n : { x.size(), x.size() - 1, x.size() - 2 })
    {
        auto y = x;
        batch (y.data(), y.data(), n);
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_TRUE (close (y[k], reference (x[k]), scale)) << "at " << x[k] << ", length " << n;
        ASSERT_TRUE (std::equal (y.begin() + static_cast<std::ptrdiff_t> (n), y.end(), x.begin() + static_cast<std::ptrdiff_t> (n), samePart));
    }
}
} // namespace

TEST (VectorMath, UnaryFunctionsMatchTheScalarOnes)
{
    checkUnary (vectorMath::exp, [] (double v) { return std::exp (v); }, 700.0);
    checkUnary (vectorMath::log, [] (double v) { return std::log (v); }, 1e6);
    checkUnary (vectorMath::log10, [] (double v) { return std::log10 (v); }, 1e6);
    checkUnary ([] (const double* x, double* out, std::size_t n) { vectorMath::pow (10.0, x, out, n); },
                [] (double v) { return std::pow (10.0, v); }, 300.0);

    // Sine and cosine near their zeros are compared in absolute terms.
    std::vector<double> other (1003);
    checkUnary ([&] (const double* x, double* out, std::size_t n) { vectorMath::sinCos (x, out, other.data(), n); },
                [] (double v) { return std::sin (v); }, 1e4, 1.0);
    checkUnary ([&] (const double* x, double* out, std::size_t n) { vectorMath::sinCos (x, other.data(), out, n); },
                [] (double v) { return std::cos (v); }, 1e4, 1.0);
}

TEST (VectorMath, BinaryFunctionsMatchTheScalarOnes)
{
    // y runs backwards through the same values; the pairs appended last put signed zeros against
    // +-1, where the sign of the zero decides the half turn.
    auto x = testValues (1e3), y = x;
    std::reverse (y.begin(), y.end());
    x.insert (x.end(), { -1.0, -1.0, 1.0, 1.0 });
    y.insert (y.end(), { 0.0, -0.0, 0.0, -0.0 });

    std::vector<double> angle (x.size()), length (x.size());
    vectorMath::atan2 (y.data(), x.data(), angle.data(), x.size());
    vectorMath::hypot (x.data(), y.data(), length.data(), x.size());
    for (std::size_t k = 0; k < x.size(); ++k)
        ASSERT_TRUE (close (angle[k], std::atan2 (y[k], x[k])) && close (length[k], std::hypot (x[k], y[k]))) << y[k] << ", " << x[k];
}

TEST (VectorMath, NarrowingReportsTheLargestMagnitudeOfAnyLane)
{
    // From any lane of the four-wide loop or its tail; NaN is left out.
    for (std::size_t at = 0; at < 7; ++at)
    {
        double y[] { 1.0, -2.0, std::numeric_limits<double>::quiet_NaN(), 0.5, -0.25, 3.0, 1.5 };
        y[at] = -7.0;
        float narrow[7];
        EXPECT_EQ (vectorMath::toFloat (y, narrow, 7), 7.0) << at;
    }
}
