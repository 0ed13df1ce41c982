#include "DesignTestSupport.h"

#include "design/IirFilterType.h"
#include "numerics/SpectralFunctions.h"

#include <array>
#include <tuple>

using namespace designtest;

namespace
{
    const double pi = 3.141592653589793;
    const double NaN = std::nan ("");

    /** A bare input response (no measurement loaded) of the engine's length, all zero but the
        given samples. */
    void setImpulseResponse (TestEngine& e, std::vector<std::pair<std::size_t, double>> samples)
    {
        e.inputData.impulseResponse = Matrix<double> (1, e.NFFT);
        for (auto [i, v] : samples)
            e.inputData.impulseResponse.data[i] = v;
    }

    /** w[i] of a Hann window of the given length. */
    double hannAt (double i, double length) { return 0.5 * (1 - std::cos (2 * pi * i / (length - 1))); }

    double correctionDb (const TestEngine& e, std::size_t k) { return dB (e.filterData.correction.data[k]); }
}

//==============================================================================
TEST (DesignPipeline, DefaultDesignIsAUnitImpulseAtTheCentreOrForMinimumPhaseAtTheStart)
{
    TestEngine e;

    for (bool minimumPhase : { false, true })
    {
        e.filterData.minimumPhase = minimumPhase;
        e.calculate (true);

        for (std::size_t k = 0; k <= 2048; ++k)
        {
            ASSERT_NEAR (std::abs (e.inputData.spectrum.data[k] - Complex (10000.0, 0.0)), 0.0, 1e-9);
            ASSERT_EQ (e.filterData.correction.data[k], Complex (1.0, 0.0));
            ASSERT_NEAR (std::abs (e.filterData.coefficientSpectrum.data[k] - Complex (1.0, 0.0)), 0.0, 1e-5) << k;
        }

        for (std::size_t i = 0; i < 4096; ++i)
            ASSERT_NEAR (e.filterData.coefficients.data[i], i == (minimumPhase ? 0 : 2048) ? 1.0 : 0.0, 1e-5) << i;
    }

    // A redraw changes nothing, even after a setting changed, but still notifies.
    e.filterData.windowType = WindowType::hann;
    e.calculate (false);
    EXPECT_EQ (e.filterData.coefficients.data[0], e.filterData.impulseResponse.data[0]);
    EXPECT_EQ (e.notifications, 3);
}

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

        EXPECT_EQ (std::tuple (e.filterData.coefficients.length(), e.inputData.window.length(), e.targetData.response.length(), e.filterData.coefficientSpectrum.length()),
                   std::tuple (n, n, n / 2 + 1, n / 2 + 1));
        EXPECT_TRUE (allFinite (e.filterData.coefficients)) << n;
    }
}

//==============================================================================
TEST (InputStage, CircularShiftAndTheFirstLargestPeak)
{
    TestEngine e;
    setImpulseResponse (e, { { 4095, 0.5 }, { 10, -0.9 }, { 20, 0.9 } });
    const auto& y = e.inputData.shiftedImpulseResponse;

    // Where the samples 0.5, -0.9 and 0.9 land: the last sample wraps round, a shift of +-n changes nothing.
    for (const auto& [shift, at] : { std::pair (1, std::array { 0, 11, 21 }), std::pair (-11, std::array { 4084, 4095, 9 }),
                                     std::pair (4096, std::array { 4095, 10, 20 }), std::pair (-4096, std::array { 4095, 10, 20 }) })
    {
        e.inputData.shift = shift;
        e.calculate (true);
        EXPECT_EQ (std::tuple (y.data[(std::size_t) at[0]], y.data[(std::size_t) at[1]], y.data[(std::size_t) at[2]]), std::tuple (0.5, -0.9, 0.9)) << shift;
        EXPECT_EQ (std::count (y.data.begin(), y.data.end(), 0.0), 4093) << shift;
    }

    EXPECT_EQ (DesignEngine::findPeakPosition (y), 11);   // 1-based, the earlier of two equal peaks

    // NaN is passed over; without any number the peak is the first place.
    for (const auto& [samples, position] : { std::pair (row ({ 0, 0, 0 }), 1), std::pair (row ({ NaN, 0.5, -2.0, 2.0 }), 3),
                                             std::pair (row ({ 1.0, NaN, 3.0 }), 3), std::pair (row ({ NaN, NaN }), 1) })
        EXPECT_EQ (DesignEngine::findPeakPosition (samples), position);
}

