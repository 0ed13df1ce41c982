#include "DesignTestSupport.h"
#include "ImportTestFiles.h"

#include "design/DesignLimits.h"
#include "design/IirFilterType.h"

#include <functional>
#include <limits>
#include <tuple>
#include <random>

using namespace designtest;

namespace
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();

    /** A document of the engine's current design, with one key's value text replaced (or the key
        removed when replacement is empty): its first occurrence, or its last one when lastOne. */
    juce::String withValue (const juce::String& document, const juce::String& key, const juce::String& replacement,
                            bool lastOne = false)
    {
        juce::StringArray lines;
        lines.addLines (document);
        const auto prefix = "\"" + key + "\": ";

        for (int n = 0; n < lines.size(); ++n)
        {
            const int i = lastOne ? lines.size() - 1 - n : n;
            const auto trimmed = lines[i].trimStart();

            if (! trimmed.startsWith (prefix) || trimmed.endsWith ("{"))
                continue;

            const bool hadComma = trimmed.endsWithChar (',');

            if (replacement.isEmpty())
            {
                lines.remove (i);
                if (! hadComma && i > 0)     // the line before now ends the object
                    lines.set (i - 1, lines[i - 1].upToLastOccurrenceOf (",", false, false));
            }
            else
            {
                lines.set (i, lines[i].upToFirstOccurrenceOf (prefix, true, false) + replacement + (hadComma ? "," : ""));
            }

            return lines.joinIntoString ("\n");
        }

        ADD_FAILURE() << "no key " << key;
        return {};
    }

    juce::String withValue (const DesignEngine& e, const juce::String& key, const juce::String& replacement)
    {
        return withValue (e.createProjectText(), key, replacement);
    }

    /** The bits of every stored field, for telling whether a design came back exactly as written. */
    std::string storedBits (const DesignEngine& e)
    {
        std::string bits;
        const auto add = [&bits] (const auto&... values) { (bits.append (reinterpret_cast<const char*> (&values), sizeof (values)), ...); };
        const auto& i = e.inputData;
        const auto& t = e.targetData;
        const auto& f = e.filterData;

        add (e.fs, e.NFFT, i.refLevel, i.shift, i.windowLength, i.windowType, i.minimumPhase, t.targetMagnitude, t.targetPhase,
             t.fminMagnitude, t.fmaxMagnitude, t.nominalTargetLevel, t.limitBoostCut, t.fminPhase, t.fmaxPhase, f.filterType,
             f.windowShift, f.windowLength, f.windowType, f.minimumPhase, f.numUserValues, f.numIIRs, f.type.rows, f.type.cols);

        for (auto type : f.type.data)
            add (type);

        for (const auto* m : { &i.fi, &i.mag_i, &i.phi_i, &t.userDefinedMagFreq, &t.userDefinedMag, &t.userDefinedPhiFreq,
                               &t.userDefinedPhi, &f.gain, &f.freq, &f.q, &f.fi, &f.mag, &f.phi })
        {
            add (m->rows, m->cols);
            for (double x : m->data)
                add (x);
        }

        return bits + i.fileName.toStdString();
    }

    /** Everything a refused document must leave alone. */
    auto snapshot (const DesignEngine& e)
    {
        return std::tuple (storedBits (e), e.projectFilePath, e.filterData.coefficients.data, e.frequencyAxis.data,
                           e.inputData.impulseResponse.data, e.axesChanged);
    }

    /** A loaded, computed design that refused documents must not disturb. */
    void loadSomething (TestEngine& e)
    {
        e.fs = 44100.0;
        e.NFFT = 1024;
        e.rebuildAxes();
        e.inputData.fileName = "room.txt";
        std::tie (e.inputData.fi, e.inputData.mag_i, e.inputData.phi_i) = std::tuple (row ({ 0, 100, 1000, 22100, 22200 }), row ({ 0, 3000, 9000, 9000, 9000 }), row ({ 0, -1, -2, -2, -2 }));
        e.targetData.targetMagnitude = TargetMagnitudeType::flat;
        e.filterData.filterType = FilterResponseType::userDefined;
        auto& f = e.filterData;
        std::tie (f.numIIRs, f.type, f.gain, f.freq, f.q) = std::tuple (1, Matrix<std::size_t> (1, 1, { (std::size_t) IirFilterType::peq }), row ({ 3 }), row ({ 500 }), row ({ 2 }));
        e.projectFilePath = "/somewhere/loaded.tlvProj";
        e.calculateInputFromMeasurement();
        e.calculate (true);
    }

    //==============================================================================
    double randomDouble (std::mt19937_64& random)
    {
        switch (random() % 8)
        {
            case 0:  { const std::uint64_t bits = random(); double d; std::memcpy (&d, &bits, 8); return std::isnan (d) ? 0.1 : d; }
            case 1:  return std::uniform_real_distribution<double> (-1e6, 1e6) (random);
            case 2:  return std::ldexp (std::uniform_real_distribution<double> (-1, 1) (random), (int) (random() % 2100) - 1075);
            case 3:  { const double specials[] = { 0.0, -0.0, inf, -inf, nan, -nan, 5e-324, 1.7976931348623157e308, 0.1, 1e16, 1.2345678901234567e19 };
                       return specials[random() % std::size (specials)]; }
            default: return std::uniform_real_distribution<double> (-100, 24000) (random);
        }
    }

    /** A value from [low, high]; often one of its ends, or a signed zero or the smallest subnormal. */
    double randomWithin (std::mt19937_64& random, double low, double high)
    {
        const double specials[] = { low, high, 0.0, -0.0, 5e-324, -5e-324 };
        const double special = specials[random() % std::size (specials)];
        if (random() % 4 == 0 && low <= special && special <= high)
            return special;
        return std::uniform_real_distribution<double> (low, high) (random);
    }

    /** n values: drawn by within for the first numChecked, any double (NaN included) after them. */
    Matrix<double> randomVector (std::mt19937_64& random, std::size_t n, std::size_t numChecked = 0,
                                 std::function<double()> within = {})
    {
        Matrix<double> m (1, n);
        for (std::size_t i = 0; i < n; ++i)
            m.data[i] = i < numChecked ? within() : randomDouble (random);
        return m;
    }

    /** A design with every stored field random, anywhere in the domain that a document accepts; the
        elements that no part of the design uses may hold any double. */
    void randomise (DesignEngine& e, std::mt19937_64& random)
    {
        auto count = [&random] (std::size_t most) { return (std::size_t) (random() % most) + 1; };
        auto int32 = [&random] (std::int64_t low, std::int64_t high) { return (std::int32_t) (low + (std::int64_t) (random() % (std::uint64_t) (high - low + 1))); };
        auto within = [&random] (double low, double high) { return [&random, low, high] { return randomWithin (random, low, high); }; };
        auto finite = [&random] { double d; do d = randomDouble (random); while (! std::isfinite (d)); return d; };
        const auto level = within (-DesignLimits::maxLevelDb, DesignLimits::maxLevelDb);
        const auto phase = within (-DesignLimits::maxPhaseDegrees, DesignLimits::maxPhaseDegrees);
        const auto frequency = [&random, nonZero = within (DesignLimits::minPointFrequencyHz, 1e6)] { return random() % 8 == 0 ? 0.0 : nonZero(); };

        e.NFFT = DesignEngine::nfftSizes[random() % std::size (DesignEngine::nfftSizes)];
        e.fs = std::uniform_real_distribution<double> (1.0, 384000.0) (random);
        const auto n = (std::int64_t) e.NFFT;

        e.inputData.refLevel = randomWithin (random, DesignLimits::minTargetLevelDb, DesignLimits::maxTargetLevelDb);
        e.inputData.shift = int32 (-n, n);
        e.inputData.windowLength = (std::uint64_t) int32 (0, n);
        e.inputData.windowType = int32 (1, 5);
        e.inputData.fileName = random() % 3 == 0 ? juce::String() : juce::String (juce::CharPointer_UTF8 ("/m\xc3\xa4ssung \"eins\"\\\t\x01\x07\x7f\xe2\x82\xac \xe6\xb8\xac\xe5\xae\x9a \xf0\x9f\x98\x80")) + juce::String ((int) random());
        e.inputData.minimumPhase = random() % 2 == 0;
        // Curve frequencies rise from point to point, from 0 Hz or above.
        const auto rising = [&random] (std::size_t n)
        {
            double f = random() % 8 == 0 ? 0.0 : randomWithin (random, DesignLimits::minPointFrequencyHz, 100.0);
            return randomVector (random, n, n, [&] { const auto x = f; f += randomWithin (random, 1e-3, 5000.0); return x; });
        };
        const auto numPoints = random() % 4 == 0 ? 1 : count (40);
        e.inputData.fi = rising (numPoints);
        e.inputData.mag_i = randomVector (random, numPoints, numPoints, within (-1e10, 1e10));
        e.inputData.phi_i = randomVector (random, numPoints, numPoints, within (-DesignLimits::maxPhaseRadians, DesignLimits::maxPhaseRadians));

        e.targetData.targetMagnitude = int32 (-3, 5);
        e.targetData.targetPhase = int32 (-3, 5);
        e.targetData.fminMagnitude = finite();
        e.targetData.fmaxMagnitude = finite();
        e.targetData.nominalTargetLevel = randomWithin (random, DesignLimits::minTargetLevelDb, DesignLimits::maxTargetLevelDb);
        e.targetData.limitBoostCut = randomWithin (random, DesignLimits::minBoostCutLimitDb, DesignLimits::maxBoostCutLimitDb);
        e.targetData.fminPhase = finite();
        e.targetData.fmaxPhase = finite();
        const auto numMag = count (20), numPhi = count (20);
        e.targetData.userDefinedMagFreq = rising (numMag);
        e.targetData.userDefinedMag = randomVector (random, numMag, numMag, level);
        e.targetData.userDefinedPhiFreq = rising (numPhi);
        e.targetData.userDefinedPhi = randomVector (random, numPhi, numPhi, phase);

        e.filterData.filterType = int32 (-2, 4);
        e.filterData.windowShift = int32 (-n, n);
        e.filterData.windowLength = (std::uint64_t) int32 (0, n);
        e.filterData.windowType = int32 (-2, 5);
        e.filterData.minimumPhase = random() % 2 == 0;
        // Counts of 0 leave the arrays unused, and then they may hold anything of any length.
        const auto numSections = count (12);
        const bool sectionsUsed = random() % 4 != 0;
        const auto unusedExtra = [&random, sectionsUsed] { return sectionsUsed ? 0 : random() % 3; };
        e.filterData.numIIRs = sectionsUsed ? numSections : 0;
        e.filterData.type = Matrix<std::size_t> (1, numSections);
        e.filterData.gain = randomVector (random, numSections + unusedExtra(), numSections, level);
        e.filterData.freq = randomVector (random, numSections, numSections, within (0.0, e.fs));
        e.filterData.q = randomVector (random, numSections + unusedExtra(), numSections, within (DesignLimits::minQ, DesignLimits::maxQ));
        for (std::size_t i = 0; i < numSections; ++i)
        {
            auto& f = e.filterData;
            f.type.data[i] = random() % 12;
            // A section no rate can design gets a type without a designer, and then any finite values;
            // one above half of this rate is held and left out.
            if (! DesignLimits::isStorableIirSection (f.type.data[i], f.gain.data[i], f.freq.data[i], f.q.data[i]))
            {
                f.type.data[i] = random() % 2 == 0 ? 5 : 10;
                f.gain.data[i] = finite();
            }
        }
        const auto numUser = count (12);
        e.filterData.numUserValues = random() % 4 == 0 ? 0 : numUser;
        const auto numUsed = (std::size_t) e.filterData.numUserValues;
        e.filterData.fi = randomVector (random, numUser, numUsed, frequency);
        std::sort (e.filterData.fi.data.begin(), e.filterData.fi.data.begin() + (long) numUsed);   // as the editor keeps them
        e.filterData.mag = randomVector (random, numUser + (numUsed == 0 ? random() % 2 : 0), numUsed, level);
        e.filterData.phi = randomVector (random, numUser, numUsed, phase);
    }

}

