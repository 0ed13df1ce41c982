#include "DesignTestSupport.h"

#include "design/DesignLimits.h"
#include "design/FilterResponse.h"
#include "design/IirDesigners.h"
#include "design/IirFilterType.h"

#include <random>

using namespace designtest;

namespace
{
    const double pi = 3.141592653589793;

    // The library's path for one section: designer, freqz.
    Matrix<Complex> sectionThroughFreqz (std::size_t type, double gain, double f, double q, const Matrix<double>& grid, double fs)
    {
        Matrix<double> b, a;
        EXPECT_TRUE (designIirSection (type, gain, f, q, fs, b, a));
        return freqz (b, a, grid, fs);
    }

    Matrix<std::size_t> types (std::vector<std::size_t> values)
    {
        const auto n = values.size();
        return Matrix<std::size_t> (1, n, std::move (values));
    }
}

TEST (UserPointsResponse, NoPointsIsUnity)
{
    const auto grid = linspace (24000.0, 65);
    const auto F = calculateUserPointsResponse (row ({ 100.0 }), row ({ -12.0 }), row ({ 45.0 }), 0, grid);

    ASSERT_EQ (F.length(), 65u);
    for (auto v : F.data)
        EXPECT_EQ (v, Complex (1.0, 0.0));
}

TEST (UserPointsResponse, OnePointGivesItsGainAndPhaseEverywhere)
{
    const auto grid = linspace (24000.0, 129);
    const auto F = calculateUserPointsResponse (row ({ 1000.0 }), row ({ -6.0 }), row ({ 90.0 }), 1, grid);
    const double g = std::pow (10.0, -6.0 / 20.0);

    for (auto v : F.data)
    {
        EXPECT_NEAR (v.real(), 0.0, 1e-15);
        EXPECT_NEAR (v.imag(), g, 1e-15);
    }
}

TEST (UserPointsResponse, TwoPointsAreLinearInLogFrequencyAndHeldOutside)
{
    const auto grid = row ({ 0.0, 50.0, 99.999, 100.0, std::pow (10.0, 2.5), 500.0, 1000.0, 1000.001, 20000.0 });
    const auto F = calculateUserPointsResponse (row ({ 100.0, 1000.0 }), row ({ 0.0, -20.0 }), row ({ 0.0, 90.0 }), 2, grid);

    EXPECT_NEAR (dB (F.data[0]), 0.0, 1e-12);      // 0 Hz takes the first point
    EXPECT_NEAR (dB (F.data[1]), 0.0, 1e-12);
    EXPECT_NEAR (dB (F.data[2]), 0.0, 1e-12);
    EXPECT_NEAR (dB (F.data[3]), 0.0, 1e-12);
    EXPECT_NEAR (dB (F.data[4]), -10.0, 1e-9);
    EXPECT_NEAR (std::arg (F.data[4]) * 180.0 / pi, 45.0, 1e-9);
    EXPECT_NEAR (dB (F.data[5]), -20.0 * std::log10 (5.0), 1e-9);
    EXPECT_NEAR (dB (F.data[6]), -20.0, 1e-12);
    EXPECT_NEAR (dB (F.data[7]), -20.0, 1e-12);
    EXPECT_NEAR (dB (F.data[8]), -20.0, 1e-12);
    EXPECT_NEAR (std::arg (F.data[8]) * 180.0 / pi, 90.0, 1e-9);
}

TEST (UserPointsResponse, PointAtZeroHertzCountsAsMinusFourDecades)
{
    const auto grid = row ({ 0.0, 0.5, 10.0, 100.0 });
    const auto F = calculateUserPointsResponse (row ({ 0.0, 100.0 }), row ({ -10.0, 0.0 }), row ({ 0.0, 0.0 }), 2, grid);

    EXPECT_NEAR (dB (F.data[0]), -10.0, 1e-12);
    for (std::size_t u = 1; u < 4; ++u)
        EXPECT_NEAR (dB (F.data[u]), -10.0 + 10.0 * (std::log10 (grid.data[u]) + 4.0) / 6.0, 1e-9) << grid.data[u];
}

