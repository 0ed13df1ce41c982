#include "design/JsonReader.h"

#include "design/JsonObject.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace
{
    /** True when the bytes are well-formed UTF-8: no overlong forms, no encoded surrogates, nothing
        beyond U+10FFFF, no sequence cut short. */
    bool isValidUtf8 (const unsigned char* p, const unsigned char* end)
    {
        while (p < end)
        {
            const unsigned lead = *p++;

            if (lead < 0x80)
                continue;

            // The number of continuation bytes and the range allowed for the first of them.
            int numContinuation = 0;
            unsigned low = 0x80, high = 0xbf;

            if (lead >= 0xc2 && lead <= 0xdf)       numContinuation = 1;
            else if (lead == 0xe0)                  { numContinuation = 2; low = 0xa0; }
            else if (lead == 0xed)                  { numContinuation = 2; high = 0x9f; }
            else if (lead >= 0xe1 && lead <= 0xef)  numContinuation = 2;
            else if (lead == 0xf0)                  { numContinuation = 3; low = 0x90; }
            else if (lead >= 0xf1 && lead <= 0xf3)  numContinuation = 3;
            else if (lead == 0xf4)                  { numContinuation = 3; high = 0x8f; }
            else                                    return false;

            if (end - p < numContinuation || *p < low || *p > high)
                return false;

            for (int i = 1; i < numContinuation; ++i)
                if ((p[i] & 0xc0) != 0x80)
                    return false;

            p += numContinuation;
        }

        return true;
    }

    void appendUtf8 (std::string& s, std::uint32_t c)
    {
        if (c < 0x80)
        {
            s += (char) c;
        }
        else if (c < 0x800)
        {
            s += (char) (0xc0 | (c >> 6));
            s += (char) (0x80 | (c & 0x3f));
        }
        else if (c < 0x10000)
        {
            s += (char) (0xe0 | (c >> 12));
            s += (char) (0x80 | ((c >> 6) & 0x3f));
            s += (char) (0x80 | (c & 0x3f));
        }
        else
        {
            s += (char) (0xf0 | (c >> 18));
            s += (char) (0x80 | ((c >> 12) & 0x3f));
            s += (char) (0x80 | ((c >> 6) & 0x3f));
            s += (char) (0x80 | (c & 0x3f));
        }
    }

    bool isDigit (char c) { return c >= '0' && c <= '9'; }

    /** Whether a number literal of the JSON grammar whose value lies outside the range of double is
        large (at least 1 in magnitude) rather than tiny: where its first significant digit stands once
        the exponent is applied. The exponent saturates, so no length of digits overflows. */
    bool isLargeMagnitude (const char* p, const char* end)
    {
        if (*p == '-')
            ++p;

        long long order = 0;

        if (*p != '0')
        {
            for (; p != end && isDigit (*p); ++p)
                ++order;

            --order;
        }
        else
        {
            ++p;
            if (p != end && *p == '.')
                for (++p; p != end && *p == '0'; ++p)
                    --order;

            --order;
        }

        while (p != end && *p != 'e' && *p != 'E')
            ++p;

        if (p == end)
            return order >= 0;

        ++p;
        const bool negativeExponent = *p == '-';
        long long exponent = 0;

        for (; p != end; ++p)
            if (isDigit (*p))
                exponent = std::min (exponent * 10 + (*p - '0'), 1000000000LL);

        return order + (negativeExponent ? -exponent : exponent) >= 0;
    }

    //==============================================================================
    /** Recursive descent over well-formed UTF-8; the depth limit bounds the recursion. */
    class Parser
    {
    public:
        Parser (const char* begin, const char* endOfText) : p (begin), end (endOfText) {}

        std::optional<juce::var> document()
        {
            juce::var result;

            if (! value (result, 1))
                return {};

            skipWhitespace();

            if (p != end)
                return {};

            return result;
        }

    private:
        const char* p;
        const char* const end;

        void skipWhitespace()
        {
            while (p != end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
                ++p;
        }

        bool consume (char c)
        {
            if (p == end || *p != c)
                return false;

            ++p;
            return true;
        }

        bool value (juce::var& result, int depth)
        {
            skipWhitespace();

            if (p == end)
                return false;

            switch (*p)
            {
                case '{':  return depth <= JsonReader::maxDepth && object (result, depth);
                case '[':  return depth <= JsonReader::maxDepth && array (result, depth);
                case '"':  return stringValue (result);
                case 't':  return literal ("true", true, result);
                case 'f':  return literal ("false", false, result);
                case 'n':  return literal ("null", juce::var(), result);
                default:   return number (result);
            }
        }

        bool literal (const char* word, const juce::var& meaning, juce::var& result)
        {
            for (; *word != 0; ++word)
                if (! consume (*word))
                    return false;

            result = meaning;
            return true;
        }

        bool object (juce::var& result, int depth)
        {
            ++p;
            juce::ReferenceCountedObjectPtr<JsonObject> members (new JsonObject());
            skipWhitespace();

            if (! consume ('}'))
            {
                do
                {
                    skipWhitespace();
                    juce::String key;
                    juce::var member;

                    if (p == end || *p != '"' || ! string (key))
                        return false;

                    skipWhitespace();

                    if (! consume (':') || ! value (member, depth + 1))
                        return false;

                    members->add (key, std::move (member));

                    skipWhitespace();
                }
                while (consume (','));

                if (! consume ('}'))
                    return false;
            }

            result = juce::var (members.get());
            return true;
        }

        bool array (juce::var& result, int depth)
        {
            ++p;
            juce::Array<juce::var> elements;
            skipWhitespace();

            if (! consume (']'))
            {
                do
                {
                    juce::var element;

                    if (! value (element, depth + 1))
                        return false;

                    elements.add (std::move (element));
                    skipWhitespace();
                }
                while (consume (','));

                if (! consume (']'))
                    return false;
            }

            result = juce::var (std::move (elements));
            return true;
        }

        /** Four hexadecimal digits of a \u escape. */
        bool hexQuad (std::uint32_t& unit)
        {
            if (end - p < 4)
                return false;

            unit = 0;

            for (int i = 0; i < 4; ++i)
            {
                const auto digit = juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) *p++);

                if (digit < 0)
                    return false;

                unit = unit * 16 + (std::uint32_t) digit;
            }

            return true;
        }

        /** The code point of a \u escape (the \u read already), joining a surrogate pair. */
        bool escapedCodePoint (std::uint32_t& c)
        {
            if (! hexQuad (c) || c == 0 || (c >= 0xdc00 && c <= 0xdfff))
                return false;

            if (c >= 0xd800 && c <= 0xdbff)
            {
                std::uint32_t low = 0;

                if (! consume ('\\') || ! consume ('u') || ! hexQuad (low) || low < 0xdc00 || low > 0xdfff)
                    return false;

                c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
            }

            return true;
        }

        bool stringValue (juce::var& result)
        {
            juce::String s;

            if (! string (s))
                return false;

            result = s;
            return true;
        }

        bool string (juce::String& result)
        {
            ++p;
            std::string utf8;

            for (;;)
            {
                if (p == end)
                    return false;

                const auto c = (unsigned char) *p++;

                if (c == '"')
                    break;

                if (c < 0x20)
                    return false;

                if (c != '\\')
                {
                    utf8 += (char) c;
                    continue;
                }

                if (p == end)
                    return false;

                switch (*p++)
                {
                    case '"':   utf8 += '"';  break;
                    case '\\':  utf8 += '\\'; break;
                    case '/':   utf8 += '/';  break;
                    case 'b':   utf8 += '\b'; break;
                    case 'f':   utf8 += '\f'; break;
                    case 'n':   utf8 += '\n'; break;
                    case 'r':   utf8 += '\r'; break;
                    case 't':   utf8 += '\t'; break;

                    case 'u':
                    {
                        std::uint32_t codePoint = 0;

                        if (! escapedCodePoint (codePoint))
                            return false;

                        appendUtf8 (utf8, codePoint);
                        break;
                    }

                    default:
                        return false;
                }
            }

            if (utf8.size() > (std::size_t) std::numeric_limits<int>::max())
                return false;

            result = juce::String::fromUTF8 (utf8.data(), (int) utf8.size());
            return true;
        }

        bool digits()
        {
            if (p == end || ! isDigit (*p))
                return false;

            while (p != end && isDigit (*p))
                ++p;

            return true;
        }

        bool number (juce::var& result)
        {
            const char* const start = p;
            const bool negative = consume ('-');

            if (! consume ('0') && ! digits())
                return false;

            bool isInteger = true;

            if (consume ('.'))
            {
                if (! digits())
                    return false;

                isInteger = false;
            }

            if (p != end && (*p == 'e' || *p == 'E'))
            {
                ++p;

                if (! consume ('+'))
                    consume ('-');

                if (! digits())
                    return false;

                isInteger = false;
            }

            if (isInteger)
            {
                std::int64_t i = 0;

                if (const auto [ptr, error] = std::from_chars (start, p, i); error == std::errc() && ptr == p)
                {
                    if (i == 0 && negative)
                        result = -0.0;
                    else if (i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max())
                        result = (int) i;
                    else
                        result = (juce::int64) i;

                    return true;
                }
            }

            double x = 0.0;
            const auto [ptr, error] = std::from_chars (start, p, x);

            if (error == std::errc::result_out_of_range)
            {
                if (isLargeMagnitude (start, p))
                    return false;

                x = negative ? -0.0 : 0.0;
            }
            else if (error != std::errc() || ptr != p)
            {
                return false;
            }

            result = x;
            return true;
        }
    };
}

//==============================================================================
std::optional<juce::var> JsonReader::parse (const char* text, std::size_t numBytes)
{
    const char* begin = text;
    const char* const end = text + numBytes;

    if (numBytes >= 3 && std::memcmp (begin, "\xef\xbb\xbf", 3) == 0)
        begin += 3;

    if (! isValidUtf8 (reinterpret_cast<const unsigned char*> (begin), reinterpret_cast<const unsigned char*> (end)))
        return {};

    return Parser (begin, end).document();
}