//==============================================================================
TEST (ProjectDocument, RandomDesignsReadBackBitForBit)
{
    ScratchFolder scratch;
    const auto file = scratch.get ("design.tlvProj");
    std::mt19937_64 random (20261206);

    for (int trial = 0; trial < 200; ++trial)
    {
        TestEngine written, read;
        randomise (written, random);
        ASSERT_TRUE (written.writeProject (file).wasOk());

        const auto result = read.readProject (file.getFullPathName());
        ASSERT_TRUE (result.wasOk()) << trial << ": " << result.getErrorMessage();
        ASSERT_TRUE (storedBits (read) == storedBits (written)) << "trial " << trial << ":\n" << written.createProjectText();
        EXPECT_EQ (std::tuple (read.projectFilePath, read.axesChanged), std::tuple (file.getFullPathName(), true));
    }
}

TEST (ProjectDocument, ReadingRebuildsTheAxesAndFromTwoMeasuredPointsOnTheInputResponse)
{
    TestEngine written, read;
    written.fs = 96000.0;
    written.NFFT = 2048;
    written.inputData.fileName = "flat.txt";
    written.inputData.refLevel = 0.0;
    std::tie (written.inputData.fi, written.inputData.mag_i, written.inputData.phi_i) = std::tuple (row ({ 0, 1000, 48100, 48200 }), row ({ 1, 1, 1, 1 }), row ({ 0, 0, 0, 0 }));
    ASSERT_TRUE (read.readProjectText (written.createProjectText()).wasOk());
    EXPECT_EQ (std::tuple (read.frequencyAxis.length(), read.frequencyAxis.data[1024], read.timeAxis.length()), std::tuple (1025u, 48000.0, 2048u));
    EXPECT_NEAR (read.inputData.impulseResponse.data[1024], 1.0, 1e-6);

    // One measured point makes no input response.
    std::tie (written.inputData.fi, written.inputData.mag_i, written.inputData.phi_i) = std::tuple (row ({ 1000 }), row ({ 5 }), row ({ 0 }));
    ASSERT_TRUE (read.readProjectText (written.createProjectText()).wasOk());
    EXPECT_EQ (read.inputData.impulseResponse.data[0], 1.0);
}

