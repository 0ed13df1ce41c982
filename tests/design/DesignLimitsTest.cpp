#include "DesignTestSupport.h"

#include "design/DesignLimits.h"
#include "design/IirFilterType.h"

#include <limits>

using namespace designtest;

namespace
{
    const double inf = std::numeric_limits<double>::infinity();
    const double NaN = std::numeric_limits<double>::quiet_NaN();
}

TEST (DesignLimits, IirSectionDomain)
{
    using namespace IirFilterType;
    struct Case { std::size_t type; double gain, freq, q, fs; bool valid; const char* what; };

    const Case cases[] = {
        { peq, 6, 1000, 0.707, 48000, true, "ordinary PEQ" },
        { peq, 200, 1000, 0.01, 48000, true, "largest gain, smallest Q" },
        { lowPass2ndOrder, 0, 1000, 1000, 48000, true, "largest Q" },
        { lowPass1stOrder, 0, 1000, 0, 48000, true, "first order: Q unused" },
        { highPass1stOrder, 0, 23999, -5, 48000, true, "first order just below fs/2" },
        { lowShelf, 200, 1000, 1, 48000, true, "shelf S 1 at the largest gain" },
        { highShelf, -6, 100, 1.5, 48000, true, "shelf S above 1 at a small gain" },
        { allpass, 0, 0.01, 0.5, 48000, true, "all pass near 0 Hz" },
        { 5, NaN, NaN, NaN, 48000, true, "no designer: no check" },
        { 0, inf, -1, 0, 48000, true, "no designer: no check" },
        { peq, 6, 0, 1, 48000, false, "0 Hz" },
        { highPass2ndOrder, 0, 24000, 0.707, 48000, false, "at fs/2" },
        { peq, 6, 23999.99, 1, 48000, false, "PEQ just below fs/2: sinh overflows" },
        { lowPass2ndOrder, 0, 1000, 0, 48000, false, "Q 0" },
        { peq, 0, 1000, 0.00999, 48000, false, "Q below the limit" },
        { highPass2ndOrder, 0, 1000, 1000.1, 48000, false, "Q above the limit" },
        { highShelf, 30, 1000, 50, 48000, false, "S too steep for the gain" },
        { lowShelf, 0, 1000, 1001, 48000, false, "S above the limit" },
        { peq, NaN, 1000, 1, 48000, false, "gain NaN" },
        { peq, 200.001, 1000, 1, 48000, false, "gain beyond 200 dB" },
        { lowShelf, -760, 1000, 1, 48000, false, "gain -760 dB" },
        { peq, 6, inf, 1, 48000, false, "frequency infinite" },
        { lowPass1stOrder, 0, 1000, NaN, 48000, false, "first order: Q NaN" },
        { lowPass1stOrder, 0, 1e-300, 1, 48000, false, "so close to 0 Hz that the pole is 1" },
        { lowPass1stOrder, 0, 1000, 1, NaN, false, "fs NaN" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (DesignLimits::isValidIirSection (c.type, c.gain, c.freq, c.q, c.fs), c.valid) << c.what;
}

TEST (DesignLimits, SectionsAtOrAboveHalfALoweredRateAreLeftOutAndNamed)
{
    // Valid at 96 kHz; at 44.1 kHz the PEQ at 30 kHz lies above half the rate.
    auto setUp = [] (TestEngine& e, std::vector<std::size_t> types, std::vector<double> freq)
    {
        e.fs = 96000.0;
        e.NFFT = 1024;
        e.filterData.filterType = FilterResponseType::userDefined;
        e.filterData.numIIRs = types.size();
        e.filterData.gain = row (std::vector<double> (types.size(), 6.0));
        e.filterData.q = row (std::vector<double> (types.size(), 1.0));
        e.filterData.freq = row (std::move (freq));
        const auto n = types.size();
        e.filterData.type = Matrix<std::size_t> (1, n, std::move (types));
        e.rebuildAxes();
        e.calculate (true);
        EXPECT_TRUE (e.getLeftOutSectionFrequencies().empty());
        e.fs = 44100.0;
        e.rebuildAxes();
        e.calculate (true);
    };

    TestEngine both, valid;
    setUp (both, { IirFilterType::peq, IirFilterType::lowPass2ndOrder, IirFilterType::peq }, { 30000, 1000, 22050 });
    setUp (valid, { IirFilterType::lowPass2ndOrder }, { 1000 });

    EXPECT_EQ (both.getLeftOutSectionFrequencies(), (std::vector<double> { 30000, 22050 }));
    EXPECT_TRUE (valid.getLeftOutSectionFrequencies().empty());
    EXPECT_TRUE (allFinite (both.filterData.coefficients));
    EXPECT_EQ (both.filterData.coefficients.data, valid.filterData.coefficients.data);   // left out = factor 1

    both.filterData.numIIRs = 0;    // the cascade is off: nothing is left out
    EXPECT_TRUE (both.getLeftOutSectionFrequencies().empty());
}