TEST (InputStage, MeasurementIsTransformedFromTimeZero)
{
    // A flat measurement with zero phase gives a spectrum of the measured level with zero phase,
    // whether its response is centred or, imported as minimum phase, starts at index 0.
    for (bool minimumPhase : { false, true })
    {
        TestEngine e;
        const double level = 10000.0;
        e.inputData.fileName = "flat.txt";
        e.inputData.minimumPhase = minimumPhase;
        std::tie (e.inputData.fi, e.inputData.mag_i, e.inputData.phi_i) = std::tuple (row ({ 0.0, 1000.0, 24100.0, 24200.0 }), row ({ level, level, level, level }), row ({ 0, 0, 0, 0 }));
        e.calculateInputFromMeasurement();
        e.calculate (true);

        for (std::size_t k = 0; k <= 2048; k += 97)
            EXPECT_NEAR (std::abs (e.inputData.spectrum.data[k] - Complex (level, 0.0)), 0.0, level * 1e-5) << k << ", " << minimumPhase;
    }
}

//==============================================================================
TEST (TargetStage, NoneKeepsTheInputFlatSetsTheReferenceLevelInItsClosedBandAndThePlotBandSpansBothParts)
{
    TestEngine e;
    setImpulseResponse (e, { { 0, 0.5 }, { 3, 0.25 } });
    e.calculate (true);
    const auto S = e.inputData.spectrum.data;
    const auto& T = e.targetData.response.data;

    EXPECT_EQ (T, S);

    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.targetData.fminMagnitude = e.frequencyAxis.data[100];     // band ends exactly on bins: closed
    e.targetData.fmaxMagnitude = e.frequencyAxis.data[200];
    e.calculate (true);
    EXPECT_EQ (std::pair (T[99], T[201]), std::pair (S[99], S[201]));
    for (std::size_t k : { 100u, 150u, 200u })
    {
        EXPECT_NEAR (std::abs (T[k]), 10000.0, 1e-9) << k;
        EXPECT_NEAR (std::arg (T[k]), std::arg (S[k]), 1e-12) << k;
    }

    // With a phase band from bin 150 to 300 the plot band runs from bin 100 to 300.
    e.targetData.targetPhase = TargetPhaseType::zero;
    e.targetData.fminPhase = e.frequencyAxis.data[150];
    e.targetData.fmaxPhase = e.frequencyAxis.data[300];
    e.calculate (true);
    const auto& band = e.targetData.bandFrequencies;
    ASSERT_EQ (band.length(), 201u);
    EXPECT_EQ (std::pair (band.data[0], band.data[200]), std::pair (e.frequencyAxis.data[100], e.frequencyAxis.data[300]));
    EXPECT_EQ (e.targetData.bandResponse.data[100], T[200]);

    // A part without a band of its own contributes nothing; none at all gives a 1 x 1 band.
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;   // no user values
    e.targetData.targetPhase = 9;
    e.calculate (true);
    EXPECT_EQ (std::pair (band.length(), e.targetData.bandResponse.length()), std::pair (std::size_t (1), std::size_t (1)));
}

