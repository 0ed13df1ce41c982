#include "DesignTestSupport.h"

using namespace designtest;

TEST (DesignState, ConstructionGivesTheDefaultDesign)
{
    TestEngine e;

    EXPECT_EQ (e.NFFT, 4096u);
    EXPECT_EQ (e.fs, 48000.0);
    EXPECT_EQ (e.versionCode, 10000);
    EXPECT_EQ (versionString, juce::String ("1.0.0"));
    EXPECT_TRUE (e.inputChanged);
    EXPECT_FALSE (e.targetChanged);
    EXPECT_TRUE (e.filterChanged);
    EXPECT_FALSE (e.axesChanged);
    EXPECT_EQ (e.filterData.filterType, FilterResponseType::none);
    EXPECT_EQ (e.defaultSelection(), FilterResponseType::none);

    EXPECT_EQ (e.inputData.measuredSpectrum.length(), 2049u);
    EXPECT_EQ (e.inputData.measuredSpectrum.data[7], Complex (10000.0, 0.0));
    EXPECT_EQ (e.inputData.spectrum.data[2048], Complex (10000.0, 0.0));
    EXPECT_EQ (e.inputData.impulseResponse.length(), 4096u);
    EXPECT_EQ (e.inputData.impulseResponse.data[0], 1.0);
    EXPECT_EQ (e.inputData.impulseResponse.data[1], 0.0);
    EXPECT_EQ (e.targetData.response.data[5], Complex (0.0, 0.0));
    EXPECT_EQ (e.filterData.correction.data[5], Complex (1.0, 0.0));
    EXPECT_EQ (e.filterData.coefficients.data[0], 1.0);
    EXPECT_EQ (e.filterData.window.data[4095], 1.0);
    EXPECT_EQ (e.inputData.fi.length(), 1u);
    EXPECT_EQ (e.targetData.bandFrequencies.length(), 1u);
}

TEST (DesignState, AxesFollowFsAndNfft)
{
    TestEngine e;

    ASSERT_EQ (e.frequencyAxis.length(), 2049u);
    EXPECT_EQ (e.frequencyAxis.data[0], 0.0);
    EXPECT_EQ (e.frequencyAxis.data[1], 11.71875);
    EXPECT_EQ (e.frequencyAxis.data[2048], 24000.0);
    ASSERT_EQ (e.timeAxis.length(), 4096u);
    EXPECT_EQ (e.timeAxis.data[0], 0.0);
    EXPECT_DOUBLE_EQ (e.timeAxis.data[4095], 85.3125);

    e.fs = 96000.0;
    e.rebuildAxes();
    EXPECT_EQ (e.frequencyAxis.data[2048], 48000.0);
    EXPECT_DOUBLE_EQ (e.timeAxis.data[4095], 4095.0 * 1000.0 / 96000.0);

    e.NFFT = 32;
    e.rebuildAxes();
    EXPECT_EQ (e.frequencyAxis.length(), 17u);
    EXPECT_EQ (e.timeAxis.length(), 32u);
    EXPECT_FALSE (e.axesChanged);   // rebuilding sets no flag; its callers do
}

TEST (DesignState, ResetKeepsWhatItMustKeep)
{
    TestEngine e;
    e.NFFT = 8192;
    e.fs = 44100.0;
    e.rebuildAxes();
    e.axesChanged = true;
    e.projectFilePath = "/tmp/x.tlvProj";
    e.filterData.filterType = FilterResponseType::userDefined;
    e.filterData.numUserValues = 2;
    e.filterData.numIIRs = 3;
    e.inputData.fileName = "/tmp/m.txt";
    e.inputData.fi = row ({ 0, 10, 20 });
    e.inputData.mag_i = row ({ 0, 1, 1 });
    e.targetData.bandFrequencies = row ({ 100, 200 });
    e.targetData.userDefinedMag = row ({ 1, 2 });
    e.inputChanged = e.targetChanged = e.filterChanged = false;

    e.resetDesign();

    EXPECT_EQ (e.NFFT, 4096u);
    EXPECT_EQ (e.fs, 48000.0);
    EXPECT_EQ (e.frequencyAxis.length(), 2049u);
    EXPECT_TRUE (e.axesChanged);
    EXPECT_TRUE (e.projectFilePath.isEmpty());
    EXPECT_EQ (e.filterData.filterType, FilterResponseType::userDefined);
    EXPECT_EQ (e.filterData.numUserValues, 0u);
    EXPECT_EQ (e.filterData.numIIRs, 0u);
    EXPECT_TRUE (e.inputData.fileName.isEmpty());
    EXPECT_EQ (e.inputData.fi.length(), 3u);
    EXPECT_EQ (e.inputData.mag_i.data[1], 1.0);
    EXPECT_EQ (e.targetData.bandFrequencies.length(), 2u);
    EXPECT_EQ (e.targetData.userDefinedMag.length(), 1u);
    EXPECT_TRUE (e.inputChanged && e.targetChanged && e.filterChanged);
    EXPECT_EQ (e.inputData.windowLength, 4096u);
    EXPECT_EQ (e.filterData.windowLength, 4096u);
}

