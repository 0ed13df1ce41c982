#include "design/IirDesigners.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double fs = 48000.0;
const double pi = std::acos (-1.0);

struct Section
{
    Matrix<double> b, a;

    std::complex<double> response (double frequencyHz, double sampleRate = fs) const
    {
        return freqz (b, a, Matrix<double> (1, 1, { frequencyHz }), sampleRate).data[0];
    }

    double gainDb (double frequencyHz) const { return 20.0 * std::log10 (std::abs (response (frequencyHz))); }
    double phaseDegrees (double frequencyHz) const { return std::arg (response (frequencyHz)) * 180.0 / pi; }
};

/** Every frequency of a logarithmic sweep from 10 Hz to just below fs/2. */
std::vector<double> sweep()
{
    std::vector<double> f;
    for (double x = 10.0; x < fs / 2; x *= 1.05)
        f.push_back (x);
    return f;
}

void expectThreeByOne (const Section& s)
{
    EXPECT_EQ (s.b.rows, 3u);
    EXPECT_EQ (s.b.cols, 1u);
    EXPECT_EQ (s.a.rows, 3u);
    EXPECT_EQ (s.a.cols, 1u);
}

// Margins in dB: the coefficient formulas are exact to double rounding.
constexpr double tightDb = 1e-9;
} // namespace

//==============================================================================
TEST (IirDesignersPeaking, ZeroGainIsFlat)
{
    Section s;
    designPeakingBiquad (s.b, s.a, 0.0, 1000.0, 0.707, fs);
    expectThreeByOne (s);
    EXPECT_EQ (s.b.data, s.a.data);
    for (double f : sweep())
        ASSERT_EQ (s.response (f), std::complex<double> (1.0, 0.0)) << f;
}

TEST (IirDesignersPeaking, GainAtCentreAndUnityFarAway)
{
    Section s;
    designPeakingBiquad (s.b, s.a, 6.0, 1000.0, 0.707, fs);
    EXPECT_NEAR (std::abs (s.response (1000.0)), std::pow (10.0, 6.0 / 20.0), 1e-12);
    EXPECT_NEAR (s.gainDb (0.0), 0.0, tightDb);
    EXPECT_NEAR (s.gainDb (fs / 2), 0.0, 1e-6);

    // Left unnormalised: a[0] = 1 + alpha / A with alpha from the bandwidth formula.
    const double w0 = 2.0 * pi * 1000.0 / fs;
    const double bw = std::asinh (0.5 / 0.707) / (std::log (2.0) / 2.0);
    const double alpha = std::sin (w0) * std::sinh (std::log (2.0) / 2.0 * bw * w0 / std::sin (w0));
    EXPECT_NEAR (s.a.data[0], 1.0 + alpha / std::pow (10.0, 6.0 / 40.0), 1e-14);
    EXPECT_NE (s.a.data[0], 1.0);

    // The peak is at the centre frequency.
    for (double f : sweep())
        ASSERT_LE (s.gainDb (f), 6.0 + tightDb) << f;
}

TEST (IirDesignersPeaking, CutIsTheInverseOfTheBoost)
{
    Section boost, cut;
    designPeakingBiquad (boost.b, boost.a, 9.5, 250.0, 2.0, fs);
    designPeakingBiquad (cut.b, cut.a, -9.5, 250.0, 2.0, fs);
    EXPECT_NEAR (cut.gainDb (250.0), -9.5, tightDb);
    for (double f : sweep())
        ASSERT_NEAR (std::abs (boost.response (f) * cut.response (f)), 1.0, 1e-12) << f;
}

//==============================================================================
TEST (IirDesignersShelf, PlateausAndMidpoint)
{
    // (gain at 0 Hz, gain at fs/2, gain at the corner) for a low and a high shelf.
    Section low, high;
    designLowShelfBiquad (low.b, low.a, 12.0, 300.0, 1.0, fs);
    designHighShelfBiquad (high.b, high.a, -8.0, 4000.0, 1.0, fs);

    for (const auto& [s, dc, nyquist, corner, cornerDb] : { std::tuple (&low, 12.0, 0.0, 300.0, 6.0),
                                                            std::tuple (&high, 0.0, -8.0, 4000.0, -4.0) })
    {
        expectThreeByOne (*s);
        EXPECT_EQ (s->a.data[0], 1.0);
        EXPECT_NEAR (s->gainDb (0.0), dc, tightDb);
        EXPECT_NEAR (s->gainDb (fs / 2), nyquist, 1e-6);
        EXPECT_NEAR (s->gainDb (corner), cornerDb, tightDb);
    }
}

TEST (IirDesignersShelf, SlopeOneIsMonotonicAndSteeperSlopesOvershoot)
{
    // S = 1 gives alpha = sin (w0) / 2 * sqrt (2): the steepest shelf whose magnitude never overshoots.
    Section low, high, steep;
    designLowShelfBiquad (low.b, low.a, 10.0, 500.0, 1.0, fs);
    designHighShelfBiquad (high.b, high.a, 10.0, 500.0, 1.0, fs);
    designLowShelfBiquad (steep.b, steep.a, 10.0, 500.0, 2.0, fs);

    double previousLow = 1e9, previousHigh = -1e9, largestSteep = -1e9;
    for (double f : sweep())
    {
        ASSERT_LE (low.gainDb (f), previousLow + 1e-12) << f;
        ASSERT_GE (high.gainDb (f), previousHigh - 1e-12) << f;
        previousLow = low.gainDb (f);
        previousHigh = high.gainDb (f);
        largestSteep = std::max (largestSteep, steep.gainDb (f));
    }
    EXPECT_GT (largestSteep, 10.1);
}

