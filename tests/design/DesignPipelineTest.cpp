#include "DesignTestSupport.h"

#include "design/IirFilterType.h"

using namespace designtest;

namespace
{
    const double pi = 3.141592653589793;

    /** A bare input response (no measurement loaded) of the engine's length, all zero but the
        given samples. */
    void setImpulseResponse (TestEngine& e, std::vector<std::pair<std::size_t, double>> samples)
    {
        e.inputData.impulseResponse = Matrix<double> (1, e.NFFT);
        for (auto [i, v] : samples)
            e.inputData.impulseResponse.data[i] = v;
    }

    double correctionDb (const TestEngine& e, std::size_t k) { return dB (e.filterData.correction.data[k]); }
}

//==============================================================================
TEST (DesignPipeline, DefaultDesignIsACentredUnitImpulse)
{
    TestEngine e;
    e.calculate (true);

    EXPECT_EQ (e.notifications, 1);
    EXPECT_EQ (DesignEngine::findPeakPosition (e.inputData.shiftedImpulseResponse), 1);

    for (std::size_t k = 0; k <= 2048; ++k)
    {
        ASSERT_NEAR (std::abs (e.inputData.spectrum.data[k] - Complex (10000.0, 0.0)), 0.0, 1e-9);
        ASSERT_EQ (e.filterData.correction.data[k], Complex (1.0, 0.0));
        ASSERT_NEAR (std::abs (e.filterData.coefficientSpectrum.data[k] - Complex (1.0, 0.0)), 0.0, 1e-6);
    }

    for (std::size_t i = 0; i < 4096; ++i)
    {
        ASSERT_NEAR (e.filterData.impulseResponse.data[i], i == 2048 ? 1.0 : 0.0, 1e-6) << i;
        ASSERT_NEAR (e.filterData.coefficients.data[i], i == 2048 ? 1.0 : 0.0, 1e-6) << i;
    }

    e.filterData.minimumPhase = true;
    e.calculate (true);
    EXPECT_NEAR (e.filterData.coefficients.data[0], 1.0, 1e-5);
    EXPECT_NEAR (e.filterData.coefficients.data[2048], 0.0, 1e-5);
    EXPECT_NEAR (std::abs (e.filterData.coefficientSpectrum.data[700]), 1.0, 1e-5);
}

TEST (DesignPipeline, RedrawOnlyChangesNothingButNotifies)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.filterData.windowType = WindowType::hann;
    e.calculate (true);
    const auto before = e.createProjectText();
    const auto coefficients = e.filterData.coefficients;
    const auto target = e.targetData.response;

    e.filterData.windowLength = 100;     // a setting changed, but only a redraw is asked for
    e.calculate (false);

    EXPECT_EQ (e.notifications, 2);
    EXPECT_EQ (coefficients.data, e.filterData.coefficients.data);
    EXPECT_EQ (target.data, e.targetData.response.data);
    EXPECT_NE (before, e.createProjectText());
}

//==============================================================================
TEST (InputStage, CircularShiftAndFirstLargestPeak)
{
    TestEngine e;
    setImpulseResponse (e, { { 4095, 0.5 }, { 10, -0.9 }, { 20, 0.9 } });
    e.inputData.shift = 1;
    e.calculate (true);

    const auto& y = e.inputData.shiftedImpulseResponse;
    EXPECT_EQ (y.data[0], 0.5);       // the last sample wraps round to the start
    EXPECT_EQ (y.data[11], -0.9);
    EXPECT_EQ (y.data[21], 0.9);
    EXPECT_EQ (DesignEngine::findPeakPosition (y), 12);   // 1-based, the earlier of two equal peaks

    for (std::int32_t shift : { -4096, 0, 4096 })
    {
        e.inputData.shift = shift;
        e.calculate (true);
        EXPECT_EQ (e.inputData.shiftedImpulseResponse.data, e.inputData.impulseResponse.data) << shift;
    }

    e.inputData.shift = -11;
    e.calculate (true);
    EXPECT_EQ (e.inputData.shiftedImpulseResponse.data[4095], -0.9);
}

