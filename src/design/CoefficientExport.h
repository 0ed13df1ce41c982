#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <string>

/**
    Writes FIR coefficients as text: one coefficient per line in time order, each in fixed-point
    notation with exactly 16 decimals and "." as the decimal point, a "-" in front of every negative
    value (negative zeros included), no exponent, and a single LF after every line, the last one
    included. The text is ASCII, so it is UTF-8 without a byte-order mark.

    The file is replaced as FileWriter replaces files: a failure at any step leaves a file that was
    already there untouched.
*/
class CoefficientExport
{
public:
    /** What a write came to. */
    enum class Outcome
    {
        ok,
        notFinite,         ///< a coefficient is NaN or infinite; nothing was written
        allZero,           ///< every coefficient would be written as zero; nothing was written
        couldNotOpen,      ///< the file could not be created or opened for writing
        couldNotWrite      ///< writing, flushing or the final rename failed (see FileWriter)
    };

    struct Result
    {
        Outcome outcome = Outcome::ok;

        /** The operating system's description of the failure, for couldNotOpen and couldNotWrite. */
        juce::String errorText;

        /** 0-based index of the first coefficient that is not finite, for notFinite. */
        size_t firstNonFinite = 0;

        /** The text to show the user for a failed write; empty when the outcome is ok. */
        juce::String getMessage() const;
    };

    /** Appends one coefficient in the file's number format, without the line end, e.g.
        0.5000000000000000, -0.0001230000000000, -0.0000000000000000 for -1e-20. */
    static void appendNumber (std::string& text, double value);

    /** The whole file's text for count coefficients. */
    static std::string formatCoefficients (const double* coefficients, size_t count);

    /** Whether the coefficients are worth a file: notFinite when one is NaN or infinite, allZero
        when every one would be written as zero (a filter window that covers none of the filter
        gives such a filter, and so does an empty one), else ok. */
    static Result checkCoefficients (const double* coefficients, size_t count);

    /** Writes count coefficients to target, replacing what was there; first refuses what
        checkCoefficients refuses, without touching the target.
        A target that is a symbolic link has the file it points to replaced; a target that exists
        but is not a regular file, or that the user may not write, is refused as not openable.
    */
    static Result writeCoefficients (const juce::File& target, const double* coefficients, size_t count);
};
