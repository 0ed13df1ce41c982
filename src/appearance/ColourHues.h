#pragma once

#include <juce_core/juce_core.h>

/**
    The ARGB hues shared by the light and the dark colour sets: blues, reds, oranges and greens,
    each running from its palest shade to its darkest one.
*/
struct ColourHues
{
    static constexpr juce::uint32 blue01 = 0xFFE5F0F9;
    static constexpr juce::uint32 blue02 = 0xFFD8E7F8;
    static constexpr juce::uint32 blue03 = 0xFFB1CEF0;
    static constexpr juce::uint32 blue04 = 0xFF8AB6E9;
    static constexpr juce::uint32 blue05 = 0xFF67A9ED;
    static constexpr juce::uint32 blue06 = 0xFF1E63B8;
    static constexpr juce::uint32 blue07 = 0xFF325A9F;
    static constexpr juce::uint32 blue08 = 0xFF2F5392;
    static constexpr juce::uint32 blue09 = 0xFF2A487F;
    static constexpr juce::uint32 blue10 = 0xFF013D63;

    static constexpr juce::uint32 red01 = 0xFFF7D9D9;
    static constexpr juce::uint32 red02 = 0xFFF5CCCD;
    static constexpr juce::uint32 red03 = 0xFFEB999A;
    static constexpr juce::uint32 red04 = 0xFFDF6668;
    static constexpr juce::uint32 red05 = 0xFFFE2C32;
    static constexpr juce::uint32 red06 = 0xFFCB0712;
    static constexpr juce::uint32 red07 = 0xFFA2040D;
    static constexpr juce::uint32 red08 = 0xFF790207;

    static constexpr juce::uint32 orange01 = 0xFFFCEFDE;
    static constexpr juce::uint32 orange02 = 0xFFFFEBCF;
    static constexpr juce::uint32 orange03 = 0xFFFFD69F;
    static constexpr juce::uint32 orange04 = 0xFFFEC271;
    static constexpr juce::uint32 orange05 = 0xFFECAC43;
    static constexpr juce::uint32 orange06 = 0xFFFB902D;
    static constexpr juce::uint32 orange07 = 0xFFFC7B10;
    static constexpr juce::uint32 orange08 = 0xFFAA4F04;

    static constexpr juce::uint32 green01 = 0xFFE2EDE4;
    static constexpr juce::uint32 green02 = 0xFFD4E8D9;
    static constexpr juce::uint32 green03 = 0xFFC0DDC5;
    static constexpr juce::uint32 green04 = 0xFF94CE9C;
    static constexpr juce::uint32 green05 = 0xFF80AE35;
    static constexpr juce::uint32 green06 = 0xFF21A339;
    static constexpr juce::uint32 green07 = 0xFF177F2F;
    static constexpr juce::uint32 green08 = 0xFF42581A;
};
