#include "design/MeasurementImport.h"
#include "ImportTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using Outcome = MeasurementImport::Outcome;
constexpr double pi = juce::MathConstants<double>::pi;

std::optional<double> complete (const std::string& field)
{
    double value = 12345.0;

    if (MeasurementImport::readCompleteNumber (field.data(), field.data() + field.size(), value))
        return value;

    return std::nullopt;
}

std::vector<std::string> fields (const std::string& line, const juce::String& breakCharacters)
{
    std::vector<const char*> bounds;
    MeasurementImport::splitFields (line.data(), line.data() + line.size(), breakCharacters, bounds);
    std::vector<std::string> result;

    for (size_t i = 0; i < bounds.size(); i += 2)
        result.emplace_back (bounds[i], bounds[i + 1]);

    return result;
}

MeasurementImport::Points readMeasurement (const juce::File& file, const juce::String& delimiter = "\\t",
                                           int magnitudeUnit = MeasurementImport::decibels,
                                           int phaseUnit = MeasurementImport::degrees)
{
    return MeasurementImport::readMeasurement (file, magnitudeUnit, phaseUnit, delimiter, 48000.0, 4096);
}
} // namespace

//==============================================================================
TEST (CompleteNumber, AcceptsWholeNumbersWithLeadingWhiteSpaceOnly)
{
    const double inf = std::numeric_limits<double>::infinity();

    // Fields read completely, with their values; blank fields read as zero, huge exponents as
    // infinity or a signed zero, and leading zeros of an exponent do not count.
    const std::pair<const char*, double> accepted[] {
        { "100", 100.0 }, { " 100", 100.0 }, { "\t\v\f\r\n-2.5", -2.5 }, { "+5", 5.0 }, { ".5", 0.5 }, { "5.", 5.0 },
        { "000123", 123.0 }, { "1e3", 1000.0 }, { "1E-3", 0.001 }, { "-1.5e+2", -150.0 }, { "inf", inf }, { "-INF", -inf },
        { "+Inf", inf }, { "", 0.0 }, { "   ", 0.0 }, { "\t", 0.0 }, { "1e99999999999", inf }, { "-2e+123456789012", -inf },
        { "1e0000000000003", 1000.0 }, { "1e400", inf }
    };

    for (const auto& [field, value] : accepted)
        EXPECT_EQ (complete (field), value) << "\"" << field << "\"";

    for (const auto* field : { "NaN", "nan", " -nAn" })
        EXPECT_TRUE (std::isnan (complete (field).value_or (0.0))) << field;

    const auto tiny = complete ("-1e-99999999999");
    ASSERT_TRUE (tiny);
    EXPECT_TRUE (*tiny == 0.0 && std::signbit (*tiny));

    // Trailing characters, a missing digit or exponent, longer words and a no-break space.
    for (const auto* field : { "100 ", "100\t", "5x", "1.2.3", "1,5", "0x10", "- 5", "+-5", "\xc2\xa0" "5", ".", "-", "+",
                               "-.", "1e", "1e+", "1e-", "e5", "1e5.5", "infinity", "nanx", "in", "n", "inf " })
        EXPECT_FALSE (complete (field)) << "\"" << field << "\"";
}

namespace
{
/** The framework's reading of a field: whether it consumes all of it, and the value. */
std::pair<bool, double> frameworkReading (const std::string& field)
{
    auto parser = juce::CharPointer_UTF8 (field.c_str());
    const auto value = juce::CharacterFunctions::readDoubleValue (parser);
    return { (size_t) (parser.getAddress() - field.c_str()) == field.size(), value };
}

void expectSameReading (const std::string& field)
{
    const auto [expectComplete, expected] = frameworkReading (field);
    const auto actual = complete (field);
    ASSERT_EQ (actual.has_value(), expectComplete) << "field \"" << field << "\"";

    if (! actual)
        return;

    if (std::isnan (expected))
        EXPECT_TRUE (std::isnan (*actual)) << field;
    else
        EXPECT_EQ (std::memcmp (&expected, &*actual, sizeof (double)), 0)
            << "field \"" << field << "\": " << expected << " vs " << *actual;
}

/** Random strings of up to maxLength characters from an alphabet, the same on every run. */
std::function<std::string()> randomText (std::string alphabet, size_t maxLength, unsigned seed)
{
    return [alphabet, maxLength, random = std::mt19937 (seed)]() mutable
    {
        std::string text (std::uniform_int_distribution<size_t> (0, maxLength) (random), ' ');

        for (auto& c : text)
            c = alphabet[std::uniform_int_distribution<size_t> (0, alphabet.size() - 1) (random)];

        return text;
    };
}

/** The framework's parser overflows an int on exponents of ten digits; keep the reference defined. */
bool hasLongExponent (const std::string& field)
{
    for (auto e = field.find_first_of ("eE"); e != std::string::npos; e = field.find_first_of ("eE", e + 1))
    {
        const auto start = std::min (field.size(), e + 1 + (field.find_first_of ("+-", e + 1) == e + 1 ? 1 : 0));
        if (std::min (field.find_first_not_of ("0123456789", start), field.size()) - start > 6)
            return true;
    }

    return false;
}
} // namespace