TEST (TargetStage, UserMagnitudeIsLinearInLogFrequencyRelativeToTheReferenceAndNeverLimited)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::userDefined;
    e.targetData.userDefinedMagFreq = row ({ 100.0, 1000.0 });
    e.targetData.userDefinedMag = row ({ 0.0, -20.0 });
    e.calculate (true);

    const auto& T = e.targetData.response.data;
    const auto& f = e.frequencyAxis.data;
    for (std::size_t k = 0; k <= 2048; ++k)
    {
        if (f[k] < 100.0 || f[k] > 1000.0)
            ASSERT_EQ (T[k], e.inputData.spectrum.data[k]) << f[k];
        else
            ASSERT_NEAR (dB (T[k]), 80.0 - 20.0 * std::log10 (f[k] / 100.0), 1e-9) << f[k];
    }

    // A point at 0 Hz counts as 10^-4 Hz, and the 0 Hz bin takes its value.
    e.targetData.userDefinedMagFreq = row ({ 0.0, 100.0 });
    e.targetData.userDefinedMag = row ({ -10.0, 0.0 });
    e.calculate (true);
    EXPECT_NEAR (dB (T[0]), 70.0, 1e-9);
    EXPECT_NEAR (dB (T[3]), 70.0 + 10.0 * (std::log10 (f[3]) + 4.0) / 6.0, 1e-9);

    // +40 dB stays +40 dB.
    e.targetData.userDefinedMagFreq = row ({ 0.0, 24000.0 });
    e.targetData.userDefinedMag = row ({ 40.0, 40.0 });
    e.calculate (true);
    EXPECT_NEAR (correctionDb (e, 500), 40.0, 1e-9);

    // Fewer than two values leave the target alone.
    e.targetData.userDefinedMag = row ({ 40.0 });
    e.calculate (true);
    EXPECT_EQ (T, e.inputData.spectrum.data);
}

TEST (TargetStage, PhaseTargets)
{
    TestEngine e;
    setImpulseResponse (e, { { 3, 1.0 }, { 4, 0.5 } });    // a delay: plenty of phase
    e.targetData.targetPhase = TargetPhaseType::zero;
    e.targetData.fminPhase = e.frequencyAxis.data[10];
    e.targetData.fmaxPhase = e.frequencyAxis.data[20];
    e.calculate (true);

    const auto& S = e.inputData.spectrum.data;
    const auto& T = e.targetData.response.data;
    EXPECT_EQ (T[9], S[9]);
    EXPECT_EQ (T[10].imag(), 0.0);
    EXPECT_NEAR (std::abs (T[15] - std::abs (S[15])), 0.0, 1e-9);

    // Minimum phase of an input that already is minimum phase is its own phase.
    e.targetData.targetPhase = TargetPhaseType::minimum;
    e.inputData.minimumPhase = true;
    e.calculate (true);
    EXPECT_NEAR (std::abs (T[15] - S[15]), 0.0, 1e-9);

    // A delayed input gets the phase of its minimum-phase version: the delay goes.
    e.inputData.minimumPhase = false;
    e.targetData.fminPhase = 0.0;
    e.targetData.fmaxPhase = 24000.0;
    e.calculate (true);
    EXPECT_NEAR (std::arg (T[300]), std::arg (minimumPhase (e.inputData.spectrum).data[300]), 1e-9);
    EXPECT_NEAR (std::abs (T[300]), std::abs (S[300]), 1e-6);

    // User phase in degrees over its own band.
    e.targetData.targetPhase = TargetPhaseType::userDefined;
    e.targetData.userDefinedPhiFreq = row ({ 1000.0, 2000.0 });
    e.targetData.userDefinedPhi = row ({ 90.0, 90.0 });
    e.calculate (true);
    const auto bin = (std::size_t) std::lround (1500.0 / 11.71875);
    EXPECT_NEAR (std::arg (T[bin]), pi / 2, 1e-12);
    EXPECT_EQ (T[bin - 50], S[bin - 50]);
}