TEST (ProjectDocument, OlderVersionsAndMissingOrOddValuesRead)
{
    TestEngine e;
    e.NFFT = 4096;

    const std::tuple<const char*, const char*, std::function<bool()>> cases[] {
        { "fi", "[]", [&e] { return e.inputData.fi.data == std::vector<double> { 0.0 }; } },
        { "userDefinedMag", "", [&e] { return e.targetData.userDefinedMag.length() == 1; } },
        { "gain", "[]", [&e] { return e.filterData.gain.length() == 1; } },
        { "type", "[2.9]", [&e] { return e.filterData.type.data == std::vector<std::size_t> { 2 }; } },
        { "type", "[true]", [&e] { return e.filterData.type.data == std::vector<std::size_t> { 1 }; } },
        { "shift", "5000", [&e] { return e.inputData.shift == 4096; } },         // clamped to the FFT length
        { "shift", "-5000.7", [&e] { return e.inputData.shift == -4096; } },
        { "shift", "1e30", [&e] { return e.inputData.shift == 4096; } },
        { "windowLength", "9000", [&e] { return e.inputData.windowLength == 4096; } },   // the input block's comes first
        { "refLevel", "\"1e2\"", [&e] { return e.inputData.refLevel == 100.0; } },
        { "minimumPhase", "\"yes\"", [&e] { return e.inputData.minimumPhase; } },
        { "fileName", "42", [&e] { return e.inputData.fileName == "42"; } },
        { "fileName", "\"\\ud83d\\ude00\"", [&e] { return e.inputData.fileName == juce::String::charToString (0x1f600); } },
        { "NFFT", "\"8192\"", [&e] { return e.NFFT == 8192; } },
        { "windowShift", "-99999999999999999999", [&e] { return e.filterData.windowShift == -4096; } },   // beyond 64 bits
        { "refLevel", "-1e-400", [&e] { return sameDouble (e.inputData.refLevel, -0.0); } },            // below the subnormals
        { "refLevel", "\"5e-324\"", [&e] { return e.inputData.refLevel == 5e-324; } },                 // as earlier builds wrote it
    };

    for (auto version : { "\"1.0.0\"", "\"1.0\"", "\"1\"", "\"0.9.9\"", "\"\"", "1", "\"1.0.0.7\"", "null", "\"a.b.c\"" })
        EXPECT_TRUE (e.readProjectText (withValue (e, "Talvo Version", version)).wasOk()) << version;

    for (const auto& [key, value, holds] : cases)
    {
        TestEngine source;
        EXPECT_TRUE (e.readProjectText (withValue (source, key, value)).wasOk()) << key << " = " << value;
        EXPECT_TRUE (holds()) << key << " = " << value;
    }

    // A missing window type is None for the input, but stays 0 for the filter.
    const auto text = TestEngine().createProjectText();
    ASSERT_TRUE (e.readProjectText (withValue (text, "windowType", {})).wasOk());
    EXPECT_EQ (std::pair (e.inputData.windowType, e.filterData.windowType), std::pair (1, 1));
    ASSERT_TRUE (e.readProjectText (text.replaceSection (text.lastIndexOf ("\"windowType\": 1,"), 16, "")).wasOk());
    EXPECT_EQ (std::pair (e.inputData.windowType, e.filterData.windowType), std::pair (1, 0));
}