TEST (CompleteNumber, AgreesWithTheFrameworkParserOnCornerCasesRandomFieldsAndDecimals)
{
    // The framework's parser is the reference, including its quirks: -0 reads as +0, 0e400 as
    // infinity, and only 18 digits count (so 19 zeros after the point hide the rest).
    for (const auto* field : { "-0", "-000", "-0.", "-0.0", "0e400", "-0e-400", "-0e5", "1e-310", "4.9e-324",
                               "1e-330", "1.7976931348623157e308", "1.8e308", "2.2250738585072014e-308",
                               "0.0000000000000000001234", "123456789012345678901234", "1234567890123456789.5",
                               "0.1234567890123456789", "9007199254740993", "00000000000000000000000001.5",
                               "1e309", "1e310", "10e308", "0.01e310", "  -.5E-3", "+.5", "1e0300" })
        expectSameReading (field);

    // A field is complete exactly when the framework's parser consumes all of it, and the value
    // must be the same, bit for bit.
    auto randomField = randomText (" \t+-.eE0123456789000nafiNI5x", 14, 20261206);
    int numComplete = 0;

    for (int i = 0; i < 300000; ++i)
    {
        const auto field = randomField();

        if (hasLongExponent (field))
            continue;

        expectSameReading (field);

        if (::testing::Test::HasFailure())
            return;

        numComplete += complete (field).has_value() ? 1 : 0;
    }

    EXPECT_GT (numComplete, 1000); // the alphabet must produce enough numbers to mean something

    // Well-formed numbers as measurement software writes them, with up to 20 digits, a point
    // anywhere and exponents around the range where rounding is exact or not.
    std::mt19937 random (48000);
    std::uniform_int_distribution<int> digit (0, 9), numDigits (1, 20), exponent (-40, 40), coin (0, 3);

    for (int i = 0; i < 200000; ++i)
    {
        std::string field = coin (random) == 0 ? "-" : "";
        const auto n = numDigits (random);
        const auto point = std::uniform_int_distribution<int> (0, n) (random);

        for (int d = 0; d < n; ++d)
        {
            if (d == point)
                field += '.';

            field += (char) ('0' + digit (random));
        }

        if (coin (random) == 0)
            field += "e" + std::to_string (exponent (random));

        expectSameReading (field);

        if (::testing::Test::HasFailure())
            return;
    }
}

TEST (LeadingNumber, ReadsWhatTheStringConversionReads)
{
    const double inf = std::numeric_limits<double>::infinity();

    for (const auto& [text, value] : { std::pair ("96 kHz", 96.0), { "  44100.5Hz", 44100.5 }, { "1e", 1.0 }, { "word", 0.0 },
                                       { "", 0.0 }, { "infinity", inf }, { "2e99999999999 Hz", inf } })
        EXPECT_EQ (MeasurementImport::readLeadingNumber (text), value) << text;

    EXPECT_TRUE (std::isnan (MeasurementImport::readLeadingNumber ("nanny")));

    auto randomEntry = randomText (" \t+-.eE0123456789kHznai", 12, 96000);

    for (int i = 0; i < 100000; ++i)
    {
        const auto text = randomEntry();

        if (hasLongExponent (text))
            continue;

        const auto expected = juce::String (text).getDoubleValue();
        const auto actual = MeasurementImport::readLeadingNumber (text);

        if (std::isnan (expected))
            ASSERT_TRUE (std::isnan (actual)) << text;
        else
            ASSERT_EQ (std::memcmp (&expected, &actual, sizeof (double)), 0) << "\"" << text << "\": " << expected
                                                                             << " vs " << actual;
    }
}

