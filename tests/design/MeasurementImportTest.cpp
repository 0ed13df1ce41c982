#include "design/MeasurementImport.h"
#include "DesignTestSupport.h"
#include "ImportTestFiles.h"

#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using designtest::sameDouble;

namespace
{
using Outcome = MeasurementImport::Outcome;
constexpr double pi = juce::MathConstants<double>::pi, inf = std::numeric_limits<double>::infinity();
constexpr int dB = MeasurementImport::decibels, lin = MeasurementImport::linear;
constexpr int deg = MeasurementImport::degrees, rad = MeasurementImport::radians;

/** Measurements are read at 44.1 kHz with 1024-point transforms: the points added one and two bins
    (43.06640625 Hz) above fs/2. */
constexpr double above1 = 22093.06640625, above2 = 22136.1328125;

std::optional<double> complete (const std::string& field)
{
    double value = 0.0;
    return MeasurementImport::readCompleteNumber (field.data(), field.data() + field.size(), value) ? std::optional (value)
                                                                                                   : std::nullopt;
}

/** The framework's parser is the reference, quirks included: a field is complete exactly when it
    consumes all of it, with the same value bit for bit; and the leading number of a text is what
    the string conversion reads, there being none where the parser reads nothing but white space.
    Returns whether the field is complete. */
bool expectFrameworkReading (const std::string& field)
{
    auto parser = juce::CharPointer_UTF8 (field.c_str());
    const auto expected = juce::CharacterFunctions::readDoubleValue (parser);
    const auto actual = complete (field);
    EXPECT_EQ (actual.has_value(), parser.getAddress() == field.c_str() + field.size()) << "\"" << field << "\"";
    EXPECT_TRUE (! actual || sameDouble (*actual, expected)) << "\"" << field << "\": " << expected << " vs " << *actual;

    const auto leading = MeasurementImport::readLeadingNumber (field);
    const bool hasNumber = parser != juce::CharPointer_UTF8 (field.c_str()).findEndOfWhitespace();
    EXPECT_EQ (leading.has_value(), hasNumber) << "\"" << field << "\"";
    EXPECT_TRUE (sameDouble (leading.value_or (0.0), juce::String::fromUTF8 (field.data(), (int) field.size()).getDoubleValue()))
        << "\"" << field << "\"";
    return actual.has_value();
}
} // namespace

//==============================================================================
TEST (NumberReading, AgreesWithTheFrameworkParserOnCornerCasesRandomFieldsAndDecimals)
{
    // -0 reads as +0, 0e400 as infinity, only 18 digits count; white space leads but never trails.
    // The random fields below cover the short forms; these need other characters or many digits.
    for (const auto* field : { "-0", "0e400", "-0e-400", "1e-310", "4.9e-324", "1e-330", "1.7976931348623157e308", "1.8e308",
                               "2.2250738585072014e-308", "0.0000000000000000001234", "123456789012345678901234",
                               "1234567890123456789.5", "9007199254740993", "00000000000000000000000001.5", "10e308", "0.01e310",
                               "1e0300", "  -.5E-3", "\t\v\f\r\n-2.5", "-INF", "+Inf", " -nAn", "1,5", "\xc2\xa0" "5", "infinity",
                               "96 kHz", "  44100.5Hz" })
        expectFrameworkReading (field);

    // That parser overflows an int on exponents of ten digits; there the exponent decides.
    for (const auto& [field, value] : { std::pair ("1e99999999999", inf), { "-2e+123456789012", -inf },
                                        { "1e0000000000003", 1000.0 }, { "-1e-99999999999", -0.0 } })
        EXPECT_TRUE (sameDouble (complete (field).value_or (1.0), value)) << field;

    EXPECT_EQ (MeasurementImport::readLeadingNumber ("2e99999999999 Hz"), inf);
    EXPECT_EQ (MeasurementImport::readLeadingNumber ("5e-4294967295"), 0.0);

    // Random fields; one with a run of seven digits could hold such an exponent and is left out.
    const std::string alphabet = " \t+-.eE0123456789000nafiNI5x";
    std::mt19937 random (20261206);
    int numComplete = 0;

    for (int i = 0; i < 300000 && ! ::testing::Test::HasFailure(); ++i)
    {
        std::string field (random() % 15, ' ');
        int run = 0, longestRun = 0;

        for (auto& c : field)
        {
            c = alphabet[random() % alphabet.size()];
            longestRun = std::max (longestRun, run = std::isdigit ((unsigned char) c) ? run + 1 : 0);
        }

        if (longestRun < 7)
            numComplete += expectFrameworkReading (field) ? 1 : 0;
    }

    EXPECT_GT (numComplete, 1000); // the alphabet must produce enough numbers to mean something

    // Numbers as measurement software writes them: up to 20 digits, a point anywhere, exponents
    // around the range where one multiplication rounds exactly.
    std::uniform_int_distribution<int> digit (0, 9), numDigits (1, 20), exponent (-40, 40), coin (0, 3);

    for (int i = 0; i < 200000 && ! ::testing::Test::HasFailure(); ++i)
    {
        std::string field = coin (random) == 0 ? "-" : "";
        const auto n = numDigits (random);
        const auto point = std::uniform_int_distribution<int> (0, n) (random);

        for (int d = 0; d < n; ++d)
            field += (d == point ? "." : "") + std::string (1, (char) ('0' + digit (random)));

        expectFrameworkReading (coin (random) == 0 ? field + "e" + std::to_string (exponent (random)) : field);
    }
}