TEST (DesignState, SupportedFftLengths)
{
    for (std::uint64_t n = 32; n <= 65536; n *= 2)
        EXPECT_TRUE (DesignEngine::isSupportedNfft (n)) << n;

    for (std::uint64_t n : { 0ull, 1ull, 16ull, 33ull, 4095ull, 131072ull, ~0ull })
        EXPECT_FALSE (DesignEngine::isSupportedNfft (n)) << n;
}

//==============================================================================
TEST (InputFromMeasurement, WithoutMeasurementGivesUnitImpulseAndOnes)
{
    TestEngine e;
    e.inputData.fi = row ({ 0, 100, 30000 });     // left behind by an earlier design
    e.inputData.mag_i = row ({ 0, 5, 5 });
    e.inputData.phi_i = row ({ 0, 0, 0 });

    e.calculateInputFromMeasurement();

    for (auto v : e.inputData.measuredSpectrum.data)
        EXPECT_EQ (v, Complex (1.0, 0.0));
    EXPECT_EQ (e.inputData.impulseResponse.data[0], 1.0);
    for (std::size_t i = 1; i < 4096; ++i)
        ASSERT_EQ (e.inputData.impulseResponse.data[i], 0.0);
}

namespace
{
    /** A measurement at the reference level with zero phase, from 0 Hz to beyond fs/2. */
    void setFlatMeasurement (TestEngine& e)
    {
        const double level = std::pow (10.0, e.inputData.refLevel / 20.0);
        e.inputData.fileName = "flat.txt";
        e.inputData.fi = row ({ 0.0, 1000.0, 10000.0, 24100.0, 24200.0 });
        e.inputData.mag_i = row ({ level, level, level, level, level });
        e.inputData.phi_i = row ({ 0, 0, 0, 0, 0 });
    }
}

TEST (InputFromMeasurement, FlatMeasurementIsAnImpulseAtTheCentre)
{
    TestEngine e;
    setFlatMeasurement (e);
    e.calculateInputFromMeasurement();

    const auto& ir = e.inputData.impulseResponse;
    ASSERT_EQ (ir.length(), 4096u);
    EXPECT_NEAR (ir.data[2048], 1.0, 1e-6);
    for (std::size_t i = 0; i < 4096; ++i)
    {
        if (i == 2048)
            continue;

        ASSERT_NEAR (ir.data[i], 0.0, 1e-6) << i;
    }

    // The measured spectrum keeps the measured level.
    EXPECT_NEAR (std::abs (e.inputData.measuredSpectrum.data[100]), 10000.0, 1e-9);
}

TEST (InputFromMeasurement, MinimumPhaseMeasurementStartsAtZero)
{
    TestEngine e;
    setFlatMeasurement (e);
    e.inputData.minimumPhase = true;
    e.calculateInputFromMeasurement();

    EXPECT_NEAR (e.inputData.impulseResponse.data[0], 1.0, 1e-5);
    EXPECT_NEAR (e.inputData.impulseResponse.data[2048], 0.0, 1e-5);
}

TEST (InputFromMeasurement, WrappedPhaseIsUnwrappedBeforeInterpolation)
{
    TestEngine e;
    setFlatMeasurement (e);
    // A phase falling steadily through -pi: stored wrapped, it jumps from about -3.0 to +3.0.
    e.inputData.fi = row ({ 0.0, 1000.0, 2000.0, 3000.0, 24100.0, 24200.0 });
    e.inputData.mag_i = row ({ 1, 1, 1, 1, 1, 1 });
    e.inputData.phi_i = row ({ 0.0, -1.5, -3.0, -4.5 + 2 * 3.141592653589793, -4.5 + 2 * 3.141592653589793, -4.5 + 2 * 3.141592653589793 });
    e.calculateInputFromMeasurement();

    // Between 2000 and 3000 Hz the phase must pass -3.75 rad, not swing through 0.
    const auto bin = (std::size_t) std::lround (2500.0 / 11.71875);
    const double phase = std::arg (e.inputData.measuredSpectrum.data[bin]);
    EXPECT_NEAR (std::abs (phase), 3.141592653589793 - 0.6, 0.2) << phase;
}

TEST (InputFromMeasurement, FollowsNfftAndSurvivesTooFewPoints)
{
    TestEngine e;
    setFlatMeasurement (e);
    e.NFFT = 1024;
    e.rebuildAxes();
    e.calculateInputFromMeasurement();
    EXPECT_EQ (e.inputData.measuredSpectrum.length(), 513u);
    EXPECT_EQ (e.inputData.impulseResponse.length(), 1024u);
    EXPECT_NEAR (e.inputData.impulseResponse.data[512], 1.0, 1e-6);

    // A file that gave no point leaves 1 x 1 vectors; mismatched vectors use what all three hold.
    e.inputData.fi = row ({ 0.0 });
    e.inputData.mag_i = row ({ 0.0 });
    e.inputData.phi_i = row ({ 0.0 });
    e.calculateInputFromMeasurement();
    EXPECT_EQ (e.inputData.impulseResponse.length(), 1024u);

    e.inputData.fi = row ({ 0.0, 100.0, 200.0, 30000.0 });
    e.inputData.mag_i = row ({ 1.0, 1.0 });
    e.calculateInputFromMeasurement();
    EXPECT_EQ (e.inputData.measuredSpectrum.length(), 513u);
}
