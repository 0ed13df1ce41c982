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
    // valid: designed at fs; storable: held at any rate (a document may hold it, the cascade leaves
    // it out where fs rules it out).
    using namespace IirFilterType;
    struct Case { std::size_t type; double gain, freq, q, fs; bool valid, storable; const char* what; };

    const Case cases[] = {
        { peq, 6, 1000, 0.707, 48000, true, true, "ordinary PEQ" },
        { peq, 200, 1000, 0.01, 48000, true, true, "largest gain, smallest Q" },
        { lowPass2ndOrder, 0, 1000, 1000, 48000, true, true, "largest Q" },
        { lowPass1stOrder, 0, 1000, 0, 48000, true, true, "first order: Q unused" },
        { highPass1stOrder, 0, 23999, -5, 48000, true, true, "first order just below fs/2" },
        { lowShelf, 200, 1000, 1, 48000, true, true, "shelf S 1 at the largest gain" },
        { highShelf, -6, 100, 1.5, 48000, true, true, "shelf S above 1 at a small gain" },
        { allpass, 0, 0.01, 0.5, 48000, true, true, "all pass near 0 Hz" },
        { 5, 1e300, -1, 0, 48000, true, true, "no designer: any finite values" },
        { 2147483647, 0, 0, 0, 48000, true, true, "no designer: the largest id a table row holds" },
        { 5, NaN, 1000, 1, 48000, false, false, "no designer: gain NaN" },
        { 0, 0, inf, 1, 48000, false, false, "no designer: frequency infinite" },
        { 4294967302u, 6, 1000, 1, 48000, false, false, "2^32 + 6 is no PEQ" },
        { peq, 6, 0, 1, 48000, false, false, "0 Hz" },
        { highPass2ndOrder, 0, 24000, 0.707, 48000, false, true, "at fs/2" },
        { peq, -8, 19900, 0.707, 40000, false, true, "PEQ 0.5 % below fs/2: its response there overflows" },
        { peq, 6, 23999.99, 1, 48000, false, true, "PEQ just below fs/2: sinh overflows" },
        { lowPass1stOrder, 0, 1000, 1, NaN, false, true, "fs NaN" },
        { lowPass2ndOrder, 0, 1000, 0, 48000, false, false, "Q 0" },
        { peq, 0, 1000, 0.00999, 48000, false, false, "Q below the limit" },
        { highPass2ndOrder, 0, 1000, 1000.1, 48000, false, false, "Q above the limit" },
        { highShelf, 30, 1000, 50, 48000, false, false, "S too steep for the gain" },
        { lowShelf, 0, 1000, 1001, 48000, false, false, "S above the limit" },
        { peq, NaN, 1000, 1, 48000, false, false, "gain NaN" },
        { peq, 200.001, 1000, 1, 48000, false, false, "gain beyond 200 dB" },
        { lowShelf, -760, 1000, 1, 48000, false, false, "gain -760 dB" },
        { peq, 6, inf, 1, 48000, false, false, "frequency infinite" },
        { lowPass1stOrder, 0, 1000, NaN, 48000, false, false, "first order: Q NaN" },
        { lowPass1stOrder, 0, 1e-300, 1, 48000, false, true, "so close to 0 Hz that the pole is 1" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (DesignLimits::isValidIirSection (c.type, c.gain, c.freq, c.q, c.fs), c.valid) << c.what;
        EXPECT_EQ (DesignLimits::isStorableIirSection (c.type, c.gain, c.freq, c.q), c.storable) << c.what;
    }
}

TEST (DesignLimits, SectionsALoweredRateRulesOutAreLeftOutNamedSavedAndBroughtBackBitForBit)
{
    // At 48 kHz a PEQ at 19.9 kHz, a low pass at 1 kHz and one at 23 kHz; at 40 kHz the PEQ lies just
    // below half the rate, where it cannot be designed, and the 23 kHz low pass above it.
    auto setRate = [] (TestEngine& e, double fs)
    {
        e.fs = fs;
        e.rebuildAxes();
        e.axesChanged = true;
        e.calculateInputFromMeasurement();
        e.calculate (true);
    };
    auto setUp = [&setRate] (TestEngine& e, std::vector<std::size_t> types, std::vector<double> freq)
    {
        e.filterData.filterType = FilterResponseType::userDefined;
        e.filterData.numIIRs = types.size();
        e.filterData.gain = row (std::vector<double> (types.size(), -8.0));
        e.filterData.q = row (std::vector<double> (types.size(), 0.707));
        e.filterData.freq = row (std::move (freq));
        const auto n = types.size();
        e.filterData.type = Matrix<std::size_t> (1, n, std::move (types));
        setRate (e, 48000.0);
    };

    TestEngine e, valid;
    setUp (e, { IirFilterType::peq, IirFilterType::lowPass2ndOrder, IirFilterType::lowPass2ndOrder }, { 19900, 1000, 23000 });
    setUp (valid, { IirFilterType::lowPass2ndOrder }, { 1000 });
    EXPECT_TRUE (e.getLeftOutSectionFrequencies().empty() && e.getLeftOutSectionsWarning().isEmpty());
    const auto firstFir = e.filterData.coefficients.data;

    setRate (e, 40000.0);
    setRate (valid, 40000.0);
    EXPECT_EQ (e.getLeftOutSectionFrequencies(), (std::vector<double> { 19900, 23000 }));
    EXPECT_EQ (e.getLeftOutSectionsWarning(), "The IIR sections at 19900 Hz and 23000 Hz cannot be designed at this sample "
                                              "rate and are left out until the rate is raised or the sections are changed.");
    EXPECT_TRUE (allFinite (e.filterData.coefficients));
    EXPECT_EQ (e.filterData.coefficients.data, valid.filterData.coefficients.data);   // left out = factor 1

    // Saved and opened again: the same document and the same design, the same sections left out.
    TestEngine reopened;
    const auto document = e.createProjectText();
    ASSERT_TRUE (reopened.readProjectText (document).wasOk());
    reopened.calculate (true);
    EXPECT_EQ (reopened.createProjectText(), document);
    EXPECT_EQ (reopened.getLeftOutSectionsWarning(), e.getLeftOutSectionsWarning());
    EXPECT_EQ (reopened.filterData.coefficients.data, e.filterData.coefficients.data);

    // The first rate brings them back, and with them the filter designed there before.
    setRate (reopened, 48000.0);
    EXPECT_TRUE (reopened.getLeftOutSectionFrequencies().empty());
    EXPECT_EQ (reopened.filterData.coefficients.data, firstFir);

    setRate (e, 44100.0);
    EXPECT_EQ (e.getLeftOutSectionsWarning(), "The IIR section at 23000 Hz cannot be designed at this sample rate and is "
                                              "left out until the rate is raised or the section is changed.");
    e.filterData.numIIRs = 0;    // the cascade is off: nothing is left out
    EXPECT_TRUE (e.getLeftOutSectionFrequencies().empty());
}
