// Saving and exporting under faults: whatever step fails, the old file stays byte for byte, no
// temporary file stays behind and the reason is the system's.
#include "DesignTestSupport.h"
#include "FaultySystemCalls.h"
#include "ImportTestFiles.h"

#include "design/CoefficientExport.h"
#include "design/FileWriter.h"

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>

using namespace designtest;

namespace
{
    /** A design whose document takes about 11 kB: a measurement of 200 points. */
    void loadMeasurement (TestEngine& e)
    {
        std::vector<double> fi, mag, phi;
        for (int i = 0; i < 200; ++i)
        {
            fi.push_back (10.0 * std::pow (1.035, i));
            mag.push_back (1.0 + 0.37 * std::sin (0.1 * i));
            phi.push_back (-0.0123 * i);
        }
        std::tie (e.inputData.fi, e.inputData.mag_i, e.inputData.phi_i) = std::tuple (row (fi), row (mag), row (phi));
        e.inputData.fileName = "measured.txt";
        e.calculateInputFromMeasurement();
        e.calculate (true);
    }

    /** The program's two kinds of file, each written by its own entry point. */
    struct Writer
    {
        const char* name;
        std::function<FileWriter::Result (const juce::File&)> write;
        std::function<std::string()> text;
    };

    std::vector<Writer> writers (const TestEngine& e)
    {
        const auto& fir = e.filterData.coefficients.data;
        return {
            { "save", [&e] (const juce::File& f)
              {
                  const auto result = e.writeProject (f);
                  return FileWriter::Result { result.wasOk() ? FileWriter::Outcome::ok : FileWriter::Outcome::couldNotWrite,
                                              result.getErrorMessage() };
              },
              [&e] { return e.createProjectText().toStdString(); } },
            { "export", [&fir] (const juce::File& f)
              {
                  const auto result = CoefficientExport::writeCoefficients (f, fir.data(), fir.size());
                  return FileWriter::Result { result.outcome == CoefficientExport::Outcome::ok ? FileWriter::Outcome::ok
                                                                                               : FileWriter::Outcome::couldNotWrite,
                                              result.errorText };
              },
              [&fir] { return CoefficientExport::formatCoefficients (fir.data(), fir.size()); } },
        };
    }

    /** Hidden files included: the writer's temporary files are hidden. */
    int numFilesIn (const juce::File& folder)
    {
        return folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories);
    }

    bool isFolder (int fd)
    {
        struct stat status {};
        return ::fstat (fd, &status) == 0 && S_ISDIR (status.st_mode);
    }

    /** The system's calls with fsync failing with error on folders only. */
    SystemCalls failingFolderFlush (int error)
    {
        auto calls = SystemCalls::system();
        calls.fsync = [error] (int fd)
        {
            if (isFolder (fd))
            {
                errno = error;
                return -1;
            }
            return ::fsync (fd);
        };
        return calls;
    }
} // namespace

TEST (FileWriterFaults, AFailureAtAnyStepKeepsTheOldFileByteForByteAndNoTemporary)
{
    TestEngine e;
    loadMeasurement (e);
    const auto before = e.createProjectText();
    ASSERT_GT (before.length(), 9000);

    struct Fault { const char* what; std::function<SystemCalls()> calls; rlim_t diskSpace; int error; };
    const Fault cases[] {
        { "a nearly full disk: a short write, then none", [] { return SystemCalls::system(); }, 8192, EFBIG },
        { "a write failing after one that went through",
          [] { return faults::failing (&SystemCalls::write, ENOSPC, 2, faults::shortWrites (4096)); }, 0, ENOSPC },
        { "fsync", [] { return faults::failing (&SystemCalls::fsync, EIO); }, 0, EIO },
        { "close, which reports an error of the writes", []
          {
              auto calls = SystemCalls::system();
              calls.close = [] (int fd) { ::close (fd); errno = EIO; return -1; };
              return calls;
          }, 0, EIO },
        { "rename", [] { return faults::failing (&SystemCalls::rename, EIO); }, 0, EIO },
        { "creating the temporary file", [] { return faults::failing (&SystemCalls::open, EACCES); }, 0, EACCES },
    };

    for (const auto& writer : writers (e))
    {
        for (const auto& fault : cases)
        {
            SCOPED_TRACE (std::string (writer.name) + ", " + fault.what);
            ScratchFolder scratch;
            const std::string old (10000, 'o');
            const auto target = scratch.write ("design.tlvProj", old);
            const auto fresh = scratch.get ("new.tlvProj");

            for (const auto& file : { target, fresh })
            {
                FileWriter::Result result;
                {
                    const SystemCalls::ScopedOverride scope (fault.calls());
                    std::unique_ptr<faults::FileSizeLimit> disk;
                    if (fault.diskSpace > 0)
                        disk = std::make_unique<faults::FileSizeLimit> (fault.diskSpace);
                    result = writer.write (file);
                }

                EXPECT_FALSE (result.wasOk());
                EXPECT_TRUE (result.errorText.contains (std::strerror (fault.error))) << result.errorText;
            }

            EXPECT_EQ (target.loadFileAsString().toStdString(), old);
            EXPECT_FALSE (fresh.exists());
            EXPECT_EQ (numFilesIn (scratch.folder), 1);
        }
    }

    EXPECT_EQ (e.createProjectText(), before);
}

