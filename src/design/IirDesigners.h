#pragma once

#include "numerics/Matrix.h"

/*  Designers of the IIR sections of the filter-response section.

    Each designer replaces b and a with new 3 x 1 matrices: b[0..2] are the numerator coefficients of
    z^0, z^-1, z^-2 and a[0..2] those of the denominator, a[0] multiplying the current output, so that
    freqz (b, a, f, fs) gives the section's response B(z) / A(z). Frequencies are in Hz, gains in dB;
    Q and the shelf slope S are plain numbers. Nothing is checked: Q = 0, S = 0, fs = 0, or a
    frequency of 0 or fs/2 where a formula divides by sin (w0), give infinite or NaN coefficients.

    The second-order sections are the audio-EQ cookbook biquads, with w0 = 2 pi f0 / fs and
    A = 10^(gain / 40).
*/

/** Peaking EQ: gain dB at f0, 0 dB far from it, bandwidth set by Q.
    The coefficients are left unnormalised (a[0] = 1 + alpha / A).
*/
void designPeakingBiquad (Matrix<double>& b, Matrix<double>& a, double gainDb, double f0Hz, double Q, double fsHz);

/** Low shelf: gain dB below f0, 0 dB above, half the gain in dB at f0; S = 1 is the steepest slope
    without overshoot.
*/
void designLowShelfBiquad (Matrix<double>& b, Matrix<double>& a, double gainDb, double f0Hz, double S, double fsHz);

/** High shelf: 0 dB below f0, gain dB above, half the gain in dB at f0; S = 1 is the steepest slope
    without overshoot.
*/
void designHighShelfBiquad (Matrix<double>& b, Matrix<double>& a, double gainDb, double f0Hz, double S, double fsHz);

/** All pass: magnitude 1 everywhere, phase passing -180 degrees at f0; Q sets how fast it turns. */
void designAllpassBiquad (Matrix<double>& b, Matrix<double>& a, double f0Hz, double Q, double fsHz);

/** First-order low pass with its pole at p = e^(-2 pi fc / fs): (1 - p) / (1 - p z^-1), 0 dB at 0 Hz. */
void designFirstOrderLowpass (Matrix<double>& b, Matrix<double>& a, double fcHz, double fsHz);

/** Second-order low pass: 0 dB at 0 Hz, gain Q at fc (-3.01 dB for Q = 1 / sqrt (2)), zero at fs/2. */
void designSecondOrderLowpass (Matrix<double>& b, Matrix<double>& a, double Q, double fcHz, double fsHz);

/** First-order high pass with its pole at p = e^(-2 pi fc / fs): p (1 - z^-1) / (1 - p z^-1), zero at
    0 Hz and 2p / (1 + p) at fs/2.
*/
void designFirstOrderHighpass (Matrix<double>& b, Matrix<double>& a, double fcHz, double fsHz);

/** Second-order high pass: zero at 0 Hz, gain Q at fc (-3.01 dB for Q = 1 / sqrt (2)), 0 dB at fs/2. */
void designSecondOrderHighpass (Matrix<double>& b, Matrix<double>& a, double Q, double fcHz, double fsHz);