TEST (InputStage, PeakIgnoresNaNAndDefaultsToOne)
{
    EXPECT_EQ (DesignEngine::findPeakPosition (row ({ 0, 0, 0 })), 1);
    EXPECT_EQ (DesignEngine::findPeakPosition (row ({ std::nan (""), 0.5, -2.0, 2.0 })), 3);
    EXPECT_EQ (DesignEngine::findPeakPosition (row ({ 1.0, std::nan (""), 3.0 })), 3);
    EXPECT_EQ (DesignEngine::findPeakPosition (row ({ std::nan (""), std::nan ("") })), 1);
}

TEST (InputStage, HannWindowIsCentredOnTheOneBasedPeak)
{
    TestEngine e;
    setImpulseResponse (e, { { 1000, 1.0 } });
    e.inputData.windowType = WindowType::hann;
    e.inputData.windowLength = 101;
    e.calculate (true);

    // Peak at 0-based 1000 is position p = 1001; the window of 101 points moves by p - 50 = 951,
    // so its middle (w[50] = 1) lands on index 1001.
    const auto& w = e.inputData.window;
    EXPECT_EQ (w.data[950], 0.0);
    EXPECT_EQ (w.data[951], 0.0);                                 // w[0]
    EXPECT_DOUBLE_EQ (w.data[1001], 1.0);                         // w[50]
    EXPECT_DOUBLE_EQ (w.data[976], 0.5 * (1 - std::cos (2 * pi * 25 / 100)));
    EXPECT_EQ (w.data[1052], 0.0);
    EXPECT_EQ (w.length(), 4096u);
}

TEST (InputStage, WindowLengthsOfZeroAndOneAreDefined)
{
    TestEngine e;
    setImpulseResponse (e, { { 100, 1.0 } });
    e.inputData.windowType = WindowType::hann;

    e.inputData.windowLength = 1;
    e.calculate (true);
    double sum = 0.0;
    for (auto v : e.inputData.window.data)
    {
        ASSERT_TRUE (std::isfinite (v));
        sum += v;
    }
    EXPECT_EQ (sum, 1.0);       // a Hann window of one point is 1

    e.inputData.windowLength = 0;
    e.calculate (true);
    for (auto v : e.inputData.window.data)
        ASSERT_EQ (v, 0.0);
    EXPECT_TRUE (allFinite (e.filterData.coefficients));   // no input at all still gives a finite filter

    e.inputData.windowType = WindowType::hann50;
    e.calculate (true);
    EXPECT_EQ (e.inputData.window.data[99], 1.0);
    EXPECT_EQ (e.inputData.window.data[100], 0.0);
    EXPECT_TRUE (allFinite (e.filterData.coefficients));

    e.inputData.windowLength = 1;
    e.calculate (true);
    EXPECT_TRUE (allFinite (e.inputData.window));
}

TEST (InputStage, HalfHannStartsAtThePeakAndStopsAtTheEnd)
{
    TestEngine e;
    e.inputData.windowType = WindowType::hann50;
    e.inputData.windowLength = 8;

    // Peak at index 0 (p = 1): no leading ones, the window starts with w[L-1].
    setImpulseResponse (e, { { 0, 1.0 } });
    e.calculate (true);
    auto w16 = [] (double i) { return 0.5 * (1 - std::cos (2 * pi * i / 15)); };
    for (int m = 0; m <= 8; ++m)
        EXPECT_NEAR (e.inputData.window.data[(std::size_t) m], w16 (7 + m), 1e-15) << m;
    EXPECT_EQ (e.inputData.window.data[9], 0.0);

    // Peak at 4093: ones before it, the falling half runs over the end and is cut there.
    e.inputData.windowLength = 4096;
    setImpulseResponse (e, { { 4093, 1.0 } });
    e.calculate (true);
    const auto& w = e.inputData.window;
    ASSERT_EQ (w.length(), 4096u);
    EXPECT_EQ (w.data[4092], 1.0);
    EXPECT_NEAR (w.data[4093], 0.5 * (1 - std::cos (2 * pi * 4095 / 8191)), 1e-15);
    EXPECT_LT (w.data[4095], w.data[4093]);
}

