#include "design/FileWriter.h"

#include "design/SystemCalls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int maxSymbolicLinks = 40;

/** Names tried for a temporary file before giving up; each collides only with a file that another
    writer created under the same random name at the same time. */
constexpr int maxTemporaryNames = 100;

using Outcome = FileWriter::Outcome;

FileWriter::Result failure (Outcome outcome, int error)
{
    return { outcome, std::strerror (error) };
}

/** Follows symbolic links, so that the file they lead to is replaced and not the link itself. */
juce::File followLinks (juce::File file)
{
    for (int i = 0; i < maxSymbolicLinks && file.isSymbolicLink(); ++i)
        file = file.getLinkedTarget();

    return file;
}

/** A short hidden name, so that a target whose name is already as long as the file system allows
    still gets its temporary file. */
juce::File randomTemporaryBeside (const juce::File& target)
{
    thread_local std::mt19937 random (std::random_device {}());
    return target.getSiblingFile (".talvo-" + juce::String::toHexString ((juce::int64) random()).paddedLeft ('0', 8) + ".tmp");
}

bool writeAll (int fd, const char* data, std::size_t numBytes)
{
    for (std::size_t done = 0; done < numBytes;)
    {
        const auto written = SystemCalls::get().write (fd, data + done, numBytes - done);

        if (written < 0)
        {
            if (errno == EINTR)
                continue;

            return false;
        }

        if (written == 0)
        {
            errno = EIO;
            return false;
        }

        done += (std::size_t) written;
    }

    return true;
}

/** The temporary file that one write creates; removed again unless it was renamed over the target. */
class TemporaryFile
{
public:
    ~TemporaryFile()
    {
        if (fd >= 0)
            SystemCalls::get().close (fd);

        if (created && ! renamed)
            SystemCalls::get().unlink (path.toRawUTF8());
    }

    /** Creates a new file beside target under a name that nothing has; false with errno set. */
    bool create (const juce::File& target, mode_t mode)
    {
        for (int attempt = 0; attempt < maxTemporaryNames; ++attempt)
        {
            path = randomTemporaryBeside (target).getFullPathName();
            fd = SystemCalls::get().open (path.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);

            if (fd >= 0)
            {
                created = true;
                return true;
            }

            if (errno != EEXIST)
                return false;
        }

        return false;
    }

    /** Closes the file; false with errno set when the system reports an error of the writes. */
    bool close()
    {
        const auto result = SystemCalls::get().close (fd);
        fd = -1;
        return result == 0;
    }

    bool renameOver (const juce::String& targetPath)
    {
        renamed = SystemCalls::get().rename (path.toRawUTF8(), targetPath.toRawUTF8()) == 0;
        return renamed;
    }

    int fd = -1;
    juce::String path;

private:
    bool created = false, renamed = false;
};

/** Flushes the folder's entries to the disk; the error, or 0. A folder that cannot be opened for
    reading, or a file system that cannot flush folders, has nothing more to offer. */
int flushFolder (const juce::File& folder)
{
    const auto& calls = SystemCalls::get();
    const auto fd = calls.open (folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);

    if (fd < 0)
        return 0;

    const auto error = calls.fsync (fd) == 0 || errno == EINVAL || errno == ENOTSUP ? 0 : errno;
    calls.close (fd);
    return error;
}
} // namespace

FileWriter::Result FileWriter::replace (const juce::File& target, const void* data, std::size_t numBytes)
{
    if (target == juce::File())
        return failure (Outcome::couldNotOpen, ENOENT);

    const auto file = followLinks (target);
    const auto path = file.getFullPathName();
    struct stat existing {};
    const bool exists = ::stat (path.toRawUTF8(), &existing) == 0;

    if (exists && ! S_ISREG (existing.st_mode))
        return S_ISDIR (existing.st_mode) ? failure (Outcome::couldNotOpen, EISDIR)
                                          : Result { Outcome::couldNotOpen, "Not a regular file" };

    // Renaming a new file over a write-protected one would get round the protection.
    if (exists && ::access (path.toRawUTF8(), W_OK) != 0)
        return failure (Outcome::couldNotOpen, errno);

    const auto mode = exists ? (mode_t) (existing.st_mode & 07777) : (mode_t) 0666;
    TemporaryFile temporary;

    if (! temporary.create (file, mode))
        return failure (Outcome::couldNotOpen, errno);

    // The replaced file keeps its permissions exactly; open() applied the umask.
    if (exists)
        ::fchmod (temporary.fd, mode);

    if (! writeAll (temporary.fd, static_cast<const char*> (data), numBytes) || SystemCalls::get().fsync (temporary.fd) != 0
        || ! temporary.close())
        return failure (Outcome::couldNotWrite, errno);

    if (! temporary.renameOver (path))
        return failure (Outcome::couldNotWrite, errno);

    if (const auto error = flushFolder (file.getParentDirectory()); error != 0)
        return { Outcome::couldNotWrite, juce::String (std::strerror (error))
                                             + " (the new file is in place, but it may not survive a power failure)" };

    return {};
}
