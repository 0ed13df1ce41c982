#pragma once

#include "numerics/Matrix.h"

#include <juce_core/juce_core.h>

#include <complex>
#include <cstddef>
#include <cstdint>

/** Window kinds of the input and of the filter window (the window combo boxes' item ids). */
namespace WindowType
{
    enum Id : int
    {
        none   = 1,
        hann   = 2,
        hann50 = 3   ///< Ones up to the peak, then the falling half of a Hann window of twice the length.
    };
}

/** Target magnitude kinds (the target-magnitude combo box's item ids). */
namespace TargetMagnitudeType
{
    enum Id : int
    {
        none        = 1,
        flat        = 2,
        userDefined = 3
    };
}

/** Target phase kinds (the target-phase combo box's item ids). */
namespace TargetPhaseType
{
    enum Id : int
    {
        none        = 1,
        zero        = 2,
        minimum     = 3,
        userDefined = 4
    };
}

/** Filter-response section on or off (the "Filter Response" combo box's item ids). */
namespace FilterResponseType
{
    enum Id : int
    {
        none        = 1,
        userDefined = 2
    };
}

/** The measurement and everything the design derives from it.
    Frequencies in Hz, levels in dB, measured magnitudes linear, measured phases in radians, lengths and
    shifts in samples. Vectors are 1 x n matrices.
*/
struct InputData
{
    double refLevel = 80.0;            ///< dB: the measured level that maps to 1.0 in the impulse response
    std::int32_t shift = 0;            ///< samples: circular shift of the impulse response, -NFFT..NFFT
    std::uint64_t windowLength = 4096; ///< samples: length of the input window
    std::int32_t windowType = WindowType::none;
    juce::String fileName;             ///< path of the loaded measurement; empty when there is none
    bool minimumPhase = false;         ///< the measurement was imported as minimum phase

    Matrix<double> fi;                 ///< Hz, measured frequencies, ascending
    Matrix<double> mag_i;              ///< linear measured magnitudes at fi
    Matrix<double> phi_i;              ///< radians, measured phases at fi

    Matrix<std::complex<double>> measuredSpectrum;  ///< the measurement on the frequency axis, NFFT/2+1 bins
    Matrix<double> impulseResponse;                 ///< NFFT samples, normalised to refLevel
    Matrix<double> shiftedImpulseResponse;          ///< impulseResponse after the circular shift
    Matrix<double> window;                          ///< NFFT samples
    Matrix<std::complex<double>> spectrum;          ///< spectrum of the windowed input at the measured level
};

/** The target magnitude and phase and the target they give on the frequency axis. */
struct TargetData
{
    std::int32_t targetMagnitude = TargetMagnitudeType::none;
    std::int32_t targetPhase = TargetPhaseType::none;
    double fminMagnitude = 93.75;      ///< Hz, lower end of the flat-target band (closed)
    double fmaxMagnitude = 24000.0;    ///< Hz, upper end of the flat-target band (closed)
    double nominalTargetLevel = 80.0;  ///< dB, edited and stored only; the flat level is InputData::refLevel
    double limitBoostCut = 12.0;       ///< dB, largest boost and cut under a flat target
    double fminPhase = 93.75;          ///< Hz, lower end of the target-phase band (closed)
    double fmaxPhase = 24000.0;        ///< Hz, upper end of the target-phase band (closed)

    Matrix<double> userDefinedMagFreq; ///< Hz, ascending
    Matrix<double> userDefinedMag;     ///< dB relative to InputData::refLevel
    Matrix<double> userDefinedPhiFreq; ///< Hz, ascending
    Matrix<double> userDefinedPhi;     ///< degrees

    Matrix<std::complex<double>> response;      ///< the target on the frequency axis
    Matrix<double> bandFrequencies;             ///< Hz, the frequency-axis points of the target band
    Matrix<std::complex<double>> bandResponse;  ///< the target at bandFrequencies
};

/** The filter-response section, the filter window and the designed FIR. */
struct FilterData
{
    std::int32_t filterType = FilterResponseType::none;
    std::int32_t windowShift = 0;      ///< samples: position of the filter window
    std::uint64_t windowLength = 4096; ///< samples
    std::int32_t windowType = WindowType::none;
    bool minimumPhase = false;         ///< design the filter as minimum phase
    std::uint64_t numUserValues = 0;   ///< number of user points (fi, mag, phi)
    std::uint64_t numIIRs = 0;         ///< number of IIR sections

    Matrix<std::size_t> type;          ///< IirFilterType id of each section
    Matrix<double> gain;               ///< dB, per section
    Matrix<double> freq;               ///< Hz, per section
    Matrix<double> q;                  ///< Q, or the slope S of a shelf, per section
    Matrix<double> fi;                 ///< Hz, user points
    Matrix<double> mag;                ///< dB, user points
    Matrix<double> phi;                ///< degrees, user points

    Matrix<double> impulseResponse;                 ///< NFFT samples, before the filter window
    Matrix<double> window;                          ///< NFFT samples
    Matrix<std::complex<double>> response;          ///< the section's response, then times the correction
    Matrix<std::complex<double>> correction;        ///< target over input spectrum, limited
    Matrix<double> coefficients;                    ///< the designed FIR, NFFT taps
    Matrix<std::complex<double>> coefficientSpectrum; ///< spectrum of the FIR, NFFT/2+1 bins
};