TEST (InputStage, MeasurementIsTransformedFromTimeZero)
{
    // A measured response centred at h goes back to index 0 before the transform, so a flat
    // measurement gives a spectrum of the measured level with zero phase.
    TestEngine e;
    const double level = 10000.0;
    e.inputData.fileName = "flat.txt";
    e.inputData.fi = row ({ 0.0, 1000.0, 24100.0, 24200.0 });
    e.inputData.mag_i = row ({ level, level, level, level });
    e.inputData.phi_i = row ({ 0, 0, 0, 0 });
    e.calculateInputFromMeasurement();
    e.calculate (true);

    for (std::size_t k = 0; k <= 2048; k += 97)
        EXPECT_NEAR (std::abs (e.inputData.spectrum.data[k] - Complex (level, 0.0)), 0.0, level * 1e-5) << k;
}

//==============================================================================
TEST (TargetStage, BothNoneKeepsTheInputAndACorrectionOfOne)
{
    TestEngine e;
    setImpulseResponse (e, { { 0, 0.3 }, { 1, 0.2 }, { 5, -0.1 } });
    e.targetData.bandFrequencies = row ({ 1.0, 2.0 });
    e.calculate (true);

    EXPECT_EQ (e.targetData.response.data, e.inputData.spectrum.data);
    EXPECT_EQ (e.targetData.bandFrequencies.length(), 2u);    // not rewritten
    for (auto c : e.filterData.correction.data)
        ASSERT_NEAR (std::abs (c - Complex (1.0, 0.0)), 0.0, 1e-12);
}

TEST (TargetStage, FlatTargetHasTheReferenceLevelInItsClosedBandOnly)
{
    TestEngine e;
    setImpulseResponse (e, { { 0, 0.5 }, { 3, 0.25 } });
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.targetData.fminMagnitude = e.frequencyAxis.data[100];     // band ends exactly on bins: closed
    e.targetData.fmaxMagnitude = e.frequencyAxis.data[200];
    e.targetData.limitBoostCut = 60.0;
    e.calculate (true);

    const auto& S = e.inputData.spectrum;
    const auto& T = e.targetData.response;

    EXPECT_EQ (T.data[99], S.data[99]);
    EXPECT_EQ (T.data[201], S.data[201]);
    for (std::size_t k : { 100u, 150u, 200u })
    {
        EXPECT_NEAR (std::abs (T.data[k]), 10000.0, 1e-9) << k;
        EXPECT_NEAR (std::arg (T.data[k]), std::arg (S.data[k]), 1e-12) << k;
    }

    ASSERT_EQ (e.targetData.bandFrequencies.length(), 101u);
    EXPECT_EQ (e.targetData.bandFrequencies.data[0], e.frequencyAxis.data[100]);
    EXPECT_EQ (e.targetData.bandResponse.data[100], T.data[200]);
}

TEST (TargetStage, UserMagnitudeIsLinearInLogFrequencyRelativeToTheReference)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;
    e.targetData.userDefinedMagFreq = row ({ 100.0, 1000.0 });
    e.targetData.userDefinedMag = row ({ 0.0, -20.0 });
    e.calculate (true);

    const auto& T = e.targetData.response;
    for (std::size_t k = 0; k <= 2048; ++k)
    {
        const double f = e.frequencyAxis.data[k];
        if (f < 100.0 || f > 1000.0)
            ASSERT_EQ (T.data[k], e.inputData.spectrum.data[k]) << f;
        else
            ASSERT_NEAR (dB (T.data[k]), 80.0 - 20.0 * std::log10 (f / 100.0), 1e-9) << f;
    }

    // A user target is never limited: +40 dB stays +40 dB.
    e.targetData.userDefinedMagFreq = row ({ 0.0, 24000.0 });
    e.targetData.userDefinedMag = row ({ 40.0, 40.0 });
    e.calculate (true);
    EXPECT_NEAR (correctionDb (e, 500), 40.0, 1e-9);

    // Fewer than two values leave the target alone.
    e.targetData.userDefinedMag = row ({ 40.0 });
    e.calculate (true);
    EXPECT_EQ (e.targetData.response.data, e.inputData.spectrum.data);
}

TEST (TargetStage, UserCurveBelowTheFirstPointUsesTheZeroHertzSubstitutes)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;
    e.targetData.userDefinedMagFreq = row ({ 0.0, 100.0 });
    e.targetData.userDefinedMag = row ({ -10.0, 0.0 });
    e.calculate (true);

    const auto& T = e.targetData.response;
    EXPECT_NEAR (dB (T.data[0]), 70.0, 1e-9);
    const double f = e.frequencyAxis.data[3];
    EXPECT_NEAR (dB (T.data[3]), 80.0 + 0.0 + (std::log10 (f) - 2.0) * (-10.0) / (-4.0 - 2.0), 1e-9);
}

