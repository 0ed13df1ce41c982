#include "DesignTestSupport.h"

#include "design/IirFilterType.h"

#include <random>

using namespace designtest;

namespace
{
    template <typename T>
    bool sameVector (const Matrix<T>& a, const Matrix<T>& b)
    {
        return a.rows == b.rows && a.cols == b.cols && a.data.size() == b.data.size()
               && std::memcmp (a.data.data(), b.data.data(), a.data.size() * sizeof (T)) == 0;
    }

    void expectSameComputedFields (const DesignEngine& a, const DesignEngine& b, int step)
    {
        EXPECT_TRUE (sameVector (a.inputData.shiftedImpulseResponse, b.inputData.shiftedImpulseResponse)) << step;
        EXPECT_TRUE (sameVector (a.inputData.window, b.inputData.window)) << step;
        EXPECT_TRUE (sameVector (a.inputData.spectrum, b.inputData.spectrum)) << step;
        EXPECT_TRUE (sameVector (a.targetData.response, b.targetData.response)) << step;
        EXPECT_TRUE (sameVector (a.targetData.bandFrequencies, b.targetData.bandFrequencies)) << step;
        EXPECT_TRUE (sameVector (a.targetData.bandResponse, b.targetData.bandResponse)) << step;
        EXPECT_TRUE (sameVector (a.filterData.correction, b.filterData.correction)) << step;
        EXPECT_TRUE (sameVector (a.filterData.response, b.filterData.response)) << step;
        EXPECT_TRUE (sameVector (a.filterData.impulseResponse, b.filterData.impulseResponse)) << step;
        EXPECT_TRUE (sameVector (a.filterData.window, b.filterData.window)) << step;
        EXPECT_TRUE (sameVector (a.filterData.coefficients, b.filterData.coefficients)) << step;
        EXPECT_TRUE (sameVector (a.filterData.coefficientSpectrum, b.filterData.coefficientSpectrum)) << step;
    }

    /** One random change of one setting, the kind a control or dialog makes. */
    void changeOneSetting (TestEngine& e, std::mt19937& random)
    {
        auto pick = [&random] (int n) { return (int) (random() % (unsigned) n); };
        const auto n = (std::int32_t) e.NFFT;

        switch (pick (25))
        {
            case 0:  e.inputData.shift = pick (2 * n + 1) - n; break;
            case 1:  e.inputData.windowType = 1 + pick (3); break;
            case 2:  e.inputData.windowLength = (std::uint64_t) pick (n + 1); break;
            case 3:  e.targetData.targetMagnitude = 1 + pick (3); break;
            case 4:  e.targetData.targetPhase = 1 + pick (4); break;
            case 5:  e.targetData.fminMagnitude = 20.0 * (1 + pick (50)); break;
            case 6:  e.targetData.fmaxMagnitude = 1000.0 * (1 + pick (24)); break;
            case 7:  e.targetData.limitBoostCut = pick (25); break;
            case 8:  e.targetData.fminPhase = 20.0 * (1 + pick (50)); break;
            case 9:  e.targetData.fmaxPhase = 1000.0 * (1 + pick (24)); break;
            case 10: e.targetData.userDefinedMag.data[(std::size_t) pick (2)] = pick (13) - 6.0; break;
            case 11: e.targetData.userDefinedPhi.data[(std::size_t) pick (2)] = pick (180) - 90.0; break;
            case 12: e.filterData.windowType = 1 + pick (3); break;
            case 13: e.filterData.windowLength = (std::uint64_t) pick (n + 1); break;
            case 14: e.filterData.windowShift = pick (2 * n + 1) - n; break;
            case 15: e.filterData.minimumPhase = ! e.filterData.minimumPhase; break;
            case 16: e.filterData.numIIRs = (std::uint64_t) pick (3); break;
            case 17: e.filterData.gain.data[(std::size_t) pick (2)] = pick (25) - 12.0; break;
            case 18: e.filterData.type.data[(std::size_t) pick (2)] = IirFilterType::items[(std::size_t) pick ((int) IirFilterType::numItems)].id; break;
            case 19: e.filterData.numUserValues = (std::uint64_t) pick (3); break;
            case 20: e.inputData.refLevel = 60.0 + pick (40); break;
            case 21: e.selection = pick (3); break;
            case 22: e.inputData.minimumPhase = ! e.inputData.minimumPhase; e.calculateInputFromMeasurement(); break;
            case 23: e.NFFT = e.NFFT == 512 ? 256 : 512; e.rebuildAxes(); e.calculateInputFromMeasurement(); break;
            default: e.fs = e.fs == 48000.0 ? 44100.0 : 48000.0; e.rebuildAxes(); e.calculateInputFromMeasurement(); break;
        }
    }
}

TEST (RecomputeReuse, EveryStepGivesWhatAFreshEngineGives)
{
    // The engine keeps results of expensive steps between recomputes; after any change the design
    // must be exactly the one an engine computing from scratch makes.
    TestEngine e;
    e.NFFT = 512;
    e.rebuildAxes();
    e.inputData.fileName = "room.txt";
    e.inputData.fi = row ({ 0, 50, 200, 1000, 5000, 24050, 24100 });
    e.inputData.mag_i = row ({ 0, 3000, 12000, 9000, 4000, 2000, 2000 });
    e.inputData.phi_i = row ({ 0, -0.5, -1.5, -3.0, -6.0, -9.0, -9.0 });
    e.calculateInputFromMeasurement();
    e.targetData.userDefinedMagFreq = row ({ 100.0, 10000.0 });
    e.targetData.userDefinedMag = row ({ 0.0, -6.0 });
    e.targetData.userDefinedPhiFreq = row ({ 100.0, 10000.0 });
    e.targetData.userDefinedPhi = row ({ 0.0, -45.0 });
    e.filterData.filterType = FilterResponseType::userDefined;
    e.filterData.type = Matrix<std::size_t> (1, 2, { (std::size_t) IirFilterType::peq, (std::size_t) IirFilterType::lowShelf });
    e.filterData.gain = row ({ 3.0, -2.0 });
    e.filterData.freq = row ({ 1000.0, 200.0 });
    e.filterData.q = row ({ 1.0, 0.8 });
    e.filterData.fi = row ({ 100.0, 2000.0 });
    e.filterData.mag = row ({ 2.0, -1.0 });
    e.filterData.phi = row ({ 0.0, 30.0 });

    std::mt19937 random (99);

    for (int step = 0; step < 400; ++step)
    {
        changeOneSetting (e, random);
        e.calculate (true);

        TestEngine fresh;
        fresh.fs = e.fs;
        fresh.NFFT = e.NFFT;
        fresh.frequencyAxis = e.frequencyAxis;
        fresh.timeAxis = e.timeAxis;
        fresh.inputData = e.inputData;
        fresh.targetData = e.targetData;
        fresh.filterData = e.filterData;
        fresh.selection = e.selection;
        fresh.calculate (true);

        expectSameComputedFields (e, fresh, step);

        if (HasFailure())
            break;
    }
}
