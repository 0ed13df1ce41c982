// Painting speed of the plots with curves of the sizes the design produces.
#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"
#include "plots/FigureComponent.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

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

/** Paints a 600 x 400 figure with the given curves into an image, once per iteration. With
    newData, every paint shows new y values on the same x values (as after a slider step); the
    curves are replaced outside the timed part. */
void paintFigure (benchmark::State& state, bool logX, size_t points, int numCurves, bool newData)
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
        std::vector<Matrix<double>> ys[2];

        for (unsigned set = 0; set < 2; ++set)
            for (int c = 0; c < numCurves; ++c)
                ys[set].push_back (logX ? randomWalk (points, 80.0, 0.5, (unsigned) c + 10 * set)
                                        : randomWalk (points, 0.0, 0.02, (unsigned) c + 10 * set));

        const auto setCurves = [&] (size_t set)
        {
            for (int c = 0; c < numCurves; ++c)
            {
                const auto colour = colourPalette[(size_t) (curveBlue + 2 * c)];

                if (logX)
                    figure.semilogx (x, ys[set][(size_t) c], colour);
                else
                    figure.plot (x, ys[set][(size_t) c], colour);

                figure.hold (true);
            }

            figure.hold (false);
        };

        setCurves (0);
        juce::Image image (juce::Image::ARGB, figure.getWidth(), figure.getHeight(), true);
        size_t set = 0;

        for (auto _ : state)
        {
            if (newData)
            {
                state.PauseTiming();
                set = 1 - set;
                setCurves (set);
                state.ResumeTiming();
            }

            juce::Graphics g (image);
            figure.paintEntireComponent (g, false);
            benchmark::DoNotOptimize (image.getPixelAt (300, 200));
        }

        figure.setLookAndFeel (nullptr);
    }
}

void BM_PaintLogThreeCurves32769 (benchmark::State& state) { paintFigure (state, true, 32769, 3, false); }
void BM_PaintLinearTwoCurves131072 (benchmark::State& state) { paintFigure (state, false, 131072, 2, false); }

// After a slider step: the same figures with new y values at every paint.
void BM_PaintLogThreeNewCurves32769 (benchmark::State& state) { paintFigure (state, true, 32769, 3, true); }
void BM_PaintLinearTwoNewCurves131072 (benchmark::State& state) { paintFigure (state, false, 131072, 2, true); }

// Floors: the same figures without curves (the static layer drawn onto the target).
void BM_PaintLogFloorNoCurves (benchmark::State& state) { paintFigure (state, true, 32769, 0, false); }
void BM_PaintLinearFloorNoCurves (benchmark::State& state) { paintFigure (state, false, 131072, 0, false); }
} // namespace

BENCHMARK (BM_PaintLogThreeCurves32769)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLogThreeNewCurves32769)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLogFloorNoCurves)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLinearTwoCurves131072)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLinearTwoNewCurves131072)->Unit (benchmark::kMillisecond);
BENCHMARK (BM_PaintLinearFloorNoCurves)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