TEST (TargetStage, PhaseTargets)
{
    TestEngine e;
    setImpulseResponse (e, { { 3, 1.0 }, { 4, 0.5 } });    // a delay: plenty of phase
    e.targetData.targetPhase = TargetPhaseType::zero;
    e.targetData.fminPhase = e.frequencyAxis.data[10];
    e.targetData.fmaxPhase = e.frequencyAxis.data[20];
    e.calculate (true);

    const auto& S = e.inputData.spectrum;
    const auto& T = e.targetData.response;
    EXPECT_EQ (T.data[9], S.data[9]);
    EXPECT_EQ (T.data[10].imag(), 0.0);
    EXPECT_NEAR (T.data[15].real(), std::abs (S.data[15]), 1e-9);
    EXPECT_EQ (e.targetData.bandFrequencies.length(), 11u);

    // Minimum phase of an input that already is minimum phase is its own phase.
    e.targetData.targetPhase = TargetPhaseType::minimum;
    e.inputData.minimumPhase = true;
    e.calculate (true);
    EXPECT_NEAR (std::abs (e.targetData.response.data[15] - S.data[15]), 0.0, 1e-9);

    // A delayed input gets the phase of its minimum-phase version: the delay goes.
    e.inputData.minimumPhase = false;
    e.targetData.fminPhase = 0.0;
    e.targetData.fmaxPhase = 24000.0;
    e.calculate (true);
    const auto reference = minimumPhase (e.inputData.spectrum);
    EXPECT_NEAR (std::arg (e.targetData.response.data[300]), std::arg (reference.data[300]), 1e-9);
    EXPECT_NEAR (std::abs (e.targetData.response.data[300]), std::abs (e.inputData.spectrum.data[300]), 1e-6);

    // User phase in degrees over its own band.
    e.targetData.targetPhase = TargetPhaseType::userDefined;
    e.targetData.userDefinedPhiFreq = row ({ 1000.0, 2000.0 });
    e.targetData.userDefinedPhi = row ({ 90.0, 90.0 });
    e.calculate (true);
    const auto bin = (std::size_t) std::lround (1500.0 / 11.71875);
    EXPECT_NEAR (std::arg (e.targetData.response.data[bin]), pi / 2, 1e-12);
    EXPECT_EQ (e.targetData.response.data[bin - 50], e.inputData.spectrum.data[bin - 50]);
}

TEST (TargetStage, PlotBandSpansBothParts)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.targetData.fminMagnitude = e.frequencyAxis.data[100];
    e.targetData.fmaxMagnitude = e.frequencyAxis.data[200];
    e.targetData.targetPhase = TargetPhaseType::zero;
    e.targetData.fminPhase = e.frequencyAxis.data[150];
    e.targetData.fmaxPhase = e.frequencyAxis.data[300];
    e.calculate (true);

    ASSERT_EQ (e.targetData.bandFrequencies.length(), 201u);
    EXPECT_EQ (e.targetData.bandFrequencies.data[0], e.frequencyAxis.data[100]);
    EXPECT_EQ (e.targetData.bandFrequencies.data[200], e.frequencyAxis.data[300]);

    // A part without a band of its own contributes nothing; none at all gives a 1 x 1 band.
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;   // no user values
    e.targetData.targetPhase = 9;
    e.calculate (true);
    EXPECT_EQ (e.targetData.bandFrequencies.length(), 1u);
    EXPECT_EQ (e.targetData.bandResponse.length(), 1u);
}

