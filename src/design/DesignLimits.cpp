#include "design/DesignLimits.h"

#include "design/DesignData.h"
#include "design/FilterResponse.h"
#include "design/IirFilterType.h"

#include <algorithm>
#include <cmath>

namespace
{
    bool isBetween (double x, double low, double high) noexcept
    {
        return low <= x && x <= high;   // false for NaN
    }

    /** B(z) / A(z) of a section at z = 1 (0 Hz) and z = -1 (half the sample rate) is finite. */
    bool hasFiniteResponseAtTheEnds (const Matrix<double>& b, const Matrix<double>& a)
    {
        const double* p = b.data.data();
        const double* q = a.data.data();

        return std::isfinite ((p[0] + p[1] + p[2]) / (q[0] + q[1] + q[2]))
               && std::isfinite ((p[0] - p[1] + p[2]) / (q[0] - q[1] + q[2]));
    }

    bool allFinite (const Matrix<double>& m)
    {
        return std::all_of (m.data.begin(), m.data.end(), [] (double x) { return std::isfinite (x); });
    }

    /** Each frequency above the one before (rising), or at least equal to it (never falling). */
    bool isOrdered (const Matrix<double>& x, std::size_t n, bool strictlyRising)
    {
        for (std::size_t i = 1; i < n; ++i)
            if (strictlyRising ? ! (x.data[i] > x.data[i - 1]) : ! (x.data[i] >= x.data[i - 1]))
                return false;

        return true;
    }

    bool isValidMeasurement (const InputData& input)
    {
        const auto n = std::min ({ input.fi.length(), input.mag_i.length(), input.phi_i.length() });

        for (std::size_t i = 0; i < n; ++i)
        {
            if (! DesignLimits::isValidPointFrequency (input.fi.data[i])
                 || ! DesignLimits::isValidLinearMagnitude (input.mag_i.data[i])
                 || ! DesignLimits::isValidPhaseRadians (input.phi_i.data[i]))
                return false;
        }

        return isOrdered (input.fi, n, true);
    }

    /** The points (x, y) that both vectors hold have valid frequencies, each above the one before,
        and valid values. */
    template <typename IsValidValue>
    bool isValidCurve (const Matrix<double>& x, const Matrix<double>& y, IsValidValue isValidValue)
    {
        const auto n = std::min (x.length(), y.length());

        for (std::size_t i = 0; i < n; ++i)
            if (! DesignLimits::isValidPointFrequency (x.data[i]) || ! isValidValue (y.data[i]))
                return false;

        return isOrdered (x, n, true);
    }

    bool isValidFilterResponse (const FilterData& filter)
    {
        if (filter.numIIRs != 0)
        {
            const auto numSections = std::min ({ filter.type.length(), filter.gain.length(),
                                                 filter.freq.length(), filter.q.length() });

            for (std::size_t i = 0; i < numSections; ++i)
                if (! DesignLimits::isStorableIirSection (filter.type.data[i], filter.gain.data[i],
                                                          filter.freq.data[i], filter.q.data[i]))
                    return false;
        }

        const auto numHeld = std::min ({ filter.fi.length(), filter.mag.length(), filter.phi.length() });
        const auto numUsed = filter.numUserValues <= 1 ? std::min<std::size_t> (filter.numUserValues, numHeld) : numHeld;

        for (std::size_t i = 0; i < numUsed; ++i)
            if (! DesignLimits::isValidUserPoint (filter.fi.data[i], filter.mag.data[i], filter.phi.data[i]))
                return false;

        // Above the last point the interpolation holds the last elements of mag and phi, each taken
        // by its own length.
        return numUsed < 2 || (isOrdered (filter.fi, filter.fi.length(), false)
                               && DesignLimits::isValidLevel (filter.mag.data.back())
                               && DesignLimits::isValidPhase (filter.phi.data.back()));
    }
}

