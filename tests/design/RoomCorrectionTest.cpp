#include "DesignTestSupport.h"

#include "design/MeasurementImport.h"

using namespace designtest;

TEST (RoomCorrection, FlatTargetIsReachedWhereTheLimitAllows)
{
    for (bool minimumPhaseFilter : { false, true })
    {
        TestEngine e;
        e.NFFT = 16384;
        e.rebuildAxes();

        // The measurement as the import stores it: "*" header lines skipped, linear magnitude,
        // radians, a silent 0 Hz point in front and two copies of the last point above fs/2.
        const auto m = MeasurementImport::readMeasurement (juce::File (TALVO_TEST_DATA_DIR "/room-response.txt"),
                                                           MeasurementImport::decibels, MeasurementImport::degrees,
                                                           "\\t", e.fs, e.NFFT);
        ASSERT_EQ (m.frequencies.size(), 533u + 3u);

        e.inputData.fi = row (m.frequencies);
        e.inputData.mag_i = row (m.values);
        e.inputData.phi_i = row (m.phases);
        e.inputData.fileName = "room-response.txt";
        e.inputData.refLevel = 75.0;
        e.calculateInputFromMeasurement();

        e.targetData.targetMagnitude = TargetMagnitudeType::flat;
        e.targetData.fminMagnitude = 40.0;
        e.targetData.fmaxMagnitude = 16000.0;
        e.targetData.limitBoostCut = 12.0;
        e.filterData.minimumPhase = minimumPhaseFilter;
        e.calculate (true);

        // The input spectrum is the measurement at its measured level.
        const auto& S = e.inputData.spectrum;
        const auto& K = e.filterData.coefficientSpectrum;
        const auto bin1k = (std::size_t) std::lround (1000.0 / (e.fs / (double) e.NFFT));
        EXPECT_NEAR (dB (S.data[bin1k]), dB (e.inputData.measuredSpectrum.data[bin1k]), 0.1);

        int inBand = 0, unlimited = 0, withinHalfDb = 0, phaseErrors = 0;
        double worst = 0.0;

        for (std::size_t k = 0; k < S.length(); ++k)
        {
            const double f = e.frequencyAxis.data[k];

            if (f < e.targetData.fminMagnitude || f > e.targetData.fmaxMagnitude)
                continue;

            ++inBand;
            const double correction = dB (e.filterData.correction.data[k]);

            if (std::abs (correction) >= 12.0 - 1e-9)
                continue;

            ++unlimited;
            const double error = std::abs (dB (S.data[k] * K.data[k]) - 75.0);
            worst = std::max (worst, error);
            withinHalfDb += error <= 0.5 ? 1 : 0;

            // Linear phase adds no delay of its own: the corrected phase is the target's.
            if (! minimumPhaseFilter)
                phaseErrors += std::abs (std::arg ((S.data[k] * K.data[k]) / e.targetData.response.data[k])) > 0.01 ? 1 : 0;
        }

        EXPECT_EQ (phaseErrors, 0);

        EXPECT_GT (unlimited, inBand * 3 / 4) << "the limit must not decide the test";
        EXPECT_EQ (withinHalfDb, unlimited) << "minimum phase " << minimumPhaseFilter << ", worst " << worst << " dB";
        EXPECT_TRUE (allFinite (e.filterData.coefficients));
    }
}
