#include "numerics/Matrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
using Complex = std::complex<double>;
using ComplexMatrix = Matrix<Complex>;

// Single-precision transforms: input rounding and log2 (n) butterfly stages of float arithmetic.
constexpr double singlePrecisionTolerance = 1e-6;

ComplexMatrix randomSignal (std::size_t n, std::mt19937_64& random)
{
    std::normal_distribution<double> value (0.0, 1.0);
    ComplexMatrix x (1, n);
    for (auto& element : x.data)
        element = { value (random), value (random) };
    return x;
}

/** Direct evaluation of sum x[k] e^(sign j 2 pi k m / n), in double precision. */
std::vector<Complex> directTransform (const std::vector<Complex>& x, double sign)
{
    const auto n = x.size();
    std::vector<Complex> twiddle (n);
    for (std::size_t k = 0; k < n; ++k)
        twiddle[k] = std::polar (1.0, sign * 2.0 * std::acos (-1.0) * static_cast<double> (k) / static_cast<double> (n));

    std::vector<Complex> result (n);
    for (std::size_t m = 0; m < n; ++m)
    {
        Complex sum;
        for (std::size_t k = 0; k < n; ++k)
            sum += x[k] * twiddle[(k * m) % n];
        result[m] = sum;
    }
    return result;
}

/** ||a - b|| / ||b|| over the first count elements. */
double relativeError (const std::vector<Complex>& a, const std::vector<Complex>& b, std::size_t count)
{
    double difference = 0.0, reference = 0.0;
    for (std::size_t k = 0; k < count; ++k)
    {
        difference += std::norm (a[k] - b[k]);
        reference += std::norm (b[k]);
    }
    return std::sqrt (difference / reference);
}

/** x with both parts rounded to single precision. The parts pass through volatile floats: GCC 12 at
    -O2 and above folds the float round trip inside a std::complex construction away. */
Complex roundedToFloat (Complex x)
{
    const volatile float re = static_cast<float> (x.real());
    const volatile float im = static_cast<float> (x.imag());
    return { re, im };
}

Matrix<double> realRow (std::vector<double> values)
{
    const auto n = values.size();
    return Matrix<double> (1, n, std::move (values));
}
} // namespace

//==============================================================================
TEST (Fft, InputIsZeroPaddedOrCutToTheLength)
{
    const ComplexMatrix x (1, 3, { { 1.0, 0.0 }, { 2.0, 0.0 }, { 3.0, 0.0 } });

    const auto padded = fft (x, 8);
    ASSERT_EQ (padded.cols, 8u);
    const auto reference = directTransform ({ 1.0, 2.0, 3.0, 0.0, 0.0, 0.0, 0.0, 0.0 }, -1.0);
    EXPECT_LT (relativeError (padded.data, reference, 8), singlePrecisionTolerance);

    const auto cut = fft (x, 2);
    ASSERT_EQ (cut.cols, 2u);
    EXPECT_EQ (cut.data[0], Complex (3.0, 0.0));
    EXPECT_EQ (cut.data[1], Complex (-1.0, 0.0));
}

TEST (Fft, LengthsThatAreNotPowersOfTwoPassTheTailThrough)
{
    std::mt19937_64 random (6);
    for (std::size_t n : { 3u, 6u, 100u, 1000u, 6000u })
    {
        const auto x = randomSignal (n, random);
        std::size_t points = 1;
        while (points * 2 <= n)
            points *= 2;

        for (int sign : { -1, 1 })
        {
            const auto result = sign < 0 ? fft (x, n) : ifft (x, n);
            ASSERT_EQ (result.cols, n);

            const std::vector<Complex> head (x.data.begin(), x.data.begin() + static_cast<std::ptrdiff_t> (points));
            EXPECT_LT (relativeError (result.data, directTransform (head, sign), points), singlePrecisionTolerance) << n;

            for (std::size_t k = points; k < n; ++k)
                ASSERT_EQ (result.data[k], roundedToFloat (x.data[k])) << "n " << n << ", element " << k;
        }
    }
}

TEST (Fft, MatchesADirectTransformForManySizes)
{
    std::mt19937_64 random (1234);
    for (std::size_t n = 1; n <= 2048; n *= 2)
    {
        for (int trial = 0; trial < 3; ++trial)
        {
            const auto x = randomSignal (n, random);
            EXPECT_LT (relativeError (fft (x, n).data, directTransform (x.data, -1.0), n), singlePrecisionTolerance) << n;
            EXPECT_LT (relativeError (ifft (x, n).data, directTransform (x.data, 1.0), n), singlePrecisionTolerance) << n;
        }
    }
}

TEST (Fft, InverseOfForwardGivesNTimesTheInput)
{
    std::mt19937_64 random (99);
    for (std::size_t n : { 4096u, 65536u, 1u << 17 })
    {
        const auto x = randomSignal (n, random);
        const auto roundTrip = ifft (fft (x, n), n) / static_cast<double> (n);
        EXPECT_LT (relativeError (roundTrip.data, x.data, n), singlePrecisionTolerance) << n;
    }
}