//==============================================================================
TEST (CorrectionStage, BoostAndCutAreLimitedInsideTheFlatBandKeepingThePhase)
{
    TestEngine e;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.targetData.fminMagnitude = e.frequencyAxis.data[100];
    e.targetData.fmaxMagnitude = e.frequencyAxis.data[200];
    const double limit = 12.0;

    for (auto [inputGain, inBandDb] : { std::pair (0.1, limit), std::pair (10.0, -limit), std::pair (0.5, 20 * std::log10 (2.0)) })
    {
        setImpulseResponse (e, { { 0, inputGain } });
        e.calculate (true);
        EXPECT_NEAR (correctionDb (e, 100), inBandDb, 1e-9) << inputGain;
        EXPECT_NEAR (correctionDb (e, 200), inBandDb, 1e-9) << inputGain;
        EXPECT_NEAR (correctionDb (e, 99), 0.0, 1e-9) << inputGain;
        EXPECT_NEAR (correctionDb (e, 201), 0.0, 1e-9) << inputGain;
    }

    // With phase 0 as the target phase the correction turns the input's phase back: a boost of
    // 40 dB limited to 12 dB keeps that turn.
    e.targetData.targetPhase = TargetPhaseType::zero;
    setImpulseResponse (e, { { 7, 0.1 } });
    e.calculate (true);
    const auto c = e.filterData.correction.data[150];
    EXPECT_NEAR (dB (c), limit, 1e-9);
    EXPECT_NEAR (std::arg (c), std::arg (e.targetData.response.data[150] / e.inputData.spectrum.data[150]), 1e-12);
    EXPECT_GT (std::abs (std::arg (c)), 0.1);
}

TEST (CorrectionStage, BinsWithoutInputOrWithAResponseBeyondRangeAreLeftUncorrected)
{
    // x = [1, 1, 0, ...] has a spectrum of exactly 0 at fs/2: the flat target there is 0/0.
    TestEngine e;
    setImpulseResponse (e, { { 0, 1.0 }, { 1, 1.0 } });
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.calculate (true);

    ASSERT_EQ (e.inputData.spectrum.data[2048], Complex (0.0, 0.0));
    EXPECT_EQ (e.targetData.response.data[2048], Complex (std::pow (10.0, 80.0 / 20.0), 0.0));   // no phase to keep
    EXPECT_EQ (e.filterData.correction.data[2048], Complex (1.0, 0.0));

    // Filter-response bins that overflow (bins 85 and 86, next to 1000 Hz) are left at 1; the
    // others keep their -6 dB.
    e.filterData.filterType = FilterResponseType::userDefined;
    e.filterData.numUserValues = 3;
    e.filterData.fi = row ({ 990, 1000, 1010 });
    e.filterData.mag = row ({ -6, 60000, -6 });
    e.filterData.phi = row ({ 0, 0, 0 });
    e.targetData.targetMagnitude = TargetMagnitudeType::none;
    e.calculate (true);

    const auto& R = e.filterData.response.data;
    EXPECT_EQ (std::pair (R[85], R[86]), std::pair (Complex (1.0, 0.0), Complex (1.0, 0.0)));
    EXPECT_NEAR (dB (R[84]), -6.0, 1e-9);
    EXPECT_NEAR (dB (R[87]), -6.0, 1e-9);
    EXPECT_TRUE (allFinite (e.filterData.coefficients));
}

TEST (CorrectionStage, AMeasurementOfZerosLeavesEveryComputedVectorFinite)
{
    // Zeros have no logarithm and no phase: neither the minimum-phase import, nor the flat target,
    // nor the minimum-phase target may turn them into NaN.
    for (bool importedAsMinimumPhase : { false, true })
        for (int phaseTarget : { TargetPhaseType::none, TargetPhaseType::minimum })
        {
            TestEngine e;
            e.inputData.fileName = "zeros.txt";
            e.inputData.minimumPhase = importedAsMinimumPhase;
            e.inputData.fi = row ({ 0, 1000, 24100 });
            e.inputData.mag_i = e.inputData.phi_i = row ({ 0, 0, 0 });
            e.calculateInputFromMeasurement();
            e.targetData.targetMagnitude = TargetMagnitudeType::flat;
            e.targetData.targetPhase = phaseTarget;
            e.calculate (true);
            EXPECT_TRUE (allFinite (e.inputData.impulseResponse) && allFinite (e.inputData.spectrum) && allFinite (e.targetData.response)
                         && allFinite (e.filterData.coefficients)) << importedAsMinimumPhase << phaseTarget;
        }
}