//==============================================================================
TEST (CorrectionStage, BoostAndCutAreLimitedInsideTheFlatBand)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.targetData.fminMagnitude = e.frequencyAxis.data[100];
    e.targetData.fmaxMagnitude = e.frequencyAxis.data[200];

    struct Case { double inputGain, expectedInBandDb, expectedOutsideDb; };
    const double limit = 12.0;

    for (auto c : { Case { 0.1, limit, 0.0 }, Case { 10.0, -limit, 0.0 }, Case { 0.5, 20 * std::log10 (2.0), 0.0 } })
    {
        setImpulseResponse (e, { { 0, c.inputGain } });
        e.calculate (true);
        EXPECT_NEAR (correctionDb (e, 100), c.expectedInBandDb, 1e-9) << c.inputGain;
        EXPECT_NEAR (correctionDb (e, 200), c.expectedInBandDb, 1e-9) << c.inputGain;
        EXPECT_NEAR (correctionDb (e, 99), c.expectedOutsideDb, 1e-9) << c.inputGain;
        EXPECT_NEAR (correctionDb (e, 201), c.expectedOutsideDb, 1e-9) << c.inputGain;
    }

    // The limit keeps the phase.
    setImpulseResponse (e, { { 7, 0.1 } });
    e.calculate (true);
    const auto k = 150u;
    EXPECT_NEAR (std::abs (e.filterData.correction.data[k]), std::pow (10.0, 12.0 / 20.0), 1e-9);
    EXPECT_NEAR (std::arg (e.filterData.correction.data[k]),
                 std::arg (e.targetData.response.data[k] / e.inputData.spectrum.data[k]), 1e-12);

    // Magnitude ids outside 1 .. 3 are limited like a flat target.
    e.targetData.targetMagnitude = 7;
    e.targetData.targetPhase = TargetPhaseType::zero;
    setImpulseResponse (e, { { 0, 1.0 } });
    e.calculate (true);
    EXPECT_NEAR (correctionDb (e, 150), 0.0, 1e-9);
}

TEST (CorrectionStage, BinsWithoutInputDoNotPoisonTheFilter)
{
    // x = [1, 1, 0, ...] has a spectrum of exactly 0 at fs/2: the flat target there is 0/0.
    TestEngine e;
    setImpulseResponse (e, { { 0, 1.0 }, { 1, 1.0 } });
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.calculate (true);

    ASSERT_EQ (e.inputData.spectrum.data[2048], Complex (0.0, 0.0));
    EXPECT_EQ (e.filterData.correction.data[2048], Complex (1.0, 0.0));
    EXPECT_TRUE (allFinite (e.filterData.correction));
    EXPECT_TRUE (allFinite (e.filterData.coefficients));
    EXPECT_TRUE (allFinite (e.filterData.coefficientSpectrum));
}

TEST (CorrectionStage, MeasurementOfSilenceGivesAFiniteDesign)
{
    // A measurement of zero magnitude everywhere (the import's 0 Hz point and nothing louder).
    TestEngine e;
    e.inputData.fileName = "silence.txt";
    e.inputData.fi = row ({ 0.0, 100.0, 24100.0, 24200.0 });
    e.inputData.mag_i = row ({ 0.0, 0.0, 0.0, 0.0 });
    e.inputData.phi_i = row ({ 0.0, 0.0, 0.0, 0.0 });
    e.calculateInputFromMeasurement();
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.filterData.minimumPhase = true;
    e.calculate (true);

    EXPECT_TRUE (allFinite (e.filterData.correction));
    EXPECT_TRUE (allFinite (e.filterData.coefficients));
}

TEST (CorrectionStage, ACorrectionOfExactlyZeroStaysZero)
{
    // At -6000 dB the flat target g * S / |S| underflows to 0 while S itself does not.
    TestEngine e;
    e.inputData.refLevel = -6000.0;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.calculate (true);

    ASSERT_NE (e.inputData.spectrum.data[500], Complex (0.0, 0.0));
    EXPECT_EQ (e.filterData.correction.data[500], Complex (0.0, 0.0));
    EXPECT_EQ (e.filterData.correction.data[0], Complex (1.0, 0.0));   // 0 Hz lies outside the band
    EXPECT_TRUE (allFinite (e.filterData.coefficients));
}

