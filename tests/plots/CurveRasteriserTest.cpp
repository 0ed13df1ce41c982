#include "plots/CurveRasteriser.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
constexpr int width = 64, height = 48;

juce::Image white()
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::white);
    return image;
}

bool allWhite (const juce::Image& image)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (image.getPixelAt (x, y) != juce::Colours::white)
                return false;
    return true;
}

/** Fraction of each pixel inside the stroke, by 32 x 32 samples per pixel. */
std::vector<float> sampledCoverage (juce::Point<float> a, juce::Point<float> b, float thickness)
{
    juce::Path stroke;
    stroke.addLineSegment ({ a, b }, thickness);
    std::vector<float> coverage ((size_t) (width * height));

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            int inside = 0;
            for (int sy = 0; sy < 32; ++sy)
                for (int sx = 0; sx < 32; ++sx)
                    inside += stroke.contains ((float) x + ((float) sx + 0.5f) / 32.0f, (float) y + ((float) sy + 0.5f) / 32.0f) ? 1 : 0;
            coverage[(size_t) (y * width + x)] = (float) inside / 1024.0f;
        }

    return coverage;
}
} // namespace

TEST (CurveRasteriser, StrokesCoverTheirExactArea)
{
    std::mt19937 random (5);
    std::uniform_real_distribution<float> position (-10.0f, 70.0f);
    const auto black = juce::Colours::black;
    CurveRasteriser rasteriser;

    // Slanted, steep, nearly flat and partly or wholly outside the image.
    for (int trial = 0; trial < 40; ++trial)
    {
        const juce::Point<float> a { position (random), position (random) * 0.7f };
        const juce::Point<float> b = trial % 4 == 0   ? a + juce::Point<float> (0.3f, position (random) * 0.5f)
                                     : trial % 4 == 1 ? a + juce::Point<float> (position (random) * 0.5f, 0.2f)
                                                      : juce::Point<float> { position (random), position (random) * 0.7f };
        const float thickness = trial % 2 == 0 ? 2.0f : 1.0f;

        auto drawn = white();
        rasteriser.begin (width, height, black);
        rasteriser.addSegment (a, b, thickness);
        rasteriser.composite (drawn);

        const auto truth = sampledCoverage (a, b, thickness);
        int worst = 0;

        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                const int expected = juce::roundToInt (255.0f * (1.0f - truth[(size_t) (y * width + x)]));
                worst = std::max (worst, std::abs (drawn.getPixelAt (x, y).getRed() - expected));
            }

        // 32 samples across a pixel place an edge to 1/32 of a pixel: up to 4 levels.
        EXPECT_LE (worst, 5) << "stroke (" << a.x << ", " << a.y << ") - (" << b.x << ", " << b.y << ")";
    }
}

TEST (CurveRasteriser, DrawsOnlyTheStrokesSinceBeginThatHaveAreaInsideTheImage)
{
    CurveRasteriser rasteriser;
    auto first = white();
    rasteriser.begin (width, height, juce::Colours::red);
    rasteriser.addSegment ({ 5.0f, 5.0f }, { 50.0f, 5.0f }, 2.0f);
    rasteriser.composite (first);
    EXPECT_EQ (first.getPixelAt (20, 5), juce::Colours::red);

    // A point, and strokes left of, below and right of the image.
    auto second = white();
    rasteriser.begin (width, height, juce::Colours::blue);
    rasteriser.addSegment ({ 10.0f, 10.0f }, { 10.0f, 10.0f }, 2.0f);
    rasteriser.addSegment ({ -50.0f, -50.0f }, { -20.0f, -30.0f }, 2.0f);
    rasteriser.addSegment ({ 10.0f, 100.0f }, { 50.0f, 120.0f }, 2.0f);
    rasteriser.addSegment ({ 100.0f, 10.0f }, { 100.0f, 40.0f }, 2.0f);
    rasteriser.composite (second);
    EXPECT_TRUE (allWhite (second));
}