//==============================================================================
TEST (ProjectDocument, RefusedDocumentsLeaveTheLoadedDesignAlone)
{
    TestEngine e;
    loadSomething (e);
    const auto before = snapshot (e);
    const auto valid = e.createProjectText();
    const auto tail = valid.substring (valid.indexOf ("\"fs\""));

    struct Case { juce::String name, text; const char* message; };
    const char* invalid = DesignEngine::notValidFileMessage;

    std::vector<Case> cases = {
        { "empty", "", invalid },
        { "truncated", valid.substring (0, valid.length() / 2), invalid },
        { "top-level array", "[" + valid + "]", invalid },
        { "no version key", "{" + tail, invalid },
        { "only the version", "{ \"Talvo Version\": \"1.0.0\" }", invalid },
        { "fs NaN", withValue (e, "fs", "\"nan\""), invalid },
        { "fs missing", withValue (e, "fs", {}), invalid },
        { "NFFT 1000", withValue (e, "NFFT", "1000"), invalid },
        { "NFFT 131072", withValue (e, "NFFT", "131072"), invalid },
        { "NFFT negative", withValue (e, "NFFT", "-4096"), invalid },
        { "NFFT huge", withValue (e, "NFFT", "4294971392"), invalid },
        { "negative type", withValue (e, "type", "[6, -1]"), invalid },
        { "NaN type", withValue (e, "type", "[\"nan\"]"), invalid },
        { "type beyond 64 bits", withValue (e, "type", "[1e30]"), invalid },
        { "type longer than gain", withValue (withValue (withValue (e, "type", "[6, 6]"), "freq", "[1, 2]"), "q", "[1, 2]"), invalid },
        { "numIIRs negative", withValue (e, "numIIRs", "-1"), invalid },
        { "numIIRs above the sections", withValue (e, "numIIRs", "2"), invalid },
        { "numUserValues negative", withValue (e, "numUserValues", "-3"), invalid },
        { "numUserValues above points", withValue (e, "numUserValues", "2"), invalid },
        { "measurement lengths differ", withValue (e, "mag_i", "[1, 2]"), invalid },
        { "measurement phase missing", withValue (e, "phi_i", {}), invalid },
        { "user magnitude lengths differ", withValue (e, "userDefinedMag", "[1, 2, 3]"), invalid },
        { "user phase lengths differ", withValue (e, "userDefinedPhiFreq", "[10, 20]"), invalid },
        { "fs below 1 Hz", withValue (e, "fs", "0.5"), invalid },
        { "fs beyond 64 bits", withValue (e, "fs", "1.9e19"), invalid },
        { "reference level above the slider", withValue (e, "refLevel", "200.5"), invalid },
        { "nominal level below the slider", withValue (e, "nominalTargetLevel", "-1"), invalid },
        { "boost/cut limit far below", withValue (e, "limitBoostCut", "-6200"), invalid },
        { "band frequency NaN", withValue (e, "fminPhase", "\"nan\""), invalid },
        { "measurement frequencies repeat", withValue (e, "fi", "[0, 100, 100, 22100, 22200]"), invalid },
        { "measurement frequency negative", withValue (e, "fi", "[-1, 100, 1000, 22100, 22200]"), invalid },
        { "measured magnitude beyond 200 dB", withValue (e, "mag_i", "[0, 3000, 1e11, 9000, 9000]"), invalid },
        { "measured phase beyond the limit", withValue (e, "phi_i", "[0, -1, -2e7, -2, -2]"), invalid },
        { "target level 800 dB", withValue (e, "userDefinedMag", "[800]"), invalid },
        { "target phase frequency negative", withValue (e, "userDefinedPhiFreq", "[-1]"), invalid },
        { "section at 0 Hz", withValue (e, "freq", "[0]"), invalid },
        { "type beyond a table's 32 bits", withValue (e, "type", "[4294967302]"), invalid },
        { "no-designer section with a NaN gain", withValue (withValue (e, "type", "[5]"), "gain", "[\"nan\"]"), invalid },
        { "numIIRs below the sections", withValue (withValue (withValue (withValue (e, "type", "[6, 6]"), "gain", "[3, 3]"), "freq", "[1, 2]"), "q", "[1, 2]"), invalid },
        { "numUserValues below the points", withValue (withValue (withValue (withValue (e, "numUserValues", "1"), "fi", "[0, 1]", true), "mag", "[0, 0]"), "phi", "[0, 0]"), invalid },
        { "user points falling", withValue (withValue (withValue (withValue (e, "numUserValues", "2"), "fi", "[9, 1]", true), "mag", "[0, 0]"), "phi", "[0, 0]"), invalid },
        { "target frequencies repeat", withValue (withValue (e, "userDefinedMagFreq", "[1, 1]"), "userDefinedMag", "[0, 0]"), invalid },
        { "shelf slope too steep", withValue (withValue (withValue (e, "type", "[7]"), "gain", "[30]"), "q", "[50]"), invalid },
        { "user point level 760 dB", withValue (withValue (e, "numUserValues", "1"), "mag", "[760]"), invalid },
        { "q shorter than numIIRs", withValue (withValue (withValue (withValue (e, "numIIRs", "2"), "type", "[6, 6]"), "gain", "[3, 3]"), "freq", "[500, 600]"), invalid },
        { "phi shorter than numUserValues", withValue (withValue (withValue (e, "numUserValues", "2"), "fi", "[1, 2]", true), "mag", "[0, 0]"), invalid },
    };

    for (auto version : { "\"1.0.1\"", "\"1.1\"", "\"2.0.0\"", "\"99999999999.0\"", "1.5" })
        cases.push_back ({ juce::String ("version ") + version, withValue (e, "Talvo Version", version), DesignEngine::newerVersionMessage });

    for (const auto& c : cases)
    {
        const auto result = e.readProjectText (c.text);
        EXPECT_TRUE (result.failed()) << c.name;
        EXPECT_EQ (result.getErrorMessage(), juce::String (c.message)) << c.name;
        EXPECT_TRUE (snapshot (e) == before) << c.name;
    }

    // The same through files, with the file checks first.
    ScratchFolder scratch;
    EXPECT_EQ (e.readProject ({}).getErrorMessage(), DesignEngine::fileDoesNotExistMessage);
    EXPECT_EQ (e.readProject (scratch.get ("missing.tlvProj").getFullPathName()).getErrorMessage(), DesignEngine::fileDoesNotExistMessage);
    EXPECT_EQ (e.readProject (scratch.folder.getFullPathName()).getErrorMessage(), DesignEngine::fileDoesNotExistMessage);
    const auto truncated = scratch.get ("truncated.tlvProj");
    truncated.replaceWithText (valid.substring (0, 200));
    EXPECT_EQ (e.readProject (truncated.getFullPathName()).getErrorMessage(), DesignEngine::notValidFileMessage);
    EXPECT_TRUE (snapshot (e) == before);

    // And the valid one still loads.
    EXPECT_TRUE (e.readProjectText (valid).wasOk());
}

