#include "appearance/ColourPalette.h"

#include "appearance/ColoursDark.h"
#include "appearance/ColoursLight.h"

namespace
{
using L = ColoursLight;
using D = ColoursDark;

ColourScheme makeScheme (std::initializer_list<juce::uint32> argb)
{
    ColourScheme scheme;
    scheme[transparent] = juce::Colours::transparentWhite;
    auto it = argb.begin();

    for (int i = background; i < numColourPaletteEntries && it != argb.end(); ++i, ++it)
        scheme[(size_t) i] = juce::Colour (*it);

    return scheme;
}
} // namespace

const ColourScheme& lightModeColourScheme()
{
    // Entries from background to shadow; transparent is set by makeScheme.
    static const ColourScheme scheme = makeScheme ({
        L::grey01, L::grey12, L::grey12, L::lime06, L::grey14, L::grey04,
        L::blue03, L::blue06, L::red03, L::red06, L::orange03, L::orange06,
        L::grey01, L::grey03, L::grey04, L::grey05, L::grey08, L::grey14, L::grey16 });
    return scheme;
}

const ColourScheme& startUpColourScheme()
{
    static const ColourScheme scheme = []
    {
        auto s = lightModeColourScheme();
        s[outline] = juce::Colour (L::grey10);
        s[text] = juce::Colour (L::grey10);
        return s;
    }();
    return scheme;
}

const ColourScheme& darkModeColourScheme()
{
    // The accent and its text come from the light set; in the dark scheme the red and orange
    // curves swap shades so that the phase curve takes the darker one.
    static const ColourScheme scheme = makeScheme ({
        D::grey01, D::grey10, D::grey10, L::lime04, L::grey14, D::grey04,
        D::blue08, D::blue05, D::red06, D::red03, D::orange06, D::orange03,
        D::grey01, D::grey03, D::grey04, D::grey05, D::grey08, D::grey14, D::grey16 });
    return scheme;
}

ColourScheme colourPalette = startUpColourScheme();

void writeColourPalette (bool lightMode)
{
    const auto& scheme = lightMode ? lightModeColourScheme() : darkModeColourScheme();

    for (size_t i = 0; i < scheme.size(); ++i)
        colourPalette[i] = scheme[i];
}