TEST (UserPointsResponse, PointsAtOneFrequencyLeaveTheValueToTheSegmentsBeside)
{
    // Two points at 100 Hz make a segment without width: at 100 Hz the segment below decides, and
    // where no other segment is left the value is 0 dB. The user-defined target curves do the same.
    const auto grid = row ({ 50.0, 100.0, 200.0 });
    const auto F = calculateUserPointsResponse (row ({ 10, 100, 100 }), row ({ 0, 6, -6 }), row ({ 0, 30, 60 }), 3, grid);
    EXPECT_NEAR (dB (F.data[1]), 6.0, 1e-12);
    EXPECT_NEAR (std::arg (F.data[1]) * 180.0 / pi, 30.0, 1e-9);
    EXPECT_NEAR (dB (F.data[2]), -6.0, 1e-12);
    const auto only = calculateUserPointsResponse (row ({ 100, 100 }), row ({ 3, 6 }), row ({ 0, 0 }), 2, grid);
    EXPECT_EQ (only.data[1], Complex (1.0, 0.0));

    TestEngine e;
    e.fs = 6400.0;
    e.NFFT = 128;            // bins 50 Hz apart: bin 2 at 100 Hz
    e.rebuildAxes();
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;
    e.targetData.targetPhase = TargetPhaseType::userDefined;
    e.targetData.userDefinedMagFreq = e.targetData.userDefinedPhiFreq = row ({ 10, 100, 100 });
    e.targetData.userDefinedMag = row ({ 0, 6, -6 });
    e.targetData.userDefinedPhi = row ({ 0, 30, 60 });
    e.calculate (true);
    EXPECT_NEAR (dB (e.targetData.response.data[2]) - e.inputData.refLevel, 6.0, 1e-9);
    EXPECT_NEAR (std::arg (e.targetData.response.data[2]) * 180.0 / pi, 30.0, 1e-9);
}

TEST (UserPointsResponse, CountsBeyondTheArraysReadNothingOutside)
{
    // Inconsistent lengths must neither crash nor read past the shortest array.
    const auto grid = linspace (24000.0, 33);
    const auto F = calculateUserPointsResponse (row ({ 100.0, 1000.0, 5000.0 }), row ({ 0.0, -6.0 }), row ({ 0.0 }), 17, grid);
    EXPECT_EQ (F.length(), 33u);
    EXPECT_TRUE (allFinite (F));
}

TEST (IirCascadeResponse, MatchesFreqzOfEverySectionBitForBit)
{
    // The cascade shares the unit-circle points between sections but must give exactly what the
    // library's freqz and elementwise product give.
    const double fs = 44100.0;
    const auto grid = linspace (fs / 2, 1025);
    std::mt19937 random (7);
    std::uniform_real_distribution<double> frequency (5.0, 21000.0), q (0.1, 10.0), gain (-24.0, 24.0);

    for (int trial = 0; trial < 20; ++trial)
    {
        std::vector<std::size_t> t;
        std::vector<double> g, f, qs;

        for (int i = 0; i < 6; ++i)
        {
            t.push_back (IirFilterType::items[(std::size_t) random() % IirFilterType::numItems].id);
            g.push_back (gain (random));
            f.push_back (frequency (random));
            const bool shelf = t.back() == IirFilterType::lowShelf || t.back() == IirFilterType::highShelf;
            qs.push_back (q (random) / (shelf ? 10.0 : 1.0));    // slopes up to 1 suit every gain
        }

        if (trial == 0)
        {
            // The ends of the valid ranges: near 0 Hz, the smallest Q, the largest gain, and a PEQ
            // close to fs/2, whose bandwidth there makes its coefficients huge.
            f[0] = 0.01;
            qs[1] = DesignLimits::minQ;
            std::tie (t[2], f[2], qs[2]) = std::tuple (IirFilterType::peq, fs / 2 * 0.98, 1.0);
            g[3] = DesignLimits::maxLevelDb;
        }

        for (std::size_t i = 0; i < t.size(); ++i)
            ASSERT_TRUE (DesignLimits::isValidIirSection (t[i], g[i], f[i], qs[i], fs)) << trial << " " << i;

        const auto H = calculateIirCascadeResponse (types (t), row (g), row (f), row (qs), grid, fs);

        Matrix<Complex> expected (1, grid.length(), std::vector<Complex> (grid.length(), Complex (1.0, 0.0)));
        for (std::size_t i = 0; i < t.size(); ++i)
            expected = std::move (expected) * sectionThroughFreqz (t[i], g[i], f[i], qs[i], grid, fs);

        ASSERT_EQ (H.length(), grid.length());
        for (std::size_t u = 0; u < grid.length(); ++u)
            ASSERT_TRUE (sameComplex (H.data[u], expected.data[u])) << "trial " << trial << " bin " << u
                                                                    << ": " << H.data[u] << " vs " << expected.data[u];
    }
}

