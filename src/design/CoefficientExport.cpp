#include "design/CoefficientExport.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int decimals = 16;
constexpr int maxSymbolicLinks = 40;

/** Follows symbolic links, so that the file they lead to is replaced and not the link itself. */
juce::File followLinks (juce::File file)
{
    for (int i = 0; i < maxSymbolicLinks && file.isSymbolicLink(); ++i)
        file = file.getLinkedTarget();

    return file;
}

/** Writes all of text, going on after partial writes; false with errno set on a failure. */
bool writeAll (int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();)
    {
        const auto written = ::write (fd, text.data() + done, text.size() - done);

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

        done += (size_t) written;
    }

    return true;
}

/** A new, not yet created file name in the target's folder, removed again when this goes out of
    scope (after a successful rename there is nothing left to remove). */
struct TemporaryBeside
{
    explicit TemporaryBeside (const juce::File& target)
        : file (target.getParentDirectory().getNonexistentChildFile (".talvo-export", ".tmp", false))
    {
    }

    ~TemporaryBeside() { file.deleteFile(); }

    const juce::File file;
};

/** Whether value comes out as a zero of either sign in the file's number format. */
bool writtenAsZero (double value)
{
    // 1e-16 and above come out as at least the last decimal; below, only the exact rounding tells.
    if (! (std::abs (value) < 1.0e-16))
        return false;

    std::string text;
    CoefficientExport::appendNumber (text, value);
    return text.find_first_of ("123456789") == std::string::npos;
}

CoefficientExport::Result failure (CoefficientExport::Outcome outcome, const juce::String& errorText)
{
    CoefficientExport::Result result;
    result.outcome = outcome;
    result.errorText = errorText;
    return result;
}
} // namespace

juce::String CoefficientExport::Result::getMessage() const
{
    switch (outcome)
    {
        case Outcome::ok:            return {};
        case Outcome::notFinite:
            return "The filter holds coefficients that are not finite numbers (the first is coefficient "
                   + juce::String ((juce::int64) firstNonFinite + 1) + "); nothing was written.";
        case Outcome::allZero:
            return "The filter is zero everywhere: check the length and the shift of the filter window.";
        case Outcome::couldNotOpen:  return "Could not open file for writing. " + errorText;
        case Outcome::couldNotWrite: return "Could not write to file. " + errorText;
    }

    return {};
}

void CoefficientExport::appendNumber (std::string& text, double value)
{
    // Fixed notation with a given precision is rounded exactly as printf's %.16f in the classic
    // locale, whatever locale the user runs.
    char buffer[400];
    const auto written = std::to_chars (buffer, buffer + sizeof (buffer), value, std::chars_format::fixed, decimals);
    text.append (buffer, written.ptr);
}

std::string CoefficientExport::formatCoefficients (const double* coefficients, size_t count)
{
    std::string text;
    text.reserve (count * (decimals + 5));

    for (size_t i = 0; i < count; ++i)
    {
        appendNumber (text, coefficients[i]);
        text.push_back ('\n');
    }

    return text;
}

CoefficientExport::Result CoefficientExport::checkCoefficients (const double* coefficients, size_t count)
{
    Result result;
    bool anyWrittenAsNonZero = false;

    for (size_t i = 0; i < count; ++i)
    {
        if (! std::isfinite (coefficients[i]))
        {
            result.outcome = Outcome::notFinite;
            result.firstNonFinite = i;
            return result;
        }

        anyWrittenAsNonZero = anyWrittenAsNonZero || ! writtenAsZero (coefficients[i]);
    }

    if (! anyWrittenAsNonZero)
        result.outcome = Outcome::allZero;

    return result;
}

CoefficientExport::Result CoefficientExport::writeCoefficients (const juce::File& target, const double* coefficients,
                                                                size_t count)
{
    if (const auto check = checkCoefficients (coefficients, count); check.outcome != Outcome::ok)
        return check;

    const auto file = followLinks (target);
    const auto path = file.getFullPathName();
    struct stat existing {};
    const bool exists = ::stat (path.toRawUTF8(), &existing) == 0;

    if (exists && ! S_ISREG (existing.st_mode))
        return failure (Outcome::couldNotOpen, S_ISDIR (existing.st_mode) ? std::strerror (EISDIR)
                                                                          : "Not a regular file");

    // Renaming a new file over a write-protected one would bypass the protection.
    if (exists && ! file.hasWriteAccess())
        return failure (Outcome::couldNotOpen, std::strerror (EACCES));

    const auto text = formatCoefficients (coefficients, count);
    // A short hidden name, so that a target whose name is already as long as the file system
    // allows still gets its temporary file. Whatever happens below, it does not stay behind.
    const TemporaryBeside temporary (file);
    const auto temporaryPath = temporary.file.getFullPathName();
    const auto mode = exists ? (mode_t) (existing.st_mode & 07777) : (mode_t) 0666;

    const auto fd = ::open (temporaryPath.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);

    if (fd < 0)
        return failure (Outcome::couldNotOpen, std::strerror (errno));

    if (! writeAll (fd, text) || ::fsync (fd) != 0)
    {
        const auto error = errno;
        ::close (fd);
        return failure (Outcome::couldNotWrite, std::strerror (error));
    }

    if (::close (fd) != 0)
        return failure (Outcome::couldNotWrite, std::strerror (errno));

    if (exists)
        ::chmod (temporaryPath.toRawUTF8(), mode); // open() applied the umask

    if (std::rename (temporaryPath.toRawUTF8(), path.toRawUTF8()) != 0)
        return failure (Outcome::couldNotWrite, std::strerror (errno));

    return {};
}
