#include "numerics/Matrix.h"
#include "numerics/VectorMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <random>

namespace
{
using Complex = std::complex<double>;
using RealMatrix = Matrix<double>;
using ComplexMatrix = Matrix<Complex>;

const double pi = std::acos (-1.0);
const double inf = std::numeric_limits<double>::infinity();

RealMatrix row (std::vector<double> values)
{
    const auto n = values.size();
    return RealMatrix (1, n, std::move (values));
}

ComplexMatrix spectrumOf (std::vector<double> impulseResponse, std::size_t n)
{
    return fft (ComplexMatrix (row (std::move (impulseResponse))), n);
}
} // namespace

//==============================================================================
TEST (Polyval, EvaluatesHighestPowerFirst)
{
    const auto y = polyval (row ({ 1, 2, 3 }), ComplexMatrix (2, 1, { { 2.0, 0.0 }, { 0.0, 1.0 } }));
    EXPECT_EQ (y.rows, 2u);
    EXPECT_EQ (y.cols, 1u);
    EXPECT_EQ (y.data[0], Complex (11.0, 0.0));
    EXPECT_EQ (y.data[1], Complex (2.0, 2.0));    // j^2 + 2j + 3

    const auto constant = polyval (row ({ 5 }), ComplexMatrix (1, 3, { { 1.0, 1.0 }, { -7.0, 0.0 }, { inf, inf } }));
    for (const auto& value : constant.data)
        EXPECT_EQ (value, Complex (5.0, 0.0));

    // The products recover infinities.
    EXPECT_EQ (polyval (row ({ 1, 0 }), ComplexMatrix (1, 1, { { inf, inf } })).data[0], Complex (inf, inf));
}

TEST (Polyval, MatrixCoefficientsAreRejectedWithAMessageAlsoThroughFreqz)
{
    testing::internal::CaptureStderr();
    const auto y = polyval (RealMatrix (2, 2, { 1, 2, 3, 4 }), ComplexMatrix (1, 4));
    EXPECT_EQ (testing::internal::GetCapturedStderr(), "polyval: first argument must be a vector\n");
    EXPECT_TRUE (y.rows == 1u && y.cols == 1u);
    EXPECT_EQ (y.data[0], Complex());

    testing::internal::CaptureStderr();
    const auto response = freqz (RealMatrix (2, 2, { 1, 0, 0, 0 }), RealMatrix (3, 1, { 1, 0, 0 }), linspace (1.0, 4), 8.0);
    EXPECT_EQ (testing::internal::GetCapturedStderr(), "polyval: first argument must be a vector\n");
    EXPECT_EQ (response.data.size(), 1u);
}

//==============================================================================
TEST (Freqz, TrivialSections)
{
    const auto f = linspace (24000.0, 5);
    const auto flat = freqz (RealMatrix (3, 1, { 1, 0, 0 }), RealMatrix (3, 1, { 1, 0, 0 }), f, 48000.0);
    EXPECT_EQ (flat.cols, 5u);
    for (const auto& value : flat.data)
        EXPECT_EQ (value, Complex (1.0, 0.0));

    const auto average = freqz (RealMatrix (3, 1, { 1, 1, 0 }), RealMatrix (3, 1, { 1, 0, 0 }), f, 48000.0);
    EXPECT_EQ (average.data[0], Complex (2.0, 0.0));
    EXPECT_NEAR (std::abs (average.data[4]), 0.0, 1e-15);
    EXPECT_NEAR (std::abs (average.data[2]), std::sqrt (2.0), 1e-15);
}

