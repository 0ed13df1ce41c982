#include "design/DesignEngine.h"

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

/*  The project document: one JSON object with "Talvo Version", "fs", "NFFT" and the three blocks
    "Input Data", "TargetResponse" and "FilterResponse". Only the settings are stored; everything
    computed is rebuilt after reading.

    A document is checked completely before anything of the current design is touched, so a refused
    document leaves the design as it was.
*/

namespace
{
    namespace Keys
    {
        const juce::Identifier version ("Talvo Version");
        const juce::Identifier fs ("fs");
        const juce::Identifier nfft ("NFFT");
        const juce::Identifier inputData ("Input Data");
        const juce::Identifier targetResponse ("TargetResponse");
        const juce::Identifier filterResponse ("FilterResponse");

        const juce::Identifier refLevel ("refLevel");
        const juce::Identifier shift ("shift");
        const juce::Identifier windowLength ("windowLength");
        const juce::Identifier windowType ("windowType");
        const juce::Identifier fileName ("fileName");
        const juce::Identifier minimumPhase ("minimumPhase");
        const juce::Identifier fi ("fi");
        const juce::Identifier magI ("mag_i");
        const juce::Identifier phiI ("phi_i");

        const juce::Identifier targetMagnitude ("targetMagnitude");
        const juce::Identifier targetPhase ("targetPhase");
        const juce::Identifier fminMagnitude ("fminMagnitude");
        const juce::Identifier fmaxMagnitude ("fmaxMagnitude");
        const juce::Identifier nominalTargetLevel ("nominalTargetLevel");
        const juce::Identifier limitBoostCut ("limitBoostCut");
        const juce::Identifier fminPhase ("fminPhase");
        const juce::Identifier fmaxPhase ("fmaxPhase");
        const juce::Identifier userDefinedMagFreq ("userDefinedMagFreq");
        const juce::Identifier userDefinedMag ("userDefinedMag");
        const juce::Identifier userDefinedPhiFreq ("userDefinedPhiFreq");
        const juce::Identifier userDefinedPhi ("userDefinedPhi");

        const juce::Identifier filterType ("filterType");
        const juce::Identifier windowShift ("windowShift");
        const juce::Identifier numUserValues ("numUserValues");
        const juce::Identifier numIIRs ("numIIRs");
        const juce::Identifier type ("type");
        const juce::Identifier gain ("gain");
        const juce::Identifier freq ("freq");
        const juce::Identifier q ("q");
        const juce::Identifier mag ("mag");
        const juce::Identifier phi ("phi");
    }

    constexpr int maxNestingDepth = 64;
    constexpr int maxIntegerDigits = 18;     // more would overflow the JSON reader's integer accumulator
    constexpr int maxExponentDigits = 9;     // more would overflow the number reader's exponent

    //==============================================================================
    /** Screens the text for what the JSON reader cannot take safely: nesting deeper than any document
        needs, number literals whose digit runs would overflow its accumulators, a minus sign that no
        digit follows (the reader would take the next character for a digit) and an empty property
        name (the reader cannot make a name of it). */
    bool isSafeToParse (const juce::String& text)
    {
        auto p = text.getCharPointer();
        int depth = 0;
        std::bitset<maxNestingDepth + 1> isObject; // by depth: an object, not an array
        bool atPropertyName = false;               // just after an object's '{' or ','
        bool inString = false;
        juce::juce_wchar quote = 0;

        while (! p.isEmpty())
        {
            const auto c = p.getAndAdvance();

            if (inString)
            {
                if (c == '\\')
                {
                    if (p.isEmpty())
                        return true;

                    ++p;
                }
                else if (c == quote)
                {
                    inString = false;
                }

                continue;
            }

            if (juce::CharacterFunctions::isWhitespace (c))
                continue;

            const bool isPropertyName = atPropertyName;
            atPropertyName = false;

            if (c == '"' || c == '\'')
            {
                if (isPropertyName && c == '"' && *p == '"')
                    return false;

                inString = true;
                quote = c;
            }
            else if (c == '-')
            {
                if (! p.findEndOfWhitespace().isDigit())
                    return false;
            }
            else if (c == '[' || c == '{')
            {
                if (++depth > maxNestingDepth)
                    return false;

                isObject[(std::size_t) depth] = c == '{';
                atPropertyName = c == '{';
            }
            else if (c == ']' || c == '}')
            {
                --depth;
            }
            else if (c == ',')
            {
                atPropertyName = depth > 0 && isObject[(std::size_t) depth];
            }
            else if (juce::CharacterFunctions::isDigit (c))
            {
                int integerDigits = 1;

                while (p.isDigit())
                {
                    ++p;
                    if (++integerDigits > maxIntegerDigits)
                        return false;
                }

                if (*p == '.')
                {
                    ++p;
                    while (p.isDigit())
                        ++p;
                }

                if (*p == 'e' || *p == 'E')
                {
                    ++p;
                    if (*p == '+' || *p == '-')
                        ++p;

                    while (*p == '0')
                        ++p;

                    int exponentDigits = 0;

                    while (p.isDigit())
                    {
                        ++p;
                        if (++exponentDigits > maxExponentDigits)
                            return false;
                    }
                }
            }
        }

        return true;
    }

