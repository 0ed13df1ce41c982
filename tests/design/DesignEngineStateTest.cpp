#include "DesignTestSupport.h"

#include <tuple>

using namespace designtest;

namespace
{
    // A measurement at the reference level with zero phase, from 0 Hz to beyond fs/2.
    void setFlatMeasurement (TestEngine& e)
    {
        const double level = std::pow (10.0, e.inputData.refLevel / 20.0);
        e.inputData.fileName = "flat.txt";
        e.inputData.fi = row ({ 0.0, 1000.0, 10000.0, 24100.0, 24200.0 });
        e.inputData.mag_i = row ({ level, level, level, level, level });
        e.inputData.phi_i = row ({ 0, 0, 0, 0, 0 });
    }

    // Every setting and computed field that a reset puts back.
    auto resetFields (const DesignEngine& d)
    {
        const auto& i = d.inputData;
        const auto& t = d.targetData;
        const auto& f = d.filterData;
        return std::tuple (d.NFFT, d.fs, d.projectFilePath, d.frequencyAxis.data, d.timeAxis.data, i.windowType, i.windowLength, i.shift,
                           i.refLevel, i.fileName, i.minimumPhase, i.impulseResponse.data, i.measuredSpectrum.data, i.shiftedImpulseResponse.data,
                           i.window.data, i.spectrum.data, t.targetMagnitude, t.targetPhase, t.fminMagnitude, t.fmaxMagnitude, t.nominalTargetLevel,
                           t.limitBoostCut, t.fminPhase, t.fmaxPhase, t.userDefinedMag.data, t.response.data, f.windowType, f.windowLength,
                           f.windowShift, f.minimumPhase, f.numUserValues, f.numIIRs, f.fi.data, f.mag.data, f.impulseResponse.data,
                           f.window.data, f.response.data, f.correction.data, f.coefficients.data, f.coefficientSpectrum.data);
    }
}

TEST (DesignState, ResetGivesTheDesignOfAFreshEngineButKeepsTheMeasuredPointsAndTheSectionType)
{
    // Construction starts with the input and filter flags set but not the target's.
    TestEngine fresh;
    EXPECT_EQ (std::tuple (fresh.NFFT, fresh.fs, fresh.versionCode, fresh.filterData.filterType, fresh.inputChanged, fresh.targetChanged,
                           fresh.filterChanged, fresh.axesChanged),
               std::tuple (4096u, 48000.0, 10000, FilterResponseType::none, true, false, true, false));
    EXPECT_EQ (fresh.inputData.measuredSpectrum.data, std::vector<Complex> (2049, Complex (10000.0, 0.0)));

    // A design that differs from the defaults everywhere, computed. The axes follow fs and NFFT (the
    // frequency axis ends at fs / 2 exactly, the time axis counts milliseconds); rebuilding them sets
    // no flag (its callers do).
    TestEngine e;
    e.NFFT = 8192, e.fs = 44100.0;
    e.rebuildAxes();
    EXPECT_EQ (std::tuple (e.frequencyAxis.length(), e.frequencyAxis.data[4096], e.timeAxis.length(), e.axesChanged), std::tuple (4097u, 22050.0, 8192u, false));
    EXPECT_DOUBLE_EQ (e.timeAxis.data[8191], 8191.0 * 1000.0 / 44100.0);

    setFlatMeasurement (e);
    auto& i = e.inputData;
    auto& t = e.targetData;
    auto& f = e.filterData;
    e.projectFilePath = "/tmp/x.tlvProj";
    i.refLevel = 70.0, i.shift = 5, i.windowLength = 4000, i.windowType = WindowType::hann, i.minimumPhase = true;
    t.targetMagnitude = TargetMagnitudeType::flat, t.targetPhase = TargetPhaseType::minimum, t.limitBoostCut = 6.0, t.nominalTargetLevel = 90.0;
    t.fminMagnitude = t.fminPhase = 200.0, t.fmaxMagnitude = t.fmaxPhase = 16000.0, t.userDefinedMag = row ({ 1, 2 });
    f.filterType = FilterResponseType::userDefined, f.windowShift = -3, f.windowLength = 2000, f.windowType = WindowType::hann50;
    f.minimumPhase = true, f.numUserValues = 2, f.fi = row ({ 100, 200 }), f.mag = row ({ 3, -3 }), f.phi = row ({ 0, 0 });
    e.calculateInputFromMeasurement();
    e.calculate (true);
    e.axesChanged = true;
    e.inputChanged = e.targetChanged = e.filterChanged = false;
    const auto kept = std::tuple (f.filterType, i.fi.data, i.mag_i.data, i.phi_i.data, t.bandFrequencies.data, t.bandResponse.data);

    e.resetDesign();

    EXPECT_TRUE (resetFields (e) == resetFields (fresh));
    EXPECT_TRUE (std::tuple (f.filterType, i.fi.data, i.mag_i.data, i.phi_i.data, t.bandFrequencies.data, t.bandResponse.data) == kept);
    EXPECT_TRUE (e.inputChanged && e.targetChanged && e.filterChanged && e.axesChanged);
}

