#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <optional>
#include <vector>

/**
    Reads measurement files and user-defined target files into points.

    Both kinds of file are plain text with one point per line. A line ends at LF, CR, CR LF or a NUL
    byte. A line is cut into fields at every character of the delimiter; a line is used only when it
    has exactly three fields and each of them is a complete number (see readCompleteNumber). Every
    other line is skipped silently. A UTF-8 byte-order mark at the very start of a file is not part
    of its first line.

    Nothing here touches a design: the readers return the points, or what went wrong, and the caller
    stores them only when the outcome is ok.
*/
class MeasurementImport
{
public:
    /** Magnitude unit ids, as the import-setup dialog offers them. */
    enum MagnitudeUnit { linear = 1, decibels = 2 };

    /** Phase unit ids, as the import-setup dialog offers them. */
    enum PhaseUnit { degrees = 1, radians = 2 };

    /** Which value column of a target file is imported. */
    enum class TargetColumn { magnitude, phase };

    /** What a read came to. A file with a used line that holds an unusable value is refused whole;
        the first such line is named. */
    enum class Outcome
    {
        ok,
        fileDoesNotExist,     ///< empty path, nothing at the path, or a folder
        failedToOpen,         ///< the file exists but is not a regular file or could not be opened for reading
        readFailed,           ///< a read failed part-way; nothing of the file is taken
        tooFewDataLines,      ///< fewer than two used lines
        invalidFrequency,     ///< a used line whose frequency is not 0 Hz nor from 1 uHz to 1e20 Hz
        frequencyNotRising,   ///< a used line whose frequency is not above the one before
        magnitudeOutOfRange,  ///< a magnitude that is not finite or, converted, lies beyond its limit
        phaseOutOfRange       ///< a phase that is not finite or, converted, lies beyond its limit
    };

    /** Points read from a file, in file order, or what went wrong. */
    struct Points
    {
        Outcome outcome = Outcome::ok;

        /** 1-based number of the file line that caused a refusal of its values, else 0. */
        int offendingLine = 0;

        /** The system's description of a failed read, for readFailed. */
        juce::String errorText;

        /** Hz. */
        std::vector<double> frequencies;

        /** Measurement: linear magnitude. Target: dB (magnitude) or degrees (phase). */
        std::vector<double> values;

        /** Measurement only: phase in radians, one per frequency. */
        std::vector<double> phases;

        /** The text to show the user for a failed read; empty when the outcome is ok. */
        juce::String getMessage() const;
    };

    /** Turns the delimiter as the user typed it into the characters that break fields.
        Exactly "\t", "\n" or "\r" typed as a backslash and a letter become TAB, LF or CR; any other
        text is returned unchanged, each of its characters being a break character.
    */
    static juce::String resolveDelimiter (const juce::String& typed);

    /** Decides whether the bytes [begin, end) form a complete number and reads it.

        The rule is that of juce::CharacterFunctions::readDoubleValue: a field is complete when that
        parser, started at the field's first byte, stops exactly at its end. So: optional leading
        white space (space, TAB, LF, VT, FF, CR), an optional sign, then a decimal number with at
        least one digit and at most one point, optionally followed by e or E, an optional sign and
        at least one digit; or the words nan or inf in any letter case. An empty field and a field of
        white space only are complete and read as 0. Trailing characters of any kind make the field
        incomplete. The value is read independently of the user's locale.

        @returns true and sets value when the field is complete; false (value untouched) otherwise.
    */
    static bool readCompleteNumber (const char* begin, const char* end, double& value) noexcept;

    /** The longest number at the start of text (after white space), as juce::String::getDoubleValue
        reads it: what follows the number is ignored. Unlike the framework's parser it stays defined
        for exponents of any length (an exponent too long for any double gives 0 or infinity, as
        the number's size would), and it tells text without a number apart from a 0.

        @returns the number, or nothing when the text does not start with one (where the framework
                 reads 0).
    */
    static std::optional<double> readLeadingNumber (const juce::String& text) noexcept;

    /** Splits the UTF-8 bytes [begin, end) of one line into fields at every character of
        breakCharacters. Empty fields before, between and after break characters are kept; an empty
        line has no field at all. The bounds of the fields are appended to fieldBounds as begin/end
        pairs (fieldBounds is cleared first).
        @returns the number of fields.
    */
    static int splitFields (const char* begin, const char* end, const juce::String& breakCharacters,
                            std::vector<const char*>& fieldBounds);

    /** Reads a measurement file.

        Used lines give frequency (Hz), magnitude (linear or dB by magnitudeUnit) and phase (degrees
        or radians by phaseUnit); the magnitude is stored linear and the phase in radians. A unit id
        other than the two known ones prints one line on std::cerr per used line and gives 0.0.
        Frequencies must be finite, not negative and rising; magnitudes and phases must be finite as
        read and, once converted, lie within the limits of the units the design holds them in:
        |linear magnitude| <= DesignLimits::maxLinearMagnitude (+200 dB; a linear 0 is allowed) and
        |phase| <= DesignLimits::maxPhaseRadians. At least two lines must be used.
        When the first used frequency is above 0 Hz, a point of zero magnitude and phase is put in
        front at 0 Hz. When the last point lies below fs/2, two copies of its magnitude and phase
        are appended at fs/2 + fs/nfft and fs/2 + 2 fs/nfft, just above the top of the design's
        frequency axis.

        @param typedDelimiter  the delimiter as typed; resolveDelimiter is applied here
        @param fs              sample rate of the design in Hz
        @param nfft            FFT length of the design in samples
    */
    static Points readMeasurement (const juce::File& file, int magnitudeUnit, int phaseUnit,
                                   const juce::String& typedDelimiter, double fs, std::uint64_t nfft);

    /** Reads a user-defined target file.

        Column 1 is the frequency in Hz. For a magnitude target column 2 is the value (dB, or linear
        and turned into 20 log10 |value| dB when magnitudeUnit is linear); for a phase target column
        3 is the value (degrees, or radians turned into degrees when phaseUnit is radians; any other
        unit gives 0.0). The other column need only be a complete, finite number. Nothing is added in
        front or at the end. The frequency rules are those of readMeasurement. The value is checked
        after its conversion, in the unit the design holds it in: a level within
        DesignLimits::maxLevelDb (so a linear 0 is refused), a phase within
        DesignLimits::maxPhaseDegrees.

        @param typedDelimiter  the delimiter as typed; resolveDelimiter is applied here
    */
    static Points readTarget (const juce::File& file, TargetColumn column, int magnitudeUnit, int phaseUnit,
                              const juce::String& typedDelimiter);
};