TEST (ProjectDocument, HostileBytesAreRefusedWithoutHarm)
{
    TestEngine e;
    loadSomething (e);
    const auto before = snapshot (e);
    ScratchFolder scratch;
    const auto path = scratch.get ("hostile.tlvProj").getFullPathName();

    // Based on the defaults, where every field holds a value of its own kind and every length agrees.
    const TestEngine plain;
    const auto valid = plain.createProjectText().toStdString();
    const auto with = [&plain] (const char* key, const std::string& value)
    {
        const auto text = withValue (plain, key, "@").toStdString();
        const auto at = text.find (": @");
        return text.substr (0, at + 2) + value + text.substr (at + 3);
    };
    const auto withExtraKey = [&valid] (const std::string& value) { return "{\"x\": " + value + "," + valid.substr (1); };
    const auto objects = [] (int depth) { return (juce::String::repeatedString ("{\"a\": ", depth) + "0" + juce::String::repeatedString ("}", depth)).toStdString(); };

    const std::tuple<const char*, std::string, bool> cases[] {
        { "[-], 100000 times", withExtraKey (juce::String::repeatedString ("[-],", 100000).toStdString() + "0"), false },
        { "arrays 64 deep", withExtraKey (std::string (63, '[') + std::string (63, ']')), true },
        { "arrays 65 deep", withExtraKey (std::string (64, '[') + std::string (64, ']')), false },
        { "objects 64 deep", withExtraKey (objects (63)), true },
        { "objects 65 deep", withExtraKey (objects (64)), false },
        { "sign without digits", with ("Talvo Version", "-x999999999999999999"), false },
        { "integer beyond 64 bits", withExtraKey ("-123456789012345678901234567890"), true },
        { "number beyond double", with ("refLevel", "1e999"), false },
        { "beyond double by its digits", with ("refLevel", "1" + std::string (400, '0') + "e-50"), false },
        { "exponent beyond 64 bits", with ("refLevel", "1e123456789012345678901"), false },
        { "NFFT beyond 32 bits as text", with ("NFFT", "\"4294971392\""), false },
        { "object for a string", with ("fileName", "{}"), false },
        { "array for a string", with ("fileName", "[]"), false },
        { "array for a flag", with ("minimumPhase", "[true]"), false },
        { "object for an array", with ("fi", "{}"), false },
        { "object in an array", with ("type", "[{}]"), false },
        { "lone high surrogate", with ("fileName", "\"\\ud83dx\""), false },
        { "lone low surrogate", with ("fileName", "\"\\ude00\""), false },
        { "escaped NUL", with ("fileName", "\"a\\u0000b\""), false },
        { "byte FF", with ("fileName", "\"\xff\""), false },
        { "overlong slash", with ("fileName", "\"\xc0\xaf\""), false },
        { "encoded surrogate", with ("fileName", "\"\xed\xa0\x80\""), false },
        { "cut-off sequence", with ("fileName", "\"\xe2\x82\""), false },
        { "E0 overlong", with ("fileName", "\"\xe0\x9f\xbf\""), false },
        { "E0 lowest, U+0800", with ("fileName", "\"\xe0\xa0\x80\""), true },
        { "F0 overlong", with ("fileName", "\"\xf0\x8f\xbf\xbf\""), false },
        { "F0 lowest, U+10000", with ("fileName", "\"\xf0\x90\x80\x80\""), true },
        { "F4 highest, U+10FFFF", with ("fileName", "\"\xf4\x8f\xbf\xbf\""), true },
        { "F4 beyond U+10FFFF", with ("fileName", "\"\xf4\x90\x80\x80\""), false },
        { "F5 lead byte", with ("fileName", "\"\xf5\x80\x80\x80\""), false },
        { "a repeated key counts last: a valid rate", "{\"fs\": 0.5," + valid.substr (1), true },
        { "a repeated key counts last: a rate below 1 Hz", valid.substr (0, valid.rfind ('}')) + ", \"fs\": 0.5}", false },
        { "raw control character", with ("fileName", "\"a\tb\""), false },
        { "single quotes", with ("Talvo Version", "'1.0.0'"), false },
        { "leading zero", with ("shift", "007"), false },
        { "NaN literal", with ("refLevel", "NaN"), false },
        { "trailing comma", valid.substr (0, valid.rfind ('}')) + ",}", false },
        { "NUL byte after the document", valid + std::string (1, '\0') + "x", false },
        { "byte-order mark", "\xef\xbb\xbf" + valid, true },
    };

    for (const auto& [name, bytes, accepted] : cases)
    {
        ASSERT_TRUE (juce::File (path).replaceWithData (bytes.data(), bytes.size()));

        if (accepted)
        {
            TestEngine reader;
            const auto result = reader.readProject (path);
            EXPECT_TRUE (result.wasOk()) << name << ": " << result.getErrorMessage();
        }
        else
        {
            EXPECT_EQ (e.readProject (path).getErrorMessage(), juce::String (DesignEngine::notValidFileMessage)) << name;
            EXPECT_TRUE (snapshot (e) == before) << name;
        }
    }
}