    /** Reads a number held as text: "nan" and "-nan" keep their sign, a plain decimal or exponent
        number is read exactly (the writer stores numbers below 1e-307, which the JSON reader would
        flush to zero, as text), and anything else as the JSON var would read it, without letting an
        absurd exponent reach that reader. */
    double textToDouble (const juce::String& text)
    {
        const auto trimmed = text.trim();

        if (trimmed.equalsIgnoreCase ("nan"))
            return std::numeric_limits<double>::quiet_NaN();

        if (trimmed.equalsIgnoreCase ("-nan"))
            return -std::numeric_limits<double>::quiet_NaN();

        const auto* start = trimmed.toRawUTF8();
        const auto* end = start + std::strlen (start);
        double value = 0.0;

        if (const auto [ptr, error] = std::from_chars (start, end, value); error == std::errc() && ptr == end)
            return value;

        const auto exponentAt = trimmed.indexOfAnyOf ("eE");

        if (exponentAt >= 0)
        {
            auto digits = trimmed.substring (exponentAt + 1).trimCharactersAtStart ("+-").trimCharactersAtStart ("0");
            int count = 0;

            for (auto p = digits.getCharPointer(); p.isDigit(); ++p)
                ++count;

            if (count > maxExponentDigits)
                return std::strtod (start, nullptr);
        }

        return text.getDoubleValue();
    }

    /** A number field: numbers as they are, true 1, false 0, text read as a number, anything else 0. */
    double toDouble (const juce::var& v)
    {
        if (v.isString())
            return textToDouble (v.toString());

        if (v.isInt() || v.isInt64() || v.isDouble() || v.isBool())
            return (double) v;

        return 0.0;
    }

    /** An integer field: a 32-bit signed value, fractions truncated toward zero. Values beyond the
        32-bit range saturate instead of wrapping; NaN reads as 0. */
    std::int32_t toInt32 (const juce::var& v)
    {
        constexpr auto lowest = (double) std::numeric_limits<std::int32_t>::min();
        constexpr auto highest = (double) std::numeric_limits<std::int32_t>::max();

        if (v.isInt())
            return (std::int32_t) (int) v;

        if (v.isString())
            return v.toString().getIntValue();

        const double x = v.isInt64() ? (double) (juce::int64) v : toDouble (v);

        if (std::isnan (x))
            return 0;

        return (std::int32_t) std::clamp (std::trunc (x), lowest, highest);
    }

    /** A 32-bit integer field stored in an unsigned 64-bit field, widened with its sign. */
    std::uint64_t toWidenedCount (const juce::var& v)
    {
        return (std::uint64_t) (std::int64_t) toInt32 (v);
    }

    bool toBool (const juce::var& v)
    {
        if (v.isString() || v.isInt() || v.isInt64() || v.isDouble() || v.isBool())
            return (bool) v;

        return false;
    }

    /** An array field: a 1 x n matrix of the elements as numbers; a missing or empty array, or a value
        that is no array, gives a 1 x 1 zero. */
    Matrix<double> toVector (const juce::var& v)
    {
        const auto* array = v.getArray();

        if (array == nullptr || array->isEmpty())
            return {};

        Matrix<double> result (1, (std::size_t) array->size());

        for (int i = 0; i < array->size(); ++i)
            result.data[(std::size_t) i] = toDouble (array->getReference (i));

        return result;
    }