TEST (FileWriterFaults, PartialAndInterruptedWritesGoOnUntilEveryByteIsWritten)
{
    TestEngine e;
    loadMeasurement (e);

    auto calls = SystemCalls::system();
    auto count = std::make_shared<int> (0);
    calls.write = [count] (int fd, const void* buffer, std::size_t numBytes) -> ssize_t
    {
        if (++*count % 3 == 0)
        {
            errno = EINTR;
            return -1;
        }
        return ::write (fd, buffer, std::min<std::size_t> (numBytes, 777));
    };
    const SystemCalls::ScopedOverride scope (calls);

    for (const auto& writer : writers (e))
    {
        ScratchFolder scratch;
        const auto target = scratch.write ("out", std::string (100000, 'x'));
        *count = 0;
        ASSERT_TRUE (writer.write (target).wasOk()) << writer.name;
        EXPECT_EQ (target.loadFileAsString().toStdString(), writer.text()) << writer.name;
        EXPECT_GT (*count, 20) << writer.name;
        EXPECT_EQ (numFilesIn (scratch.folder), 1);
    }
}

TEST (FileWriterFaults, AFolderThatCannotBeFlushedIsReportedWithTheNewFileInPlace)
{
    // The rename has replaced the file by then: the report must not claim that the old one is kept.
    ScratchFolder scratch;
    const auto target = scratch.write ("fir.txt", "old\n");
    const std::string text = "0.5000000000000000\n";

    {
        const SystemCalls::ScopedOverride scope (failingFolderFlush (EIO));
        const auto result = FileWriter::replace (target, text.data(), text.size());
        EXPECT_EQ (result.outcome, FileWriter::Outcome::couldNotWrite);
        EXPECT_TRUE (result.errorText.startsWith (std::strerror (EIO)) && result.errorText.contains ("in place")) << result.errorText;
    }
    EXPECT_EQ (target.loadFileAsString().toStdString(), text);

    // A file system that cannot flush folders at all has nothing to report.
    const SystemCalls::ScopedOverride scope (failingFolderFlush (EINVAL));
    EXPECT_TRUE (FileWriter::replace (target, "1\n", 2).wasOk());
    EXPECT_EQ (target.loadFileAsString(), "1\n");
    EXPECT_EQ (numFilesIn (scratch.folder), 1);
}

TEST (FileWriterFaults, ANameThatAnotherWriterTakesMeanwhileIsPassedOverAndLeftToIt)
{
    // Another writer creates each of the first three temporary names just before this one does.
    ScratchFolder scratch;
    auto calls = SystemCalls::system();
    auto taken = std::make_shared<juce::StringArray>();
    calls.open = [taken] (const char* path, int flags, mode_t mode)
    {
        if ((flags & O_CREAT) != 0 && taken->size() < 3)
        {
            taken->add (path);
            juce::File (path).replaceWithText ("another writer's");
        }
        return ::open (path, flags, mode);
    };
    const auto target = scratch.get ("fir.txt");

    {
        const SystemCalls::ScopedOverride scope (calls);
        ASSERT_TRUE (FileWriter::replace (target, "1\n", 2).wasOk());
    }

    EXPECT_EQ (target.loadFileAsString(), "1\n");
    ASSERT_EQ (taken->size(), 3);
    for (const auto& path : *taken)
        EXPECT_EQ (juce::File (path).loadFileAsString(), "another writer's") << path;
    EXPECT_EQ (numFilesIn (scratch.folder), 4);
}

TEST (FileWriterFaults, ManyWritersInOneFolderAtOnceAllSucceedWithWholeTexts)
{
    // Eight threads, each writing its own file and all of them one shared file, over and over.
    ScratchFolder scratch;
    constexpr int numThreads = 8, numRounds = 40;
    const auto textOf = [] (int writer) { return std::string ((size_t) (2000 + 300 * writer), (char) ('a' + writer)) + "\n"; };
    std::atomic<int> failures { 0 };
    std::vector<std::thread> threads;

    for (int t = 0; t < numThreads; ++t)
        threads.emplace_back ([&, t]
        {
            const auto text = textOf (t);
            const auto own = scratch.get ("own-" + juce::String (t) + ".txt"), shared = scratch.get ("shared.txt");

            for (int round = 0; round < numRounds; ++round)
                for (const auto& file : { own, shared })
                    if (! FileWriter::replace (file, text.data(), text.size()).wasOk())
                        ++failures;
        });

    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ (failures.load(), 0);
    for (int t = 0; t < numThreads; ++t)
        EXPECT_EQ (scratch.get ("own-" + juce::String (t) + ".txt").loadFileAsString().toStdString(), textOf (t));

    const auto shared = scratch.get ("shared.txt").loadFileAsString().toStdString();
    const auto writer = shared.empty() ? -1 : shared[0] - 'a';
    EXPECT_TRUE (writer >= 0 && writer < numThreads && shared == textOf (writer));
    EXPECT_EQ (numFilesIn (scratch.folder), numThreads + 1);
}
