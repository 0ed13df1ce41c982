// Numeric library speed at the sizes of a design recompute (NFFT 4096 and 65536).
//
// The transform pair through our layer (complex double in and out, single precision inside) is shown
// beside its floor: FFTW's own interleaved single-precision forward and inverse transform of the same
// length, planned once, on data already in float form.

#include "design/IirDesigners.h"
#include "numerics/Matrix.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>

namespace
{
using Complex = std::complex<double>;

Matrix<Complex> randomSpectrum (std::size_t n)
{
    std::mt19937_64 random (1);
    std::normal_distribution<double> value;
    Matrix<Complex> x (1, n);
    for (auto& element : x.data)
        element = { value (random), value (random) };
    return x;
}

void fftAndIfftThroughOurLayer (benchmark::State& state)
{
    const auto n = static_cast<std::size_t> (state.range (0));
    const auto x = randomSpectrum (n);

    for (auto _ : state)
    {
        auto spectrum = fft (x, n);
        auto back = ifft (spectrum, n);
        benchmark::DoNotOptimize (back.data.data());
    }
}

void fftwInterleavedFloatFloor (benchmark::State& state)
{
    const auto n = static_cast<int> (state.range (0));
    auto* buffer = static_cast<fftwf_complex*> (fftwf_malloc (sizeof (fftwf_complex) * static_cast<std::size_t> (n)));
    const auto forward = fftwf_plan_dft_1d (n, buffer, buffer, FFTW_FORWARD, FFTW_ESTIMATE);
    const auto inverse = fftwf_plan_dft_1d (n, buffer, buffer, FFTW_BACKWARD, FFTW_ESTIMATE);

    const auto x = randomSpectrum (static_cast<std::size_t> (n));
    for (int k = 0; k < n; ++k)
    {
        buffer[k][0] = static_cast<float> (x.data[static_cast<std::size_t> (k)].real());
        buffer[k][1] = static_cast<float> (x.data[static_cast<std::size_t> (k)].imag()) / static_cast<float> (n);
    }

    for (auto _ : state)
    {
        fftwf_execute (forward);
        fftwf_execute (inverse);
        benchmark::DoNotOptimize (buffer);
        benchmark::ClobberMemory();
    }

    fftwf_destroy_plan (forward);
    fftwf_destroy_plan (inverse);
    fftwf_free (buffer);
}

void freqzOfAPeakingSection (benchmark::State& state)
{
    const auto n = static_cast<std::size_t> (state.range (0));
    Matrix<double> b, a;
    designPeakingBiquad (b, a, 6.0, 1000.0, 0.7, 48000.0);
    const auto f = linspace (24000.0, n / 2 + 1);

    for (auto _ : state)
    {
        auto h = freqz (b, a, f, 48000.0);
        benchmark::DoNotOptimize (h.data.data());
    }
}

void minimumPhaseOfASpectrum (benchmark::State& state)
{
    const auto n = static_cast<std::size_t> (state.range (0));
    const auto H = randomSpectrum (n);

    for (auto _ : state)
    {
        auto m = minimumPhase (H);
        benchmark::DoNotOptimize (m.data.data());
    }
}

void complexQuotientOfSpectra (benchmark::State& state)
{
    const auto n = static_cast<std::size_t> (state.range (0));
    const auto x = randomSpectrum (n);
    const auto y = randomSpectrum (n) * 3.0;

    for (auto _ : state)
    {
        auto q = x / y;
        benchmark::DoNotOptimize (q.data.data());
    }
}

void splineOntoTheFrequencyGrid (benchmark::State& state)
{
    const auto n = static_cast<std::size_t> (state.range (0));
    std::vector<double> frequencies, levels;
    for (double f = 10.0; f < 24000.0; f *= 1.01)
    {
        frequencies.push_back (f);
        levels.push_back (std::sin (f / 1000.0));
    }
    const auto count = frequencies.size();
    const Matrix<double> x (1, count, frequencies), y (1, count, levels);
    const auto grid = linspace (24000.0, n / 2 + 1);

    for (auto _ : state)
    {
        auto r = interp1 (x, y, grid, "spline");
        benchmark::DoNotOptimize (r.data.data());
    }
}
} // namespace

BENCHMARK (fftAndIfftThroughOurLayer)->Arg (4096)->Arg (65536)->Unit (benchmark::kMicrosecond);
BENCHMARK (fftwInterleavedFloatFloor)->Arg (4096)->Arg (65536)->Unit (benchmark::kMicrosecond);
BENCHMARK (freqzOfAPeakingSection)->Arg (65536)->Unit (benchmark::kMicrosecond);
BENCHMARK (minimumPhaseOfASpectrum)->Arg (65536)->Unit (benchmark::kMicrosecond);
BENCHMARK (complexQuotientOfSpectra)->Arg (32769)->Unit (benchmark::kMicrosecond);
BENCHMARK (splineOntoTheFrequencyGrid)->Arg (65536)->Unit (benchmark::kMicrosecond);

BENCHMARK_MAIN();
