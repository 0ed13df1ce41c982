#include "design/DesignEngine.h"
#include "design/DesignLimits.h"
#include "design/FileReader.h"
#include "design/FileWriter.h"
#include "design/JsonObject.h"
#include "design/JsonReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
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

    constexpr int maxExponentDigits = 9;     // more would overflow the framework's number reader's exponent

    //==============================================================================
    /** Reads a number held as text: "nan" and "-nan" keep their sign, a plain decimal or exponent
        number is read exactly (documents of earlier builds hold numbers below 1e-307 as text, such as
        "5e-324"), and anything else as the framework's var would read it, without letting an absurd
        exponent reach that reader. */
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

    /** Converts the values of a document to the kinds of their fields. A value that its field cannot
        hold marks the document as wrongly typed: an object or an array where a number, an integer, a
        bool or a string belongs, an object where an array belongs, an array element that is an object
        or an array. Text in a number or integer field is read as a number, since NaN and the
        infinities are stored as text. */
    struct FieldReader
    {
        bool wrongKind = false;

        /** A number field: numbers as they are, true 1, false 0, text read as a number, nothing 0. */
        double number (const juce::var& v)
        {
            if (v.isObject() || v.isArray())
                wrongKind = true;
            else if (v.isString())
                return textToDouble (v.toString());
            else if (! v.isVoid())
                return (double) v;

            return 0.0;
        }

        /** An integer field: a 32-bit signed value, fractions truncated toward zero. Values beyond the
            32-bit range saturate instead of wrapping, the same for a number and for text; NaN reads as 0. */
        std::int32_t integer (const juce::var& v)
        {
            constexpr auto lowest = (double) std::numeric_limits<std::int32_t>::min();
            constexpr auto highest = (double) std::numeric_limits<std::int32_t>::max();

            if (v.isInt())
                return (std::int32_t) (int) v;

            const double x = v.isInt64() ? (double) (juce::int64) v : number (v);

            if (std::isnan (x))
                return 0;

            return (std::int32_t) std::clamp (std::trunc (x), lowest, highest);
        }

        /** A 32-bit integer field stored in an unsigned 64-bit field, widened with its sign. */
        std::uint64_t widenedCount (const juce::var& v)
        {
            return (std::uint64_t) (std::int64_t) integer (v);
        }

        /** A bool field: numbers true when not 0; text true when it reads as a number of magnitude 1 or
            more, or says "true" or "yes". */
        bool flag (const juce::var& v)
        {
            if (v.isString())
            {
                const auto text = v.toString().trim();
                return std::abs (textToDouble (text)) >= 1.0 || text.equalsIgnoreCase ("true") || text.equalsIgnoreCase ("yes");
            }

            return std::abs (number (v)) > 0.0;
        }

        /** A string field: text as it is, a number or a bool as its text, nothing empty. */
        juce::String text (const juce::var& v)
        {
            if (v.isObject() || v.isArray())
                wrongKind = true;
            else if (! v.isVoid())
                return v.toString();

            return {};
        }

        /** An array field: a 1 x n matrix of the elements as numbers; a missing or empty array, or a
            value that is no array, gives a 1 x 1 zero. */
        Matrix<double> vector (const juce::var& v)
        {
            if (v.isObject() && ! v.isArray())   // the framework's var counts arrays as objects too
                wrongKind = true;

            const auto* array = v.getArray();

            if (array == nullptr || array->isEmpty())
                return {};

            Matrix<double> result (1, (std::size_t) array->size());

            for (int i = 0; i < array->size(); ++i)
                result.data[(std::size_t) i] = number (array->getReference (i));

            return result;
        }
    };

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

    /** The value of key in block, or a void var when block is no object or has no such key. */
    juce::var property (const juce::var& block, const juce::Identifier& key)
    {
        if (const auto* object = JsonObject::of (block))
            if (const auto* value = object->find (key.toString()))
                return *value;

        return {};
    }

    /** Reads and checks every stored field; false when the document cannot make a sound design. */
    bool readFields (const juce::var& root, DocumentFields& d)
    {
        FieldReader read;
        d.fs = read.number (property (root, Keys::fs));
        d.nfft = read.widenedCount (property (root, Keys::nfft));

        if (! DesignLimits::isValidSampleRate (d.fs) || ! DesignEngine::isSupportedNfft (d.nfft))
            return false;

        const auto input = property (root, Keys::inputData);
        d.input.refLevel = read.number (property (input, Keys::refLevel));
        d.input.shift = read.integer (property (input, Keys::shift));
        d.input.windowLength = read.widenedCount (property (input, Keys::windowLength));
        d.input.windowType = read.integer (property (input, Keys::windowType));
        d.input.fileName = read.text (property (input, Keys::fileName));
        d.input.minimumPhase = read.flag (property (input, Keys::minimumPhase));
        d.input.fi = read.vector (property (input, Keys::fi));
        d.input.mag_i = read.vector (property (input, Keys::magI));
        d.input.phi_i = read.vector (property (input, Keys::phiI));

        if (d.input.fi.length() != d.input.mag_i.length() || d.input.fi.length() != d.input.phi_i.length())
            return false;

        const auto target = property (root, Keys::targetResponse);
        d.target.targetMagnitude = read.integer (property (target, Keys::targetMagnitude));
        d.target.targetPhase = read.integer (property (target, Keys::targetPhase));
        d.target.fminMagnitude = read.number (property (target, Keys::fminMagnitude));
        d.target.fmaxMagnitude = read.number (property (target, Keys::fmaxMagnitude));
        d.target.nominalTargetLevel = read.number (property (target, Keys::nominalTargetLevel));
        d.target.limitBoostCut = read.number (property (target, Keys::limitBoostCut));
        d.target.fminPhase = read.number (property (target, Keys::fminPhase));
        d.target.fmaxPhase = read.number (property (target, Keys::fmaxPhase));
        d.target.userDefinedMagFreq = read.vector (property (target, Keys::userDefinedMagFreq));
        d.target.userDefinedMag = read.vector (property (target, Keys::userDefinedMag));
        d.target.userDefinedPhiFreq = read.vector (property (target, Keys::userDefinedPhiFreq));
        d.target.userDefinedPhi = read.vector (property (target, Keys::userDefinedPhi));

        if (d.target.userDefinedMagFreq.length() != d.target.userDefinedMag.length()
             || d.target.userDefinedPhiFreq.length() != d.target.userDefinedPhi.length())
            return false;

        const auto filter = property (root, Keys::filterResponse);
        d.filter.filterType = read.integer (property (filter, Keys::filterType));
        d.filter.windowShift = read.integer (property (filter, Keys::windowShift));
        d.filter.windowLength = read.widenedCount (property (filter, Keys::windowLength));
        d.filter.windowType = read.integer (property (filter, Keys::windowType));
        d.filter.minimumPhase = read.flag (property (filter, Keys::minimumPhase));

        const auto numUserValues = read.integer (property (filter, Keys::numUserValues));
        const auto numIIRs = read.integer (property (filter, Keys::numIIRs));

        if (numUserValues < 0 || numIIRs < 0)
            return false;

        d.filter.numUserValues = (std::uint64_t) numUserValues;
        d.filter.numIIRs = (std::uint64_t) numIIRs;

        const auto types = read.vector (property (filter, Keys::type));
        d.filter.type = Matrix<std::size_t> (types.rows, types.cols);

        for (std::size_t i = 0; i < types.data.size(); ++i)
        {
            const double x = types.data[i];

            if (! (x >= 0.0 && x < (double) DesignLimits::maxSectionTypeId + 1.0))   // and no NaN
                return false;

            d.filter.type.data[i] = (std::size_t) x;
        }

        d.filter.gain = read.vector (property (filter, Keys::gain));
        d.filter.freq = read.vector (property (filter, Keys::freq));
        d.filter.q = read.vector (property (filter, Keys::q));
        d.filter.fi = read.vector (property (filter, Keys::fi));
        d.filter.mag = read.vector (property (filter, Keys::mag));
        d.filter.phi = read.vector (property (filter, Keys::phi));

        if (read.wrongKind)
            return false;

        // The engine designs every entry of the section arrays, the filter editor shows numIIRs of
        // them: they read the same sections only when the two agree. The same for the user points.
        // With a count of 0 the arrays are not used.
        const auto holdsExactly = [] (std::uint64_t count, std::initializer_list<std::size_t> lengths)
        {
            return count == 0 || std::all_of (lengths.begin(), lengths.end(), [count] (std::size_t n) { return n == count; });
        };

        if (! holdsExactly (d.filter.numIIRs, { d.filter.type.length(), d.filter.gain.length(),
                                                d.filter.freq.length(), d.filter.q.length() })
             || ! holdsExactly (d.filter.numUserValues, { d.filter.fi.length(), d.filter.mag.length(),
                                                          d.filter.phi.length() }))
            return false;

        // Every value within its domain, so that the design cannot become NaN (see DesignLimits).
        return DesignLimits::isWithinLimits (d.fs, d.input, d.target, d.filter);
    }

    //==============================================================================
    /** Appends a number that reads back bit for bit: the shortest text that round-trips, always
        marked as a fraction or exponent so that the reader takes it as a double (and keeps -0.0);
        NaN and the infinities, which JSON has no literal for, as texts ("nan", "-nan", "inf", "-inf"). */
    void appendNumberText (std::string& text, double x)
    {
        if (std::isnan (x))
        {
            text += std::signbit (x) ? "\"-nan\"" : "\"nan\"";
            return;
        }

        if (std::isinf (x))
        {
            text += x < 0 ? "\"-inf\"" : "\"inf\"";
            return;
        }

        char buffer[64];
        const auto result = std::to_chars (buffer, buffer + sizeof (buffer), x);

        if (std::find_if (buffer, result.ptr, [] (char c) { return c == '.' || c == 'e'; }) == result.ptr)
        {
            std::memcpy (result.ptr, ".0", 2);
            text.append (buffer, result.ptr + 2);
        }
        else
        {
            text.append (buffer, result.ptr);
        }
    }

    juce::String numberText (double x)
    {
        std::string text;
        appendNumberText (text, x);
        return juce::String (text);
    }

    /** A JSON string that reads back as the same text: UTF-8 as it is, the quote, the backslash and
        the control characters escaped. What no valid text holds (a lone surrogate, a code point beyond
        U+10FFFF, the decoding of a stray byte as 0) is written as U+FFFD, so the document stays valid. */
    juce::String stringText (const juce::String& s)
    {
        juce::String result ("\"");
        result.preallocateBytes (s.getNumBytesAsUTF8() + 2);

        for (auto p = s.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();

            switch (c)
            {
                case '"':   result << "\\\""; break;
                case '\\':  result << "\\\\"; break;
                case '\b':  result << "\\b"; break;
                case '\f':  result << "\\f"; break;
                case '\n':  result << "\\n"; break;
                case '\r':  result << "\\r"; break;
                case '\t':  result << "\\t"; break;

                default:
                    if (c == 0 || (c >= 0xd800 && c <= 0xdfff) || c > 0x10ffff)
                        result += (juce::juce_wchar) 0xfffd;
                    else if (c < 0x20)
                        result << "\\u" << juce::String::toHexString ((int) c).paddedLeft ('0', 4);
                    else
                        result += c;
            }
        }

        return result + "\"";
    }

    juce::String arrayText (const Matrix<double>& m)
    {
        // One text for the whole array: a measurement holds 100 000 numbers and more.
        std::string text ("[");
        text.reserve (m.length() * 26 + 2);

        for (std::size_t i = 0; i < m.length(); ++i)
        {
            if (i > 0)
                text += ", ";

            appendNumberText (text, m.data[i]);
        }

        text += "]";
        return juce::String (text);
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
            lines.add (indent + "    " + stringText (key.toString()) + ": " + valueText);
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

    if (path.isEmpty() || ! FileReader::existsAsNonFolder (file))
        return juce::Result::fail (fileDoesNotExistMessage);

    // The bytes as they are: the reader checks that they are UTF-8 before anything takes them as text.
    const auto contents = FileReader::readAll (file, DesignLimits::maxProjectDocumentBytes);

    switch (contents.status)
    {
        case FileReader::Status::ok:           break;
        case FileReader::Status::couldNotOpen: return juce::Result::fail (notValidFileMessage);
        case FileReader::Status::notRegular:   return juce::Result::fail (FileReader::notRegularMessage);
        case FileReader::Status::tooLarge:     return juce::Result::fail (getDocumentTooLargeMessage());
        case FileReader::Status::readFailed:   return juce::Result::fail (FileReader::describeReadFailure (contents.errorText));
    }

    auto result = readProjectDocument (contents.bytes.data(), contents.bytes.size());

    if (result.wasOk())
        projectFilePath = path;

    return result;
}

