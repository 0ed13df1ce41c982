#include "numerics/VectorMath.h"

#include "NumericsTestSupport.h"

#include <cstdint>
#include <cstring>

using namespace numericstest;

//==============================================================================
TEST (Polyval, EvaluatesHighestPowerFirstWithInfinityRecoveryAndRefusesAMatrix)
{
    const struct { std::vector<double> p; Complex z, expected; } cases[] {
        { { 1, 2, 3 }, { 2, 0 }, { 11, 0 } }, { { 1, 2, 3 }, { 0, 1 }, { 2, 2 } }, { { 1, 0, 0, 2 }, { 0, 1 }, { 2, -1 } },
        { { 5 }, { inf, inf }, { 5, 0 } }, { { 1, 0 }, { inf, inf }, { inf, inf } },
    };
    for (const auto& c : cases)
        EXPECT_EQ (polyval (row (c.p), ComplexMatrix (2, 1, { c.z, c.z })).data, std::vector<Complex> (2, c.expected)) << c.z;

    testing::internal::CaptureStderr();
    const auto y = polyval (RealMatrix (2, 2, { 1, 2, 3, 4 }), ComplexMatrix (1, 4));
    EXPECT_EQ (testing::internal::GetCapturedStderr(), "polyval: first argument must be a vector\n");
    EXPECT_TRUE (y.rows == 1u && y.cols == 1u && y.data[0] == Complex());
}

TEST (Freqz, IsTheSectionsTransferFunctionOnTheUnitCircle)
{
    // (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2) with z = e^(j 2 pi f / fs).
    const struct { std::vector<double> b, a; } sections[] {
        { { 0.3, -0.2, 0.9 }, { 1.1, -0.5, 0.25 } }, { { 1, 1, 0 }, { 1, 0, 0 } }, { { 1, 0, 0 }, { 1, 0, 0 } },
    };
    const double fs = 44100.0;
    const auto f = linspace (fs / 2, 1001);    // 0 to fs / 2

    for (const auto& s : sections)
    {
        const auto response = freqz (RealMatrix (3, 1, s.b), RealMatrix (3, 1, s.a), f, fs);
        ASSERT_EQ (response.data.size(), f.data.size());
        for (std::size_t k = 0; k < f.data.size(); ++k)
        {
            const Complex zInverse = std::polar (1.0, -2.0 * pi * f.data[k] / fs);
            const auto expected = (s.b[0] + (s.b[1] + s.b[2] * zInverse) * zInverse) / (s.a[0] + (s.a[1] + s.a[2] * zInverse) * zInverse);
            ASSERT_LT (std::abs (response.data[k] - expected), 1e-14 * std::max (1.0, std::abs (expected))) << s.b[0] << ", bin " << k;
        }
    }
}

//==============================================================================
TEST (Unwrap, RemovesJumpsLargerThanPiOnly)
{
    for (double slope : { -0.37, 0.37 })
    {
        std::vector<double> wrapped;
        for (int k = 0; k < 2000; ++k)
            wrapped.push_back (std::remainder (slope * k + 1.0, 2.0 * pi));
        const auto y = unwrap (row (wrapped));
        for (std::size_t k = 0; k < wrapped.size(); ++k)
            ASSERT_NEAR (y.data[k] - y.data[0], slope * static_cast<double> (k), 1e-9) << slope << ", sample " << k;
    }

    EXPECT_EQ (unwrap (row ({ 0.0, 3.1415926535897931 })).data, (std::vector<double> { 0.0, 3.1415926535897931 }));

    // Steps far beyond the range of a 32-bit turn count still follow the rounding rule.
    const auto y = unwrap (row ({ 0.0, 1e12 * 2.0 * pi + 4.0, -1e300, inf }));
    EXPECT_NEAR (y.data[1], 4.0 - 2.0 * pi, 1e-2);
    EXPECT_TRUE (! std::isnan (y.data[2]) && std::isnan (y.data[3]));

    // A single sample is no vector to take differences of.
    testing::internal::CaptureStderr();
    EXPECT_EQ (unwrap (row ({ 42.0 })).data, (std::vector<double> { 42.0 }));
    EXPECT_EQ (testing::internal::GetCapturedStderr(), "diff(): X has to be a vector or a matrix\n");
}

