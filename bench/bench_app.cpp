// One slider step of the application at the largest impulse length with a heavy design: the
// slider's handler with its full recompute, the plot update it triggers, and a full paint of the
// 1024 x 768 main component into an image. Target: under 16 ms for the whole step (one frame at 60 Hz).
// Run it on a Release build, under a display (xvfb-run -a) as every GUI program.
#include <benchmark/benchmark.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include "app/MainComponent.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>

namespace
{
using Clock = std::chrono::steady_clock;

double millisecondsSince (Clock::time_point start)
{
    return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
}

/** Times the plot update that every recompute triggers. */
class TimedMainComponent : public MainComponent
{
public:
    double plotMilliseconds = 0.0;

    void designChanged (DesignComponent* design) override
    {
        const auto start = Clock::now();
        MainComponent::designChanged (design);
        plotMilliseconds += millisecondsSince (start);
    }
};

/** Reads the measurement of the test data (Hz, dB, degrees; TAB separated) into the design. */
void loadMeasurement (DesignComponent& design)
{
    const std::string path = std::string (TALVO_TEST_DATA_DIR) + "/room-response.txt";
    std::ifstream file (path);
    std::vector<double> f, mag, phi;
    std::string line;
    while (std::getline (file, line))
    {
        std::istringstream fields (line);
        double hz, db, degrees;
        if (fields >> hz >> db >> degrees)
        {
            f.push_back (hz);
            mag.push_back (std::pow (10.0, db / 20.0));
            phi.push_back (degrees * juce::MathConstants<double>::pi / 180.0);
        }
    }
    design.inputData.fi = Matrix<double> (1, f.size(), f);
    design.inputData.mag_i = Matrix<double> (1, mag.size(), mag);
    design.inputData.phi_i = Matrix<double> (1, phi.size(), phi);
    design.inputData.fileName = path;
    design.calculateInputFromMeasurement();
}

/** NFFT 65536, a measurement, both windows, flat target with minimum phase, a filter-response section
    of eight IIR sections and minimum-phase filter design. */
void makeHeavyDesign (TimedMainComponent& main)
{
    auto& design = main.designComponent;
    design.comboBoxNfft->setSelectedId (12, juce::sendNotificationSync);
    loadMeasurement (design);
    design.comboBoxWindow->setSelectedId (WindowType::hann, juce::sendNotificationSync);
    design.comboBoxTargetMagnitude->setSelectedId (TargetMagnitudeType::flat, juce::sendNotificationSync);
    design.comboBoxTargetPhase->setSelectedId (TargetPhaseType::minimum, juce::sendNotificationSync);
    design.comboBoxWindowFilter->setSelectedId (WindowType::hann, juce::sendNotificationSync);

    auto& filter = design.filterData;
    const std::vector<std::size_t> types { 1, 2, 3, 4, 6, 7, 8, 9 };
    filter.numIIRs = types.size();
    filter.type = Matrix<std::size_t> (1, types.size(), types);
    filter.gain = Matrix<double> (1, 8, { 0.0, 0.0, 0.0, 0.0, -6.0, 3.0, -3.0, 0.0 });
    filter.freq = Matrix<double> (1, 8, { 18000.0, 16000.0, 20.0, 25.0, 1000.0, 100.0, 8000.0, 500.0 });
    filter.q = Matrix<double> (1, 8, { 0.7, 0.7, 0.7, 0.7, 2.0, 1.0, 1.0, 0.7 });
    filter.minimumPhase = true;
    design.comboBoxFilter->setSelectedId (FilterResponseType::userDefined, juce::sendNotificationSync);
}

void BM_SliderStepAtNfft65536 (benchmark::State& state)
{
    TimedMainComponent main;
    makeHeavyDesign (main);
    juce::Image image (juce::Image::ARGB, main.getWidth(), main.getHeight(), true);

    double stepMs = 0.0, paintMs = 0.0;
    main.plotMilliseconds = 0.0;
    int shift = 0;
    for (auto _ : state)
    {
        shift = shift == 0 ? 1 : 0;
        const auto start = Clock::now();
        main.designComponent.sliderShift->setValue (shift, juce::sendNotificationSync);
        stepMs += millisecondsSince (start);

        const auto paintStart = Clock::now();
        {
            juce::Graphics g (image);
            main.paintEntireComponent (g, true);
        }
        paintMs += millisecondsSince (paintStart);
        benchmark::DoNotOptimize (image.getPixelAt (100, 100));
    }

    const double n = static_cast<double> (state.iterations());
    const double calculateMs = (stepMs - main.plotMilliseconds) / n, plotMs = main.plotMilliseconds / n;
    const double total = calculateMs + plotMs + paintMs / n;
    state.counters["calculate_ms"] = calculateMs;
    state.counters["updatePlots_ms"] = plotMs;
    state.counters["paint_ms"] = paintMs / n;
    state.counters["total_ms"] = total;
    state.counters["goal_ms"] = 16.0;
    state.counters["calculate_share"] = calculateMs / total;
    state.counters["updatePlots_share"] = plotMs / total;
    state.counters["paint_share"] = paintMs / n / total;
}
BENCHMARK (BM_SliderStepAtNfft65536)->Unit (benchmark::kMillisecond)->MinTime (3.0);
/** The plot update alone, on the same design. */
void BM_UpdatePlotsAtNfft65536 (benchmark::State& state)
{
    TimedMainComponent main;
    makeHeavyDesign (main);
    for (auto _ : state)
        main.updatePlots();
}
BENCHMARK (BM_UpdatePlotsAtNfft65536)->Unit (benchmark::kMillisecond);
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
