// Painting speed of the plots with curves of the sizes the design produces.
#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"
#include "plots/FigureComponent.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace
{
Matrix<double> randomWalk (size_t n, double start, double step, unsigned seed)
{
    std::mt19937 random (seed);
    std::normal_distribution<double> noise (0.0, step);
    Matrix<double> m (1, n);
    double value = start;

    for (auto& v : m.data)
        v = (value += noise (random));

    return m;
}

Matrix<double> ramp (size_t n, double end)
{
    Matrix<double> m (1, n);

    for (size_t i = 0; i < n; ++i)
        m.data[i] = (double) i * end / (double) (n - 1);

    return m;
}

/** Paints a 600 x 400 figure with the given curves into an image, once per iteration. */
void paintFigure (benchmark::State& state, bool logX, size_t points, int numCurves)
{
    juce::ScopedJuceInitialiser_GUI juce;
    lafMorvelane laf;
    laf.applyColourScheme();

    {
        FigureComponent figure;
        figure.setLookAndFeel (&laf);

        if (logX)
        {
            figure.ylim (40.0, 120.0);
            figure.yyaxis ("Right");
            figure.ylim (-1.0, 1.0);
            figure.yyaxis ("Left");
        }
        else
        {
            figure.setXScale (FigureComponent::XScale::linear);
            figure.tickStep = { 10.0, 0.5 };
            figure.gridStep = { 10.0, 0.125 };
            figure.xlim (0.0, 2730.0);
            figure.ylim (-1.0, 1.0);
        }

        const auto x = ramp (points, logX ? 24000.0 : 2730.0);

        for (int c = 0; c < numCurves; ++c)
        {
            const auto y = logX ? randomWalk (points, 80.0, 0.5, (unsigned) c) : randomWalk (points, 0.0, 0.02, (unsigned) c);
            if (logX)
                figure.semilogx (x, y, colourPalette[(size_t) (curveBlue + 2 * c)]);
            else
                figure.plot (x, y, colourPalette[(size_t) (curveBlue + 2 * c)]);
            figure.hold (true);
        }

        juce::Image image (juce::Image::ARGB, figure.getWidth(), figure.getHeight(), true);

        for (auto _ : state)
        {
            juce::Graphics g (image);
            figure.paintEntireComponent (g, false);
            benchmark::DoNotOptimize (image.getPixelAt (300, 200));
        }

        figure.setLookAndFeel (nullptr);
    }
}

void BM_PaintLogThreeCurves32769 (benchmark::State& state) { paintFigure (state, true, 32769, 3); }
void BM_PaintLinearTwoCurves131072 (benchmark::State& state) { paintFigure (state, false, 131072, 2); }

// Floors: the same figures without curves (background, grid, labels and the two layers).
void BM_PaintLogFloorNoCurves (benchmark::State& state) { paintFigure (state, true, 32769, 0); }
void BM_PaintLinearFloorNoCurves (benchmark::State& state) { paintFigure (state, false, 131072, 0); }
} // namespace

BENCHMARK (BM_PaintLogThreeCurves32769)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLogFloorNoCurves)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLinearTwoCurves131072)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLinearFloorNoCurves)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
