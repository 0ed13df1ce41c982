#include "design/MeasurementImport.h"

#include "design/DesignLimits.h"
#include "design/FileReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <cmath>
#include <iostream>
#include <string>

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

    explicit LineReader (FileReader& source) : reader (source) {}

    /** Sets [begin, end) to the next line; false at the end of the file and when a read failed
        (the reader's status tells which). The bytes stay valid until the next call. */
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
                // After a failed read the unfinished line is not a line: it may be cut anywhere.
                if (lineStart == filled || reader.getStatus() != FileReader::Status::ok)
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

        const auto numRead = reader.read (block.data() + filled, blockSize);

        if (numRead <= 0)
            return false;

        filled += (size_t) numRead;
        return true;
    }

    static constexpr size_t blockSize = 1 << 16;

    FileReader& reader;
    std::vector<char> block;
    size_t filled = 0, scan = 0, lineStart = 0;
    bool swallowLineFeed = false;
};

//==============================================================================
using Outcome = MeasurementImport::Outcome;

/** Opens the file and hands every used line (three complete numbers) to useLine, which checks and
    stores its values and returns ok, or why they cannot be taken. The frequency is checked here:
    the splines through the points divide by the step between two frequencies, so each one must be
    above the one before and within the bounds of DesignLimits::isValidPointFrequency, and a
    frequency below 0 Hz means nothing. The first refused
    line ends the reading and its number goes to points.offendingLine. Fewer than two used lines are
    refused too, and so is a file whose reading failed part-way (its reason goes to points.errorText). */
template <typename UseLine>
Outcome readUsedLines (const juce::File& file, const juce::String& typedDelimiter, MeasurementImport::Points& points,
                       UseLine&& useLine)
{
    if (! FileReader::existsAsNonFolder (file))
        return Outcome::fileDoesNotExist;

    // A pipe would block the program until something writes to it, and a device may never end:
    // only regular files are read.
    FileReader reader (file);

    if (! reader.openedOk())
        return Outcome::failedToOpen;

    const FieldSplitter splitter (MeasurementImport::resolveDelimiter (typedDelimiter));
    LineReader lines (reader);
    std::vector<const char*> bounds;
    const char* begin = nullptr;
    const char* end = nullptr;
    int lineNumber = 0, numUsedLines = 0;
    double previousFrequency = 0.0;

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

        if (! complete)
            continue;

        const auto f = values[0];
        const auto outcome = ! DesignLimits::isValidPointFrequency (f)       ? Outcome::invalidFrequency
                             : numUsedLines > 0 && ! (f > previousFrequency) ? Outcome::frequencyNotRising
                                                                             : useLine (f, values[1], values[2]);

        if (outcome != Outcome::ok)
        {
            points.offendingLine = lineNumber;
            return outcome;
        }

        previousFrequency = f;
        ++numUsedLines;
    }

    if (reader.getStatus() == FileReader::Status::readFailed)
    {
        points.errorText = reader.getErrorText();
        return Outcome::readFailed;
    }

    return numUsedLines < 2 ? Outcome::tooFewDataLines : Outcome::ok;
}

/** Gives a read its outcome; a refused file hands back no points at all. */
void conclude (MeasurementImport::Points& points, Outcome outcome)
{
    points.outcome = outcome;

    if (outcome != Outcome::ok)
    {
        points.frequencies.clear();
        points.values.clear();
        points.phases.clear();
    }
}
} // namespace

//==============================================================================
namespace
{
/** A limit as the messages show it: a plus-minus sign and its whole part, so that every value
    refused lies beyond the number shown. */
juce::String plusMinus (double limit)
{
    return juce::String::charToString (0xb1) + juce::String ((juce::int64) limit);
}
} // namespace