TEST (IirCascadeResponse, LandmarksOfTheSectionKinds)
{
    const double fs = 48000.0;
    const auto grid = row ({ 0.0, 1000.0, 24000.0 });

    // A peaking section of 0 dB multiplies by exactly 1.
    const auto flat = calculateIirCascadeResponse (types ({ IirFilterType::peq }), row ({ 0.0 }), row ({ 1000.0 }), row ({ 0.7 }), linspace (fs / 2, 513), fs);
    for (auto v : flat.data)
        EXPECT_EQ (v, Complex (1.0, 0.0));

    const auto peak = calculateIirCascadeResponse (types ({ IirFilterType::peq }), row ({ 6.0 }), row ({ 1000.0 }), row ({ 0.707 }), grid, fs);
    EXPECT_NEAR (dB (peak.data[1]), 6.0, 1e-9);

    const auto allpass = calculateIirCascadeResponse (types ({ IirFilterType::allpass }), row ({ 0.0 }), row ({ 1000.0 }), row ({ 2.0 }), grid, fs);
    for (auto v : allpass.data)
        EXPECT_NEAR (std::abs (v), 1.0, 1e-12);
    EXPECT_NEAR (std::abs (std::arg (allpass.data[1])), pi, 1e-9);

    const auto lowPass = calculateIirCascadeResponse (types ({ IirFilterType::lowPass1stOrder }), row ({ 0.0 }), row ({ 1000.0 }), row ({ 1.0 }), grid, fs);
    EXPECT_NEAR (std::abs (lowPass.data[0]), 1.0, 1e-12);

    const auto highPass = calculateIirCascadeResponse (types ({ IirFilterType::highPass1stOrder }), row ({ 0.0 }), row ({ 1000.0 }), row ({ 1.0 }), grid, fs);
    EXPECT_NEAR (std::abs (highPass.data[0]), 0.0, 1e-12);
}

TEST (IirCascadeResponse, KeptProductsGiveTheSameBitsAfterEveryEdit)
{
    // One kept state across edits that change a middle, the first or the last section, add and
    // remove sections, move to another grid and pass through sections that leave the plain range.
    struct Edit { std::vector<std::size_t> t; std::vector<double> g, f, qs; std::size_t bins; double fs; };
    const std::vector<std::size_t> five { 6, 2, 9, 6, 1 };
    const std::vector<Edit> edits {
        { five, { 3, 0, 0, -4, 0 }, { 120, 300, 800, 2500, 9000 }, { 4, 0.8, 1, 2, 0.7 }, 513, 48000.0 },
        { five, { 3, 0, 0, -3.5, 0 }, { 120, 300, 800, 2500, 9000 }, { 4, 0.8, 1, 2, 0.7 }, 513, 48000.0 },
        { five, { 2, 0, 0, -3.5, 0 }, { 120, 300, 800, 2500, 9000 }, { 4, 0.8, 1, 2, 0.7 }, 513, 48000.0 },
        { { 6, 2, 9 }, { 2, 0, 0 }, { 120, 300, 800 }, { 4, 0.8, 1 }, 513, 48000.0 },
        { five, { 2, 0, 0, -3.5, 0 }, { 120, 300, 800, 2500, 9000 }, { 4, 0.8, 1, 2, 0.1 }, 513, 48000.0 },
        { five, { 2, 0, 0, -3.5, 0 }, { 120, 300, 800, 2500, 9000 }, { 4, 0.8, 1, 2, 0.1 }, 257, 48000.0 },
        { five, { 2, 0, 0, -3.5, 0 }, { 120, 300, 800, 2500, 9000 }, { 4, 0.8, 1, 2, 0.1 }, 257, 44100.0 },
        { five, { 2, 0, 0, -3.5, 0 }, { 0.0, 300, 800, 2500, 9000 }, { 4, 0.0, 1, 2, 0.1 }, 257, 44100.0 },
        { five, { 2, 0, 0, -3.5, 1 }, { 0.0, 300, 800, 2500, 9000 }, { 4, 0.0, 1, 2, 0.1 }, 257, 44100.0 },
        { { 5, 6 }, { 0, 1 }, { 100, 200 }, { 1, 1 }, 257, 44100.0 },
    };

    IirCascadeProducts kept;

    for (std::size_t e = 0; e < edits.size(); ++e)
    {
        const auto& edit = edits[e];
        const auto grid = linspace (edit.fs / 2, edit.bins);
        const auto reused = calculateIirCascadeResponse (types (edit.t), row (edit.g), row (edit.f), row (edit.qs), grid, edit.fs, kept);
        const auto fresh = calculateIirCascadeResponse (types (edit.t), row (edit.g), row (edit.f), row (edit.qs), grid, edit.fs);

        ASSERT_EQ (reused.length(), fresh.length()) << "edit " << e;
        for (std::size_t u = 0; u < grid.length(); ++u)
            ASSERT_TRUE (sameComplex (reused.data[u], fresh.data[u])) << "edit " << e << " bin " << u
                                                                     << ": " << reused.data[u] << " vs " << fresh.data[u];
    }
}

