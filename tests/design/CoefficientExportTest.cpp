#include "design/CoefficientExport.h"
#include "FaultySystemCalls.h"
#include "ImportTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = CoefficientExport::Outcome;

TEST (CoefficientFormat, MatchesClassicFixedStreamOutputWithOneLfPerLine)
{
    // Reference: standard stream output, fixed notation, precision 16, classic locale; zeros keep
    // their sign and large values get no exponent.
    std::vector<double> values { 1.0, -0.25, 1e-20, -1e-20, -0.0, 0.0, 123456.5, 1e22 };
    std::mt19937 random (7);
    std::uniform_real_distribution<double> mantissa (-1.0, 1.0);
    std::uniform_int_distribution<int> exponent (-20, 6);

    while (values.size() < 20000)
        values.push_back (mantissa (random) * std::pow (10.0, exponent (random)));

    for (const auto value : values)
    {
        std::ostringstream reference;
        reference.imbue (std::locale::classic());
        reference << std::fixed << std::setprecision (16) << value << '\n';
        ASSERT_EQ (CoefficientExport::formatCoefficients (&value, 1), reference.str()) << value;
    }

    EXPECT_EQ (CoefficientExport::formatCoefficients (values.data(), 2), "1.0000000000000000\n-0.2500000000000000\n");
}

//==============================================================================
class CoefficientFile : public ::testing::Test
{
protected:
    CoefficientFile() { for (size_t i = 0; i < values.size(); ++i) values[i] = std::sin (0.37 * (double) i); }

    CoefficientExport::Result write (const juce::File& target)
    {
        return CoefficientExport::writeCoefficients (target, values.data(), values.size());
    }

    int filesInFolder() const { return (int) scratch.folder.findChildFiles (juce::File::findFiles, false).size(); }

    ScratchFolder scratch;
    std::vector<double> values = std::vector<double> (4096);
};

TEST_F (CoefficientFile, WritesOnlyWorthwhileFiltersAndOnlyOverRegularFilesOrWhatLinksLeadTo)
{
    // Written twice each: old bytes leave no trace, the longest allowed name still gets its
    // temporary file and none stays behind, a link has the file it leads to replaced with its
    // permissions kept. Folders, devices, write-protected files, filters that are not finite or
    // would be written as zeros are refused, and nothing is written.
    const auto real = scratch.write ("real.txt", "old\n"), link = scratch.get ("link.txt");
    ::chmod (real.getFullPathName().toRawUTF8(), 0640);
    ASSERT_EQ (::symlink ("real.txt", link.getFullPathName().toRawUTF8()), 0);
    const auto locked = scratch.write ("locked.txt", "locked\n"), folder = scratch.get ("folder");
    ::chmod (locked.getFullPathName().toRawUTF8(), 0444);
    folder.createDirectory();
    const auto old = scratch.write ("old.txt", "old\n"), small = scratch.get ("small.txt");
    const bool root = ::geteuid() == 0; // root may write every file
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    struct Case { juce::File target; std::vector<double> values; Outcome outcome; std::string kept; size_t firstNonFinite = 0; };

    const Case cases[] {
        { scratch.get ("new.txt"), values, Outcome::ok, {} },
        { scratch.write ("long.txt", std::string (1 << 20, 'x')), values, Outcome::ok, {} },
        { scratch.write (juce::String::repeatedString ("n", 251) + ".txt", "old\n"), values, Outcome::ok, {} },
        { link, values, Outcome::ok, {} },
        { locked, values, root ? Outcome::ok : Outcome::couldNotOpen, "locked\n" },
        { folder, values, Outcome::couldNotOpen, {} },
        { juce::File ("/dev/null"), values, Outcome::couldNotOpen, {} },
        { scratch.get ("no-such-folder").getChildFile ("fir.txt"), values, Outcome::couldNotOpen, {} },
        { old, { 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, nan }, Outcome::notFinite, "old\n", 7 },
        { old, { 0.0, 0.0, inf, -inf }, Outcome::notFinite, "old\n", 2 },
        { old, { 0.0, -0.0, 1e-20, -1e-20, 4e-17, -4e-17 }, Outcome::allZero, "old\n" },
        { old, std::vector<double> (4096, 0.0), Outcome::allZero, "old\n" },
        { old, {}, Outcome::allZero, "old\n" },
        { small, { 0.0, -1e-16, 0.0 }, Outcome::ok, {} },
        { small, { 0.0, 6e-17 }, Outcome::ok, {} }, // rounds up to the last decimal
    };

    for (const auto& c : cases)
    {
        const auto name = c.target.getFullPathName() + " " + juce::String ((int) c.values.size());

        for (int pass = 0; pass < 2; ++pass)
        {
            const auto result = CoefficientExport::writeCoefficients (c.target, c.values.data(), c.values.size());
            EXPECT_EQ (result.outcome, c.outcome) << name;
            EXPECT_EQ (CoefficientExport::checkCoefficients (c.values.data(), c.values.size()).outcome,
                       c.outcome == Outcome::couldNotOpen ? Outcome::ok : c.outcome) << name;
            EXPECT_EQ (result.firstNonFinite, c.firstNonFinite) << name;
            EXPECT_EQ (result.errorText.isEmpty(), c.outcome != Outcome::couldNotOpen) << name;
            const auto message = result.getMessage();
            EXPECT_EQ (message == "Could not open file for writing. " + result.errorText, c.outcome == Outcome::couldNotOpen);
            EXPECT_EQ (message.contains ("coefficient " + juce::String (c.firstNonFinite + 1) + ")"),
                       c.outcome == Outcome::notFinite) << name;
        }

        EXPECT_EQ (c.target.loadFileAsString().toStdString(),
                   c.outcome == Outcome::ok ? CoefficientExport::formatCoefficients (c.values.data(), c.values.size()) : c.kept);
    }

    struct stat status {};
    ::stat (real.getFullPathName().toRawUTF8(), &status);
    EXPECT_EQ (status.st_mode & 07777, 0640u);
    EXPECT_TRUE (link.isSymbolicLink() && folder.isDirectory());
    EXPECT_EQ (filesInFolder(), 8);
}

TEST_F (CoefficientFile, AFailedWriteKeepsTheOldFile)
{
    const auto target = scratch.write ("fir.txt", "keep me\n");
    CoefficientExport::Result result;
    {
        const faults::FileSizeLimit disk (4096); // the text needs about 80 kB
        result = write (target);
    }

    EXPECT_EQ (result.outcome, Outcome::couldNotWrite);
    EXPECT_EQ (result.getMessage(), "Could not write to file. " + result.errorText);
    EXPECT_GT (result.errorText.length(), 0);
    EXPECT_EQ (target.loadFileAsString(), "keep me\n");
    EXPECT_EQ (filesInFolder(), 1);
}
