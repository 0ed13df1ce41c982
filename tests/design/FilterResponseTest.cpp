#include "DesignTestSupport.h"

#include "design/DesignLimits.h"
#include "design/FilterResponse.h"
#include "design/IirFilterType.h"
#include "numerics/SpectralFunctions.h"

#include <random>
#include <tuple>

using namespace designtest;

namespace
{
    const double pi = 3.141592653589793;

    double degrees (Complex c) { return std::arg (c) * 180.0 / pi; }

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

    void expectSameBits (const Matrix<Complex>& actual, const Matrix<Complex>& expected, const std::string& what)
    {
        ASSERT_EQ (actual.length(), expected.length()) << what;
        for (std::size_t u = 0; u < actual.length(); ++u)
            ASSERT_TRUE (sameComplex (actual.data[u], expected.data[u])) << what << ", bin " << u << ": " << actual.data[u] << " vs " << expected.data[u];
    }
}

TEST (UserPointsResponse, LevelAndPhaseAreLinearInLogFrequencyAndHeldOutsideThePoints)
{
    // A point at 0 Hz sits at 10^-4 Hz on the log axis; this is the curve from there to 100 Hz.
    const auto fromZeroHz = [] (double f, double v0, double v1) { return v0 + (v1 - v0) * (std::log10 (f) + 4.0) / 6.0; };
    const double log5 = std::log10 (5.0);

    struct Case { const char* what; std::vector<double> fi, mag, phi; std::size_t count; std::vector<double> hz, levelDb, phaseDegrees; };
    const Case cases[] {
        { "no points: unity", { 100 }, { -12 }, { 45 }, 0, { 0, 1000 }, { 0, 0 }, { 0, 0 } },
        { "one point: its level and phase everywhere", { 1000 }, { -6 }, { 90 }, 1, { 0, 10, 24000 }, { -6, -6, -6 }, { 90, 90, 90 } },
        { "two points; 0 Hz takes the first", { 100, 1000 }, { 0, -20 }, { -30, 90 }, 2,
          { 0, 50, 99.999, 100, std::pow (10.0, 2.5), 500, 1000, 1000.001, 20000 },
          { 0, 0, 0, 0, -10, -20 * log5, -20, -20, -20 }, { -30, -30, -30, -30, 30, -30 + 120 * log5, 90, 90, 90 } },
        { "above the last point the last level and phase, each by its own length", { 100, 1000 }, { 0, -20, -6 }, { 0, 90, 45 }, 2,
          { 2000 }, { -6 }, { 45 } },
        { "a point at 0 Hz", { 0, 100 }, { -10, 0 }, { 0, 30 }, 2, { 0, 0.5, 10, 100 },
          { -10, fromZeroHz (0.5, -10, 0), fromZeroHz (10, -10, 0), 0 }, { 0, fromZeroHz (0.5, 0, 30), fromZeroHz (10, 0, 30), 30 } },
        { "two points at one frequency: the segments beside decide", { 10, 100, 100 }, { 0, 6, -6 }, { 0, 30, 60 }, 3,
          { 50, 100, 200 }, { 6 * log5, 6, -6 }, { 30 * log5, 30, 60 } },
        { "two points at one frequency and nothing beside: the first one's values on the step", { 100, 100 }, { 3, 6 }, { 10, 20 }, 2,
          { 50, 100, 200 }, { 3, 3, 6 }, { 10, 10, 20 } },
        { "three points at one frequency: the first one's values on the step", { 100, 100, 100 }, { -2, 3, 6 }, { 10, 20, 30 }, 3,
          { 50, 100, 200 }, { -2, -2, 6 }, { 10, 10, 30 } },
        { "a step on the last frequency: the segment below reaches it", { 10, 100, 100 }, { 0, 3, 6 }, { 0, 10, 20 }, 3,
          { 100, 200 }, { 3, 6 }, { 10, 20 } },
        { "a step on the first frequency: the segment above reaches it", { 100, 100, 1000 }, { 3, 6, 0 }, { 10, 20, 0 }, 3,
          { 50, 100 }, { 3, 6 }, { 10, 20 } },
        { "not ascending: a step that no segment reaches stays at 0 dB", { 100, 100, std::nan (""), 100 }, { 3, 6, 0, 9 }, { 10, 20, 0, 30 }, 4,
          { 100 }, { 0 }, { 0 } },
        { "a count beyond the arrays: the points all three hold", { 100, 1000, 5000 }, { 0, -6 }, { 0 }, 17,
          { 50, 1000 }, { 0, -6 }, { 0, 0 } },
    };

    for (const auto& c : cases)
    {
        const auto F = calculateUserPointsResponse (row (c.fi), row (c.mag), row (c.phi), c.count, row (c.hz));
        ASSERT_EQ (F.length(), c.hz.size()) << c.what;

        for (std::size_t u = 0; u < c.hz.size(); ++u)
        {
            EXPECT_NEAR (dB (F.data[u]), c.levelDb[u], 1e-9) << c.what << ", at " << c.hz[u] << " Hz";
            EXPECT_NEAR (degrees (F.data[u]), c.phaseDegrees[u], 1e-9) << c.what << ", at " << c.hz[u] << " Hz";
        }
    }
}

