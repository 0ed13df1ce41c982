#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <cstdint>
#include <string>

/**
    Reads a file that the user picked, for every reader of the program (project documents,
    measurement and target files).

    Only regular files are read: a named pipe, a device or a socket is refused when it is opened,
    without waiting for anything to arrive (a pipe would block until another program writes to it,
    a device may never end). A read that fails is never taken for the end of the file: it is
    reported with the system's reason, and every later read fails too, so that nothing after a gap
    is taken either.
*/
class FileReader
{
public:
    enum class Status
    {
        ok,
        couldNotOpen,   ///< the file is missing or may not be read
        notRegular,     ///< a folder, named pipe, device or socket
        tooLarge,       ///< larger than the caller's bound (readAll)
        readFailed      ///< a read failed part-way
    };

    /** True when there is something at the path of file that is not a folder (the framework's own
        test takes a socket for a folder). Whether it can be read is for the reader to find out. */
    static bool existsAsNonFolder (const juce::File& file);

    /** Opens file for reading; see getStatus(). */
    explicit FileReader (const juce::File& file);
    ~FileReader();

    FileReader (const FileReader&) = delete;
    FileReader& operator= (const FileReader&) = delete;

    Status getStatus() const noexcept { return status; }
    bool openedOk() const noexcept { return fd >= 0; }

    /** The system's description of what went wrong, for couldNotOpen and readFailed. */
    const juce::String& getErrorText() const noexcept { return errorText; }

    /** The file's size in bytes when it was opened. */
    std::uint64_t getSizeWhenOpened() const noexcept { return sizeWhenOpened; }

    /** Reads up to numBytes into buffer, going on after interruptions.
        @returns the number of bytes read, which may be fewer than asked for; 0 at the end of the
                 file; -1 when the file is not open or a read failed (status readFailed).
    */
    std::ptrdiff_t read (void* buffer, std::size_t numBytes);

    /** What readAll found. */
    struct Contents
    {
        Status status = Status::ok;
        juce::String errorText;
        std::string bytes;
    };

    /** Reads the whole of file, refusing it as tooLarge before reading when it holds more than
        maxBytes (and when it grows beyond that while being read). Only an ok status comes with bytes. */
    static Contents readAll (const juce::File& file, std::size_t maxBytes);

    /** The text for the user when a read failed part-way. */
    static juce::String describeReadFailure (const juce::String& errorText);

    /** The text for the user when a file is not a regular file. */
    static const char* const notRegularMessage;

private:
    void fail (Status newStatus, int error);

    int fd = -1;
    Status status = Status::ok;
    juce::String errorText;
    std::uint64_t sizeWhenOpened = 0;
};
