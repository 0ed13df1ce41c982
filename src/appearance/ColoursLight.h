#pragma once

#include "appearance/ColourHues.h"

/**
    The named ARGB colours of the light scheme, from which every palette value is taken.

    Greys run from white (grey01) to black (grey16); the hues come from ColourHues. Limes exist
    only in the light set; the dark scheme borrows them from here.
*/
struct ColoursLight : ColourHues
{
    static constexpr juce::uint32 grey01 = 0xFFFFFFFF;
    static constexpr juce::uint32 grey02 = 0xFFFBFBFB;
    static constexpr juce::uint32 grey03 = 0xFFF2F2F2;
    static constexpr juce::uint32 grey04 = 0xFFEBEBEB;
    static constexpr juce::uint32 grey05 = 0xFFE4E3E2;
    static constexpr juce::uint32 grey06 = 0xFFCDCECD;
    static constexpr juce::uint32 grey07 = 0xFFBFC1C0;
    static constexpr juce::uint32 grey08 = 0xFF8A8A8A;
    static constexpr juce::uint32 grey09 = 0xFF6E6E6E;
    static constexpr juce::uint32 grey10 = 0xFF4F4F50;
    static constexpr juce::uint32 grey11 = 0xFF434444;
    static constexpr juce::uint32 grey12 = 0xFF373737;
    static constexpr juce::uint32 grey13 = 0xFF2E2E2E;
    static constexpr juce::uint32 grey14 = 0xFF222222;
    static constexpr juce::uint32 grey15 = 0xFF141414;
    static constexpr juce::uint32 grey16 = 0xFF000000;

    static constexpr juce::uint32 lime01 = 0xFFF6FFD5;
    static constexpr juce::uint32 lime02 = 0xFFEEFFAA;
    static constexpr juce::uint32 lime03 = 0xFFE5FF80;
    static constexpr juce::uint32 lime04 = 0xFFDDFF55;
    static constexpr juce::uint32 lime05 = 0xFFD4FF2A;
    static constexpr juce::uint32 lime06 = 0xFFCCFF00;
};
