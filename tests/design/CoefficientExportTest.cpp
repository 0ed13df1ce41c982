#include "design/CoefficientExport.h"
#include "ImportTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <iomanip>
#include <locale>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using Outcome = CoefficientExport::Outcome;

std::string number (double value)
{
    std::string text;
    CoefficientExport::appendNumber (text, value);
    return text;
}

std::string contents (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString().toStdString();
}

std::vector<double> designLikeCoefficients (size_t count)
{
    // A decaying, sign-changing response with exact zeros, tiny values and negative zeros.
    std::vector<double> values (count);

    for (size_t i = 0; i < count; ++i)
        values[i] = std::sin (0.37 * (double) i) * std::exp (-0.01 * (double) i);

    values[0] = 1.0;
    values[1] = -0.0;
    values[2] = -1e-20;
    values[3] = 0.0;
    return values;
}

/** Lets files grow to at most the given size in this process while it lives. */
class FileSizeLimit
{
public:
    explicit FileSizeLimit (rlim_t bytes)
    {
        ::getrlimit (RLIMIT_FSIZE, &previous);
        previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        ::setrlimit (RLIMIT_FSIZE, &limit);
    }

    ~FileSizeLimit()
    {
        ::setrlimit (RLIMIT_FSIZE, &previous);
        std::signal (SIGXFSZ, previousHandler);
    }

private:
    rlimit previous {};
    void (*previousHandler) (int) = nullptr;
};
} // namespace

//==============================================================================
TEST (CoefficientFormat, SixteenDecimalsAndTheSignOfZeros)
{
    for (const auto& [value, text] : { std::pair (1.0, "1.0000000000000000"), { -0.25, "-0.2500000000000000" },
                                       { -0.000123, "-0.0001230000000000" }, { 1e-20, "0.0000000000000000" },
                                       { -1e-20, "-0.0000000000000000" }, { -0.0, "-0.0000000000000000" },
                                       { 0.0, "0.0000000000000000" }, { 123456.5, "123456.5000000000000000" },
                                       { 1e22, "10000000000000000000000.0000000000000000" } })
        EXPECT_EQ (number (value), text) << value;
}

TEST (CoefficientFormat, MatchesClassicFixedStreamOutput)
{
    // Reference: standard stream output, fixed notation, precision 16, classic locale.
    std::mt19937 random (7);
    std::uniform_real_distribution<double> mantissa (-1.0, 1.0);
    std::uniform_int_distribution<int> exponent (-20, 6);

    for (int i = 0; i < 20000; ++i)
    {
        const auto value = std::ldexp (mantissa (random), 0) * std::pow (10.0, exponent (random));
        std::ostringstream reference;
        reference.imbue (std::locale::classic());
        reference << std::fixed << std::setprecision (16) << value;
        ASSERT_EQ (number (value), reference.str()) << value;
    }
}

TEST (CoefficientFormat, WholeTextHasOneLfTerminatedLinePerCoefficient)
{
    const double values[] { 1.0, -0.25 };
    EXPECT_EQ (CoefficientExport::formatCoefficients (values, 2), "1.0000000000000000\n-0.2500000000000000\n");
}

//==============================================================================
class CoefficientFile : public ::testing::Test
{
protected:
    ScratchFolder scratch;
    std::vector<double> values = designLikeCoefficients (4096);

    CoefficientExport::Result write (const juce::File& target)
    {
        return CoefficientExport::writeCoefficients (target, values.data(), values.size());
    }

    int filesInFolder() const { return (int) scratch.folder.findChildFiles (juce::File::findFiles, false).size(); }
};

TEST_F (CoefficientFile, WritesExactlyTheFormattedTextOverAnyOldFile)
{
    // A new file, a longer old file and one with the longest name allowed, each written twice: no
    // trace of the old bytes and no temporary file may remain.
    const auto expected = CoefficientExport::formatCoefficients (values.data(), values.size());

    const std::pair<juce::String, std::string> targets[] { { "new.txt", "" }, { "long.txt", std::string (1 << 20, 'x') },
                                                           { juce::String::repeatedString ("n", 251) + ".txt", "old\n" } };

    for (const auto& [name, old] : targets)
    {
        const auto target = old.empty() ? scratch.get (name) : scratch.write (name, old);

        for (int pass = 0; pass < 2; ++pass)
        {
            ASSERT_EQ (write (target).outcome, Outcome::ok) << name;
            EXPECT_EQ (contents (target), expected) << name;
        }

        EXPECT_EQ (filesInFolder(), 1) << name;
        target.deleteFile();
    }
}

