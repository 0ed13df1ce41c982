#include "design/CoefficientExport.h"

#include "design/FileWriter.h"

#include <charconv>
#include <cmath>

namespace
{
constexpr int decimals = 16;

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

    const auto text = formatCoefficients (coefficients, count);
    const auto written = FileWriter::replace (target, text.data(), text.size());

    switch (written.outcome)
    {
        case FileWriter::Outcome::ok:            return {};
        case FileWriter::Outcome::couldNotOpen:  return failure (Outcome::couldNotOpen, written.errorText);
        case FileWriter::Outcome::couldNotWrite: return failure (Outcome::couldNotWrite, written.errorText);
    }

    return {};
}
