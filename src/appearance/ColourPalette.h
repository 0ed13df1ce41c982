#pragma once

#include <juce_graphics/juce_graphics.h>

#include <array>

/** Roles of the twenty entries of colourPalette, usable directly as indices. */
enum ColourPaletteIndex
{
    transparent = 0,
    background,
    outline,
    text,
    accent,
    accentText,
    selectedRow,
    phaseCurveBlue,
    curveBlue,
    phaseCurveRed,
    curveRed,
    phaseCurveOrange,
    curveOrange,
    groupBackground,
    windowBackground,
    buttonBackground,
    gridLines,
    secondaryText,
    highlightedText,
    shadow,
    numColourPaletteEntries
};

/** One colour per ColourPaletteIndex role. */
using ColourScheme = std::array<juce::Colour, numColourPaletteEntries>;

/**
    The colours of the current scheme, read by everything that draws or sets control colours.
    Holds startUpColourScheme() from static initialisation until a scheme is chosen with
    writeColourPalette(). Message thread only.
*/
extern ColourScheme colourPalette;

/** The palette before any scheme is chosen: the light scheme with darker outline and text grey. */
const ColourScheme& startUpColourScheme();

/** The palette of the light scheme. */
const ColourScheme& lightModeColourScheme();

/** The palette of the dark scheme. */
const ColourScheme& darkModeColourScheme();

/**
    Overwrites all twenty palette entries, index 0 to 19, with the light (lightMode true) or dark
    scheme. Only the palette changes; look-and-feel colours and curves follow when their owners
    re-apply them.
*/
void writeColourPalette (bool lightMode);