//==============================================================================
TEST (Delimiter, OnlyTheThreeTwoCharacterEscapesAreTranslated)
{
    for (const auto& [typed, resolved] : { std::pair ("\\t", "\t"), { "\\n", "\n" }, { "\\r", "\r" }, { "\\t\\t", "\\t\\t" },
                                           { "\\x", "\\x" }, { " \\t", " \\t" }, { ", ", ", " }, { "", "" } })
        EXPECT_EQ (MeasurementImport::resolveDelimiter (typed), resolved) << typed;
}

TEST (Delimiter, EveryCharacterBreaksAndEmptyFieldsStay)
{
    using Fields = std::vector<std::string>;
    EXPECT_EQ (fields ("1,2,3", ","), (Fields { "1", "2", "3" }));
    EXPECT_EQ (fields (",1,2", ","), (Fields { "", "1", "2" }));
    EXPECT_EQ (fields ("1,2,3,", ","), (Fields { "1", "2", "3", "" }));
    EXPECT_EQ (fields ("1,,3", ","), (Fields { "1", "", "3" }));
    EXPECT_EQ (fields ("", ","), Fields {});
    EXPECT_EQ (fields (",", ","), (Fields { "", "" }));
    EXPECT_EQ (fields ("1, 2, 3", ", "), (Fields { "1", "", "2", "", "3" }));
    EXPECT_EQ (fields ("1;2 3", "; "), (Fields { "1", "2", "3" }));
    EXPECT_EQ (fields ("1\\2t3", "\\t\\t"), (Fields { "1", "2", "3" }));
    EXPECT_EQ (fields ("1 2 3", ""), (Fields { "1 2 3" }));
    EXPECT_EQ (fields ("\"1,2\",3", ","), (Fields { "\"1", "2\"", "3" })); // quotes are ordinary
}

TEST (Delimiter, NonAsciiBreakCharactersMatchWholeCharacters)
{
    using Fields = std::vector<std::string>;
    const auto degree = juce::String::fromUTF8 ("\xc2\xb0");
    EXPECT_EQ (fields ("1\xc2\xb0" "2\xc2\xb0" "3", degree), (Fields { "1", "2", "3" }));
    // A different character sharing the lead byte does not break.
    EXPECT_EQ (fields ("1\xc2\xb1" "2", degree), (Fields { "1\xc2\xb1" "2" }));
}

//==============================================================================
class MeasurementFile : public ::testing::Test
{
protected:
    ScratchFolder scratch;
};

