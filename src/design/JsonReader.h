#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>
#include <optional>

/**
    A strict JSON reader (RFC 8259) for text that may have been made to harm the program: whatever the
    text, it neither overflows the stack nor an integer, and it refuses what it cannot hold faithfully.

    The result is a juce::var: objects as JsonObject, arrays as juce::Array<juce::var>, strings as
    juce::String, true and false as bool, null as a void var. An integer literal (no fraction, no
    exponent) that fits in 32 bits becomes an int, one that fits in 64 bits an int64; every other
    number is the correctly rounded double (-0 included; a literal below the smallest subnormal becomes
    a signed zero). The time it takes grows in step with the length of the text.
*/
class JsonReader
{
public:
    /** The deepest nesting of arrays and objects read; the top-level value is level 1. */
    static constexpr int maxDepth = 64;

    /** Reads the UTF-8 text of numBytes bytes at text, which must hold exactly one JSON value between
        optional white space; a byte-order mark at the start is skipped.

        Returns nothing when the text is not valid UTF-8, breaks the JSON grammar, nests arrays and
        objects deeper than maxDepth, holds a number literal beyond the range of double, or holds a string
        that is not valid text (a lone surrogate) or that a juce::String cannot keep (U+0000).
    */
    static std::optional<juce::var> parse (const char* text, std::size_t numBytes);
};
