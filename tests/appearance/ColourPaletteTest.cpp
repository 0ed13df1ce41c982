#include "appearance/ColourPalette.h"
#include "appearance/ColoursDark.h"
#include "appearance/ColoursLight.h"

#include <gtest/gtest.h>

namespace
{
// The three schemes as ARGB, index 0 (transparent) to 19 (shadow).
const juce::uint32 startUpArgb[] = { 0x00FFFFFF, 0xFFFFFFFF, 0xFF4F4F50, 0xFF4F4F50, 0xFFCCFF00, 0xFF222222, 0xFFEBEBEB,
                                     0xFFB1CEF0, 0xFF1E63B8, 0xFFEB999A, 0xFFCB0712, 0xFFFFD69F, 0xFFFB902D, 0xFFFFFFFF,
                                     0xFFF2F2F2, 0xFFEBEBEB, 0xFFE4E3E2, 0xFF8A8A8A, 0xFF222222, 0xFF000000 };
const juce::uint32 lightArgb[] = { 0x00FFFFFF, 0xFFFFFFFF, 0xFF373737, 0xFF373737, 0xFFCCFF00, 0xFF222222, 0xFFEBEBEB,
                                   0xFFB1CEF0, 0xFF1E63B8, 0xFFEB999A, 0xFFCB0712, 0xFFFFD69F, 0xFFFB902D, 0xFFFFFFFF,
                                   0xFFF2F2F2, 0xFFEBEBEB, 0xFFE4E3E2, 0xFF8A8A8A, 0xFF222222, 0xFF000000 };
const juce::uint32 darkArgb[] = { 0x00FFFFFF, 0xFF000000, 0xFFBFC1C0, 0xFFBFC1C0, 0xFFDDFF55, 0xFF222222, 0xFF2E2E2E,
                                  0xFF2F5392, 0xFF67A9ED, 0xFFCB0712, 0xFFEB999A, 0xFFFB902D, 0xFFFFD69F, 0xFF000000,
                                  0xFF222222, 0xFF2E2E2E, 0xFF373737, 0xFF6E6E6E, 0xFFF2F2F2, 0xFFFFFFFF };

void expectScheme (const ColourScheme& scheme, const juce::uint32 (&expected)[20], const char* name)
{
    for (size_t i = 0; i < 20; ++i)
        EXPECT_EQ (scheme[i].getARGB(), expected[i]) << name << " entry " << i;
}

// Restores the palette a test changed, so tests do not depend on their order.
struct PaletteGuard
{
    ColourScheme saved = colourPalette;
    ~PaletteGuard() { colourPalette = saved; }
};
} // namespace

TEST (ColourPalette, SchemesHoldTheTabledColours)
{
    expectScheme (startUpColourScheme(), startUpArgb, "start-up");
    expectScheme (lightModeColourScheme(), lightArgb, "light");
    expectScheme (darkModeColourScheme(), darkArgb, "dark");
}

TEST (ColourPalette, StartsWithTheStartUpSchemeAndWritingReplacesEveryEntry)
{
    // No test in this binary writes the palette without restoring it.
    expectScheme (colourPalette, startUpArgb, "palette at start");

    PaletteGuard guard;
    writeColourPalette (false);
    expectScheme (colourPalette, darkArgb, "after dark");
    writeColourPalette (true);
    expectScheme (colourPalette, lightArgb, "after light");
}

TEST (ColourPalette, LightGreysRunFromWhiteToBlack)
{
    const juce::uint32 lightGreys[] = { ColoursLight::grey01, ColoursLight::grey02, ColoursLight::grey03, ColoursLight::grey04,
                                        ColoursLight::grey05, ColoursLight::grey06, ColoursLight::grey07, ColoursLight::grey08,
                                        ColoursLight::grey09, ColoursLight::grey10, ColoursLight::grey11, ColoursLight::grey12,
                                        ColoursLight::grey13, ColoursLight::grey14, ColoursLight::grey15, ColoursLight::grey16 };

    EXPECT_EQ (lightGreys[0], 0xFFFFFFFFu);
    EXPECT_EQ (lightGreys[15], 0xFF000000u);

    for (int i = 1; i < 16; ++i)
        EXPECT_LT (juce::Colour (lightGreys[i]).getPerceivedBrightness(),
                   juce::Colour (lightGreys[i - 1]).getPerceivedBrightness() + 1.0e-6f)
            << "grey " << i + 1;
}