//==============================================================================
TEST (FilterStage, FilterResponseSectionFollowsTheSelectionHook)
{
    TestEngine e;
    e.filterData.filterType = FilterResponseType::userDefined;
    e.filterData.numUserValues = 1;
    e.filterData.fi = row ({ 1000.0 });
    e.filterData.mag = row ({ -6.0 });
    e.filterData.phi = row ({ 0.0 });

    e.selection = FilterResponseType::none;      // the workspace shows "None"
    e.calculate (true);
    EXPECT_NEAR (dB (e.filterData.response.data[300]), 0.0, 1e-12);

    e.selection = -1;                            // headless: the stored type decides
    e.calculate (true);
    EXPECT_NEAR (dB (e.filterData.response.data[300]), -6.0, 1e-12);
    EXPECT_NEAR (dB (e.filterData.coefficientSpectrum.data[300]), -6.0, 1e-5);

    // Sections count only while numIIRs is not 0.
    e.filterData.type = Matrix<std::size_t> (1, 1, { (std::size_t) IirFilterType::peq });
    e.filterData.gain = row ({ 12.0 });
    e.filterData.freq = row ({ e.frequencyAxis.data[300] });
    e.filterData.q = row ({ 1.0 });
    e.calculate (true);
    EXPECT_NEAR (dB (e.filterData.response.data[300]), -6.0, 1e-12);
    e.filterData.numIIRs = 1;
    e.calculate (true);
    EXPECT_NEAR (dB (e.filterData.response.data[300]), 6.0, 1e-9);
}

TEST (FilterStage, HannFilterWindowStartsAtItsShift)
{
    TestEngine e;
    e.filterData.windowType = WindowType::hann;
    e.calculate (true);

    const auto& w = e.filterData.window;
    EXPECT_EQ (w.data[0], 0.0);
    EXPECT_NEAR (w.data[4095], 0.0, 1e-15);
    EXPECT_NEAR (w.data[2048], 0.5 * (1 - std::cos (2 * pi * 2048 / 4095)), 1e-15);

    e.filterData.windowLength = 1024;
    e.filterData.windowShift = 1536;
    e.calculate (true);
    EXPECT_EQ (e.filterData.window.data[1535], 0.0);
    EXPECT_NEAR (e.filterData.window.data[1536 + 512], 0.5 * (1 - std::cos (2 * pi * 512 / 1023)), 1e-15);
    EXPECT_EQ (e.filterData.window.data[1536 + 1024], 0.0);
    EXPECT_NEAR (e.filterData.coefficients.data[2048], e.filterData.window.data[2048] * e.filterData.impulseResponse.data[2048], 1e-15);
}

TEST (FilterStage, HalfHannFilterWindowFollowsTheCentre)
{
    TestEngine e;
    e.filterData.windowType = WindowType::hann50;
    e.filterData.windowLength = 100;
    e.calculate (true);

    const auto& w = e.filterData.window;
    auto w200 = [] (double i) { return 0.5 * (1 - std::cos (2 * pi * i / 199)); };
    EXPECT_EQ (w.data[2047], 1.0);
    EXPECT_NEAR (w.data[2048], w200 (99), 1e-15);
    EXPECT_NEAR (w.data[2148], w200 (199), 1e-15);
    EXPECT_EQ (w.data[2149], 0.0);

    e.filterData.windowShift = -3000;    // s + h < 1: no ones, w[L-1] at index 0
    e.calculate (true);
    EXPECT_NEAR (e.filterData.window.data[0], w200 (99), 1e-15);

    e.filterData.windowShift = 4096;     // the falling half lies beyond the end: all ones
    e.calculate (true);
    EXPECT_EQ (e.filterData.window.data[4095], 1.0);

    e.filterData.windowShift = 0;
    e.filterData.windowLength = 0;
    e.calculate (true);
    EXPECT_EQ (e.filterData.window.data[2047], 1.0);
    EXPECT_EQ (e.filterData.window.data[2048], 0.0);
}

//==============================================================================
TEST (DesignPipeline, EveryFftLengthGivesVectorsOfItsSize)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.targetData.targetPhase = TargetPhaseType::minimum;
    e.inputData.windowType = WindowType::hann50;
    e.filterData.windowType = WindowType::hann;
    e.filterData.minimumPhase = true;

    for (auto n : DesignEngine::nfftSizes)
    {
        e.NFFT = n;
        e.rebuildAxes();
        e.inputData.windowLength = e.filterData.windowLength = n / 2;
        e.calculateInputFromMeasurement();
        e.calculate (true);

        EXPECT_EQ (e.filterData.coefficients.length(), n);
        EXPECT_EQ (e.filterData.coefficientSpectrum.length(), n / 2 + 1);
        EXPECT_EQ (e.targetData.response.length(), n / 2 + 1);
        EXPECT_EQ (e.inputData.window.length(), n);
        EXPECT_TRUE (allFinite (e.filterData.coefficients)) << n;
    }
}
