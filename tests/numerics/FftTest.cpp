#include "NumericsTestSupport.h"

using namespace numericstest;

namespace
{
// Single-precision transforms: input rounding and log2 (n) butterfly stages of float arithmetic.
constexpr double singlePrecisionTolerance = 1e-6;

// What a transform of length n must give, in double precision: the direct evaluation of
// sum x[k] e^(sign j 2 pi k m / p) over the first p = 2^floor (log2 n) elements (zero past the end of
// x), followed by the elements from p on passed through in single precision. Those parts pass through
// volatile floats: GCC 12 at -O2 and above folds a float round trip in a std::complex construction away.
std::vector<Complex> directTransform (const std::vector<Complex>& x, std::size_t n, double sign)
{
    const std::size_t p = std::size_t (1) << std::ilogb (static_cast<double> (n));
    auto at = [&x] (std::size_t k) { return k < x.size() ? x[k] : Complex(); };
    std::vector<Complex> twiddle (p), result (n);
    for (std::size_t k = 0; k < p; ++k)
        twiddle[k] = std::polar (1.0, sign * 2.0 * pi * static_cast<double> (k) / static_cast<double> (p));
    for (std::size_t m = 0; m < p; ++m)
        for (std::size_t k = 0; k < p; ++k)
            result[m] += at (k) * twiddle[(k * m) % p];

    for (std::size_t k = p; k < n; ++k)
    {
        const volatile float re = static_cast<float> (at (k).real()), im = static_cast<float> (at (k).imag());
        result[k] = { re, im };
    }
    return result;
}

// ||a - b|| / ||b|| over the first count elements.
double relativeError (const std::vector<Complex>& a, const std::vector<Complex>& b, std::size_t count)
{
    double difference = 0.0, reference = 0.0;
    for (std::size_t k = 0; k < count; ++k)
        difference += std::norm (a[k] - b[k]), reference += std::norm (b[k]);
    return std::sqrt (difference / reference);
}
} // namespace

//==============================================================================
TEST (Fft, MatchesADirectTransformForEveryLengthAndInputSize)
{
    // Inputs shorter than the length are padded with zeros, longer ones cut; lengths that are not
    // powers of two pass their tail through, rounded to single precision but otherwise untouched.
    std::mt19937_64 random (1234);

    for (std::size_t n : { 1u, 2u, 3u, 6u, 8u, 64u, 100u, 1000u, 2048u })
        for (std::size_t inputLength : { n / 2 + 1, n, 2 * n })
            for (double sign : { -1.0, 1.0 })
            {
                const auto x = randomSignal (inputLength, random);
                const auto result = sign < 0 ? fft (x, n) : ifft (x, n);
                const auto expected = directTransform (x.data, n, sign);
                const std::size_t points = std::size_t (1) << std::ilogb (static_cast<double> (n));
                ASSERT_EQ (result.cols, n);
                EXPECT_LT (relativeError (result.data, expected, points), singlePrecisionTolerance) << n << ", input " << inputLength;
                EXPECT_TRUE (std::equal (expected.begin() + static_cast<std::ptrdiff_t> (points), expected.end(),
                                         result.data.begin() + static_cast<std::ptrdiff_t> (points))) << n << ", input " << inputLength;
            }
}

TEST (Fft, LargeZeroLengthAndNonFiniteTransforms)
{
    std::mt19937_64 random (99);
    for (std::size_t n : { 4096u, 65536u, 1u << 17 })
    {
        const auto x = randomSignal (n, random);
        EXPECT_LT (relativeError ((ifft (fft (x, n), n) / static_cast<double> (n)).data, x.data, n), singlePrecisionTolerance) << n;
    }

    EXPECT_EQ (fft (ComplexMatrix (1, 4), 0).data, std::vector<Complex> (1));

    // Non-finite input neither crashes nor poisons later transforms of the same length.
    EXPECT_TRUE (std::isinf (fft (complexRow ({ { inf, 0.0 } }), 4).data[0].real()));
    EXPECT_EQ (fft (complexRow ({ { 1.0, 0.0 } }), 4).data[3], Complex (1.0, 0.0));
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
            EXPECT_LT (relativeError ((fft (x * scale, n) / scale).data, fft (x, n).data, n), singlePrecisionTolerance) << n << ", " << scale;
            EXPECT_LT (relativeError ((ifft (x * scale, n) / scale).data, ifft (x, n).data, n), singlePrecisionTolerance) << n << ", " << scale;
        }
    }
}

//==============================================================================
TEST (Fftshift, RotatesEvenAndOddLengthsKeepingEveryElementAndTheDimensions)
{
    const struct { std::vector<double> x, expected; } cases[] {
        { { 1, 2, 3, 4 }, { 3, 4, 1, 2 } }, { { 1, 2, 3, 4, 5 }, { 4, 5, 1, 2, 3 } }, { { 7 }, { 7 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (fftshift (row (c.x)).data, c.expected);

    const auto column = fftshift (RealMatrix (3, 1, { 1, 2, 3 }));
    EXPECT_TRUE (column.rows == 3u && column.cols == 1u && column.data == (std::vector<double> { 3, 1, 2 }));
}

TEST (FftOfRealSignals, GiveTheBitsOfTheGeneralTransforms)
{
    // The real-signal shortcuts must agree exactly with the transforms they replace, rotated or not,
    // for powers of two and for lengths that fall back to the general path.
    std::mt19937_64 random (9);

    for (auto [n, scale] : { std::pair (2u, 1.0), std::pair (8u, 1.0), std::pair (1024u, 1.0), std::pair (6u, 1.0),
                             std::pair (100u, 1.0), std::pair (1024u, 1e300), std::pair (1024u, 1e-300), std::pair (100u, 1e300) })
    {
        const auto spectrum = randomSignal (n, random) * scale;
        RealMatrix x (1, n);
        for (std::size_t k = 0; k < n; ++k)
            x.data[k] = spectrum.data[k].real();

        for (bool shifted : { false, true })
        {
            const auto all = fft (ComplexMatrix (shifted ? fftshift (x) : x), n).data;
            const std::vector<Complex> expected (all.begin(), all.begin() + static_cast<std::ptrdiff_t> (n / 2 + 1));
            EXPECT_EQ (fftOfReal (x, n, n / 2 + 1, shifted).data, expected) << "n " << n << (shifted ? ", shifted" : "");
        }

        std::vector<double> realParts;
        for (const auto& value : ifft (spectrum, n).data)
            realParts.push_back (value.real() / static_cast<double> (n));
        EXPECT_EQ (ifftRealPart (spectrum, n).data, realParts) << "n " << n;
    }
}