TEST_F (MeasurementFile, LinesDelimitersAndAddedPointsDecideTheFrequencies)
{
    // Two points one and two bins above fs/2 follow a last point below it; an empty list means the
    // file is refused for having fewer than two data lines.
    const double above1 = 24011.71875, above2 = 24023.4375;
    struct Case { const char* name; std::string text; const char* delimiter; std::vector<double> frequencies; };

    const Case cases[] {
        { "one data line", "* hdr\n1000\t80\t0\n", "\\t", {} },
        { "from 0 Hz to above fs/2", "0\t0\t0\n30000\t0\t0\n", "\\t", { 0.0, 30000.0 } },
        { "ends exactly at fs/2", "0\t0\t0\n24000\t0\t0\n", "\\t", { 0.0, 24000.0 } },
        { "empty first field", ",80,0\n100,80,0\n", ",", { 0.0, 100.0, above1, above2 } },
        { "field rules", "Freq,SPL,Phase\n"   // words
                         "100, 80, 0\n"       // leading spaces: used
                         "200 ,80,0\n"        // trailing space: skipped
                         "300,,0\n"           // empty field reads as 0 dB
                         "400,80,0,\n"        // four fields
                         "500,80\n"           // two fields
                         "600,1e,0\n"         // incomplete exponent
                         "800,80,infinity\n"  // not a complete word
                         "\"900\",80,0\n",    // quotes are not numbers
          ",", { 0.0, 100.0, 300.0, above1, above2 } },
        { "byte order mark", "\xef\xbb\xbf" "10\t1\t2\n20\t3\t4\n", "\\t", { 0.0, 10.0, 20.0, above1, above2 } },
        { "foreign header bytes", "Fr\xe9quence\tAmplitude\tPhase\n\xff\xfe\x80\n1\xc3\t2\t3\n10\t1\t2\n20\t1\t2\n", "\\t",
          { 0.0, 10.0, 20.0, above1, above2 } },
        { "commas under the tab default", "1000,80,0\n2000,80,0\n", "\\t", {} },
        { "commas", "1000,80,0\n2000,80,0\n", ",", { 0.0, 1000.0, 2000.0, above1, above2 } },
        { "only headers", "* only\n* headers\n", "\\t", {} },
        { "empty file", "", "\\t", {} },
        { "spaces", "* Freq(Hz) SPL(dB) Phase(degrees)\n20.000 85.1 -12.3\r\n20.292 85.2 -15.9\r\n", " ",
          { 0.0, 20.0, 20.292, above1, above2 } },
        { "comma and space make five fields", "; response\n10.0, 78.2, 165.0\n25000.0, 60.0, -30.0\n", ", ", {} },
        { "comma lines with a comment", "; response\n10.0, 78.2, 165.0\n25000.0, 60.0, -30.0\n", ",", { 0.0, 10.0, 25000.0 } },
        { "CR LF", "hdr\r\n10\t1\t2\r\n20\t3\t4\r\n", "\\t", { 0.0, 10.0, 20.0, above1, above2 } },
        { "CR", "hdr\r10\t1\t2\r20\t3\t4\r", "\\t", { 0.0, 10.0, 20.0, above1, above2 } },
        { "NUL", std::string ("hdr\0" "10\t1\t2\0" "20\t3\t4", 18), "\\t", { 0.0, 10.0, 20.0, above1, above2 } },
        { "mixed line ends", "\n\r\n\rhdr\r\r\n10\t1\t2\n\n20\t3\t4\n\n", "\\t", { 0.0, 10.0, 20.0, above1, above2 } },
        // Leading white space is allowed, so a line can outgrow the read block, with CR LF across blocks.
        { "long lines", std::string (65535, ' ') + "\r\n" + std::string (200000, ' ') + "10\t1\t2\r\n20\t3\t4", "\\t",
          { 0.0, 10.0, 20.0, above1, above2 } },
    };

    for (const auto& c : cases)
    {
        const auto points = readMeasurement (scratch.write ("m.txt", c.text), c.delimiter);
        EXPECT_EQ (points.outcome, c.frequencies.empty() ? Outcome::tooFewDataLines : Outcome::ok) << c.name;
        EXPECT_EQ (points.frequencies, c.frequencies) << c.name;
        EXPECT_EQ (points.values.size(), c.frequencies.size()) << c.name;
        EXPECT_EQ (points.phases.size(), c.frequencies.size()) << c.name;

        EXPECT_EQ (points.getMessage().contains ("delimiter"), c.frequencies.empty()) << c.name;
    }
}