//==============================================================================
class ImportFile : public ::testing::Test
{
protected:
    enum Kind { measurement, magnitudeTarget, phaseTarget };

    MeasurementImport::Points read (Kind kind, const std::string& text, const juce::String& delimiter = ",",
                                    int magnitudeUnit = dB, int phaseUnit = deg)
    {
        const auto file = scratch.write ("f.txt", text);
        const auto column = kind == magnitudeTarget ? MeasurementImport::TargetColumn::magnitude
                                                    : MeasurementImport::TargetColumn::phase;
        return kind == measurement ? MeasurementImport::readMeasurement (file, magnitudeUnit, phaseUnit, delimiter, 44100.0, 1024)
                                   : MeasurementImport::readTarget (file, column, magnitudeUnit, phaseUnit, delimiter);
    }

    ScratchFolder scratch;
};

TEST_F (ImportFile, LinesFieldsAndAddedPointsDecideTheFrequencies)
{
    // A last point below fs/2 is followed by two one and two bins above it; an empty list means
    // the file is refused for having fewer than two data lines.
    struct Case { const char* name; std::string text; const char* delimiter; std::vector<double> frequencies; };

    const Case cases[] {
        { "one data line", "* hdr\n1000\t80\t0\n", "\\t", {} },
        { "ends exactly at fs/2", "0\t0\t0\n22050\t0\t0\n", "\\t", { 0.0, 22050.0 } },
        { "empty first field", ",80,0\n100,80,0\n", ",", { 0.0, 100.0, above1, above2 } },
        { "field rules", "Freq,SPL,Phase\n100, 80, 0\n200 ,80,0\n300,,0\n400,80,0,\n500,80\n600,1e,0\n800,80,infinity\n"
                         "\"900\",80,0\n", ",", { 0.0, 100.0, 300.0, above1, above2 } },
        { "byte order mark", "\xef\xbb\xbf" "10\t1\t2\n20\t3\t4\n", "\\t", { 0.0, 10.0, 20.0, above1, above2 } },
        { "foreign header bytes", "Fr\xe9quence\tAmplitude\tPhase\n\xff\xfe\x80\n1\xc3\t2\t3\n10\t1\t2\n20\t1\t2\n", "\\t",
          { 0.0, 10.0, 20.0, above1, above2 } },
        { "no delimiter", "1000,80,0\n2000,80,0\n", "", {} },
        // Typed as a backslash and a letter, t, n and r stand for TAB, LF and CR; nothing else does.
        { "escaped LF", "1\\2n3\n4\\5n6\n", "\\n", {} },
        { "escaped CR", "1\\2r3\n4\\5r6\n", "\\r", {} },
        { "no escape", "1 2\\3\n4t5 6\n", " \\t", { 0.0, 1.0, 4.0, above1, above2 } },
        { "empty file", "", "\\t", {} },
        { "comma and space make five fields", "; response\n10.0, 78.2, 165.0\n25000.0, 60.0, -30.0\n", ", ", {} },
        { "comma lines with a comment", "; response\n10.0, 78.2, 165.0\n25000.0, 60.0, -30.0\n", ",", { 0.0, 10.0, 25000.0 } },
        { "every typed character breaks", "1\\2t3\n4t5\\6\n", "\\t\\t", { 0.0, 1.0, 4.0, above1, above2 } },
        // A character that shares the lead byte of the break character does not break.
        { "non-ASCII break", "1\xc2\xb0" "2\xc2\xb0" "3\n4\xc2\xb1" "5\xc2\xb0" "6\n7\xc2\xb0" "8\xc2\xb0" "9\n", "\xc2\xb0",
          { 0.0, 1.0, 7.0, above1, above2 } },
        { "every line end", std::string ("hdr\r\n10\t1\t2\r20\t3\t4\0" "30\t5\t6\r\n\n\r\r\n40\t7\t8", 37), "\\t",
          { 0.0, 10.0, 20.0, 30.0, 40.0, above1, above2 } },
        // Leading white space is allowed, so a line can outgrow the read block, with CR LF across blocks.
        { "long lines", std::string (65535, ' ') + "\r\n" + std::string (200000, ' ') + "10\t1\t2\r\n20\t3\t4", "\\t",
          { 0.0, 10.0, 20.0, above1, above2 } },
    };

    for (const auto& c : cases)
    {
        const auto points = read (measurement, c.text, juce::String::fromUTF8 (c.delimiter));
        EXPECT_EQ (points.outcome, c.frequencies.empty() ? Outcome::tooFewDataLines : Outcome::ok) << c.name;
        EXPECT_EQ (points.frequencies, c.frequencies) << c.name;
        EXPECT_EQ (points.getMessage().contains ("delimiter"), c.frequencies.empty()) << c.name;
    }
}

