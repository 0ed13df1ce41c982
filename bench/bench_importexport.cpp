// Measurement import, coefficient export and project save at the sizes users meet at their largest:
// a 100 000-line measurement into a design of NFFT 65536, the 65536 coefficients of that design,
// and its document. Goal: each under 50 ms.
#include "design/CoefficientExport.h"
#include "design/DesignEngine.h"
#include "design/MeasurementImport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace
{
constexpr std::uint64_t largestNfft = 65536;
constexpr int numMeasurementLines = 100000;

/** A folder with a 100 000-line measurement (TAB, Hz, dB, degrees) from 1 Hz to 23 999 Hz. */
struct BenchFiles
{
    BenchFiles()
    {
        folder.createDirectory();
        juce::MemoryOutputStream text;
        text << "* Freq(Hz)\tSPL(dB)\tPhase(degrees)\n";

        for (int i = 0; i < numMeasurementLines; ++i)
        {
            const auto f = std::pow (23999.0, (double) i / (numMeasurementLines - 1));
            text << juce::String (f, 6) << "\t" << juce::String (80.0 + 6.0 * std::sin (0.001 * i), 3) << "\t"
                 << juce::String (std::fmod (37.0 * i, 360.0) - 180.0, 4) << "\n";
        }

        measurement.replaceWithData (text.getData(), text.getDataSize());
    }

    ~BenchFiles() { folder.deleteRecursively(); }

    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getNonexistentChildFile ("talvo-bench-", "", false);
    juce::File measurement = folder.getChildFile ("measurement.txt");
    juce::File coefficients = folder.getChildFile ("fir.txt");
    juce::File project = folder.getChildFile ("design.tlvProj");
};

BenchFiles& files()
{
    static BenchFiles instance;
    return instance;
}

/** A design at the largest FFT length with both windows spanning it. */
void makeLargest (DesignEngine& design)
{
    design.NFFT = largestNfft;
    design.inputData.windowLength = largestNfft;
    design.filterData.windowLength = largestNfft;
    design.rebuildAxes();
}

MeasurementImport::Points readBenchMeasurement (const DesignEngine& design)
{
    return MeasurementImport::readMeasurement (files().measurement, MeasurementImport::decibels,
                                               MeasurementImport::degrees, "\\t", design.fs, design.NFFT);
}

void storeAndRecompute (DesignEngine& design, MeasurementImport::Points&& points)
{
    const auto n = points.frequencies.size();
    design.inputData.fi = Matrix<double> (1, n, std::move (points.frequencies));
    design.inputData.mag_i = Matrix<double> (1, n, std::move (points.values));
    design.inputData.phi_i = Matrix<double> (1, n, std::move (points.phases));
    design.inputData.fileName = files().measurement.getFullPathName();
    design.calculateInputFromMeasurement();
    design.inputChanged = true;
    design.calculate (true);
}

//==============================================================================
// Floor of the parse: reading the file's bytes.
void BM_MeasurementReadBytesFloor (benchmark::State& state)
{
    for (auto _ : state)
    {
        juce::MemoryBlock block;
        files().measurement.loadFileAsData (block);
        benchmark::DoNotOptimize (block.getData());
    }
}
BENCHMARK (BM_MeasurementReadBytesFloor)->Unit (benchmark::kMillisecond);

void BM_MeasurementParse (benchmark::State& state)
{
    DesignEngine design;
    makeLargest (design);

    for (auto _ : state)
        benchmark::DoNotOptimize (readBenchMeasurement (design));
}
BENCHMARK (BM_MeasurementParse)->Unit (benchmark::kMillisecond);

// Floor of the whole import: the recompute it ends with.
void BM_RecomputeFloor (benchmark::State& state)
{
    DesignEngine design;
    makeLargest (design);
    storeAndRecompute (design, readBenchMeasurement (design));

    for (auto _ : state)
    {
        design.calculateInputFromMeasurement();
        design.calculate (true);
    }
}
BENCHMARK (BM_RecomputeFloor)->Unit (benchmark::kMillisecond);

void BM_MeasurementImport (benchmark::State& state)
{
    DesignEngine design;
    makeLargest (design);

    for (auto _ : state)
        storeAndRecompute (design, readBenchMeasurement (design));

    state.counters["points"] = (double) design.inputData.fi.length();
}
BENCHMARK (BM_MeasurementImport)->Unit (benchmark::kMillisecond);

//==============================================================================
std::vector<double> largestCoefficients()
{
    DesignEngine design;
    makeLargest (design);
    storeAndRecompute (design, readBenchMeasurement (design));
    return design.filterData.coefficients.data;
}

void BM_CoefficientFormat (benchmark::State& state)
{
    const auto coefficients = largestCoefficients();

    for (auto _ : state)
        benchmark::DoNotOptimize (CoefficientExport::formatCoefficients (coefficients.data(), coefficients.size()));
}
BENCHMARK (BM_CoefficientFormat)->Unit (benchmark::kMillisecond);

/** Writes bytes over file in place and syncs it to the disk: what any write that must survive a
    power failure costs at least. */
void writeAndSync (const juce::File& file, const std::string& bytes)
{
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    benchmark::DoNotOptimize (::write (fd, bytes.data(), bytes.size()));
    ::fsync (fd);
    ::close (fd);
}

// Floor of the export: the same bytes written to a file and synced to the disk.
void BM_CoefficientWriteBytesFloor (benchmark::State& state)
{
    const auto coefficients = largestCoefficients();
    const auto text = CoefficientExport::formatCoefficients (coefficients.data(), coefficients.size());

    for (auto _ : state)
        writeAndSync (files().coefficients, text);
}
BENCHMARK (BM_CoefficientWriteBytesFloor)->Unit (benchmark::kMillisecond);

void BM_CoefficientExport (benchmark::State& state)
{
    const auto coefficients = largestCoefficients();

    for (auto _ : state)
    {
        const auto result = CoefficientExport::writeCoefficients (files().coefficients, coefficients.data(),
                                                                  coefficients.size());

        if (result.outcome != CoefficientExport::Outcome::ok)
            state.SkipWithError (result.getMessage().toRawUTF8());
    }
}
BENCHMARK (BM_CoefficientExport)->Unit (benchmark::kMillisecond);

//==============================================================================
/** The largest design, its measurement included, whose document Save writes. */
const DesignEngine& largestDesign()
{
    static const auto design = []
    {
        auto d = std::make_unique<DesignEngine>();
        makeLargest (*d);
        storeAndRecompute (*d, readBenchMeasurement (*d));
        return d;
    }();
    return *design;
}

// Floor of the save: the document's bytes written to a file and synced to the disk.
void BM_ProjectWriteBytesFloor (benchmark::State& state)
{
    const auto text = largestDesign().createProjectText().toStdString();

    for (auto _ : state)
        writeAndSync (files().project, text);

    state.counters["bytes"] = (double) text.size();
}
BENCHMARK (BM_ProjectWriteBytesFloor)->Unit (benchmark::kMillisecond);

void BM_ProjectSave (benchmark::State& state)
{
    for (auto _ : state)
        if (const auto result = largestDesign().writeProject (files().project); result.failed())
            state.SkipWithError (result.getErrorMessage().toRawUTF8());
}
BENCHMARK (BM_ProjectSave)->Unit (benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
