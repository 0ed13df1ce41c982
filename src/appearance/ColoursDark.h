#pragma once

#include "appearance/ColoursLight.h"

/**
    The named ARGB colours of the dark scheme: the light set's greys in reverse order (grey01 is
    black, grey16 white) and the same hues. There are no limes.
*/
struct ColoursDark : ColourHues
{
    static constexpr juce::uint32 grey01 = ColoursLight::grey16;
    static constexpr juce::uint32 grey02 = ColoursLight::grey15;
    static constexpr juce::uint32 grey03 = ColoursLight::grey14;
    static constexpr juce::uint32 grey04 = ColoursLight::grey13;
    static constexpr juce::uint32 grey05 = ColoursLight::grey12;
    static constexpr juce::uint32 grey06 = ColoursLight::grey11;
    static constexpr juce::uint32 grey07 = ColoursLight::grey10;
    static constexpr juce::uint32 grey08 = ColoursLight::grey09;
    static constexpr juce::uint32 grey09 = ColoursLight::grey08;
    static constexpr juce::uint32 grey10 = ColoursLight::grey07;
    static constexpr juce::uint32 grey11 = ColoursLight::grey06;
    static constexpr juce::uint32 grey12 = ColoursLight::grey05;
    static constexpr juce::uint32 grey13 = ColoursLight::grey04;
    static constexpr juce::uint32 grey14 = ColoursLight::grey03;
    static constexpr juce::uint32 grey15 = ColoursLight::grey02;
    static constexpr juce::uint32 grey16 = ColoursLight::grey01;
};
