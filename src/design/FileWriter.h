#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

/**
    Replaces the contents of a file, for every file that the program writes (project documents and
    exported coefficients), so that a failure at any step leaves the file as it was, byte for byte.

    The bytes go into a new temporary file beside the target, created under a name that no other
    file has at that moment (so that two writers in one folder never share one). Every byte is
    written, going on after partial writes and stopping at the first error; the file is flushed to
    the disk, renamed over the target, and then the folder is flushed so that the new name survives
    a power failure. On a failure before the rename the temporary file is removed again, and only
    the one this writer created; the target is never deleted or overwritten to get round a failed
    rename.
*/
class FileWriter
{
public:
    enum class Outcome
    {
        ok,
        couldNotOpen,   ///< the target is not a regular file or may not be written, or no file can be created beside it
        couldNotWrite   ///< writing, flushing or renaming failed; the target is as it was
    };

    struct Result
    {
        Outcome outcome = Outcome::ok;

        /** The system's description of the failure; empty when the outcome is ok. */
        juce::String errorText;

        bool wasOk() const noexcept { return outcome == Outcome::ok; }
    };

    /** Replaces the contents of target with the numBytes bytes at data.

        A target that is a symbolic link has the file it leads to replaced, and a replaced file keeps
        its permissions. A target that exists but is not a regular file, or that the user may not
        write, is refused without touching anything.

        When only flushing the folder fails after the rename, the target already holds the new
        bytes: the outcome is couldNotWrite and the text says that the new file is in place.
    */
    static Result replace (const juce::File& target, const void* data, std::size_t numBytes);
};
