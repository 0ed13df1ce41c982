#pragma once

#include <cstddef>

struct InputData;
struct TargetData;
struct FilterData;

/*  The values a design accepts. Every entry point (the filter editor's tables, the target dialogs'
    sliders, the measurement and target imports, the project document) refuses a value outside these
    ranges, so that no accepted setting can turn the design into infinities or NaN.

    Levels in dB, frequencies in Hz, phases in degrees unless a name says radians.
*/
namespace DesignLimits
{
    /** Largest level, in either direction, of a user point, an IIR section's gain, a user-defined
        target point and a measured point. 200 dB is far beyond any acoustic use and keeps every
        product of levels that the design forms inside the range of the numbers it computes with. */
    inline constexpr double maxLevelDb = 200.0;

    /** Largest linear magnitude, in either direction, of a measured point: 10^(maxLevelDb / 20). */
    inline constexpr double maxLinearMagnitude = 1.0e10;
    static_assert (maxLevelDb == 200.0, "maxLinearMagnitude is 10^(maxLevelDb / 20)");

    /** Largest phase, in either direction: about 2.8 million turns, room for the unwrapped phase of
        any real measurement. Each limit belongs to the unit in which the design holds the phase, and
        a phase read in the other unit is checked after its conversion: degrees for the user-defined
        target points and the user points, radians for the measured points. */
    inline constexpr double maxPhaseDegrees = 1.0e9;
    inline constexpr double maxPhaseRadians = maxPhaseDegrees * 3.141592653589793 / 180.0;

    /** The reference level set on import and the nominal target level (their sliders' range). */
    inline constexpr double minTargetLevelDb = 0.0;
    inline constexpr double maxTargetLevelDb = 200.0;

    /** The flat target's limit on boost and cut (its slider's range). */
    inline constexpr double minBoostCutLimitDb = -100.0;
    inline constexpr double maxBoostCutLimitDb = 100.0;

    /** Q of the second-order low and high pass, the PEQ and the all pass, and the slope S of the
        shelves (which has a further upper bound that depends on the gain). */
    inline constexpr double minQ = 0.01;
    inline constexpr double maxQ = 1000.0;

    /** The sample rates a design can have: from 1 Hz up to, not including, 2^64 Hz. */
    inline constexpr double minSampleRateHz = 1.0;
    inline constexpr double firstUnrepresentableSampleRateHz = 18446744073709551616.0;

    /** The largest project document that is read or written, in bytes: 256 MB, some fifty times the
        document of a design that holds a measurement of 100 000 points (5.1 MB). A file beyond it is
        refused before anything of it is read. */
    inline constexpr std::size_t maxProjectDocumentBytes = std::size_t (256) << 20;

    //==============================================================================
    /** True for a sample rate from minSampleRateHz up to, not including, 2^64 Hz. */
    bool isValidSampleRate (double fsHz) noexcept;

    /** True for a level within +-maxLevelDb (so never NaN or infinite). */
    bool isValidLevel (double levelDb) noexcept;

    /** True for a phase within +-maxPhaseDegrees. */
    bool isValidPhase (double phaseDegrees) noexcept;

    /** True for a phase in radians within +-maxPhaseRadians. */
    bool isValidPhaseRadians (double phaseRadians) noexcept;

    /** True for a linear magnitude within +-maxLinearMagnitude (0 included). */
    bool isValidLinearMagnitude (double magnitude) noexcept;

    /** The frequencies of curve points other than 0 Hz: from 1 uHz to 1e20 Hz (beyond the half of
        any sample rate below 2^64 Hz). The splines through measured points divide by the steps
        between frequencies and by their squares: within these bounds no step, however small or
        large, takes them out of the range of doubles. */
    inline constexpr double minPointFrequencyHz = 1.0e-6;
    inline constexpr double maxPointFrequencyHz = 1.0e20;