TEST (Freqz, EqualsPolynomialsOnTheUnitCircle)
{
    // The section's response is B(z) / A(z) with z = e^(j 2 pi f / fs), coefficient by coefficient.
    const RealMatrix b (3, 1, { 0.3, -0.2, 0.9 });
    const RealMatrix a (3, 1, { 1.1, -0.5, 0.25 });
    const auto f = linspace (22050.0, 1001);
    const double fs = 44100.0;

    const auto z = exp (timesJ (f * 6.283185307179586 / fs));
    const auto composed = polyval (b, z) / polyval (a, z);
    const auto response = freqz (b, a, f, fs);

    // The array exponential may differ from the scalar one in the last places.
    ASSERT_EQ (response.data.size(), composed.data.size());
    for (std::size_t k = 0; k < response.data.size(); ++k)
        ASSERT_NEAR (std::abs (response.data[k] - composed.data[k]), 0.0, 1e-14 * std::abs (composed.data[k])) << k;

    const auto w = 2.0 * pi * f.data[123] / fs;
    const Complex zInverse = std::polar (1.0, -w);
    const auto expected = (0.3 + (-0.2 + 0.9 * zInverse) * zInverse) / (1.1 + (-0.5 + 0.25 * zInverse) * zInverse);
    EXPECT_NEAR (std::abs (response.data[123] - expected), 0.0, 1e-14);
}

//==============================================================================
TEST (Unwrap, RemovesJumpsLargerThanPi)
{
    const auto y = unwrap (row ({ 3.0, -3.0 }));
    EXPECT_EQ (y.data[0], 3.0);
    EXPECT_DOUBLE_EQ (y.data[1], 3.2831853071795862);

    const auto exactlyPi = unwrap (row ({ 0.0, 3.1415926535897931 }));
    EXPECT_EQ (exactlyPi.data, (std::vector<double> { 0.0, 3.1415926535897931 }));

    const auto column = unwrap (RealMatrix (2, 1, { -3.0, 3.0 }));
    EXPECT_EQ (column.rows, 2u);
    EXPECT_DOUBLE_EQ (column.data[1], 3.0 - 2.0 * pi);
}

TEST (Unwrap, RestoresAWrappedRamp)
{
    std::vector<double> wrapped, ramp;
    for (int k = 0; k < 2000; ++k)
    {
        ramp.push_back (-0.37 * k + 1.0);
        wrapped.push_back (std::remainder (ramp.back(), 2.0 * pi));
    }

    const auto y = unwrap (row (wrapped));
    for (std::size_t k = 0; k < ramp.size(); ++k)
        ASSERT_NEAR (y.data[k] - y.data[0], ramp[k] - ramp[0], 1e-9) << k;
}

TEST (Unwrap, SingleSampleIsReturnedWithAMessage)
{
    testing::internal::CaptureStderr();
    const auto y = unwrap (row ({ 42.0 }));
    EXPECT_EQ (testing::internal::GetCapturedStderr(), "diff(): X has to be a vector or a matrix\n");
    EXPECT_EQ (y.data, (std::vector<double> { 42.0 }));
}

TEST (Unwrap, HugeAndNonFiniteStepsStayDefined)
{
    // Steps far beyond the range of a 32-bit turn count still follow the rounding rule.
    const auto y = unwrap (row ({ 0.0, 1e12 * 2.0 * pi + 4.0, -1e300, inf }));
    EXPECT_NEAR (y.data[1], 4.0 - 2.0 * pi, 1e-2);
    EXPECT_FALSE (std::isnan (y.data[2]));
    EXPECT_TRUE (std::isnan (y.data[3]));
}

//==============================================================================
TEST (ShiftSamples, DelaysAndAdvancesWithoutWrapping)
{
    const auto x = row ({ 1, 2, 3, 4 });
    EXPECT_EQ (shiftSamples (x, 1).data, (std::vector<double> { 0, 1, 2, 3 }));
    EXPECT_EQ (shiftSamples (x, -1).data, (std::vector<double> { 2, 3, 4, 0 }));
    EXPECT_EQ (shiftSamples (x, 4).data, (std::vector<double> { 0, 0, 0, 0 }));
    EXPECT_EQ (shiftSamples (x, -7).data, (std::vector<double> { 0, 0, 0, 0 }));
    EXPECT_EQ (shiftSamples (x, 0).data, x.data);
    EXPECT_EQ (shiftSamples (x, std::numeric_limits<std::int32_t>::min()).data, (std::vector<double> { 0, 0, 0, 0 }));
    EXPECT_EQ (shiftSamples (x, std::numeric_limits<std::int32_t>::max()).data, (std::vector<double> { 0, 0, 0, 0 }));

    // A shifted column comes back as a row; an unshifted one keeps its dimensions.
    const RealMatrix column (3, 1, { 1, 2, 3 });
    const auto shifted = shiftSamples (column, 1);
    EXPECT_TRUE (shifted.rows == 1u && shifted.cols == 3u);
    EXPECT_EQ (shifted.data, (std::vector<double> { 0, 1, 2 }));
    EXPECT_EQ (shiftSamples (column, 0).rows, 3u);
}

