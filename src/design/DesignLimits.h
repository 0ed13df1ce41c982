#pragma once

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

    /** Largest phase, in either direction, of a measured point, a user-defined target point and a
        user point: about 2.8 million turns, room for the unwrapped phase of any real measurement. */
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
}