TEST (CorrectionStage, ACorrectionOfExactlyZeroStaysZero)
{
    // At -6000 dB the flat target g * S / |S| underflows to 0 while S itself does not.
    TestEngine e;
    e.inputData.refLevel = -6000.0;
    e.targetData.targetMagnitude = TargetMagnitudeType::flat;
    e.calculate (true);

    ASSERT_NE (e.inputData.spectrum.data[500], Complex (0.0, 0.0));
    EXPECT_EQ (std::pair (e.filterData.correction.data[500], e.filterData.correction.data[0]), std::pair (Complex(), Complex (1.0, 0.0)));  // 0 Hz lies outside the band
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

//==============================================================================
TEST (DesignWindows, HannAndHalfHannLieWhereTheirBlockPutsThem)
{
    // Input windows follow the 1-based peak p of the shifted response: a Hann window of L points is
    // moved by p - L/2; a half Hann has ones before the peak and w[L-1] .. w[2L-1] of 2L points from
    // there. A filter's Hann window starts at its shift s, its half Hann falls from index s + h.
    using namespace WindowType;
    struct Case { const char* what; bool filter; int type; std::uint64_t length; std::int32_t shift; std::size_t peak;
                  std::vector<std::pair<std::size_t, double>> places; };
    const Case cases[] {
        { "input Hann, peak shifted to 1000", false, hann, 101, 10, 990, { { 950, 0 }, { 951, 0 }, { 976, hannAt (25, 101) }, { 1001, 1 }, { 1052, 0 } } },
        { "input Hann of one point", false, hann, 1, 0, 100, { { 100, 0 }, { 101, 1 }, { 102, 0 } } },
        { "input Hann of none", false, hann, 0, 0, 100, { { 100, 0 }, { 101, 0 } } },
        { "input half Hann, peak at 0: no ones", false, hann50, 8, 0, 0, { { 0, hannAt (7, 16) }, { 4, hannAt (11, 16) }, { 8, hannAt (15, 16) }, { 9, 0 } } },
        { "input half Hann cut at the end", false, hann50, 4096, 0, 4093, { { 4092, 1 }, { 4093, hannAt (4095, 8192) }, { 4095, hannAt (4097, 8192) } } },
        { "input half Hann of none", false, hann50, 0, 0, 100, { { 99, 1 }, { 100, 0 } } },
        { "input half Hann of one point", false, hann50, 1, 0, 100, { { 99, 1 }, { 100, 0 }, { 101, 0 } } },
        { "filter Hann over the whole buffer", true, hann, 4096, 0, 0, { { 0, 0 }, { 2048, hannAt (2048, 4096) }, { 4095, 0 } } },
        { "filter Hann from its shift", true, hann, 1024, 1536, 0, { { 1535, 0 }, { 2048, hannAt (512, 1024) }, { 2560, 0 } } },
        { "filter half Hann from the centre", true, hann50, 100, 0, 0, { { 2047, 1 }, { 2048, hannAt (99, 200) }, { 2148, hannAt (199, 200) }, { 2149, 0 } } },
        { "filter half Hann with s + h < 1: no ones", true, hann50, 100, -3000, 0, { { 0, hannAt (99, 200) } } },
        { "filter half Hann beyond the end: all ones", true, hann50, 100, 4096, 0, { { 4095, 1 } } },
        { "filter half Hann of none", true, hann50, 0, 0, 0, { { 2047, 1 }, { 2048, 0 } } },
    };

    for (const auto& c : cases)
    {
        TestEngine e;
        setImpulseResponse (e, { { c.peak, 1.0 } });
        if (c.filter)
            std::tie (e.filterData.windowType, e.filterData.windowLength, e.filterData.windowShift) = std::tuple (c.type, c.length, c.shift);
        else
            std::tie (e.inputData.windowType, e.inputData.windowLength, e.inputData.shift) = std::tuple (c.type, c.length, c.shift);
        e.calculate (true);

        const auto& w = c.filter ? e.filterData.window : e.inputData.window;
        EXPECT_TRUE (allFinite (w) && allFinite (e.filterData.coefficients)) << c.what;
        EXPECT_EQ (e.filterData.coefficients.data[2048], e.filterData.window.data[2048] * e.filterData.impulseResponse.data[2048]) << c.what;

        for (auto [i, value] : c.places)
            EXPECT_NEAR (w.data[i], value, 1e-15) << c.what << ", index " << i;
    }
}
