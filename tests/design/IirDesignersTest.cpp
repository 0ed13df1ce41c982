#include "DesignTestSupport.h"

#include "design/FilterResponse.h"
#include "design/IirFilterType.h"
#include "numerics/SpectralFunctions.h"

#include <functional>
#include <limits>
#include <tuple>

using namespace designtest;
using namespace IirFilterType;

namespace
{
    constexpr double fs = 48000.0;
    const double pi = std::acos (-1.0);
    const double inf = std::numeric_limits<double>::infinity();

    /** One section, designed through the choice by type id that the cascade makes. */
    struct Section
    {
        Section (std::size_t type, double gainDb, double f0Hz, double q)
        {
            EXPECT_TRUE (designIirSection (type, gainDb, f0Hz, q, fs, b, a)) << type;
        }

        Complex response (double hz) const { return freqz (b, a, row ({ hz }), fs).data[0]; }
        double gainDb (double hz) const { return dB (response (hz)); }

        Matrix<double> b, a;
    };

    /** Every frequency of a logarithmic sweep from 10 Hz to just below fs/2. */
    std::vector<double> sweep()
    {
        std::vector<double> f;
        for (double x = 10.0; x < fs / 2; x *= 1.05)
            f.push_back (x);
        return f;
    }
}

TEST (IirDesigners, LandmarksInDecibels)
{
    // The one-pole sections put their pole at p = e^(-2 pi fc / fs), so the low pass falls to -3 dB
    // where cos w = 1 - (1 - p)^2 / (2 p), about fc.
    const double p = std::exp (-2.0 * pi * 1000.0 / fs);
    const double corner = std::acos (1.0 - (1.0 - p) * (1.0 - p) / (2.0 * p)) * fs / (2.0 * pi);
    const double halfPowerDb = -3.0103, butterworthQ = 1.0 / std::sqrt (2.0);

    struct Landmark { double hz, lowDb, highDb; };
    const auto at = [] (double hz, double db, double marginDb = 1e-9) { return Landmark { hz, db - marginDb, db + marginDb }; };
    const auto below = [] (double hz, double db) { return Landmark { hz, -inf, db }; };

    const struct { std::size_t type; double gainDb, f0, q; std::vector<Landmark> landmarks; } cases[] {
        { peq, 6, 1000, 0.707, { at (1000, 6), at (0, 0), at (fs / 2, 0, 1e-6) } },
        { lowShelf, 12, 300, 1, { at (0, 12), at (300, 6), at (fs / 2, 0, 1e-6) } },
        { highShelf, -8, 4000, 1, { at (0, 0), at (4000, -4), at (fs / 2, -8, 1e-6) } },
        { allpass, 0, 2000, 0.9, { at (0, 0), at (2000, 0), at (fs / 2, 0, 1e-6) } },
        { lowPass2ndOrder, 0, 1000, butterworthQ, { at (0, 0), at (1000, halfPowerDb, 1e-4), below (20000, -50), below (fs / 2, -240) } },
        { lowPass2ndOrder, 0, 1000, 4, { at (1000, 20 * std::log10 (4.0)) } },
        { highPass2ndOrder, 0, 80, butterworthQ, { below (0, -240), below (8, -39), at (80, halfPowerDb, 1e-4), at (fs / 2, 0) } },
        { lowPass1stOrder, 0, 1000, 1, { at (0, 0), at (corner, halfPowerDb, 1e-4) } },
        { highPass1stOrder, 0, 1000, 1, { below (0, -240), at (fs / 2, 20 * std::log10 (2 * p / (1 + p))) } },
    };

    for (const auto& c : cases)
    {
        const Section s (c.type, c.gainDb, c.f0, c.q);
        EXPECT_EQ (std::tuple (s.b.rows, s.b.cols, s.a.rows, s.a.cols), std::tuple (3u, 1u, 3u, 1u)) << c.type;

        for (const auto& l : c.landmarks)
        {
            const double db = s.gainDb (l.hz);
            EXPECT_TRUE (l.lowDb <= db && db <= l.highDb) << "type " << c.type << " at " << l.hz << " Hz: " << db << " dB";
        }
    }
}

TEST (IirDesigners, BiquadsAreTheirAnalogPrototypesThroughTheBilinearTransform)
{
    // With s = j tan (w / 2) / tan (w0 / 2) each biquad is its analog prototype with f0 at 1 rad/s.
    // A shelf slope of 1 is a prototype Q of 1 / sqrt 2; the PEQ's Q is a bandwidth in octaves,
    // asinh (1 / 2Q) / (ln 2 / 2), which the warping at f0 widens by w0 / sin w0.
    const double f0 = 1500.0, q = 2.5, gainDb = 7.5, A = std::pow (10.0, gainDb / 40.0);
    const double w0 = 2.0 * pi * f0 / fs;
    const double peqQ = 1.0 / (2.0 * std::sinh (std::asinh (0.5 / q) * w0 / std::sin (w0)));
    const double shelfR = std::sqrt (A) * std::sqrt (2.0);

    const std::pair<std::size_t, std::function<Complex (Complex)>> cases[] {
        { lowPass2ndOrder, [&] (Complex s) { return 1.0 / (s * s + s / q + 1.0); } },
        { highPass2ndOrder, [&] (Complex s) { return s * s / (s * s + s / q + 1.0); } },
        { allpass, [&] (Complex s) { return (s * s - s / q + 1.0) / (s * s + s / q + 1.0); } },
        { peq, [&] (Complex s) { return (s * s + s * A / peqQ + 1.0) / (s * s + s / (A * peqQ) + 1.0); } },
        { lowShelf, [&] (Complex s) { return A * (s * s + shelfR * s + A) / (A * s * s + shelfR * s + 1.0); } },
        { highShelf, [&] (Complex s) { return A * (A * s * s + shelfR * s + 1.0) / (s * s + shelfR * s + A); } },
    };

    for (const auto& [type, prototype] : cases)
    {
        const Section section (type, gainDb, f0, type == lowShelf || type == highShelf ? 1.0 : q);

        for (double f : sweep())
        {
            const auto expected = prototype (Complex (0.0, std::tan (pi * f / fs) / std::tan (w0 / 2.0)));
            ASSERT_LE (std::abs (section.response (f) - expected), 1e-12 * std::max (1.0, std::abs (expected)))
                << "type " << type << " at " << f << " Hz: " << section.response (f) << " vs " << expected;
        }
    }
}

TEST (IirDesigners, PeakingIsExactlyFlatAtZeroGainAndItsCutUndoesItsBoost)
{
    const Section flat (peq, 0.0, 1000.0, 0.707), boost (peq, 9.5, 250.0, 2.0), cut (peq, -9.5, 250.0, 2.0);

    for (double f : sweep())
    {
        ASSERT_EQ (flat.response (f), Complex (1.0, 0.0)) << f;
        ASSERT_NEAR (std::abs (boost.response (f) * cut.response (f)), 1.0, 1e-12) << f;
        ASSERT_LE (boost.gainDb (f), 9.5 + 1e-9) << f;     // the peak lies at f0
    }
}

TEST (IirDesigners, ShelvesOfSlopeOneAreMonotonicAndSteeperOnesOvershoot)
{
    const Section low (lowShelf, 10.0, 500.0, 1.0), high (highShelf, 10.0, 500.0, 1.0), steep (lowShelf, 10.0, 500.0, 2.0);
    double previousLow = inf, previousHigh = -inf, largestSteep = -inf;

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