TEST (Fft, InputBeyondSinglePrecisionKeepsItsRange)
{
    // A signal scaled far beyond single precision's range, both ways, transforms into the transform
    // of the signal itself, scaled alike, not into infinities, NaN or zeros.
    std::mt19937_64 random (300);
    for (std::size_t n = 32; n <= 65536; n *= 2)
    {
        const auto x = randomSignal (n, random);
        for (double scale : { 1e300, 1e-300 })
        {
            const auto scaled = x * scale;
            EXPECT_LT (relativeError ((fft (scaled, n) / scale).data, fft (x, n).data, n), singlePrecisionTolerance) << n << ", " << scale;
            EXPECT_LT (relativeError ((ifft (scaled, n) / scale).data, ifft (x, n).data, n), singlePrecisionTolerance) << n << ", " << scale;
        }
    }
}

TEST (Fft, DegenerateArguments)
{
    const auto none = fft (ComplexMatrix (1, 4), 0);
    EXPECT_EQ (none.cols, 1u);
    EXPECT_EQ (none.data[0], Complex());

    const auto single = fft (ComplexMatrix (1, 1, { { 2.5, -1.0 } }), 1);
    EXPECT_EQ (single.data[0], Complex (2.5, -1.0));

    // An inverse transform longer than its input treats the missing bins as zero.
    const auto shortInput = ifft (ComplexMatrix (1, 2, { { 1.0, 0.0 }, { 1.0, 0.0 } }), 4);
    ASSERT_EQ (shortInput.cols, 4u);
    const auto reference = directTransform ({ 1.0, 1.0, 0.0, 0.0 }, 1.0);
    EXPECT_LT (relativeError (shortInput.data, reference, 4), singlePrecisionTolerance);

    // Non-finite input neither crashes nor poisons later transforms.
    const auto infinite = fft (ComplexMatrix (1, 4, { { std::numeric_limits<double>::infinity(), 0.0 } }), 4);
    EXPECT_TRUE (std::isinf (infinite.data[0].real()));
    EXPECT_EQ (fft (ComplexMatrix (1, 4, { { 1.0, 0.0 } }), 4).data[3], Complex (1.0, 0.0));
}

//==============================================================================
TEST (Fftshift, SwapsHalvesOrRotatesKeepingEveryElementAndTheDimensions)
{
    EXPECT_EQ (fftshift (realRow ({ 1, 2, 3, 4 })).data, (std::vector<double> { 3, 4, 1, 2 }));
    EXPECT_EQ (fftshift (realRow ({ 1, 2, 3, 4, 5 })).data, (std::vector<double> { 4, 5, 1, 2, 3 }));
    EXPECT_EQ (fftshift (realRow ({ 7 })).data, (std::vector<double> { 7 }));

    const auto column = fftshift (Matrix<double> (3, 1, { 1, 2, 3 }));
    EXPECT_TRUE (column.rows == 3u && column.cols == 1u);
    EXPECT_EQ (column.data, (std::vector<double> { 3, 1, 2 }));

    // The sample at time zero lands in the centre, floor (n / 2), for every length.
    for (std::size_t n = 1; n <= 9; ++n)
    {
        Matrix<double> impulse (1, n);
        impulse.data[0] = 1.0;
        const auto centred = fftshift (impulse);
        EXPECT_EQ (centred.data[n / 2], 1.0) << n;
        EXPECT_EQ (std::count (centred.data.begin(), centred.data.end(), 1.0), 1) << n;
    }
}

TEST (FftOfRealSignals, GiveTheBitsOfTheGeneralTransforms)
{
    // The real-signal shortcuts must agree exactly with the transforms they replace, rotated or not,
    // for powers of two and for lengths that fall back to the general path.
    std::mt19937_64 random (9);
    std::normal_distribution<double> value (0.0, 1.0);

    for (auto [n, scale] : { std::pair (2u, 1.0), std::pair (8u, 1.0), std::pair (1024u, 1.0), std::pair (6u, 1.0),
                             std::pair (100u, 1.0), std::pair (1024u, 1e300), std::pair (1024u, 1e-300), std::pair (100u, 1e300) })
    {
        Matrix<double> x (1, n);
        for (auto& v : x.data)
            v = value (random) * scale;

        for (bool shifted : { false, true })
        {
            const auto expected = fft (ComplexMatrix (shifted ? fftshift (x) : x), n);
            const auto bins = fftOfReal (x, n, n / 2 + 1, shifted);
            ASSERT_EQ (bins.length(), n / 2 + 1);
            for (std::size_t k = 0; k <= n / 2; ++k)
                ASSERT_EQ (bins.data[k], expected.data[k]) << "n " << n << ", bin " << k << (shifted ? ", shifted" : "");
        }

        const auto spectrum = randomSignal (n, random) * scale;
        const auto inverse = ifft (spectrum, n);
        const auto realPart = ifftRealPart (spectrum, n);
        ASSERT_EQ (realPart.length(), n);
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_EQ (realPart.data[k], inverse.data[k].real() / static_cast<double> (n)) << "n " << n << ", sample " << k;
    }
}
