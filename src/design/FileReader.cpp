#include "design/FileReader.h"

#include "design/SystemCalls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

const char* const FileReader::notRegularMessage =
    "This is not a regular file: named pipes, devices and sockets are not read.";

bool FileReader::existsAsNonFolder (const juce::File& file)
{
    struct stat entry {};
    return file != juce::File() && ::stat (file.getFullPathName().toRawUTF8(), &entry) == 0 && ! S_ISDIR (entry.st_mode);
}

FileReader::FileReader (const juce::File& file)
{
    const auto& calls = SystemCalls::get();
    const auto path = file.getFullPathName();

    // Opening a device can have effects of its own: what is not a regular file is not even opened.
    if (struct stat entry {}; ::stat (path.toRawUTF8(), &entry) == 0 && ! S_ISREG (entry.st_mode))
    {
        fail (Status::notRegular, 0);
        return;
    }

    // Not blocking, and whether it is a regular file asked again of what was opened, so that a pipe
    // put in its place in between is refused too instead of waiting for a writer.
    const auto opened = calls.open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);

    if (opened < 0)
    {
        fail (Status::couldNotOpen, errno);
        return;
    }

    fd = opened;
    struct stat opening {};

    if (calls.fstat (fd, &opening) != 0)
    {
        fail (Status::couldNotOpen, errno);
        return;
    }

    if (! S_ISREG (opening.st_mode))
    {
        fail (Status::notRegular, 0);
        return;
    }

    sizeWhenOpened = (std::uint64_t) opening.st_size;

    // Reads of a regular file never wait anyway; blocking mode keeps them plain.
    if (const auto flags = ::fcntl (fd, F_GETFL); flags >= 0)
        ::fcntl (fd, F_SETFL, flags & ~O_NONBLOCK);
}

FileReader::~FileReader()
{
    if (fd >= 0)
        SystemCalls::get().close (fd);
}

void FileReader::fail (Status newStatus, int error)
{
    status = newStatus;
    errorText = error != 0 ? juce::String (std::strerror (error)) : juce::String();

    if (fd >= 0)
    {
        SystemCalls::get().close (fd);
        fd = -1;
    }
}

std::ptrdiff_t FileReader::read (void* buffer, std::size_t numBytes)
{
    if (fd < 0)
        return -1;

    for (;;)
    {
        const auto numRead = SystemCalls::get().read (fd, buffer, numBytes);

        if (numRead >= 0)
            return numRead;

        if (errno != EINTR)
        {
            fail (Status::readFailed, errno);
            return -1;
        }
    }
}

FileReader::Contents FileReader::readAll (const juce::File& file, std::size_t maxBytes)
{
    Contents contents;
    FileReader reader (file);
    const auto finish = [&contents] (Status status, const juce::String& errorText)
    {
        contents.status = status;
        contents.errorText = errorText;
        contents.bytes.clear();
        contents.bytes.shrink_to_fit();
        return contents;
    };

    if (! reader.openedOk())
        return finish (reader.getStatus(), reader.getErrorText());

    if (reader.getSizeWhenOpened() > maxBytes)
        return finish (Status::tooLarge, {});

    // One byte more than allowed tells a file that grew beyond the bound.
    contents.bytes.resize ((std::size_t) reader.getSizeWhenOpened() + 1);
    std::size_t filled = 0;

    for (;;)
    {
        if (filled == contents.bytes.size())
        {
            if (filled > maxBytes)
                return finish (Status::tooLarge, {});

            contents.bytes.resize (std::min (maxBytes + 1, std::max<std::size_t> (2 * filled, 4096)));
        }

        const auto numRead = reader.read (contents.bytes.data() + filled, contents.bytes.size() - filled);

        if (numRead < 0)
            return finish (reader.getStatus(), reader.getErrorText());

        if (numRead == 0)
            break;

        filled += (std::size_t) numRead;
    }

    if (filled > maxBytes)
        return finish (Status::tooLarge, {});

    contents.bytes.resize (filled);
    return contents;
}

juce::String FileReader::describeReadFailure (const juce::String& errorText)
{
    return "The file could not be read to its end (" + errorText + "); nothing of it was taken.";
}