TEST_F (MeasurementFile, ValuesConvertToLinearMagnitudeAndRadiansAndAddedPointsCopyTheirNeighbour)
{
    const auto points = readMeasurement (scratch.write ("a.txt", "20\t80\t45\n30\t80\t45\n"));
    ASSERT_EQ (points.outcome, Outcome::ok);
    const auto level = points.values[1];
    EXPECT_NEAR (level, 10000.0, 1e-9);
    EXPECT_EQ (points.values, (std::vector<double> { 0.0, level, level, level, level })); // 0 Hz point first
    EXPECT_EQ (points.phases, (std::vector<double> { 0.0, pi / 4.0, pi / 4.0, pi / 4.0, pi / 4.0 }));

    // An empty field reads as 0 dB.
    EXPECT_DOUBLE_EQ (readMeasurement (scratch.write ("o.csv", "100,,0\n200,0,0\n"), ",").values[1], 1.0);

    const auto file = scratch.write ("u.txt", "0\t0.5\t90\n100\t-6\t-180\n30000\t2\t3.5\n");
    const auto dbDegrees = readMeasurement (file);
    ASSERT_EQ (dbDegrees.outcome, Outcome::ok);
    EXPECT_DOUBLE_EQ (dbDegrees.values[0], std::pow (10.0, 0.5 / 20.0));
    EXPECT_DOUBLE_EQ (dbDegrees.values[1], std::pow (10.0, -6.0 / 20.0));
    EXPECT_DOUBLE_EQ (dbDegrees.phases[0], pi / 2.0);
    EXPECT_DOUBLE_EQ (dbDegrees.phases[1], -pi);

    const auto linearRadians = readMeasurement (file, "\\t", MeasurementImport::linear, MeasurementImport::radians);
    EXPECT_EQ (linearRadians.values, (std::vector<double> { 0.5, -6.0, 2.0 }));
    EXPECT_EQ (linearRadians.phases, (std::vector<double> { 90.0, -180.0, 3.5 }));

    // Unknown units give zeros and one line each on standard error.
    ::testing::internal::CaptureStderr();
    const auto unknown = readMeasurement (scratch.write ("x.txt", "0\t1\t1\n10\t1\t1\n"), "\\t", 3, 0);
    EXPECT_EQ (::testing::internal::GetCapturedStderr(), "Magnitude unit not implemented\nPhase unit not implemented\n"
                                                         "Magnitude unit not implemented\nPhase unit not implemented\n");
    EXPECT_EQ (unknown.values, (std::vector<double> (4, 0.0)));
    EXPECT_EQ (unknown.phases, (std::vector<double> (4, 0.0)));

    // The added points follow the sample rate and FFT length.
    const auto otherRate = MeasurementImport::readMeasurement (scratch.write ("c.txt", "0\t0\t0\n1000\t0\t0\n"),
                                                               MeasurementImport::decibels,
                                                               MeasurementImport::degrees, "\\t", 44100.0, 1024);
    ASSERT_EQ (otherRate.frequencies.size(), 4u);
    EXPECT_DOUBLE_EQ (otherRate.frequencies[2], 22050.0 + 44100.0 / 1024.0);
    EXPECT_DOUBLE_EQ (otherRate.frequencies[3], 22050.0 + 2.0 * 44100.0 / 1024.0);
}