//==============================================================================
TEST (ShiftSamples, DelaysAndAdvancesWithoutWrapping)
{
    const std::vector<double> zeros (4, 0.0);
    const struct { std::int32_t k; std::vector<double> expected; } cases[] { { 1, { 0, 1, 2, 3 } }, { -1, { 2, 3, 4, 0 } }, { 0, { 1, 2, 3, 4 } },
        { 4, zeros }, { -7, zeros }, { std::numeric_limits<std::int32_t>::min(), zeros }, { std::numeric_limits<std::int32_t>::max(), zeros } };
    for (const auto& c : cases)
        EXPECT_EQ (shiftSamples (row ({ 1, 2, 3, 4 }), c.k).data, c.expected) << c.k;
}

//==============================================================================
TEST (MinimumPhase, ReflectsZerosIntoTheUnitCircle)
{
    // 1 - 2 z^-1 + 4 z^-2 has its zeros at radius 2; reflected to radius 1/2 they give the time
    // reverse 4 - 2 z^-1 + z^-2, which has the same magnitude response.
    const std::size_t n = 1024;
    const auto result = minimumPhase (fft (ComplexMatrix (row ({ 1.0, -2.0, 4.0 })), n));
    ASSERT_EQ (result.cols, n);

    const auto impulseResponse = ifft (result, n) / static_cast<double> (n);
    const std::vector<double> expected { 4.0, -2.0, 1.0 };
    for (std::size_t k = 0; k < n; ++k)
        ASSERT_LT (std::abs (impulseResponse.data[k] - (k < expected.size() ? expected[k] : 0.0)), 1e-5) << k;
}

TEST (MinimumPhase, GivesTheBitsOfTheTextbookStepsWithAndWithoutConjugateSymmetry)
{
    // Only half of a real signal's spectrum is put through the logarithm; the result must still be
    // exactly that of the textbook steps on every bin: bins below 10^-5 of the largest magnitude
    // raised to it with zero phase, the cepstrum folded onto its causal half (for an odd length
    // c'[k] = c[k] + conj (c[n - k]) up to k = (n - 1) / 2; fewer than three bins are not folded).
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
        for (std::size_t k = 1; k < n - k; ++k)
            c.data[k] += std::conj (c.data[n - k]), c.data[n - k] = 0.0;
        if (n >= 4 && n % 2 == 0)
            c.data[n / 2] = std::conj (c.data[n / 2]);
        return exp (fft (c, n));
    };

    std::mt19937_64 random (5);
    for (std::size_t n : { 2u, 3u, 4u, 5u, 6u, 64u, 4096u })
    {
        for (bool symmetric : { true, false })
        {
            auto H = randomSignal (n, random);
            H.data[1] = { 1e-12, -0.0 };    // below the floor
            if (symmetric)
            {
                H.data[0].imag (0.0), H.data[n / 2].imag (0.0);
                for (std::size_t k = 1; k < n - k; ++k)
                    H.data[n - k] = std::conj (H.data[k]);
            }

            const auto ours = minimumPhase (H), expected = reference (H);
            ASSERT_EQ (ours.length(), n);
            EXPECT_EQ (std::memcmp (ours.data.data(), expected.data.data(), n * sizeof (Complex)), 0) << "n " << n << (symmetric ? ", symmetric" : "");
        }
    }

    // An all-zero spectrum has no floor; it gives a full-length result without failing.
    EXPECT_EQ (minimumPhase (ComplexMatrix (1, 16)).cols, 16u);
}