//==============================================================================
TEST (MinimumPhase, ReflectsZerosIntoTheUnitCircle)
{
    // 1 - 2 z^-1 + 4 z^-2 has its zeros at radius 2; reflected to radius 1/2 they give the time
    // reverse 4 - 2 z^-1 + z^-2, which has the same magnitude response.
    const std::size_t n = 1024;
    const auto result = minimumPhase (spectrumOf ({ 1.0, -2.0, 4.0 }, n));
    ASSERT_EQ (result.cols, n);

    const auto impulseResponse = ifft (result, n) / static_cast<double> (n);
    const std::vector<double> expected { 4.0, -2.0, 1.0 };
    for (std::size_t k = 0; k < n; ++k)
    {
        const double want = k < expected.size() ? expected[k] : 0.0;
        ASSERT_NEAR (impulseResponse.data[k].real(), want, 1e-5) << k;
        ASSERT_NEAR (impulseResponse.data[k].imag(), 0.0, 1e-5) << k;
    }
}

TEST (MinimumPhase, KeepsTheMagnitudeAndGivesACausalResponse)
{
    std::mt19937_64 random (11);
    std::normal_distribution<double> value (0.0, 1.0);
    const std::size_t n = 4096;
    std::vector<double> h (256);
    for (std::size_t k = 0; k < h.size(); ++k)
        h[k] = value (random) * std::exp (-0.02 * static_cast<double> (k));
    h[0] = 30.0;    // keeps the response positive at 0 Hz and fs/2, where its phase is not wrapped

    const auto H = spectrumOf (h, n);
    const auto result = minimumPhase (H);

    double largest = 0.0;
    for (const auto& bin : H.data)
        largest = std::max (largest, std::abs (bin));

    for (std::size_t k = 0; k < n; ++k)
    {
        if (std::abs (H.data[k]) > 1e-5 * largest)
        {
            ASSERT_NEAR (std::abs (result.data[k]) / std::abs (H.data[k]), 1.0, 1e-5) << k;
        }
    }

    // A minimum-phase response has its energy up front: the second half holds next to nothing.
    const auto response = ifft (result, n);
    double early = 0.0, late = 0.0;
    for (std::size_t k = 0; k < n; ++k)
        (k < n / 2 ? early : late) += std::norm (response.data[k]);
    EXPECT_LT (late, 1e-8 * early);
}

TEST (MinimumPhase, RaisesDeepBinsToTheFloorWithZeroPhase)
{
    // Largest magnitude 2: bins below 2e-5 become exactly 2e-5 before the logarithm.
    const std::size_t n = 8;
    ComplexMatrix H (1, n, { { 2.0, 0.0 }, { 1.0, 1.0 }, { 0.0, 1e-9 }, { 1.0, 0.0 }, { 0.5, 0.0 }, { 1.0, 0.0 }, { 0.0, -1e-9 }, { 1.0, -1.0 } });
    const auto result = minimumPhase (H);

    EXPECT_NEAR (std::abs (result.data[2]), 2e-5, 2e-5 * 1e-5);
    EXPECT_NEAR (std::abs (result.data[6]), 2e-5, 2e-5 * 1e-5);
    EXPECT_NEAR (std::abs (result.data[0]), 2.0, 2.0 * 1e-5);
    EXPECT_NEAR (std::abs (result.data[4]), 0.5, 0.5 * 1e-5);
}