TEST_F (MeasurementFile, RefusesTheFirstLineWithAnUnusableValueAndNamesIt)
{
    // A refused file hands back nothing; an accepted one (line 0) keeps its limits inclusive.
    constexpr int dB = MeasurementImport::decibels, lin = MeasurementImport::linear;
    constexpr int deg = MeasurementImport::degrees, rad = MeasurementImport::radians;
    struct Case { std::string text; int magnitudeUnit, phaseUnit; Outcome outcome; int line; };

    const Case cases[] {
        { "* hdr\n10\t0\t0\n20\t0\t0\n20\t0\t0\n", dB, deg, Outcome::frequencyNotRising, 4 },
        { "10\t0\t0\r\n\r\n5\t0\t0\r\n", dB, deg, Outcome::frequencyNotRising, 3 },
        { "10\t0\t0\nNaN\t0\t0\n", dB, deg, Outcome::invalidFrequency, 2 },
        { "10\t0\t0\ninf\t0\t0\n", dB, deg, Outcome::invalidFrequency, 2 },
        { "-5\t0\t0\n20\t0\t0\n", dB, deg, Outcome::invalidFrequency, 1 },
        { "10\tnan\t0\n20\t0\t0\n", dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { "10\t0\t0\n20\t2e9999\t0\n", dB, deg, Outcome::magnitudeOutOfRange, 2 },
        { "10\t0\t0\n20\t7000\t0\n", dB, deg, Outcome::magnitudeOutOfRange, 2 },
        { "10\t-200.5\t0\n20\t0\t0\n", dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { "10\t1e11\t0\n20\t0\t0\n", lin, deg, Outcome::magnitudeOutOfRange, 1 },
        { "10\t-inf\t0\n20\t0\t0\n", lin, deg, Outcome::magnitudeOutOfRange, 1 },
        { "10\tnan\t0\n20\t0\t0\n", 3, 0, Outcome::magnitudeOutOfRange, 1 }, // unknown unit, yet not a number
        { "10\t0\t1e308\n20\t0\t0\n", dB, deg, Outcome::phaseOutOfRange, 1 },
        { "10\t0\t1e308\n20\t0\t0\n", dB, rad, Outcome::phaseOutOfRange, 1 },
        { "10\t0\t0\n20\t0\t-inf\n", dB, deg, Outcome::phaseOutOfRange, 2 },
        { "10\t0\t2e7\n20\t0\t0\n", dB, rad, Outcome::phaseOutOfRange, 1 },
        { "10\t0\t2e7\n20\t0\t0\n", dB, deg, Outcome::ok, 0 },
        { "0\t200\t1e9\n20\t-200\t-1e9\n", dB, deg, Outcome::ok, 0 },
        { "0\t0\t17453292\n20\t-1e10\t-17453292\n", lin, rad, Outcome::ok, 0 },
    };

    for (const auto& c : cases)
    {
        const auto points = readMeasurement (scratch.write ("r.txt", c.text), "\\t", c.magnitudeUnit, c.phaseUnit);
        EXPECT_EQ (points.outcome, c.outcome) << c.text;
        EXPECT_EQ (points.offendingLine, c.line) << c.text;
        EXPECT_EQ (points.frequencies.empty(), c.outcome != Outcome::ok) << c.text;
        EXPECT_EQ (points.getMessage().contains ("line " + juce::String (c.line) + " "), c.line > 0) << c.text;
    }
}

TEST_F (MeasurementFile, MissingFoldersPipesAndDevicesAreRefused)
{
    EXPECT_EQ (readMeasurement (juce::File()).outcome, Outcome::fileDoesNotExist);
    EXPECT_EQ (readMeasurement (scratch.get ("missing.txt")).outcome, Outcome::fileDoesNotExist);
    EXPECT_EQ (readMeasurement (scratch.folder).outcome, Outcome::fileDoesNotExist);

    // Reading a pipe would wait for a writer forever, and /dev/zero never ends.
    const auto pipe = scratch.get ("pipe");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    EXPECT_EQ (readMeasurement (pipe).outcome, Outcome::failedToOpen);
    EXPECT_EQ (readMeasurement (juce::File ("/dev/zero")).outcome, Outcome::failedToOpen);

    EXPECT_EQ (readMeasurement (scratch.get ("missing.txt")).getMessage(), "File does not exist");
    EXPECT_EQ (readMeasurement (pipe).getMessage(), "Failed to open.");

    const auto locked = scratch.write ("locked.txt", "10\t0\t0\n20\t0\t0\n");
    ASSERT_EQ (::chmod (locked.getFullPathName().toRawUTF8(), 0), 0);

    EXPECT_EQ (readMeasurement (locked).outcome, ::geteuid() == 0 ? Outcome::ok : Outcome::failedToOpen); // root reads all
}

//==============================================================================
TEST_F (MeasurementFile, RealRoomMeasurementWithStarHeader)
{
    const juce::File file (juce::String (TALVO_TEST_DATA_DIR) + "/room-response.txt");
    const auto points = readMeasurement (file);

    ASSERT_EQ (points.outcome, Outcome::ok);
    ASSERT_EQ (points.frequencies.size(), 533u + 3u);
    EXPECT_EQ (points.frequencies[0], 0.0);
    EXPECT_EQ (points.frequencies[1], 10.0);
    EXPECT_DOUBLE_EQ (points.values[1], std::pow (10.0, 64.69 / 20.0));
    EXPECT_DOUBLE_EQ (points.phases[1], -101.9297 * pi / 180.0);
    EXPECT_EQ (points.frequencies[533], 21697.804172);
    EXPECT_EQ (points.frequencies[534], 24011.71875);
    EXPECT_EQ (points.values[535], points.values[533]);
}

//==============================================================================
class TargetFile : public ::testing::Test
{
protected:
    MeasurementImport::Points read (const std::string& text, MeasurementImport::TargetColumn column,
                                    int magnitudeUnit = MeasurementImport::decibels,
                                    int phaseUnit = MeasurementImport::degrees)
    {
        return MeasurementImport::readTarget (scratch.write ("t.csv", text), column, magnitudeUnit, phaseUnit, ",");
    }

    ScratchFolder scratch;
};

TEST_F (TargetFile, MagnitudeComesFromColumnTwoButColumnThreeMustBeANumber)
{
    const auto points = read ("Hz,dB,deg\n20,3,0\n50,4,word\n100,5,\n", MeasurementImport::TargetColumn::magnitude);
    ASSERT_EQ (points.outcome, Outcome::ok);
    EXPECT_EQ (points.frequencies, (std::vector<double> { 20.0, 100.0 })); // no 0 Hz point, nothing appended
    EXPECT_EQ (points.values, (std::vector<double> { 3.0, 5.0 }));
}

TEST_F (TargetFile, LinearMagnitudeBecomesDecibelsOfItsAbsoluteValue)
{
    const auto points = read ("20,0.5,0\n40,-0.5,0\n", MeasurementImport::TargetColumn::magnitude,
                              MeasurementImport::linear);
    ASSERT_EQ (points.outcome, Outcome::ok);
    EXPECT_NEAR (points.values[0], -6.0206, 1e-4);
    EXPECT_EQ (points.values[1], points.values[0]);
}

TEST_F (TargetFile, PhaseComesFromColumnThreeInDegrees)
{
    const auto text = "20,x,1\n40,0,1\n80,0,3.141592653589793\n";
    const auto radians = read (text, MeasurementImport::TargetColumn::phase, 2, MeasurementImport::radians);
    ASSERT_EQ (radians.outcome, Outcome::ok);
    EXPECT_EQ (radians.frequencies, (std::vector<double> { 40.0, 80.0 }));
    EXPECT_DOUBLE_EQ (radians.values[1], 180.0);

    EXPECT_EQ (read (text, MeasurementImport::TargetColumn::phase, 2, MeasurementImport::degrees).values,
               (std::vector<double> { 1.0, 3.141592653589793 }));
    EXPECT_EQ (read (text, MeasurementImport::TargetColumn::phase, 2, 7).values, (std::vector<double> { 0.0, 0.0 }));
}

TEST_F (TargetFile, RefusesFewLinesAndUnusableValuesAndNamesTheLine)
{
    using Column = MeasurementImport::TargetColumn;
    constexpr auto mag = Column::magnitude, phase = Column::phase;
    constexpr int dB = MeasurementImport::decibels, lin = MeasurementImport::linear;
    constexpr int deg = MeasurementImport::degrees, rad = MeasurementImport::radians;
    struct Case { std::string text; Column column; int magnitudeUnit, phaseUnit; Outcome outcome; int line; };

    const Case cases[] {
        { "f,m,p\n", mag, dB, deg, Outcome::tooFewDataLines, 0 },
        { "20,1,0\n", phase, dB, deg, Outcome::tooFewDataLines, 0 },
        { "20,1,0\n# note\n10,1,0\n", mag, dB, deg, Outcome::frequencyNotRising, 3 },
        { "-1,0,0\n40,0,0\n", mag, dB, deg, Outcome::invalidFrequency, 1 },
        { "20,1,0\n40,0,0\n", mag, lin, deg, Outcome::magnitudeOutOfRange, 2 },   // 0 is minus infinity dB
        { "20,1e-11,0\n40,1,0\n", mag, lin, deg, Outcome::magnitudeOutOfRange, 1 },
        { "20,201,0\n40,1,0\n", mag, dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { "20,1,nan\n40,1,0\n", mag, dB, deg, Outcome::phaseOutOfRange, 1 },     // the column not imported
        { "20,inf,0\n40,1,0\n", phase, dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { "20,0,1e308\n40,0,0\n", phase, dB, deg, Outcome::phaseOutOfRange, 1 },
        { "20,0,2e7\n40,0,0\n", phase, dB, rad, Outcome::phaseOutOfRange, 1 },
        { "20,0,2e7\n40,0,0\n", phase, dB, deg, Outcome::ok, 0 },
        { "20,1e-9,1e300\n40,1e9,0\n", mag, lin, deg, Outcome::ok, 0 },
    };

    for (const auto& c : cases)
    {
        const auto points = read (c.text, c.column, c.magnitudeUnit, c.phaseUnit);
        EXPECT_EQ (points.outcome, c.outcome) << c.text;
        EXPECT_EQ (points.offendingLine, c.line) << c.text;
        EXPECT_EQ (points.values.empty(), c.outcome != Outcome::ok) << c.text;
        EXPECT_EQ (points.getMessage().contains ("line " + juce::String (c.line) + " "), c.line > 0) << c.text;
    }
}