TEST_F (ImportFile, ValuesAreConvertedByTheirUnitsAndTheFirstUnusableLineIsNamed)
{
    // Measurements: linear magnitude and radians, a silent 0 Hz point in front and copies of the
    // last point above fs/2; an empty field reads as 0; unknown units give zeros and one line each
    // on standard error. Targets: no added points, a line whose other column is not a number is
    // skipped, linear levels in dB of their size, phases in degrees. A refused file hands back
    // nothing; accepted ones without values listed keep their limits inclusive.
    const std::string measured = "20,,90\n100,-6,-180\n", target = "f,m,p\n20,0.5,3.141592653589793\n40,x,1\n50,4,word\n100,-0.5,\n";
    const double a = std::pow (10.0, -6.0 / 20.0), b = 20.0 * std::log10 (0.5);
    struct Case { Kind kind; std::string text; int magnitudeUnit, phaseUnit; Outcome outcome; int line;
                  std::vector<double> values {}, phases {}; };

    const Case cases[] {
        { measurement, measured, dB, deg, Outcome::ok, 0, { 0.0, 1.0, a, a, a }, { 0.0, pi / 2.0, -pi, -pi, -pi } },
        { measurement, measured, lin, rad, Outcome::ok, 0, { 0.0, 0.0, -6.0, -6.0, -6.0 }, { 0.0, 90.0, -180.0, -180.0, -180.0 } },
        { measurement, measured, 3, 0, Outcome::ok, 0, { 0.0, 0.0, 0.0, 0.0, 0.0 }, { 0.0, 0.0, 0.0, 0.0, 0.0 } },
        { magnitudeTarget, target, dB, deg, Outcome::ok, 0, { 0.5, -0.5 } },
        { magnitudeTarget, target, lin, deg, Outcome::ok, 0, { b, b } },
        { phaseTarget, target, dB, rad, Outcome::ok, 0, { 180.0, 0.0 } },
        { phaseTarget, target, dB, deg, Outcome::ok, 0, { pi, 0.0 } },
        { phaseTarget, target, dB, 7, Outcome::ok, 0, { 0.0, 0.0 } },
        { measurement, "* hdr\n10,0,0\n20,0,0\n20,0,0\n", dB, deg, Outcome::frequencyNotRising, 4 },
        { measurement, "10,0,0\r\n\r\n5,0,0\r\n", dB, deg, Outcome::frequencyNotRising, 3 },
        { measurement, "10,0,0\nNaN,0,0\n", dB, deg, Outcome::invalidFrequency, 2 },
        { measurement, "10,0,0\ninf,0,0\n", dB, deg, Outcome::invalidFrequency, 2 },
        { measurement, "-5,0,0\n20,0,0\n", dB, deg, Outcome::invalidFrequency, 1 },
        { measurement, "1e-200,80,0\n200,70,0\n", dB, deg, Outcome::invalidFrequency, 1 },
        { measurement, "20,80,0\n9e307,85,0\n", dB, deg, Outcome::invalidFrequency, 2 },
        { measurement, "10,nan,0\n20,0,0\n", dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { measurement, "10,0,0\n20,200.5,0\n", dB, deg, Outcome::magnitudeOutOfRange, 2 },
        { measurement, "10,-200.5,0\n20,0,0\n", dB, deg, Outcome::ok, 0 },   // held linear: 10^-10.025 is in range
        { measurement, "10,1e11,0\n20,0,0\n", lin, deg, Outcome::magnitudeOutOfRange, 1 },
        { measurement, "10,-inf,0\n20,0,0\n", lin, deg, Outcome::magnitudeOutOfRange, 1 },
        { measurement, "10,nan,0\n20,0,0\n", 3, 0, Outcome::magnitudeOutOfRange, 1 }, // unknown unit, yet not a number
        { measurement, "10,0,1e308\n20,0,0\n", dB, deg, Outcome::phaseOutOfRange, 1 },
        { measurement, "10,0,0\n20,0,nan\n", dB, deg, Outcome::phaseOutOfRange, 2 },
        { measurement, "10,0,2e7\n20,0,0\n", dB, rad, Outcome::phaseOutOfRange, 1 },
        { measurement, "0,200,1e9\n20,-200,-1e9\n", dB, deg, Outcome::ok, 0 },
        { measurement, "0,0,17453292.519943297\n20,-1e10,-17453292.519943297\n", lin, rad, Outcome::ok, 0 },
        { phaseTarget, "20,1,0\n", dB, deg, Outcome::tooFewDataLines, 0 },
        { magnitudeTarget, "20,1,0\n40,0,0\n", lin, deg, Outcome::magnitudeOutOfRange, 2 }, // 0 is minus infinity dB
        { magnitudeTarget, "20,201,0\n40,1,0\n", dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { magnitudeTarget, "20,1,nan\n40,1,0\n", dB, deg, Outcome::phaseOutOfRange, 1 }, // the column not imported
        { magnitudeTarget, "20,1e-9,1e300\n40,1e9,0\n", lin, deg, Outcome::ok, 0 },
        { phaseTarget, "20,inf,0\n40,1,0\n", dB, deg, Outcome::magnitudeOutOfRange, 1 },
        { phaseTarget, "20,0,1e308\n40,0,0\n", dB, deg, Outcome::phaseOutOfRange, 1 },
        { phaseTarget, "20,0,2e7\n40,0,0\n", dB, rad, Outcome::phaseOutOfRange, 1 },
        { phaseTarget, "20,0,1e9\n40,0,-1e9\n", dB, deg, Outcome::ok, 0 },
        // The largest measured phase in radians is, converted to degrees, just beyond the limit of
        // a target phase: held in degrees, it is refused; one step below it is taken.
        { phaseTarget, "20,0,-17453292.519943293\n40,0,17453292.519943297\n", dB, rad, Outcome::phaseOutOfRange, 2 },
    };

    for (const auto& c : cases)
    {
        ::testing::internal::CaptureStderr();
        const auto points = read (c.kind, c.text, ",", c.magnitudeUnit, c.phaseUnit);
        const std::string unknown = c.magnitudeUnit == 3 && c.outcome == Outcome::ok
                                        ? "Magnitude unit not implemented\nPhase unit not implemented\n" : "";
        EXPECT_EQ (::testing::internal::GetCapturedStderr(), unknown + unknown) << c.text;
        EXPECT_EQ (points.outcome, c.outcome) << c.text;
        EXPECT_EQ (points.offendingLine, c.line) << c.text;
        EXPECT_EQ (points.getMessage().contains ("line " + juce::String (c.line) + " "), c.line > 0) << c.text;
        EXPECT_EQ (points.values.empty(), c.outcome != Outcome::ok) << c.text;

        for (const auto& [actual, expected] : { std::pair (&points.values, &c.values), { &points.phases, &c.phases } })
        {
            EXPECT_TRUE (expected->empty() || actual->size() == expected->size()) << c.text << " " << c.magnitudeUnit << c.phaseUnit;

            for (size_t i = 0; i < std::min (expected->size(), actual->size()); ++i)
                EXPECT_NEAR ((*actual)[i], (*expected)[i], 1e-12) << c.text << " " << c.magnitudeUnit << c.phaseUnit << " " << i;
        }
    }
}

TEST_F (ImportFile, MissingFoldersPipesAndDevicesAreRefused)
{
    const auto readFile = [] (const juce::File& file)
    { return MeasurementImport::readMeasurement (file, dB, deg, "\\t", 48000.0, 4096).outcome; };

    EXPECT_EQ (readFile (juce::File()), Outcome::fileDoesNotExist);
    EXPECT_EQ (readFile (scratch.get ("missing.txt")), Outcome::fileDoesNotExist);
    EXPECT_EQ (readFile (scratch.folder), Outcome::fileDoesNotExist);

    // Reading a pipe would wait for a writer forever, and /dev/zero never ends.
    const auto pipe = scratch.get ("pipe");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    EXPECT_EQ (readFile (pipe), Outcome::failedToOpen);
    EXPECT_EQ (readFile (juce::File ("/dev/zero")), Outcome::failedToOpen);

    const auto locked = scratch.write ("locked.txt", "10\t0\t0\n20\t0\t0\n");
    ASSERT_EQ (::chmod (locked.getFullPathName().toRawUTF8(), 0), 0);
    EXPECT_EQ (readFile (locked), ::geteuid() == 0 ? Outcome::ok : Outcome::failedToOpen); // root reads all
}