    //==============================================================================
    /** The version code a*10000 + b*100 + c of a version text "a.b.c", read as the document's writer
        intended: dots and blanks separate the parts, each part is read as atoi reads it (leading
        digits, 0 when there are none). Parts saturate instead of overflowing. */
    std::int64_t versionCodeOf (const juce::var& version)
    {
        juce::StringArray tokens;
        tokens.addTokens (version.toString().replace (".", " "), true);

        auto part = [&tokens] (int index) -> std::int64_t
        {
            const char* s = tokens[index].toRawUTF8();

            while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
                ++s;

            const bool negative = *s == '-';

            if (*s == '-' || *s == '+')
                ++s;

            std::int64_t value = 0;

            for (; *s >= '0' && *s <= '9'; ++s)
                value = std::min<std::int64_t> (value * 10 + (*s - '0'), std::numeric_limits<std::int32_t>::max());

            return negative ? -value : value;
        };

        return part (0) * 10000 + part (1) * 100 + part (2);
    }

    //==============================================================================
    /** Everything a document stores, read and checked before it replaces the design. */
    struct DocumentFields
    {
        double fs = 0.0;
        std::uint64_t nfft = 0;
        InputData input;
        TargetData target;
        FilterData filter;
    };

    juce::var property (const juce::var& block, const juce::Identifier& key)
    {
        if (auto* object = block.getDynamicObject())
            return object->getProperty (key);

        return {};
    }

    bool isValidTypeElement (const juce::var& element)
    {
        const double x = toDouble (element);
        return x >= 0.0 && x < 18446744073709551616.0;   // below 2^64, and no NaN
    }

    /** Reads and checks every stored field; false when the document cannot make a sound design. */
    bool readFields (const juce::DynamicObject& root, DocumentFields& d)
    {
        d.fs = toDouble (root.getProperty (Keys::fs));
        d.nfft = toWidenedCount (root.getProperty (Keys::nfft));

        if (! std::isfinite (d.fs) || d.fs <= 0.0 || ! DesignEngine::isSupportedNfft (d.nfft))
            return false;

        const auto input = root.getProperty (Keys::inputData);
        d.input.refLevel = toDouble (property (input, Keys::refLevel));
        d.input.shift = toInt32 (property (input, Keys::shift));
        d.input.windowLength = toWidenedCount (property (input, Keys::windowLength));
        d.input.windowType = toInt32 (property (input, Keys::windowType));
        d.input.fileName = property (input, Keys::fileName).toString();
        d.input.minimumPhase = toBool (property (input, Keys::minimumPhase));
        d.input.fi = toVector (property (input, Keys::fi));
        d.input.mag_i = toVector (property (input, Keys::magI));
        d.input.phi_i = toVector (property (input, Keys::phiI));

        if (d.input.fi.length() != d.input.mag_i.length() || d.input.fi.length() != d.input.phi_i.length())
            return false;

        const auto target = root.getProperty (Keys::targetResponse);
        d.target.targetMagnitude = toInt32 (property (target, Keys::targetMagnitude));
        d.target.targetPhase = toInt32 (property (target, Keys::targetPhase));
        d.target.fminMagnitude = toDouble (property (target, Keys::fminMagnitude));
        d.target.fmaxMagnitude = toDouble (property (target, Keys::fmaxMagnitude));
        d.target.nominalTargetLevel = toDouble (property (target, Keys::nominalTargetLevel));
        d.target.limitBoostCut = toDouble (property (target, Keys::limitBoostCut));
        d.target.fminPhase = toDouble (property (target, Keys::fminPhase));
        d.target.fmaxPhase = toDouble (property (target, Keys::fmaxPhase));
        d.target.userDefinedMagFreq = toVector (property (target, Keys::userDefinedMagFreq));
        d.target.userDefinedMag = toVector (property (target, Keys::userDefinedMag));
        d.target.userDefinedPhiFreq = toVector (property (target, Keys::userDefinedPhiFreq));
        d.target.userDefinedPhi = toVector (property (target, Keys::userDefinedPhi));

        if (d.target.userDefinedMagFreq.length() != d.target.userDefinedMag.length()
             || d.target.userDefinedPhiFreq.length() != d.target.userDefinedPhi.length())
            return false;

        const auto filter = root.getProperty (Keys::filterResponse);
        d.filter.filterType = toInt32 (property (filter, Keys::filterType));
        d.filter.windowShift = toInt32 (property (filter, Keys::windowShift));
        d.filter.windowLength = toWidenedCount (property (filter, Keys::windowLength));
        d.filter.windowType = toInt32 (property (filter, Keys::windowType));
        d.filter.minimumPhase = toBool (property (filter, Keys::minimumPhase));

        const auto numUserValues = toInt32 (property (filter, Keys::numUserValues));
        const auto numIIRs = toInt32 (property (filter, Keys::numIIRs));

        if (numUserValues < 0 || numIIRs < 0)
            return false;

        d.filter.numUserValues = (std::uint64_t) numUserValues;
        d.filter.numIIRs = (std::uint64_t) numIIRs;

        const auto types = property (filter, Keys::type);

        if (const auto* array = types.getArray(); array != nullptr && ! array->isEmpty())
        {
            d.filter.type = Matrix<std::size_t> (1, (std::size_t) array->size());

            for (int i = 0; i < array->size(); ++i)
            {
                if (! isValidTypeElement (array->getReference (i)))
                    return false;

                d.filter.type.data[(std::size_t) i] = (std::size_t) toDouble (array->getReference (i));
            }
        }
        else
        {
            d.filter.type = {};
        }

        d.filter.gain = toVector (property (filter, Keys::gain));
        d.filter.freq = toVector (property (filter, Keys::freq));
        d.filter.q = toVector (property (filter, Keys::q));
        d.filter.fi = toVector (property (filter, Keys::fi));
        d.filter.mag = toVector (property (filter, Keys::mag));
        d.filter.phi = toVector (property (filter, Keys::phi));

        const auto numSections = d.filter.type.length();

        if (numSections > d.filter.gain.length() || numSections > d.filter.freq.length()
             || numSections > d.filter.q.length() || d.filter.numIIRs > numSections)
            return false;

        if (d.filter.numUserValues > d.filter.fi.length() || d.filter.numUserValues > d.filter.mag.length()
             || d.filter.numUserValues > d.filter.phi.length())
            return false;

        return true;
    }