juce::Result DesignEngine::readProjectText (const juce::String& documentText)
{
    return readProjectDocument (documentText.toRawUTF8(), documentText.getNumBytesAsUTF8());
}

juce::Result DesignEngine::readProjectDocument (const char* utf8, std::size_t numBytes)
{
    const auto document = JsonReader::parse (utf8, numBytes);

    if (! document.has_value())
        return juce::Result::fail (notValidFileMessage);

    const auto* root = JsonObject::of (*document);
    const auto* version = root != nullptr ? root->find (Keys::version.toString()) : nullptr;

    if (version == nullptr)
        return juce::Result::fail (notValidFileMessage);

    if (versionCodeOf (*version) > versionCode)
        return juce::Result::fail (newerVersionMessage);

    DocumentFields fields;

    if (! readFields (*document, fields))
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
    input.add (Keys::fileName, stringText (inputData.fileName));
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
    root.add (Keys::version, stringText (versionString));
    root.add (Keys::fs, fs);
    root.addCount (Keys::nfft, NFFT);
    root.add (Keys::inputData, input.toString());
    root.add (Keys::targetResponse, target.toString());
    root.add (Keys::filterResponse, filter.toString());

    return root.toString() + "\n";
}

juce::Result DesignEngine::writeProject (const juce::File& file) const
{
    const auto text = createProjectText();
    const auto numBytes = text.getNumBytesAsUTF8();

    // What is written must open again.
    if (numBytes > DesignLimits::maxProjectDocumentBytes)
        return juce::Result::fail (getDocumentTooLargeMessage());

    const auto written = FileWriter::replace (file, text.toRawUTF8(), numBytes);

    if (! written.wasOk())
        return juce::Result::fail (file.getFullPathName() + ": " + written.errorText);

    return juce::Result::ok();
}

juce::String DesignEngine::getDocumentTooLargeMessage()
{
    return "A project document may hold at most " + juce::String ((int) (DesignLimits::maxProjectDocumentBytes >> 20))
           + " MB, far more than any design needs.";
}