namespace DesignLimits
{
    bool isValidSampleRate (double fsHz) noexcept
    {
        return fsHz >= minSampleRateHz && fsHz < firstUnrepresentableSampleRateHz;
    }

    bool isValidLevel (double levelDb) noexcept
    {
        return isBetween (levelDb, -maxLevelDb, maxLevelDb);
    }

    bool isValidPhase (double phaseDegrees) noexcept
    {
        return isBetween (phaseDegrees, -maxPhaseDegrees, maxPhaseDegrees);
    }

    bool isValidPhaseRadians (double phaseRadians) noexcept
    {
        return isBetween (phaseRadians, -maxPhaseRadians, maxPhaseRadians);
    }

    bool isValidLinearMagnitude (double magnitude) noexcept
    {
        return isBetween (magnitude, -maxLinearMagnitude, maxLinearMagnitude);
    }

    bool isValidPointFrequency (double frequencyHz) noexcept
    {
        return frequencyHz == 0.0 || isBetween (frequencyHz, minPointFrequencyHz, maxPointFrequencyHz);
    }

    bool isValidUserPoint (double frequencyHz, double levelDb, double phaseDegrees) noexcept
    {
        return isValidPointFrequency (frequencyHz) && isValidLevel (levelDb) && isValidPhase (phaseDegrees);
    }

    bool isStorableIirSection (std::size_t type, double gainDb, double frequencyHz, double q) noexcept
    {
        if (type > maxSectionTypeId || ! std::isfinite (gainDb) || ! std::isfinite (frequencyHz) || ! std::isfinite (q))
            return false;

        // A type without a designer is left out of every response.
        if (! IirFilterType::isValid ((long long) type))
            return true;

        if (! isValidLevel (gainDb) || ! (frequencyHz > 0.0 && frequencyHz < firstUnrepresentableSampleRateHz / 2.0))
            return false;

        switch (type)
        {
            case IirFilterType::lowPass2ndOrder:
            case IirFilterType::highPass2ndOrder:
            case IirFilterType::peq:
            case IirFilterType::allpass:
                return isBetween (q, minQ, maxQ);

            case IirFilterType::lowShelf:
            case IirFilterType::highShelf:
            {
                const double A = std::pow (10.0, gainDb / 40.0);
                return isBetween (q, minQ, maxQ) && (1.0 / q - 1.0) * (A + 1.0 / A) + 2.0 >= 0.0;
            }

            default:
                return true;
        }
    }

    bool isValidIirSection (std::size_t type, double gainDb, double frequencyHz, double q, double fsHz)
    {
        if (! isStorableIirSection (type, gainDb, frequencyHz, q))
            return false;

        if (! IirFilterType::isValid ((long long) type))
            return true;

        if (! std::isfinite (fsHz) || ! (frequencyHz < fsHz / 2.0))
            return false;

        Matrix<double> b, a;
        designIirSection (type, gainDb, frequencyHz, q, fsHz, b, a);
        return allFinite (b) && allFinite (a) && hasFiniteResponseAtTheEnds (b, a);
    }

    bool isWithinLimits (double fsHz, const InputData& input, const TargetData& target, const FilterData& filter)
    {
        auto isTargetLevel = [] (double levelDb) { return isBetween (levelDb, minTargetLevelDb, maxTargetLevelDb); };

        return isValidSampleRate (fsHz)
               && isTargetLevel (input.refLevel)
               && isValidMeasurement (input)
               && std::isfinite (target.fminMagnitude) && std::isfinite (target.fmaxMagnitude)
               && std::isfinite (target.fminPhase) && std::isfinite (target.fmaxPhase)
               && isTargetLevel (target.nominalTargetLevel)
               && isBetween (target.limitBoostCut, minBoostCutLimitDb, maxBoostCutLimitDb)
               && isValidCurve (target.userDefinedMagFreq, target.userDefinedMag, isValidLevel)
               && isValidCurve (target.userDefinedPhiFreq, target.userDefinedPhi, isValidPhase)
               && isValidFilterResponse (filter);
    }
}