    //==============================================================================
    /** A number that reads back bit for bit: the shortest text that round-trips, always marked as a
        fraction or exponent so that the reader takes it as a double (and keeps -0.0); NaN, the
        infinities and numbers too small for the JSON reader as texts ("nan", "-inf", "5e-324"). */
    juce::String numberText (double x)
    {
        if (std::isnan (x))
            return std::signbit (x) ? "\"-nan\"" : "\"nan\"";

        if (std::isinf (x))
            return x < 0 ? "\"-inf\"" : "\"inf\"";

        char buffer[64];
        auto result = std::to_chars (buffer, buffer + sizeof (buffer), x);
        std::string text (buffer, result.ptr);

        // The JSON reader flushes numbers with a decimal exponent below -308 to zero: such tiny values
        // are kept as text, which the document reader reads exactly.
        if (x != 0.0 && std::abs (x) < 1e-307)
            return "\"" + juce::String (text) + "\"";

        // The JSON reader keeps 18 digits of a number, counting zeros after the decimal point, and
        // takes a plain run of digits as an integer: fixed notation that would lose digits goes to
        // exponent notation, and whole numbers get a ".0".
        const auto firstSignificant = text.find_first_not_of ("-0.");
        const auto numDigits = std::count_if (text.begin() + (std::ptrdiff_t) std::min (firstSignificant, text.size()), text.end(),
                                              [] (char c) { return c >= '0' && c <= '9'; });
        const bool isFixed = text.find ('e') == std::string::npos;

        if (isFixed && (numDigits > 16 || (text.find ('.') != std::string::npos && text.size() - text.find ('.') > 17)))
        {
            result = std::to_chars (buffer, buffer + sizeof (buffer), x, std::chars_format::scientific);
            text.assign (buffer, result.ptr);
        }
        else if (isFixed && text.find ('.') == std::string::npos)
        {
            text += ".0";
        }

        return juce::String (text);
    }

    juce::String arrayText (const Matrix<double>& m)
    {
        juce::StringArray items;

        for (std::size_t i = 0; i < m.length(); ++i)
            items.add (numberText (m.data[i]));

        return "[" + items.joinIntoString (", ") + "]";
    }

    juce::String arrayText (const Matrix<std::size_t>& m)
    {
        juce::StringArray items;

        for (std::size_t i = 0; i < m.length(); ++i)
            items.add (juce::String ((juce::uint64) m.data[i]));

        return "[" + items.joinIntoString (", ") + "]";
    }

    /** Collects "key": value lines of one object. */
    struct ObjectWriter
    {
        explicit ObjectWriter (int indentLevel) : indent (juce::String::repeatedString ("    ", indentLevel)) {}

        void add (const juce::Identifier& key, const juce::String& valueText)
        {
            lines.add (indent + "    " + juce::JSON::toString (key.toString()) + ": " + valueText);
        }

