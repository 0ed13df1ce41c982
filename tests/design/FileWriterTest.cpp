// Writing under faults: whatever step fails, the old file stays byte for byte, no temporary file
// stays behind and the reason is the system's; writers in one folder never disturb each other.
#include "FaultySystemCalls.h"
#include "ImportTestFiles.h"

#include "design/FileWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>

namespace
{
    const std::string text (11583, 't');

    /** Hidden files included: the writer's temporary files are hidden. */
    int numFilesIn (const juce::File& folder) { return folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories); }

    /** The system's calls with fsync failing with error on folders only. */
    SystemCalls failingFolderFlush (int error)
    {
        auto calls = SystemCalls::system();
        calls.fsync = [error] (int fd)
        {
            struct stat status {};
            if (::fstat (fd, &status) == 0 && S_ISDIR (status.st_mode))
                return errno = error, -1;
            return ::fsync (fd);
        };
        return calls;
    }

    FileWriter::Result replace (const juce::File& target, const std::string& bytes = text)
    {
        return FileWriter::replace (target, bytes.data(), bytes.size());
    }
} // namespace

TEST (FileWriterFaults, AFailureAtAnyStepKeepsTheOldFileByteForByteAndNoTemporary)
{
    struct Fault { const char* what; std::function<SystemCalls()> calls; rlim_t diskSpace; int error; };
    const Fault cases[] {
        { "a nearly full disk: a short write, then none", [] { return SystemCalls::system(); }, 8192, EFBIG },
        { "a write failing after one that went through",
          [] { return faults::failing (&SystemCalls::write, ENOSPC, 2, faults::shortWrites (4096)); }, 0, ENOSPC },
        { "fsync", [] { return faults::failing (&SystemCalls::fsync, EIO); }, 0, EIO },
        { "close, which reports an error of the writes", []
          {
              auto calls = SystemCalls::system();
              calls.close = [] (int fd) { return ::close (fd), errno = EIO, -1; };
              return calls;
          }, 0, EIO },
        { "rename", [] { return faults::failing (&SystemCalls::rename, EIO); }, 0, EIO },
        { "creating the temporary file", [] { return faults::failing (&SystemCalls::open, EACCES); }, 0, EACCES },
    };

    for (const auto& fault : cases)
    {
        SCOPED_TRACE (fault.what);
        ScratchFolder scratch;
        const std::string old (10000, 'o');
        const auto target = scratch.write ("design.tlvProj", old), fresh = scratch.get ("new.tlvProj");

        for (const auto& file : { target, fresh })
        {
            const SystemCalls::ScopedOverride scope (fault.calls());
            std::unique_ptr<faults::FileSizeLimit> disk;
            if (fault.diskSpace > 0)
                disk = std::make_unique<faults::FileSizeLimit> (fault.diskSpace);
            const auto result = replace (file);
            disk.reset();
            EXPECT_FALSE (result.wasOk());
            EXPECT_EQ (result.errorText, std::strerror (fault.error));
        }

        EXPECT_EQ (target.loadFileAsString().toStdString(), old);
        EXPECT_EQ (numFilesIn (scratch.folder), 1);
    }
}

TEST (FileWriterFaults, PartialAndInterruptedWritesGoOnUntilEveryByteIsWritten)
{
    auto calls = faults::shortWrites (777);
    auto count = std::make_shared<int> (0);
    calls.write = [count, real = calls.write] (int fd, const void* buffer, std::size_t numBytes) -> ssize_t
    { return ++*count % 3 == 0 ? (errno = EINTR, -1) : real (fd, buffer, numBytes); };
    const SystemCalls::ScopedOverride scope (calls);
    ScratchFolder scratch;
    const auto target = scratch.write ("out", std::string (100000, 'x'));

    ASSERT_TRUE (replace (target).wasOk());
    EXPECT_EQ (target.loadFileAsString().toStdString(), text);
    EXPECT_GT (*count, 20);
    EXPECT_EQ (numFilesIn (scratch.folder), 1);
}

TEST (FileWriterFaults, AFolderThatCannotBeFlushedIsReportedWithTheNewFileInPlace)
{
    // The rename has replaced the file by then: the report must not claim that the old one is kept.
    ScratchFolder scratch;
    const auto target = scratch.write ("fir.txt", "old\n");
    {
        const SystemCalls::ScopedOverride scope (failingFolderFlush (EIO));
        const auto result = replace (target);
        EXPECT_EQ (result.outcome, FileWriter::Outcome::couldNotWrite);
        EXPECT_TRUE (result.errorText.startsWith (std::strerror (EIO)) && result.errorText.contains ("in place")) << result.errorText;
        EXPECT_EQ (target.loadFileAsString().toStdString(), text);
    }

    // A file system that cannot flush folders at all has nothing to report.
    const SystemCalls::ScopedOverride scope (failingFolderFlush (EINVAL));
    EXPECT_TRUE (replace (target, "1\n").wasOk());
    EXPECT_EQ (numFilesIn (scratch.folder), 1);
}

TEST (FileWriterFaults, ANameThatAnotherWriterTakesMeanwhileIsPassedOverAndLeftToIt)
{
    // Another writer creates each of the first three temporary names just before this one does.
    auto calls = SystemCalls::system();
    auto taken = std::make_shared<juce::StringArray>();
    calls.open = [taken] (const char* path, int flags, mode_t mode)
    {
        if ((flags & O_CREAT) != 0 && taken->size() < 3)
            taken->add (path), juce::File (path).replaceWithText ("another writer's");
        return ::open (path, flags, mode);
    };
    ScratchFolder scratch;
    {
        const SystemCalls::ScopedOverride scope (calls);
        ASSERT_TRUE (replace (scratch.get ("fir.txt")).wasOk());
    }

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
    const auto textOf = [] (int writer) { return std::string ((size_t) (2000 + 300 * writer), (char) ('a' + writer)); };
    std::atomic<int> failures { 0 };
    std::vector<std::thread> threads;

    for (int t = 0; t < numThreads; ++t)
        threads.emplace_back ([&, t]
        {
            for (int round = 0; round < numRounds; ++round)
                for (const auto& name : { "own-" + juce::String (t), juce::String ("shared") })
                    failures += replace (scratch.get (name), textOf (t)).wasOk() ? 0 : 1;
        });

    for (auto& thread : threads)
        thread.join();

    EXPECT_EQ (failures.load(), 0);
    for (int t = 0; t < numThreads; ++t)
        EXPECT_EQ (scratch.get ("own-" + juce::String (t)).loadFileAsString().toStdString(), textOf (t));

    const auto shared = scratch.get ("shared").loadFileAsString().toStdString();
    EXPECT_TRUE (! shared.empty() && shared[0] >= 'a' && shared == textOf (shared[0] - 'a'));
    EXPECT_EQ (numFilesIn (scratch.folder), numThreads + 1);
}
