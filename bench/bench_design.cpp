// Recompute time of a heavy design, beside its floor: the FFTs the recompute performs, run alone.
#include "design/DesignEngine.h"
#include "design/IirFilterType.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

namespace
{
    /** The room measurement as the import stores it (linear magnitude, radians, a silent 0 Hz point
        in front, two copies of the last point above fs/2). */
    void loadRoomResponse (DesignEngine& e)
    {
        std::vector<double> f { 0.0 }, mag { 0.0 }, phi { 0.0 };
        std::ifstream in (TALVO_TEST_DATA_DIR "/room-response.txt");
        std::string line;

        while (std::getline (in, line))
        {
            std::istringstream fields (line);
            double hz, level, degrees;

            if (line.empty() || line[0] == '*' || ! (fields >> hz >> level >> degrees))
                continue;

            f.push_back (hz);
            mag.push_back (std::pow (10.0, level / 20.0));
            phi.push_back ((degrees + degrees) * 3.141592653589793 / 360.0);
        }

        for (double extra : { 1.0, 2.0 })
        {
            f.push_back (e.fs / 2 + extra * e.fs / (double) e.NFFT);
            mag.push_back (mag.back());
            phi.push_back (phi.back());
        }

        const auto n = f.size();
        e.inputData.fi = Matrix<double> (1, n, f);
        e.inputData.mag_i = Matrix<double> (1, n, mag);
        e.inputData.phi_i = Matrix<double> (1, n, phi);
        e.inputData.fileName = "room-response.txt";
        e.inputData.refLevel = 75.0;
    }

    /** Flat target with minimum phase, ten IIR sections and user points, Hann 50% windows,
        minimum-phase filter. */
    void setHeavyDesign (DesignEngine& e, std::uint64_t nfft)
    {
        e.NFFT = nfft;
        e.rebuildAxes();
        loadRoomResponse (e);
        e.calculateInputFromMeasurement();

        e.inputData.windowType = WindowType::hann50;
        e.inputData.windowLength = nfft / 2;
        e.targetData.targetMagnitude = TargetMagnitudeType::flat;
        e.targetData.targetPhase = TargetPhaseType::minimum;

        auto& f = e.filterData;
        f.filterType = FilterResponseType::userDefined;
        f.windowType = WindowType::hann50;
        f.windowLength = nfft / 2;
        f.windowShift = -(std::int32_t) (nfft / 2);
        f.minimumPhase = true;

        const std::vector<std::size_t> types { 1, 2, 3, 4, 6, 7, 8, 9, 6, 6 };
        f.numIIRs = types.size();
        f.type = Matrix<std::size_t> (1, types.size(), types);
        f.gain = Matrix<double> (1, 10, { 0, 0, 0, 0, 3, -4, 2, 0, -6, 5 });
        f.freq = Matrix<double> (1, 10, { 18000, 16000, 20, 25, 120, 80, 8000, 300, 2500, 60 });
        f.q = Matrix<double> (1, 10, { 0.7, 0.7, 0.7, 0.7, 4, 0.8, 0.8, 1, 2, 6 });
        f.numUserValues = 5;
        f.fi = Matrix<double> (1, 5, { 20, 200, 2000, 10000, 20000 });
        f.mag = Matrix<double> (1, 5, { 3, 0, -1, -2, -6 });
        f.phi = Matrix<double> (1, 5, { 0, 0, 10, 0, 0 });
    }

    /** What changes between two recomputes, as a user's step would change it. */
    enum class Step { nothing, filterWindowShift, inputWindowLength, sectionGain, inputAndSection };

    template <Step step>
    void recompute (benchmark::State& state)
    {
        DesignEngine e;
        setHeavyDesign (e, (std::uint64_t) state.range (0));
        e.calculate (true);
        int i = 0;

        for (auto _ : state)
        {
            ++i;
            if (step == Step::filterWindowShift)  e.filterData.windowShift = -(std::int32_t) (e.NFFT / 2) + (i % 64);
            if (step == Step::inputWindowLength || step == Step::inputAndSection)  e.inputData.windowLength = e.NFFT / 2 - (std::uint64_t) (i % 64);
            if (step == Step::sectionGain || step == Step::inputAndSection)        e.filterData.gain.data[4] = 3.0 + 0.01 * (i % 64);

            e.calculate (true);
            benchmark::DoNotOptimize (e.filterData.coefficients.data.data());
        }
    }

    /** The transforms of one recompute of the heavy design: five of NFFT points (input spectrum,
        the two inside the filter's minimum phase, the filter's inverse, the coefficient spectrum)
        and two of NFFT/2 + 1 points (the target's minimum phase). */
    void fftFloor (benchmark::State& state)
    {
        const auto n = (std::size_t) state.range (0);
        const Matrix<std::complex<double>> full (1, n, std::vector<std::complex<double>> (n, { 0.5, 0.25 }));
        const Matrix<std::complex<double>> half (1, n / 2 + 1, std::vector<std::complex<double>> (n / 2 + 1, { 0.5, 0.25 }));

        for (auto _ : state)
        {
            for (int i = 0; i < 3; ++i)
                benchmark::DoNotOptimize (fft (full, n).data.data());
            for (int i = 0; i < 2; ++i)
                benchmark::DoNotOptimize (ifft (full, n).data.data());
            benchmark::DoNotOptimize (ifft (half, n / 2 + 1).data.data());
            benchmark::DoNotOptimize (fft (half, n / 2 + 1).data.data());
        }
    }
}

// Nothing changed since the last recompute (a redraw that still asks for a recompute).
BENCHMARK_TEMPLATE (recompute, Step::nothing)->Name ("recompute/unchanged")->Arg (65536)->Arg (4096)->Unit (benchmark::kMillisecond);
// A drag of the filter window's shift: the correction and the filter's impulse response stay.
BENCHMARK_TEMPLATE (recompute, Step::filterWindowShift)->Name ("recompute/filterWindowShift")->Arg (65536)->Arg (4096)->Unit (benchmark::kMillisecond);
// A drag of the input window's length: everything after the input spectrum is computed anew.
BENCHMARK_TEMPLATE (recompute, Step::inputWindowLength)->Name ("recompute/inputWindowLength")->Arg (65536)->Arg (4096)->Unit (benchmark::kMillisecond);
// A changed IIR section: the section's response and everything after it are computed anew.
BENCHMARK_TEMPLATE (recompute, Step::sectionGain)->Name ("recompute/sectionGain")->Arg (65536)->Arg (4096)->Unit (benchmark::kMillisecond);
// Both at once: nothing but the user points and the filter window can be reused.
BENCHMARK_TEMPLATE (recompute, Step::inputAndSection)->Name ("recompute/inputAndSection")->Arg (65536)->Arg (4096)->Unit (benchmark::kMillisecond);
BENCHMARK (fftFloor)->Arg (65536)->Arg (4096)->Unit (benchmark::kMillisecond);

BENCHMARK_MAIN();