TEST (IirCascadeResponse, SectionsWithoutDesignerInvalidOrBeyondTheArraysAreSkipped)
{
    const auto grid = linspace (24000.0, 257);
    const auto none = calculateIirCascadeResponse (types ({ 5, 0, 10, 1000 }), row ({ 6, 6, 6, 6 }), row ({ 1000, 1000, 1000, 1000 }), row ({ 1, 1, 1, 1 }), grid, 48000.0);
    // Sections invalid at the rate: at fs/2, Q 0, at 0 Hz, a shelf slope too steep for its gain.
    const auto invalid = calculateIirCascadeResponse (types ({ 6, 2, 1, 7 }), row ({ 6, 0, 0, 30 }), row ({ 24000, 1000, 0, 1000 }), row ({ 1, 0, 1, 50 }), grid, 48000.0);

    for (std::size_t u = 0; u < grid.length(); ++u)
    {
        EXPECT_EQ (none.data[u], Complex (1.0, 0.0));
        EXPECT_EQ (invalid.data[u], Complex (1.0, 0.0));
    }

    // Three types but only one frequency: only the first section exists.
    const auto one = calculateIirCascadeResponse (types ({ IirFilterType::lowPass2ndOrder, IirFilterType::lowPass2ndOrder, IirFilterType::lowPass2ndOrder }),
                                                  row ({ 0, 0, 0 }), row ({ 2000.0 }), row ({ 0.7, 0.7, 0.7 }), grid, 48000.0);
    const auto single = sectionThroughFreqz (IirFilterType::lowPass2ndOrder, 0, 2000.0, 0.7, grid, 48000.0);
    for (std::size_t u = 0; u < grid.length(); ++u)
        EXPECT_TRUE (sameComplex (one.data[u], single.data[u]));
}

TEST (IirCascadeResponse, TwoIdenticalSectionsSquareTheResponse)
{
    const auto grid = linspace (24000.0, 257);
    const auto two = calculateIirCascadeResponse (types ({ 2, 2 }), row ({ 0, 0 }), row ({ 3000, 3000 }), row ({ 0.9, 0.9 }), grid, 48000.0);
    const auto one = sectionThroughFreqz (2, 0, 3000, 0.9, grid, 48000.0);

    for (std::size_t u = 0; u < grid.length(); ++u)
        EXPECT_NEAR (std::abs (two.data[u] - one.data[u] * one.data[u]), 0.0, 1e-12 * std::max (1.0, std::abs (two.data[u])));
}

TEST (SegmentSearch, BisectionAgreesWithTryingEverySegment)
{
    std::mt19937 random (3);

    for (int trial = 0; trial < 500; ++trial)
    {
        std::vector<double> x ((std::size_t) (random() % 8 + 1));
        for (auto& v : x)
            v = (double) (random() % 10);    // small integers: many repeated breakpoints
        std::sort (x.begin(), x.end());

        for (double value = -1.0; value <= 11.0; value += 0.5)
        {
            ASSERT_TRUE (isAscending (x.data(), x.size()));
            EXPECT_EQ (findLastSegmentContaining (x.data(), x.size(), true, value),
                       findLastSegmentContaining (x.data(), x.size(), false, value));
        }
    }

    const double descending[] = { 3.0, 2.0, 1.0 };
    EXPECT_FALSE (isAscending (descending, 3));
    const double withNaN[] = { 1.0, std::nan (""), 3.0 };
    EXPECT_FALSE (isAscending (withNaN, 3));
    EXPECT_EQ (findLastSegmentContaining (withNaN, 3, false, std::nan ("")), 0u);
}