//==============================================================================
TEST (IirDesignersAllpass, UnitMagnitudeAndHalfTurnAtF0)
{
    Section s;
    designAllpassBiquad (s.b, s.a, 2000.0, 0.9, fs);
    expectThreeByOne (s);
    EXPECT_EQ (s.a.data[0], 1.0);
    EXPECT_EQ (s.b.data[2], 1.0);
    EXPECT_EQ (s.b.data[0], s.a.data[2]);
    for (double f : sweep())
        ASSERT_NEAR (std::abs (s.response (f)), 1.0, 1e-12) << f;

    EXPECT_NEAR (std::abs (s.phaseDegrees (2000.0)), 180.0, 1e-9);
    EXPECT_NEAR (s.phaseDegrees (0.0), 0.0, 1e-12);
    EXPECT_LT (s.phaseDegrees (1500.0), -90.0);    // turning toward -180 below f0
}

//==============================================================================
TEST (IirDesignersSecondOrder, LowpassLandmarks)
{
    Section s;
    designSecondOrderLowpass (s.b, s.a, 1.0 / std::sqrt (2.0), 1000.0, fs);
    expectThreeByOne (s);
    EXPECT_NEAR (s.gainDb (0.0), 0.0, tightDb);
    EXPECT_NEAR (s.gainDb (1000.0), -3.0103, 1e-4);
    EXPECT_LT (s.gainDb (20000.0), -50.0);
    EXPECT_LT (std::abs (s.response (fs / 2)), 1e-12);

    Section resonant;
    designSecondOrderLowpass (resonant.b, resonant.a, 4.0, 1000.0, fs);
    EXPECT_NEAR (resonant.gainDb (1000.0), 20.0 * std::log10 (4.0), 1e-9);
}

TEST (IirDesignersSecondOrder, HighpassLandmarks)
{
    Section s;
    designSecondOrderHighpass (s.b, s.a, 1.0 / std::sqrt (2.0), 80.0, fs);
    expectThreeByOne (s);
    EXPECT_LT (std::abs (s.response (0.0)), 1e-12);
    EXPECT_NEAR (s.gainDb (80.0), -3.0103, 1e-4);
    EXPECT_NEAR (s.gainDb (fs / 2), 0.0, 1e-9);
    EXPECT_LT (s.gainDb (8.0), -39.0);
}

//==============================================================================
TEST (IirDesignersFirstOrder, LowpassPoleIsTheExponentialOfTheCutoff)
{
    Section s;
    designFirstOrderLowpass (s.b, s.a, 1000.0, fs);
    expectThreeByOne (s);

    const double p = std::exp (-2.0 * pi * 1000.0 / fs);    // 0.877306..., not 2.7^(...) = 0.8781...
    EXPECT_NEAR (-s.a.data[1], p, 1e-15);
    EXPECT_NEAR (-s.a.data[1], 0.8773058, 1e-7);
    EXPECT_EQ (s.a.data[0], 1.0);
    EXPECT_EQ (s.a.data[2], 0.0);
    EXPECT_NEAR (s.b.data[0], 1.0 - p, 1e-15);
    EXPECT_EQ (s.b.data[1], 0.0);

    EXPECT_NEAR (std::abs (s.response (0.0)), 1.0, 1e-14);
    EXPECT_NEAR (std::abs (s.response (fs / 2)), (1.0 - p) / (1.0 + p), 1e-14);

    // A one-pole section falls to -3 dB where cos w = 1 - (1 - p)^2 / (2 p).
    const double corner = std::acos (1.0 - (1.0 - p) * (1.0 - p) / (2.0 * p)) * fs / (2.0 * pi);
    EXPECT_NEAR (s.gainDb (corner), -3.0103, 1e-4);
}

TEST (IirDesignersFirstOrder, LowpassAtZeroHertzIsAllZero)
{
    Section s;
    designFirstOrderLowpass (s.b, s.a, 0.0, fs);
    EXPECT_EQ (s.b.data, (std::vector<double> { 0.0, 0.0, 0.0 }));
    EXPECT_EQ (s.a.data, (std::vector<double> { 1.0, -1.0, 0.0 }));
}

TEST (IirDesignersFirstOrder, HighpassBlocksDirectCurrent)
{
    Section s;
    designFirstOrderHighpass (s.b, s.a, 1000.0, fs);
    expectThreeByOne (s);
    const double p = std::exp (-2.0 * pi * 1000.0 / fs);
    EXPECT_NEAR (s.b.data[0], p, 1e-15);
    EXPECT_NEAR (s.b.data[1], -p, 1e-15);
    EXPECT_NEAR (-s.a.data[1], p, 1e-15);

    EXPECT_EQ (std::abs (s.response (0.0)), 0.0);
    const double nyquist = std::abs (s.response (fs / 2));
    EXPECT_NEAR (nyquist, 2.0 * p / (1.0 + p), 1e-14);
    EXPECT_LT (nyquist, 1.0);
}