juce::String MeasurementImport::Points::getMessage() const
{
    switch (outcome)
    {
        case Outcome::ok:                 return {};
        case Outcome::fileDoesNotExist:   return "File does not exist";
        case Outcome::failedToOpen:       return "Failed to open.";
        case Outcome::readFailed:         return FileReader::describeReadFailure (errorText);
        case Outcome::tooFewDataLines:
            return "Fewer than two data lines were found. A data line holds three numbers separated by the "
                   "delimiter; check that the delimiter matches the file.";
        case Outcome::invalidFrequency:
            return "The frequency on line " + juce::String (offendingLine) + " is neither 0 Hz nor a number from "
                   + juce::String (DesignLimits::minPointFrequencyHz) + " to " + juce::String (DesignLimits::maxPointFrequencyHz) + " Hz.";
        case Outcome::frequencyNotRising:
            return "The frequencies must rise from one data line to the next, but line "
                   + juce::String (offendingLine) + " does not.";
        case Outcome::magnitudeOutOfRange:
            return "The magnitude on line " + juce::String (offendingLine) + " is not a finite number or lies beyond "
                   + plusMinus (DesignLimits::maxLevelDb) + " dB.";
        case Outcome::phaseOutOfRange:
            return "The phase on line " + juce::String (offendingLine) + " is not a finite number or lies beyond "
                   + plusMinus (DesignLimits::maxPhaseDegrees) + " degrees (" + plusMinus (DesignLimits::maxPhaseRadians)
                   + " radians).";
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

std::optional<double> MeasurementImport::readLeadingNumber (const juce::String& text) noexcept
{
    const auto begin = text.toRawUTF8();
    double value = 0.0;
    const auto stop = scanNumber (begin, begin + text.getNumBytesAsUTF8(), value);

    // Without a number the scan stops right after the leading white space.
    if (std::all_of (begin, stop, isNumberWhitespace))
        return std::nullopt;

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

    conclude (points, readUsedLines (file, typedDelimiter, points, [&] (double f, double m, double p)
    {
        // A value that is not finite as read is refused; the limits are those of the units in which
        // the design holds the values (linear magnitude, phase in radians), checked after conversion.
        if (! std::isfinite (m))
            return Outcome::magnitudeOutOfRange;

        if (! std::isfinite (p))
            return Outcome::phaseOutOfRange;

        const double magnitude = magnitudeUnit == decibels ? std::pow (10.0, m / 20.0)
                               : magnitudeUnit == linear   ? m
                                                           : 0.0;

        if (! DesignLimits::isValidLinearMagnitude (magnitude))
            return Outcome::magnitudeOutOfRange;

        const double phase = phaseUnit == radians ? p
                           : phaseUnit == degrees ? (p + p) * pi / 360.0
                                                  : 0.0;

        if (! DesignLimits::isValidPhaseRadians (phase))
            return Outcome::phaseOutOfRange;

        if (magnitudeUnit != decibels && magnitudeUnit != linear)
            std::cerr << "Magnitude unit not implemented" << std::endl;

        if (phaseUnit != radians && phaseUnit != degrees)
            std::cerr << "Phase unit not implemented" << std::endl;

        if (points.frequencies.empty() && f > 0.0)
        {
            points.frequencies.push_back (0.0);
            points.values.push_back (0.0);
            points.phases.push_back (0.0);
        }

        points.frequencies.push_back (f);
        points.values.push_back (magnitude);
        points.phases.push_back (phase);
        return Outcome::ok;
    }));

    const auto nyquist = fs / 2.0;

    if (points.outcome == Outcome::ok && points.frequencies.back() < nyquist)
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

    conclude (points, readUsedLines (file, typedDelimiter, points, [&] (double a, double b, double c)
    {
        // Magnitude targets are held in dB: a linear value is checked after its conversion, which
        // turns a 0 into minus infinity. The column not imported need only be finite.
        double value = 0.0;

        if (column == TargetColumn::magnitude)
        {
            value = magnitudeUnit == linear ? 20.0 * std::log10 (std::abs (b)) : b;

            if (! DesignLimits::isValidLevel (value))
                return Outcome::magnitudeOutOfRange;

            if (! std::isfinite (c))
                return Outcome::phaseOutOfRange;
        }
        else
        {
            // Phase targets are held in degrees: a value in radians is checked after its conversion.
            if (! std::isfinite (b))
                return Outcome::magnitudeOutOfRange;

            if (! std::isfinite (c))
                return Outcome::phaseOutOfRange;

            if (phaseUnit == radians)
                value = c / (2.0 * pi) * 360.0;
            else if (phaseUnit == degrees)
                value = c;

            if (! DesignLimits::isValidPhase (value))
                return Outcome::phaseOutOfRange;
        }

        points.frequencies.push_back (a);
        points.values.push_back (value);
        return Outcome::ok;
    }));

    return points;
}