TEST (UserPointsResponse, TargetCurvesPassOverPointsAtOneFrequencyToo)
{
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
    EXPECT_NEAR (degrees (e.targetData.response.data[2]), 30.0, 1e-9);
}

TEST (UserPointsResponse, ABinOnAStepHoldingEveryPointTakesTheFirstPointsValuesInTheDesign)
{
    // 48 kHz and NFFT 4096: bins 11.71875 Hz apart, bin 128 at 1500 Hz exactly.
    struct Case { const char* what; std::vector<double> mag, phi; double below, onStep, above, phaseOnStep; };
    const Case cases[] {
        { "two equal points", { 6, 6 }, { 0, 0 }, 6, 6, 6, 0 },
        { "a step up", { 3, 6 }, { 0, 0 }, 3, 3, 6, 0 },
        { "three points", { -2, 3, 6 }, { 45, 90, 135 }, -2, -2, 6, 45 },
    };

    for (const auto& c : cases)
    {
        TestEngine e;
        ASSERT_EQ (e.frequencyAxis.data[128], 1500.0);
        e.filterData.filterType = FilterResponseType::userDefined;
        e.filterData.numUserValues = c.mag.size();
        e.filterData.fi = row (std::vector<double> (c.mag.size(), 1500.0));
        e.filterData.mag = row (c.mag);
        e.filterData.phi = row (c.phi);
        e.calculate (true);

        const auto& R = e.filterData.response.data;
        EXPECT_NEAR (dB (R[127]), c.below, 1e-9) << c.what;
        EXPECT_NEAR (dB (R[128]), c.onStep, 1e-9) << c.what;
        EXPECT_NEAR (dB (R[129]), c.above, 1e-9) << c.what;
        EXPECT_NEAR (degrees (R[128]), c.phaseOnStep, 1e-9) << c.what;
    }
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

        Matrix<Complex> expected (1, grid.length(), std::vector<Complex> (grid.length(), Complex (1.0, 0.0)));

        for (std::size_t i = 0; i < t.size(); ++i)
        {
            ASSERT_TRUE (DesignLimits::isValidIirSection (t[i], g[i], f[i], qs[i], fs)) << trial << " " << i;
            expected = std::move (expected) * sectionThroughFreqz (t[i], g[i], f[i], qs[i], grid, fs);
        }

        expectSameBits (calculateIirCascadeResponse (types (t), row (g), row (f), row (qs), grid, fs), expected, "trial " + std::to_string (trial));
    }
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
        expectSameBits (reused, calculateIirCascadeResponse (types (edit.t), row (edit.g), row (edit.f), row (edit.qs), grid, edit.fs),
                        "edit " + std::to_string (e));
    }
}

TEST (IirCascadeResponse, SectionsWithoutDesignerInvalidOrBeyondTheArraysAreSkipped)
{
    const auto grid = linspace (24000.0, 257);
    const Matrix<Complex> unity (1, grid.length(), std::vector<Complex> (grid.length(), Complex (1.0, 0.0)));
    expectSameBits (calculateIirCascadeResponse (types ({ 5, 0, 10, 1000 }), row ({ 6, 6, 6, 6 }), row ({ 1000, 1000, 1000, 1000 }), row ({ 1, 1, 1, 1 }), grid, 48000.0),
                    unity, "no designer");

    // Sections invalid at the rate: at fs/2, Q 0, at 0 Hz, a shelf slope too steep for its gain.
    expectSameBits (calculateIirCascadeResponse (types ({ 6, 2, 1, 7 }), row ({ 6, 0, 0, 30 }), row ({ 24000, 1000, 0, 1000 }), row ({ 1, 0, 1, 50 }), grid, 48000.0),
                    unity, "invalid");

    // Three types but only one frequency: only the first section exists.
    expectSameBits (calculateIirCascadeResponse (types ({ 2, 2, 2 }), row ({ 0, 0, 0 }), row ({ 2000.0 }), row ({ 0.7, 0.7, 0.7 }), grid, 48000.0),
                    sectionThroughFreqz (2, 0, 2000.0, 0.7, grid, 48000.0), "one frequency");
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
        ASSERT_TRUE (isAscending (x.data(), x.size()));

        for (double value = -1.0; value <= 11.0; value += 0.5)
            EXPECT_EQ (findLastSegmentContaining (x.data(), x.size(), true, value),
                       findLastSegmentContaining (x.data(), x.size(), false, value));
    }

    const double descending[] = { 3.0, 2.0, 1.0 }, withNaN[] = { 1.0, std::nan (""), 3.0 };
    EXPECT_FALSE (isAscending (descending, 3));
    EXPECT_FALSE (isAscending (withNaN, 3));
    EXPECT_EQ (findLastSegmentContaining (withNaN, 3, false, std::nan ("")), 0u);
}
