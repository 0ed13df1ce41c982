#include "DesignTestSupport.h"

#include <fstream>
#include <sstream>

using namespace designtest;

namespace
{
    struct Measurement
    {
        std::vector<double> f, dB, degrees;
    };

    /** The measurement file: "*" header lines, then TAB-separated Hz, dB SPL, degrees. */
    Measurement readRoomResponse()
    {
        Measurement m;
        std::ifstream in (TALVO_TEST_DATA_DIR "/room-response.txt");
        std::string line;

        while (std::getline (in, line))
        {
            if (line.empty() || line[0] == '*')
                continue;

            std::istringstream fields (line);
            double f, level, phase;

            if (fields >> f >> level >> phase)
            {
                m.f.push_back (f);
                m.dB.push_back (level);
                m.degrees.push_back (phase);
            }
        }

        return m;
    }

    /** Stores a measurement as the import does: linear magnitude, radians, a silent 0 Hz point in
        front and two copies of the last point above fs/2. */
    void loadMeasurement (DesignEngine& e, const Measurement& m, double refLevel)
    {
        std::vector<double> f { 0.0 }, mag { 0.0 }, phi { 0.0 };

        for (std::size_t i = 0; i < m.f.size(); ++i)
        {
            f.push_back (m.f[i]);
            mag.push_back (std::pow (10.0, m.dB[i] / 20.0));
            phi.push_back ((m.degrees[i] + m.degrees[i]) * 3.141592653589793 / 360.0);
        }

        const double binWidth = e.fs / (double) e.NFFT;
        for (double extra : { 1.0, 2.0 })
        {
            f.push_back (e.fs / 2 + extra * binWidth);
            mag.push_back (mag.back());
            phi.push_back (phi.back());
        }

        e.inputData.fi = row (f);
        e.inputData.mag_i = row (mag);
        e.inputData.phi_i = row (phi);
        e.inputData.fileName = "room-response.txt";
        e.inputData.refLevel = refLevel;
        e.calculateInputFromMeasurement();
    }
}

TEST (RoomCorrection, FlatTargetIsReachedWhereTheLimitAllows)
{
    const auto m = readRoomResponse();
    ASSERT_EQ (m.f.size(), 533u);

    for (bool minimumPhaseFilter : { false, true })
    {
        TestEngine e;
        e.NFFT = 16384;
        e.rebuildAxes();
        loadMeasurement (e, m, 75.0);

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