        void add (const juce::Identifier& key, double value)           { add (key, numberText (value)); }
        void add (const juce::Identifier& key, std::int32_t value)     { add (key, juce::String (value)); }
        void add (const juce::Identifier& key, bool value)             { add (key, juce::String (value ? "true" : "false")); }
        void add (const juce::Identifier& key, const Matrix<double>& m) { add (key, arrayText (m)); }

        /** A count held unsigned, written as the signed 32-bit integer it is read back as. */
        void addCount (const juce::Identifier& key, std::uint64_t value)
        {
            add (key, juce::String ((juce::int64) value));
        }

        juce::String toString() const
        {
            return "{\n" + lines.joinIntoString (",\n") + "\n" + indent + "}";
        }

        juce::String indent;
        juce::StringArray lines;
    };
}

//==============================================================================
juce::Result DesignEngine::readProject (const juce::String& path)
{
    const juce::File file (path);

    if (path.isEmpty() || ! file.existsAsFile())
        return juce::Result::fail (fileDoesNotExistMessage);

    auto result = readProjectText (file.loadFileAsString());

    if (result.wasOk())
        projectFilePath = path;

    return result;
}

juce::Result DesignEngine::readProjectText (const juce::String& documentText)
{
    if (! isSafeToParse (documentText))
        return juce::Result::fail (notValidFileMessage);

    juce::var document;

    if (juce::JSON::parse (documentText, document).failed())
        return juce::Result::fail (notValidFileMessage);

    const auto* root = document.getDynamicObject();

    if (root == nullptr || ! root->hasProperty (Keys::version))
        return juce::Result::fail (notValidFileMessage);

    if (versionCodeOf (root->getProperty (Keys::version)) > versionCode)
        return juce::Result::fail (newerVersionMessage);

    DocumentFields fields;

    if (! readFields (*root, fields))
        return juce::Result::fail (notValidFileMessage);

    // From here on the document replaces the design; nothing below can fail.
    resetDesign();

    fs = fields.fs;
    NFFT = fields.nfft;
    rebuildAxes();
    axesChanged = true;

    inputData.refLevel = fields.input.refLevel;
    inputData.shift = fields.input.shift;
    inputData.windowLength = fields.input.windowLength;
    inputData.windowType = fields.input.windowType;
    inputData.fileName = fields.input.fileName;
    inputData.minimumPhase = fields.input.minimumPhase;
    inputData.fi = std::move (fields.input.fi);
    inputData.mag_i = std::move (fields.input.mag_i);
    inputData.phi_i = std::move (fields.input.phi_i);

    if (inputData.fi.length() > 1)
        calculateInputFromMeasurement();

    targetData.targetMagnitude = fields.target.targetMagnitude;
    targetData.targetPhase = fields.target.targetPhase;
    targetData.fminMagnitude = fields.target.fminMagnitude;
    targetData.fmaxMagnitude = fields.target.fmaxMagnitude;
    targetData.nominalTargetLevel = fields.target.nominalTargetLevel;
    targetData.limitBoostCut = fields.target.limitBoostCut;
    targetData.fminPhase = fields.target.fminPhase;
    targetData.fmaxPhase = fields.target.fmaxPhase;
    targetData.userDefinedMagFreq = std::move (fields.target.userDefinedMagFreq);
    targetData.userDefinedMag = std::move (fields.target.userDefinedMag);
    targetData.userDefinedPhiFreq = std::move (fields.target.userDefinedPhiFreq);
    targetData.userDefinedPhi = std::move (fields.target.userDefinedPhi);

    filterData.filterType = fields.filter.filterType;
    filterData.windowShift = fields.filter.windowShift;
    filterData.windowLength = fields.filter.windowLength;
    filterData.windowType = fields.filter.windowType;
    filterData.minimumPhase = fields.filter.minimumPhase;
    filterData.numUserValues = fields.filter.numUserValues;
    filterData.numIIRs = fields.filter.numIIRs;
    filterData.type = std::move (fields.filter.type);
    filterData.gain = std::move (fields.filter.gain);
    filterData.freq = std::move (fields.filter.freq);
    filterData.q = std::move (fields.filter.q);
    filterData.fi = std::move (fields.filter.fi);
    filterData.mag = std::move (fields.filter.mag);
    filterData.phi = std::move (fields.filter.phi);

    // Shifts and lengths within the impulse-response length.
    const auto n = (std::int64_t) NFFT;
    inputData.windowType = std::max (inputData.windowType, (std::int32_t) WindowType::none);
    inputData.shift = (std::int32_t) std::clamp<std::int64_t> (inputData.shift, -n, n);
    inputData.windowLength = std::min<std::uint64_t> (inputData.windowLength, NFFT);
    filterData.windowShift = (std::int32_t) std::clamp<std::int64_t> (filterData.windowShift, -n, n);
    filterData.windowLength = std::min<std::uint64_t> (filterData.windowLength, NFFT);

    return juce::Result::ok();
}