//==============================================================================
TEST (InputFromMeasurement, ImpulseAtTheCentreOrForMinimumPhaseAtTheStart)
{
    // Without a file name the points left behind by an earlier design are ignored: unit impulse and
    // ones. A flat measurement at the reference level is an impulse at NFFT / 2, for minimum phase at
    // 0, and the measured spectrum keeps the measured level.
    const struct { bool measurement, minimumPhase; std::size_t nfft, peak; double measuredLevel; } cases[] {
        { false, false, 4096, 0, 1.0 }, { true, false, 4096, 2048, 10000.0 }, { true, true, 4096, 0, 10000.0 }, { true, false, 1024, 512, 10000.0 },
    };
    for (const auto& c : cases)
    {
        TestEngine e;
        e.NFFT = c.nfft;
        e.rebuildAxes();
        setFlatMeasurement (e);
        e.inputData.fileName = c.measurement ? "flat.txt" : "";
        e.inputData.minimumPhase = c.minimumPhase;
        e.calculateInputFromMeasurement();

        const auto& ir = e.inputData.impulseResponse;
        ASSERT_EQ (std::tuple (ir.length(), e.inputData.measuredSpectrum.length()), std::tuple (c.nfft, c.nfft / 2 + 1));
        for (std::size_t k = 0; k < c.nfft; ++k)
            ASSERT_NEAR (ir.data[k], k == c.peak ? 1.0 : 0.0, 1e-5) << k << ", case with the peak at " << c.peak;
        EXPECT_NEAR (std::abs (e.inputData.measuredSpectrum.data[100]), c.measuredLevel, 1e-9);
    }
}

TEST (InputFromMeasurement, WrappedPhaseIsUnwrappedBeforeInterpolation)
{
    // A phase falling steadily through -pi: stored wrapped, it jumps from about -3.0 to +3.0. Between
    // 2000 and 3000 Hz the phase must pass -3.75 rad, not swing through 0.
    TestEngine e;
    e.inputData.fileName = "falling.txt";
    e.inputData.fi = row ({ 0.0, 1000.0, 2000.0, 3000.0, 24100.0, 24200.0 });
    e.inputData.mag_i = row ({ 1, 1, 1, 1, 1, 1 });
    e.inputData.phi_i = row ({ 0.0, -1.5, -3.0, -4.5 + 2 * 3.141592653589793, -4.5 + 2 * 3.141592653589793, -4.5 + 2 * 3.141592653589793 });
    e.calculateInputFromMeasurement();
    const double phase = std::arg (e.inputData.measuredSpectrum.data[(std::size_t) std::lround (2500.0 / 11.71875)]);
    EXPECT_NEAR (std::abs (phase), 3.141592653589793 - 0.6, 0.2) << phase;
}