TEST (ProjectDocument, MutatedDocumentsNeverCrashNorHalfReadNorMakeACurveNonFinite)
{
    // A design that uses every part a document stores: measurement, user-defined target curves,
    // user points and one section of most kinds.
    TestEngine e;
    loadSomething (e);
    e.NFFT = 256;
    e.rebuildAxes();
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;
    e.targetData.targetPhase = TargetPhaseType::userDefined;
    auto& t = e.targetData;
    auto& f = e.filterData;
    std::tie (t.userDefinedMagFreq, t.userDefinedMag, t.userDefinedPhiFreq, t.userDefinedPhi) = std::tuple (row ({ 20, 1000, 20000 }), row ({ 0, -3, -6 }), row ({ 20, 20000 }), row ({ 0, -90 }));
    std::tie (f.numIIRs, f.type, f.gain, f.freq, f.q) = std::tuple (5, Matrix<std::size_t> (1, 5, { 1, 4, 6, 7, 9 }), row ({ 0, 0, 3, -6, 0 }), row ({ 100, 5000, 500, 200, 3000 }), row ({ 0.7, 0.7, 2, 1, 0.5 }));
    std::tie (f.numUserValues, f.fi, f.mag, f.phi) = std::tuple (3, row ({ 0, 100, 1000 }), row ({ -3, 0, 6 }), row ({ 0, 10, -10 }));
    const auto valid = e.createProjectText();
    ASSERT_TRUE (e.readProjectText (valid).wasOk());

    const char* keys[] = { "fs", "NFFT", "refLevel", "shift", "windowLength", "windowType", "fi", "mag_i", "phi_i",
                           "targetMagnitude", "targetPhase", "fminMagnitude", "fmaxMagnitude", "nominalTargetLevel",
                           "limitBoostCut", "fminPhase", "fmaxPhase", "userDefinedMagFreq", "userDefinedMag",
                           "userDefinedPhiFreq", "userDefinedPhi", "filterType", "windowShift", "minimumPhase",
                           "numUserValues", "numIIRs", "type", "gain", "freq", "q", "mag", "phi" };
    const auto deep = [] (int depth) { return juce::String::repeatedString ("[", depth) + "1" + juce::String::repeatedString ("]", depth); };
    const juce::String values[] = { "1e308", "-1e308", "5e-324", "-0.0", "0", "1", "-1", "3", "200", "-200", "200.0000001",
                                    "100", "-100.5", "1e10", "1e-300", "0.01", "0.00999", "1000", "1000.0001", "22049.99",
                                    "22050", "1e9", "1e16", "2147483648", "65536", "null", "true", "\"text\"", "\"1e3\"",
                                    "\"nan\"", "\"-inf\"", "{}", "[]", "{\"a\": [1]}", "[1e308, -1e308]", "[0, 0, 0]",
                                    "[100, 100, 100]", "[\"nan\", 1]", "[[1], 2]", "[200, -200, 200]", "[5e-324, 1e-300, 1]",
                                    "[22049.99, 1, 2, 3, 4]", "[7, 8, 2, 6, 9]", "[0, 50, 50, 1000]", "[760, 760, 760]", "-6200",
                                    deep (63), deep (65) };
    const char* fragments[] = { "[", "]", "{", "}", ",", ":", "\"", "-", ".", "e", "0", "9", "null", "true", "[]", "{}",
                                "\"nan\"", "\"inf\"", "1e999", "-1", "4096", "65536", "2147483648", "99999999999999999999",
                                "\\u0000", "\"Talvo Version\"", "\"NFFT\": 64,", "[[[[[[[[", "\xc3\xa4" };

    std::mt19937 random (1234);
    int accepted = 0;

    for (int trial = 0; trial < 2000; ++trial)
    {
        // Values replaced by extreme numbers, odd types and deep nesting, then characters edited.
        auto text = valid;

        for (int edit = (int) (random() % 3); edit > 0; --edit)
            text = withValue (text, keys[random() % std::size (keys)], values[random() % std::size (values)]);

        for (int edit = (int) (random() % 3) - 1; edit > 0; --edit)
        {
            const int at = (int) (random() % (unsigned) (text.length() + 1));

            switch (random() % 4)
            {
                case 0:  text = text.substring (0, at) + text.substring (at + 1 + (int) (random() % 8)); break;
                case 1:  text = text.substring (0, at) + juce::String (juce::CharPointer_UTF8 (fragments[random() % std::size (fragments)])) + text.substring (at); break;
                case 2:  text = text.substring (0, at) + juce::String::charToString ((juce::juce_wchar) (32 + random() % 95)) + text.substring (at + 1); break;
                default: text = text.substring (0, at); break;
            }
        }

        const auto before = snapshot (e);
        const auto result = e.readProjectText (text);

        if (result.failed())
        {
            ASSERT_TRUE (snapshot (e) == before) << "refused variant changed the design:\n" << text;
            continue;
        }

        ++accepted;

        // Read completely: the same as a fresh engine reading the same text.
        TestEngine fresh;
        ASSERT_TRUE (fresh.readProjectText (text).wasOk());
        ASSERT_EQ (fresh.createProjectText(), e.createProjectText()) << text;
        ASSERT_EQ (e.frequencyAxis.length(), e.NFFT / 2 + 1);

        // Every curve the plots show is finite, not only the filter, which a last guard keeps finite
        // whatever the document held.
        e.calculate (true);
        ASSERT_EQ (e.filterData.coefficients.length(), e.NFFT);
        for (const auto* curve : { &e.inputData.spectrum, &t.response, &t.bandResponse, &f.correction, &f.response, &f.coefficientSpectrum })
            ASSERT_TRUE (allFinite (*curve)) << text;
        for (const auto* curve : { &e.inputData.impulseResponse, &e.inputData.shiftedImpulseResponse, &f.impulseResponse, &f.coefficients })
            ASSERT_TRUE (allFinite (*curve)) << text;

        ASSERT_TRUE (e.readProjectText (valid).wasOk());
    }

    EXPECT_GT (accepted, 200);   // the loop must exercise the accepting path too
}

//==============================================================================
TEST (ProjectDocument, WritingReplacesTheFileAtomicallyReadsTheDesignOnlyAndReportsFailure)
{
    ScratchFolder scratch;
    TestEngine e;
    loadSomething (e);
    const auto before = snapshot (e);
    const auto file = scratch.get ("design.tlvProj");

    file.replaceWithText ("previous contents");
    ASSERT_TRUE (e.writeProject (file).wasOk());
    EXPECT_EQ (file.loadFileAsString(), e.createProjectText());
    EXPECT_EQ (scratch.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);   // no temporary left
    EXPECT_TRUE (snapshot (e) == before);

    // A file where the target's folder should be, and a folder as the target: refused, named, the document kept.
    scratch.get ("not-a-folder").replaceWithText ("a file where a folder should be");
    const auto result = e.writeProject (scratch.get ("not-a-folder").getChildFile ("design.tlvProj"));
    EXPECT_TRUE (result.failed() && result.getErrorMessage().contains ("design.tlvProj")) << result.getErrorMessage();
    EXPECT_TRUE (e.writeProject (scratch.folder).failed() && scratch.folder.isDirectory());
    EXPECT_EQ (file.loadFileAsString(), e.createProjectText());
}