TEST (MinimumPhase, OddLengthFoldsTheConjugateOfTheMirroredHalf)
{
    // log H = [1, 2, 3]. The transforms of length 3 work on 2 points and pass element 2 through:
    // c = [3, -1, 3] / 3, folded c' = [1, -1/3 + 1, 0], fft (c') = [5/3, 1/3, 0].
    const auto result = minimumPhase (ComplexMatrix (1, 3, { { std::exp (1.0), 0.0 }, { std::exp (2.0), 0.0 }, { std::exp (3.0), 0.0 } }));
    ASSERT_EQ (result.cols, 3u);
    EXPECT_NEAR (result.data[0].real(), std::exp (5.0 / 3.0), 1e-5);
    EXPECT_NEAR (result.data[1].real(), std::exp (1.0 / 3.0), 1e-5);
    EXPECT_NEAR (result.data[2].real(), 1.0, 1e-6);
    for (const auto& bin : result.data)
        EXPECT_NEAR (bin.imag(), 0.0, 1e-6);
}

TEST (MinimumPhase, ShortAndDegenerateSpectra)
{
    // Two bins are not folded: the spectrum comes back as it was.
    const auto two = minimumPhase (ComplexMatrix (1, 2, { { 4.0, 0.0 }, { 1.0, 0.0 } }));
    EXPECT_NEAR (two.data[0].real(), 4.0, 1e-5);
    EXPECT_NEAR (two.data[1].real(), 1.0, 1e-5);

    // An all-zero spectrum has no floor; it gives a full-length result without failing.
    const auto zeros = minimumPhase (ComplexMatrix (1, 16));
    EXPECT_EQ (zeros.cols, 16u);
}

TEST (MinimumPhase, ConjugateSymmetricSpectraGiveTheBitsOfTheFullComputation)
{
    // Only half of a real signal's spectrum is put through the logarithm; the result must still be
    // exactly that of the textbook steps on every bin, with or without bins at the floor.
    auto reference = [] (const ComplexMatrix& H)
    {
        const auto n = H.length();
        std::vector<double> re (n), im (n), magnitude (n), phase (n);
        for (std::size_t k = 0; k < n; ++k)
            re[k] = H.data[k].real(), im[k] = H.data[k].imag();
        vectorMath::hypot (re.data(), im.data(), magnitude.data(), n);
        const double limit = *std::max_element (magnitude.begin(), magnitude.end()) * std::pow (10.0, -5.0);
        for (std::size_t k = 0; k < n; ++k)
            if (magnitude[k] < limit)
                re[k] = magnitude[k] = limit, im[k] = 0.0;
        vectorMath::log (magnitude.data(), magnitude.data(), n);
        vectorMath::atan2 (im.data(), re.data(), phase.data(), n);
        ComplexMatrix logarithm (1, n);
        for (std::size_t k = 0; k < n; ++k)
            logarithm.data[k] = { magnitude[k], phase[k] };
        auto c = ifft (logarithm, n) / static_cast<double> (n);
        for (std::size_t k = 1; k < n / 2; ++k)
            c.data[k] += std::conj (c.data[n - k]);
        c.data[n / 2] = std::conj (c.data[n / 2]);
        std::fill (c.data.begin() + static_cast<std::ptrdiff_t> (n / 2 + 1), c.data.end(), Complex());
        return exp (fft (c, n));
    };

    std::mt19937_64 random (5);
    std::normal_distribution<double> value (0.0, 1.0);

    for (std::size_t n : { 4u, 64u, 4096u })
    {
        for (bool symmetric : { true, false })
        {
            ComplexMatrix H (1, n);
            for (auto& bin : H.data)
                bin = { value (random), value (random) };
            H.data[1] = { 1e-12, -0.0 };    // below the floor
            if (symmetric)
            {
                H.data[0].imag (0.0);
                H.data[n / 2] = { -value (random) * value (random), 0.0 };
                for (std::size_t k = 1; k < n / 2; ++k)
                    H.data[n - k] = std::conj (H.data[k]);
            }

            const auto ours = minimumPhase (H), expected = reference (H);
            ASSERT_EQ (ours.length(), n);
            EXPECT_EQ (std::memcmp (ours.data.data(), expected.data.data(), n * sizeof (Complex)), 0) << "n " << n << (symmetric ? ", symmetric" : "");
        }
    }
}