TEST_F (CoefficientFile, FiltersWithNonFiniteOrOnlyZeroTextsAreRefusedAndNothingIsWritten)
{
    const auto old = scratch.write ("fir.txt", "old\n");
    const auto fresh = scratch.get ("new.txt");
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case { std::vector<double> values; Outcome outcome; size_t firstNonFinite; };

    const Case cases[] {
        { { 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, nan }, Outcome::notFinite, 7 },
        { { 0.0, 0.0, inf, -inf }, Outcome::notFinite, 2 },
        { { 0.0, -0.0, 1e-20, -1e-20, 4e-17, -4e-17 }, Outcome::allZero, 0 },
        { std::vector<double> (4096, 0.0), Outcome::allZero, 0 },
        { {}, Outcome::allZero, 0 },
        { { 0.0, -1e-16, 0.0 }, Outcome::ok, 0 },
        { { 0.0, 6e-17 }, Outcome::ok, 0 }, // rounds up to the last decimal
    };

    for (const auto& c : cases)
    {
        const auto expected = c.outcome == Outcome::ok ? CoefficientExport::formatCoefficients (c.values.data(), c.values.size())
                                                       : "old\n";
        const auto result = CoefficientExport::writeCoefficients (old, c.values.data(), c.values.size());
        EXPECT_EQ (result.outcome, c.outcome) << expected;
        EXPECT_EQ (CoefficientExport::checkCoefficients (c.values.data(), c.values.size()).outcome, c.outcome);
        EXPECT_EQ (result.firstNonFinite, c.firstNonFinite);
        EXPECT_EQ (contents (old), expected);

        if (c.outcome == Outcome::notFinite)
        {
            EXPECT_TRUE (result.getMessage().contains ("coefficient " + juce::String (c.firstNonFinite + 1) + ")"));
        }

        EXPECT_EQ (CoefficientExport::writeCoefficients (fresh, c.values.data(), c.values.size()).outcome, c.outcome);
        EXPECT_EQ (fresh.exists(), c.outcome == Outcome::ok);
        fresh.deleteFile();
        scratch.write ("fir.txt", "old\n");
        EXPECT_EQ (filesInFolder(), 1);
    }
}

TEST_F (CoefficientFile, AFailedWriteKeepsTheOldFile)
{
    const auto target = scratch.write ("fir.txt", "keep me\n");

    CoefficientExport::Result result;
    {
        const FileSizeLimit limit (4096); // the text needs about 80 kB
        result = write (target);
    }

    EXPECT_EQ (result.outcome, Outcome::couldNotWrite);
    EXPECT_TRUE (result.getMessage().startsWith ("Could not write to file. "));
    EXPECT_GT (result.errorText.length(), 0);
    EXPECT_EQ (contents (target), "keep me\n");
    EXPECT_EQ (filesInFolder(), 1);
}

TEST_F (CoefficientFile, TargetsThatCannotBeOpenedAreReportedAsSuch)
{
    const auto inMissingFolder = write (scratch.get ("no-such-folder").getChildFile ("fir.txt"));
    EXPECT_EQ (inMissingFolder.outcome, Outcome::couldNotOpen);
    EXPECT_EQ (inMissingFolder.getMessage(), "Could not open file for writing. " + inMissingFolder.errorText);
    EXPECT_GT (inMissingFolder.errorText.length(), 0);

    const auto folder = scratch.get ("folder");
    folder.createDirectory();
    EXPECT_EQ (write (folder).outcome, Outcome::couldNotOpen);
    EXPECT_TRUE (folder.isDirectory());

    // A device is never replaced by a regular file.
    EXPECT_EQ (write (juce::File ("/dev/null")).outcome, Outcome::couldNotOpen);

    if (::geteuid() != 0) // root may write every file
    {
        const auto target = scratch.write ("fir.txt", "protected\n");
        ::chmod (target.getFullPathName().toRawUTF8(), 0444);
        EXPECT_EQ (write (target).outcome, Outcome::couldNotOpen);
        EXPECT_EQ (contents (target), "protected\n");
    }
}

TEST_F (CoefficientFile, LinkIsFollowedAndPermissionsAreKept)
{
    const auto real = scratch.write ("real.txt", "old\n");
    ::chmod (real.getFullPathName().toRawUTF8(), 0640);
    const auto link = scratch.get ("link.txt");
    ASSERT_EQ (::symlink ("real.txt", link.getFullPathName().toRawUTF8()), 0);

    ASSERT_EQ (write (link).outcome, Outcome::ok);
    EXPECT_TRUE (link.isSymbolicLink());
    EXPECT_EQ (contents (real), CoefficientExport::formatCoefficients (values.data(), values.size()));

    struct stat status {};
    ::stat (real.getFullPathName().toRawUTF8(), &status);
    EXPECT_EQ (status.st_mode & 07777, 0640u);
}
