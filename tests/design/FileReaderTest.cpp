// Opening and importing under faults: what is not a regular file is refused at once, nothing is
// read without bound, and a read that fails anywhere refuses the whole file.
#include "DesignTestSupport.h"
#include "FaultySystemCalls.h"
#include "ImportTestFiles.h"

#include "design/DesignLimits.h"
#include "design/FileReader.h"
#include "design/MeasurementImport.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace designtest;

namespace
{
    /** A measurement file of 200 lines, about 6 kB. */
    std::string measurementText()
    {
        std::string text = "Freq\tdB\tdeg\n";
        for (int i = 0; i < 200; ++i)
            text += juce::String (10.0 * std::pow (1.035, i), 6).toStdString() + "\t" + juce::String (80.0 + std::sin (0.1 * i), 6).toStdString()
                    + "\t" + juce::String (-0.674 * i, 3).toStdString() + "\n";
        return text;
    }

    MeasurementImport::Points readMeasurement (const juce::File& file)
    {
        return MeasurementImport::readMeasurement (file, MeasurementImport::decibels, MeasurementImport::degrees, "\\t", 48000.0, 4096);
    }

    /** Runs read on another thread and gives it a few seconds: a read that waits for a pipe's
        writer fails the test instead of hanging it. */
    template <typename Read>
    auto withinSeconds (Read read, const juce::File& pipe)
    {
        auto reading = std::async (std::launch::async, read);

        if (reading.wait_for (std::chrono::seconds (5)) != std::future_status::ready)
        {
            ADD_FAILURE() << "the read waited for a writer";
            const auto writer = ::open (pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
            ::close (writer);
        }

        return reading.get();
    }

    /** The engine's design as a document, and its file path: what a refused document must leave. */
    auto stateOf (const DesignEngine& e) { return std::pair (e.createProjectText(), e.projectFilePath); }
} // namespace

TEST (FileReaderFaults, OpenRefusesPipesDevicesAndSocketsAtOnce)
{
    ScratchFolder scratch;
    const auto pipe = scratch.get ("pipe.tlvProj"), socket = scratch.get ("socket.tlvProj");
    ASSERT_EQ (::mkfifo (pipe.getFullPathName().toRawUTF8(), 0600), 0);
    const auto listening = ::socket (AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy (address.sun_path, socket.getFullPathName().toRawUTF8(), sizeof (address.sun_path) - 1);
    ASSERT_EQ (::bind (listening, reinterpret_cast<sockaddr*> (&address), sizeof (address)), 0);

    TestEngine e;
    e.projectFilePath = "/earlier.tlvProj";
    const auto before = stateOf (e);

    for (const auto& file : { pipe, socket, juce::File ("/dev/zero"), juce::File ("/dev/null") })
    {
        const auto result = withinSeconds ([&] { return e.readProject (file.getFullPathName()); }, pipe);
        EXPECT_EQ (result.getErrorMessage(), FileReader::notRegularMessage) << file.getFullPathName();
        EXPECT_EQ (withinSeconds ([&] { return readMeasurement (file).outcome; }, pipe), MeasurementImport::Outcome::failedToOpen);
    }

    EXPECT_TRUE (stateOf (e) == before);
    ::close (listening);
}

TEST (FileReaderFaults, OpenRefusesADocumentAboveTheBoundBeforeReadingIt)
{
    ScratchFolder scratch;
    const auto file = scratch.write ("huge.tlvProj", "{\"Talvo Version\": \"1.0.0\"}");
    ASSERT_EQ (::truncate (file.getFullPathName().toRawUTF8(), (off_t) DesignLimits::maxProjectDocumentBytes + 1), 0); // sparse

    TestEngine e;
    const auto before = stateOf (e);
    {
        // Reading it would fail: the refusal comes before.
        const SystemCalls::ScopedOverride scope (faults::failing (&SystemCalls::read, EIO));
        EXPECT_EQ (e.readProject (file.getFullPathName()).getErrorMessage(), DesignEngine::getDocumentTooLargeMessage());
    }
    EXPECT_TRUE (stateOf (e) == before);

    // A file that is larger than it said when it was opened (it grew, or its size is not known)
    // is read only up to the bound.
    auto calls = SystemCalls::system();
    calls.fstat = [] (int fd, struct stat* status) { const auto result = ::fstat (fd, status); status->st_size = 100; return result; };
    const SystemCalls::ScopedOverride scope (calls);
    const auto contents = FileReader::readAll (file, DesignLimits::maxProjectDocumentBytes);
    EXPECT_EQ (contents.status, FileReader::Status::tooLarge);
    EXPECT_TRUE (contents.bytes.empty());
}

TEST (FileReaderFaults, AReadFailingAnywhereRefusesTheWholeFileWithTheSystemsReason)
{
    // Reads of 512 bytes, so that the failure can fall on every read of the file, the last one
    // (which finds the end) included, until it falls beyond them.
    ScratchFolder scratch;
    const auto measurement = scratch.write ("measured.txt", measurementText());
    const auto expected = readMeasurement (measurement);
    ASSERT_EQ (expected.outcome, MeasurementImport::Outcome::ok);
    ASSERT_EQ (expected.frequencies.size(), 203u);

    int failing = 1;
    for (;; ++failing)
    {
        const SystemCalls::ScopedOverride scope (faults::failing (&SystemCalls::read, EIO, failing, faults::shortReads (512)));
        const auto points = readMeasurement (measurement);
        if (points.outcome == MeasurementImport::Outcome::ok)
        {
            EXPECT_TRUE (points.frequencies == expected.frequencies && points.values == expected.values && points.phases == expected.phases);
            break;
        }
        ASSERT_EQ (points.getMessage(), FileReader::describeReadFailure (std::strerror (EIO))) << "read " << failing;
        EXPECT_TRUE (points.frequencies.empty() && points.getMessage().contains ("Input/output error"));
    }
    EXPECT_EQ (failing, (int) (measurement.getSize() + 511) / 512 + 2);

    // Interrupted reads are read again.
    const SystemCalls::ScopedOverride scope (faults::failing (&SystemCalls::read, EINTR, 2, faults::shortReads (512)));
    EXPECT_EQ (readMeasurement (measurement).frequencies, expected.frequencies);
}