    /** True for the frequency of a point of a curve: 0 Hz, or from minPointFrequencyHz to
        maxPointFrequencyHz. A point at 0 Hz is allowed; the interpolation places it at
        log10 f = -4. */
    bool isValidPointFrequency (double frequencyHz) noexcept;

    /** True for a user point of the filter response: a valid point frequency, a valid level and a
        valid phase. */
    bool isValidUserPoint (double frequencyHz, double levelDb, double phaseDegrees) noexcept;

    /** The largest section type id a design holds: the section table keeps ids as signed 32-bit
        numbers, so a larger one could not be shown or edited as it is stored. */
    inline constexpr std::size_t maxSectionTypeId = 2147483647;

    /** True when an IIR section (an IirFilterType id, its gain in dB, frequency in Hz, Q or shelf
        slope S) may be held by a design whatever its sample rate, by rules that do not depend on the
        rate:
          - the type is at most maxSectionTypeId, and gain, frequency and q are finite;
          - a type without a designer (0, 5, 10 and above) contributes nothing; beyond that its
            values are not looked at;
          - otherwise |gain| <= maxLevelDb and 0 < frequency < half the largest sample rate;
          - the second-order low and high pass, the PEQ and the all pass have minQ <= Q <= maxQ;
          - the shelves have minQ <= S <= maxQ and a real slope: (1/S - 1) (A + 1/A) + 2 >= 0 with
            A = 10^(gain / 40), which bounds S from above the more the larger |gain| is;
          - the first-order sections ignore q beyond its being finite.
        A project document holds only such sections, and the cascade leaves out those that cannot be
        designed at the current rate (see isValidIirSection).
    */
    bool isStorableIirSection (std::size_t type, double gainDb, double frequencyHz, double q) noexcept;

    /** True when the IIR section is storable and, if its type has a designer, can be designed at
        the sample rate fsHz with a finite response everywhere: frequency < fsHz / 2, and the designed
        coefficients and the section's response at 0 Hz and at fsHz / 2 finite. That leaves out
        sections so close to 0 Hz or fsHz / 2 that the formulas lose every digit: a PEQ below fsHz / 2
        by less than a band that widens as Q falls and depends on the gain (measured over gains of
        +-0.5 to +-200 dB: 0.0013 to 0.003 % of fsHz / 2 at Q 1000, 1.3 to 2.7 % at Q 0.707, 8.5 to
        16 % at Q 0.01).
        A section valid at one rate may be invalid at a lower one; the cascade leaves such sections
        out, and they come back when the rate is raised.
    */
    bool isValidIirSection (std::size_t type, double gainDb, double frequencyHz, double q, double fsHz);

    /** True when the stored settings of a design (as a project document holds them) are all inside
        their domains, so that they cannot make the design non-finite:
          - fsHz a valid sample rate;
          - InputData: refLevel within the target-level range; measurement frequencies valid point
            frequencies, each above the one before (as the import requires and the spline needs);
            |mag_i| <= 10^(maxLevelDb / 20) (linear); |phi_i| <= maxPhaseRadians;
          - TargetData: the band frequencies finite; nominalTargetLevel within the target-level
            range; limitBoostCut within the boost/cut range; the user-defined curves' frequencies
            valid point frequencies, each above the one before, their levels valid levels and their
            phases valid phases;
          - FilterData: every section that the cascade uses (all entries of type when numIIRs is not
            0) a storable IIR section, whatever fsHz; every user point that the response uses (none
            for numUserValues 0, the first for 1, every point held by fi, mag and phi for more, and
            then also the last elements of mag and phi) a valid user point, and with two points or
            more their frequencies never falling (the filter editor keeps them sorted; two points
            may share a frequency);
        Counts and array lengths are the caller's to check; only the elements that every array of a
        group holds are looked at.
    */
    bool isWithinLimits (double fsHz, const InputData& input, const TargetData& target, const FilterData& filter);
}
