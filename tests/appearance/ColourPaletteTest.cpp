#include "appearance/ColourPalette.h"

#include <gtest/gtest.h>

TEST (ColourPalette, StartsWithTheStartUpSchemeAndWritingReplacesEveryEntry)
{
    const auto saved = colourPalette;
    EXPECT_TRUE (colourPalette == startUpColourScheme());
    writeColourPalette (false);
    EXPECT_TRUE (colourPalette == darkModeColourScheme());
    writeColourPalette (true);
    EXPECT_TRUE (colourPalette == lightModeColourScheme());
    colourPalette = saved;

    // Shades a slip would hide in: the dark scheme's phase curves take the darker red and orange, its
    // accent is the paler lime of the light set, and its last entry, the shadow, is white.
    const auto& dark = darkModeColourScheme();
    EXPECT_EQ ((std::vector<juce::uint32> { dark[phaseCurveRed].getARGB(), dark[phaseCurveOrange].getARGB(), dark[accent].getARGB(), dark[shadow].getARGB() }),
               (std::vector<juce::uint32> { 0xFFCB0712, 0xFFFB902D, 0xFFDDFF55, 0xFFFFFFFF }));
}
