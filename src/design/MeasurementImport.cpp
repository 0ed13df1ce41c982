#include "design/MeasurementImport.h"

#include <array>
#include <charconv>
#include <cstring>
#include <cmath>
#include <iostream>
#include <string>
#include <sys/stat.h>

namespace
{
constexpr double pi = juce::MathConstants<double>::pi;

bool isNumberWhitespace (char c) noexcept
{
    return c == ' ' || (c >= 9 && c <= 13);
}

bool isDigit (char c) noexcept
{
    return c >= '0' && c <= '9';
}

bool equalsIgnoringCase (char c, char lowerCase) noexcept
{
    return c == lowerCase || c == lowerCase - ('a' - 'A');
}

/** Digits that the framework's number parser keeps of a number. */
constexpr int maxExactDigits = 18;

/** Largest decimal exponent for which that parser has no rule of its own. */
constexpr int maxPlainExponent = 300;

/** Integers of up to 15 digits and the powers of ten up to 10^22 are exact in a double. */
constexpr int maxExactMantissaDigits = 15, maxExactPowerOfTen = 22;

constexpr double exactPowersOfTen[] = { 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

/** Reads [begin, end), known to be a complete number, with the framework's parser. */
double readWithFrameworkParser (const char* begin, const char* end)
{
    // The parser reads up to a NUL: hand it a terminated copy.
    const std::string copy (begin, end);
    auto text = juce::CharPointer_UTF8 (copy.c_str());
    return juce::CharacterFunctions::readDoubleValue (text);
}

//==============================================================================
/** Finds the break characters of a line. ASCII break characters are looked up in a table; others
    are matched as whole UTF-8 sequences, which cannot start inside another character's sequence. */
class FieldSplitter
{
public:
    explicit FieldSplitter (const juce::String& breakCharacters)
    {
        for (auto p = breakCharacters.getCharPointer(); ! p.isEmpty(); ++p)
        {
            const auto c = *p;

            if (c < 0x80)
            {
                asciiBreaks[(size_t) c] = true;
            }
            else
            {
                char encoded[8] = {};
                const auto numBytes = juce::CharPointer_UTF8 (encoded).getBytesRequiredFor (c);
                juce::CharPointer_UTF8 (encoded).write (c);
                wideBreaks.emplace_back (encoded, numBytes);
            }
        }
    }

    /** Appends begin/end pairs of the fields of [begin, end) to bounds. */
    int split (const char* begin, const char* end, std::vector<const char*>& bounds) const
    {
        bounds.clear();

        if (begin == end)
            return 0;

        auto fieldStart = begin;

        for (auto p = begin; p < end;)
        {
            if (wideBreaks.empty())
            {
                while (p < end && ! asciiBreaks[(unsigned char) *p])
                    ++p;

                if (p == end)
                    break;
            }

            const auto breakLength = breakLengthAt (p, end);

            if (breakLength == 0)
            {
                ++p;
                continue;
            }

            bounds.push_back (fieldStart);
            bounds.push_back (p);
            p += breakLength;
            fieldStart = p;
        }

        bounds.push_back (fieldStart);
        bounds.push_back (end);
        return (int) bounds.size() / 2;
    }

private:
    size_t breakLengthAt (const char* p, const char* end) const noexcept
    {
        const auto byte = (unsigned char) *p;

        if (byte < 0x80)
            return asciiBreaks[byte] ? 1 : 0; // ASCII never occurs inside a longer character

        for (auto& sequence : wideBreaks)
            if ((size_t) (end - p) >= sequence.size() && std::equal (sequence.begin(), sequence.end(), p))
                return sequence.size();

        return 0;
    }

    std::array<bool, 256> asciiBreaks {}; // only the first 128 are ever set
    std::vector<std::string> wideBreaks;
};

//==============================================================================
/** Hands out the lines of a stream, read in blocks so that a file of any size needs little memory.
    A line ends at LF, CR, CR LF or NUL; the end is not part of the line. */
class LineReader
{
public:
    static bool isLineEnd (char c) noexcept
    {
        return (unsigned char) c <= '\r' && (c == '\n' || c == '\r' || c == '\0');
    }

    explicit LineReader (juce::InputStream& source) : stream (source) {}

    /** Sets [begin, end) to the next line; false when the stream is exhausted. The bytes stay valid
        until the next call. */
    bool next (const char*& begin, const char*& end)
    {
        for (;;)
        {
            if (swallowLineFeed && scan < filled)
            {
                swallowLineFeed = false;

                if (block[scan] == '\n')
                    lineStart = ++scan;
            }

            const auto* data = block.data();
            auto i = scan;

            while (i < filled && ! isLineEnd (data[i]))
                ++i;

            scan = i;

            if (i < filled)
            {
                swallowLineFeed = (data[i] == '\r');
                begin = data + lineStart;
                end = data + i;
                lineStart = ++scan;
                return true;
            }

            if (! refill())
            {
                if (lineStart == filled)
                    return false;

                // The last line of a file that does not end with a line end.
                begin = block.data() + lineStart;
                end = block.data() + filled;
                lineStart = scan = filled;
                return true;
            }
        }
    }

private:
    bool refill()
    {
        // Keep the unfinished line at the front of the block, then read more behind it.
        const auto kept = filled - lineStart;
        if (kept > 0)
            std::memmove (block.data(), block.data() + lineStart, kept);
        filled = kept;
        scan = kept;
        lineStart = 0;

        if (block.size() - filled < blockSize)
            block.resize (filled + blockSize);

        const auto numRead = stream.read (block.data() + filled, (int) blockSize);

        if (numRead <= 0)
            return false;

        filled += (size_t) numRead;
        return true;
    }

    static constexpr size_t blockSize = 1 << 16;

    juce::InputStream& stream;
    std::vector<char> block;
    size_t filled = 0, scan = 0, lineStart = 0;
    bool swallowLineFeed = false;
};

//==============================================================================
/** Opens the file and hands every used line (three complete numbers) with its 1-based line number
    to useLine, which returns false to stop the reading. */
template <typename UseLine>
MeasurementImport::Outcome forEachUsedLine (const juce::File& file, const juce::String& typedDelimiter,
                                            UseLine&& useLine)
{
    if (! file.existsAsFile())
        return MeasurementImport::Outcome::fileDoesNotExist;

    // A pipe would block the program until something writes to it, and a device may never end:
    // only regular files are read.
    struct stat status {};

    if (::stat (file.getFullPathName().toRawUTF8(), &status) != 0 || ! S_ISREG (status.st_mode))
        return MeasurementImport::Outcome::failedToOpen;

    juce::FileInputStream stream (file);

    if (! stream.openedOk())
        return MeasurementImport::Outcome::failedToOpen;

    const FieldSplitter splitter (MeasurementImport::resolveDelimiter (typedDelimiter));
    LineReader lines (stream);
    std::vector<const char*> bounds;
    const char* begin = nullptr;
    const char* end = nullptr;
    int lineNumber = 0;

    while (lines.next (begin, end))
    {
        ++lineNumber;

        // A byte-order mark only says that the text is UTF-8; it belongs to no field.
        if (lineNumber == 1 && end - begin >= 3 && (unsigned char) begin[0] == 0xef
            && (unsigned char) begin[1] == 0xbb && (unsigned char) begin[2] == 0xbf)
            begin += 3;

        if (splitter.split (begin, end, bounds) != 3)
            continue;

        double values[3];
        bool complete = true;

        for (int i = 0; i < 3 && complete; ++i)
            complete = MeasurementImport::readCompleteNumber (bounds[(size_t) (2 * i)], bounds[(size_t) (2 * i + 1)],
                                                              values[i]);

        if (complete && ! useLine (lineNumber, values[0], values[1], values[2]))
            break;
    }

    return MeasurementImport::Outcome::ok;
}

/** The spline through the points divides by the step between two frequencies, so each used
    frequency must be finite and above the one before. */
bool continuesRising (const std::vector<double>& frequencies, double f) noexcept
{
    return std::isfinite (f) && (frequencies.empty() || f > frequencies.back());
}
/** Gives a finished read its outcome; a refused file hands back no points at all.
    @returns true when the points are usable. */
bool conclude (MeasurementImport::Points& points, size_t minimumPoints, MeasurementImport::Outcome tooFew)
{
    using Outcome = MeasurementImport::Outcome;

    if (points.outcome == Outcome::ok && points.offendingLine != 0)
        points.outcome = Outcome::frequencyNotRising;
    else if (points.outcome == Outcome::ok && points.frequencies.size() < minimumPoints)
        points.outcome = tooFew;

    if (points.outcome == Outcome::ok)
        return true;

    points.frequencies.clear();
    points.values.clear();
    points.phases.clear();
    return false;
}
} // namespace

//==============================================================================
juce::String MeasurementImport::Points::getMessage() const
{
    switch (outcome)
    {
        case Outcome::ok:                 return {};
        case Outcome::fileDoesNotExist:   return "File does not exist";
        case Outcome::failedToOpen:       return "Failed to open.";
        case Outcome::noDataLines:
            return "No data lines were found. A data line holds three numbers (frequency, magnitude, phase) "
                   "separated by the delimiter; check that the delimiter matches the file.";
        case Outcome::tooFewDataLines:
            return "Fewer than two data lines were found. A data line holds three numbers separated by the "
                   "delimiter; check that the delimiter matches the file.";
        case Outcome::frequencyNotRising:
            return "The frequencies must rise from one data line to the next, but line "
                   + juce::String (offendingLine) + " does not.";
    }

    return {};
}

juce::String MeasurementImport::resolveDelimiter (const juce::String& typed)
{
    if (typed == "\\t") return "\t";
    if (typed == "\\n") return "\n";
    if (typed == "\\r") return "\r";
    return typed;
}

namespace
{
/** Reads a number from the start of [begin, end) exactly as the framework's parser
    (juce::CharacterFunctions::readDoubleValue) does, and returns where that parser stops: after
    the number, or after the leading white space when there is no number (value 0 then). */
const char* scanNumber (const char* begin, const char* end, double& value) noexcept
{
    auto p = begin;

    while (p < end && isNumberWhitespace (*p))
        ++p;

    const auto numberStart = p;
    value = 0.0;

    if (p == end)
        return p;

    const bool negative = (*p == '-');

    if (*p == '-' || *p == '+')
        ++p;

    // The two words, in any letter case.
    if (p < end && (equalsIgnoringCase (*p, 'n') || equalsIgnoringCase (*p, 'i')))
    {
        if (end - p >= 3 && equalsIgnoringCase (p[0], 'n') && equalsIgnoringCase (p[1], 'a')
            && equalsIgnoringCase (p[2], 'n'))
        {
            value = std::numeric_limits<double>::quiet_NaN();
            return p + 3;
        }

        if (end - p >= 3 && equalsIgnoringCase (p[0], 'i') && equalsIgnoringCase (p[1], 'n')
            && equalsIgnoringCase (p[2], 'f'))
        {
            value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
            return p + 3;
        }

        return numberStart;
    }

    // Digits as the framework's parser counts them: leading zeros of the integer part do not
    // count, every digit after the point does. It keeps at most 18 of them.
    // Alongside, the digits are gathered into an integer mantissa while it stays exact.
    int numDigits = 0, numCountedDigits = 0, numMantissaDigits = 0, numFractionDigits = 0;
    std::uint64_t mantissa = 0;

    const auto addToMantissa = [&] (char digit)
    {
        if (numMantissaDigits > 0 || digit != '0')
            ++numMantissaDigits;

        if (numMantissaDigits <= maxExactMantissaDigits)
            mantissa = mantissa * 10 + (std::uint64_t) (digit - '0');
    };

    for (; p < end && isDigit (*p); ++p)
    {
        ++numDigits;
        addToMantissa (*p);

        if (numCountedDigits > 0 || *p != '0')
            ++numCountedDigits;
    }

    if (p < end && *p == '.')
    {
        for (++p; p < end && isDigit (*p); ++p)
        {
            ++numDigits;
            ++numCountedDigits;
            ++numFractionDigits;
            addToMantissa (*p);
        }
    }

    if (numDigits == 0)
        return numberStart;

    int significantExponentDigits = 0, exponent = 0;
    bool negativeExponent = false;

    if (p < end && (*p == 'e' || *p == 'E'))
    {
        auto q = p + 1;

        if (q < end && (*q == '-' || *q == '+'))
            negativeExponent = (*q++ == '-');

        const auto exponentDigits = q;

        for (; q < end && isDigit (*q); ++q)
        {
            if (significantExponentDigits > 0 || *q != '0')
                ++significantExponentDigits;

            if (significantExponentDigits <= 6)
                exponent = exponent * 10 + (*q - '0');
        }

        if (q > exponentDigits)
            p = q; // without a digit the parser stops before the e
    }

    // An exponent this long lies far outside the range of double; the framework's parser would
    // overflow counting it, so its outcome is given here.
    if (significantExponentDigits > 6)
    {
        value = negativeExponent ? (negative ? -0.0 : 0.0)
                                 : (negative ? -std::numeric_limits<double>::infinity()
                                             : std::numeric_limits<double>::infinity());
        return p;
    }

    // With 1 to 18 counted digits and an exponent well inside the range of double, the framework's
    // parser hands the exact number to a correctly rounding conversion, and so does from_chars,
    // much faster. Outside that it has rules of its own (-0 reads as +0, 0e400 as infinity, 1e-310
    // as 0, and digits beyond 18 are dropped).
    if (numCountedDigits >= 1 && numCountedDigits <= maxExactDigits && exponent <= maxPlainExponent)
    {
        // Mantissa and power of ten both exact: one multiplication or division rounds correctly.
        const auto powerOfTen = (negativeExponent ? -exponent : exponent) - numFractionDigits;

        if (numMantissaDigits <= maxExactMantissaDigits && std::abs (powerOfTen) <= maxExactPowerOfTen)
        {
            const auto magnitude = powerOfTen >= 0 ? (double) mantissa * exactPowersOfTen[(size_t) powerOfTen]
                                                   : (double) mantissa / exactPowersOfTen[(size_t) -powerOfTen];
            value = negative ? -magnitude : magnitude;
            return p;
        }

        const auto first = (*numberStart == '+') ? numberStart + 1 : numberStart;
        const auto [stop, error] = std::from_chars (first, p, value);

        if (error == std::errc() && stop == p)
            return p;
    }

    value = readWithFrameworkParser (numberStart, p);
    return p;
}
} // namespace

bool MeasurementImport::readCompleteNumber (const char* begin, const char* end, double& value) noexcept
{
    double scanned = 0.0;

    if (scanNumber (begin, end, scanned) != end)
        return false;

    value = scanned;
    return true;
}

double MeasurementImport::readLeadingNumber (const juce::String& text) noexcept
{
    const auto begin = text.toRawUTF8();
    double value = 0.0;
    scanNumber (begin, begin + text.getNumBytesAsUTF8(), value);
    return value;
}

int MeasurementImport::splitFields (const char* begin, const char* end, const juce::String& breakCharacters,
                                    std::vector<const char*>& fieldBounds)
{
    return FieldSplitter (breakCharacters).split (begin, end, fieldBounds);
}

MeasurementImport::Points MeasurementImport::readMeasurement (const juce::File& file, int magnitudeUnit, int phaseUnit,
                                                              const juce::String& typedDelimiter, double fs,
                                                              std::uint64_t nfft)
{
    Points points;

    points.outcome = forEachUsedLine (file, typedDelimiter, [&] (int lineNumber, double f, double m, double p)
    {
        // The 0 Hz point is only put in front of a first frequency above 0 Hz, so comparing with
        // the last stored point is comparing with the previous used line.
        if (! continuesRising (points.frequencies, f))
        {
            points.offendingLine = lineNumber;
            return false;
        }

        if (points.frequencies.empty() && f > 0.0)
        {
            points.frequencies.push_back (0.0);
            points.values.push_back (0.0);
            points.phases.push_back (0.0);
        }

        double magnitude = 0.0;

        if (magnitudeUnit == decibels)
            magnitude = std::pow (10.0, m / 20.0);
        else if (magnitudeUnit == linear)
            magnitude = m;
        else
            std::cerr << "Magnitude unit not implemented" << std::endl;

        double phase = 0.0;

        if (phaseUnit == radians)
            phase = p;
        else if (phaseUnit == degrees)
            phase = (p + p) * pi / 360.0;
        else
            std::cerr << "Phase unit not implemented" << std::endl;

        points.frequencies.push_back (f);
        points.values.push_back (magnitude);
        points.phases.push_back (phase);
        return true;
    });

    if (! conclude (points, 1, Outcome::noDataLines))
        return points;

    const auto nyquist = fs / 2.0;

    if (points.frequencies.back() < nyquist)
    {
        const auto binWidth = fs / (double) nfft;
        const auto lastMagnitude = points.values.back();
        const auto lastPhase = points.phases.back();

        for (const auto f : { nyquist + binWidth, nyquist + 2.0 * binWidth })
        {
            points.frequencies.push_back (f);
            points.values.push_back (lastMagnitude);
            points.phases.push_back (lastPhase);
        }
    }

    return points;
}

MeasurementImport::Points MeasurementImport::readTarget (const juce::File& file, TargetColumn column, int magnitudeUnit,
                                                         int phaseUnit, const juce::String& typedDelimiter)
{
    Points points;

    points.outcome = forEachUsedLine (file, typedDelimiter, [&] (int lineNumber, double a, double b, double c)
    {
        if (! continuesRising (points.frequencies, a))
        {
            points.offendingLine = lineNumber;
            return false;
        }

        double value = 0.0;

        if (column == TargetColumn::magnitude)
            value = magnitudeUnit == linear ? 20.0 * std::log10 (std::abs (b)) : b;
        else if (phaseUnit == radians)
            value = c / (2.0 * pi) * 360.0;
        else if (phaseUnit == degrees)
            value = c;

        points.frequencies.push_back (a);
        points.values.push_back (value);
        return true;
    });

    conclude (points, 2, Outcome::tooFewDataLines);
    return points;
}