//==============================================================================
juce::String DesignEngine::createProjectText() const
{
    ObjectWriter input (1);
    input.add (Keys::refLevel, inputData.refLevel);
    input.add (Keys::shift, inputData.shift);
    input.addCount (Keys::windowLength, inputData.windowLength);
    input.add (Keys::windowType, inputData.windowType);
    input.add (Keys::fileName, juce::JSON::toString (inputData.fileName));
    input.add (Keys::minimumPhase, inputData.minimumPhase);
    input.add (Keys::fi, inputData.fi);
    input.add (Keys::magI, inputData.mag_i);
    input.add (Keys::phiI, inputData.phi_i);

    ObjectWriter target (1);
    target.add (Keys::targetMagnitude, targetData.targetMagnitude);
    target.add (Keys::targetPhase, targetData.targetPhase);
    target.add (Keys::fminMagnitude, targetData.fminMagnitude);
    target.add (Keys::fmaxMagnitude, targetData.fmaxMagnitude);
    target.add (Keys::nominalTargetLevel, targetData.nominalTargetLevel);
    target.add (Keys::limitBoostCut, targetData.limitBoostCut);
    target.add (Keys::fminPhase, targetData.fminPhase);
    target.add (Keys::fmaxPhase, targetData.fmaxPhase);
    target.add (Keys::userDefinedMagFreq, targetData.userDefinedMagFreq);
    target.add (Keys::userDefinedMag, targetData.userDefinedMag);
    target.add (Keys::userDefinedPhiFreq, targetData.userDefinedPhiFreq);
    target.add (Keys::userDefinedPhi, targetData.userDefinedPhi);

    ObjectWriter filter (1);
    filter.add (Keys::filterType, filterData.filterType);
    filter.add (Keys::windowShift, filterData.windowShift);
    filter.addCount (Keys::windowLength, filterData.windowLength);
    filter.add (Keys::windowType, filterData.windowType);
    filter.add (Keys::minimumPhase, filterData.minimumPhase);
    filter.addCount (Keys::numUserValues, filterData.numUserValues);
    filter.addCount (Keys::numIIRs, filterData.numIIRs);
    filter.add (Keys::type, arrayText (filterData.type));
    filter.add (Keys::gain, filterData.gain);
    filter.add (Keys::freq, filterData.freq);
    filter.add (Keys::q, filterData.q);
    filter.add (Keys::fi, filterData.fi);
    filter.add (Keys::mag, filterData.mag);
    filter.add (Keys::phi, filterData.phi);

    ObjectWriter root (0);
    root.add (Keys::version, juce::JSON::toString (versionString));
    root.add (Keys::fs, fs);
    root.addCount (Keys::nfft, NFFT);
    root.add (Keys::inputData, input.toString());
    root.add (Keys::targetResponse, target.toString());
    root.add (Keys::filterResponse, filter.toString());

    return root.toString() + "\n";
}

juce::Result DesignEngine::writeProject (const juce::File& file) const
{
    if (file == juce::File() || file.isDirectory())
        return juce::Result::fail ("Could not write the file " + file.getFullPathName() + ": it is not a file.");

    const auto text = createProjectText();

    // Written beside the target and renamed over it only when complete, so a failed save leaves the
    // previous document as it was.
    juce::TemporaryFile temporary (file);

    {
        juce::FileOutputStream stream (temporary.getFile());

        if (! stream.openedOk())
            return juce::Result::fail ("Could not open " + file.getFullPathName() + " for writing: "
                                       + stream.getStatus().getErrorMessage());

        const auto utf8 = text.toUTF8();

        if (! stream.write (utf8.getAddress(), utf8.sizeInBytes() - 1))
            return juce::Result::fail ("Could not write " + file.getFullPathName() + ".");

        stream.flush();

        if (stream.getStatus().failed())
            return juce::Result::fail ("Could not write " + file.getFullPathName() + ": "
                                       + stream.getStatus().getErrorMessage());
    }

    if (! temporary.overwriteTargetFileWithTemporary())
        return juce::Result::fail ("Could not replace " + file.getFullPathName() + ".");

    return juce::Result::ok();
}
