#pragma once

#include "numerics/Matrix.h"

#include <cstdint>

/*  Functions that work on whole responses: polynomial evaluation and the frequency response of an IIR
    section, phase unwrapping, sample shifts and the minimum-phase spectrum.
*/

/** Evaluates the polynomial p (coefficients, highest power first) at every element of z by Horner's
    scheme with the infinity-recovering complex product; the result has z's dimensions.
    A p with more than one row and more than one column is not a polynomial: the line
    "polyval: first argument must be a vector" goes to standard error and the result is a 1 x 1 zero.
*/
Matrix<std::complex<double>> polyval (const Matrix<double>& p, const Matrix<std::complex<double>>& z);

/** Frequency response B(z) / A(z) of the section with numerator b and denominator a (coefficients of
    z^0, z^-1, z^-2, ... with a[0] multiplying the current output) at the frequencies f in Hz for the
    sample rate fs in Hz, with z = e^(j 2 pi f / fs); the result has f's dimensions.
*/
Matrix<std::complex<double>> freqz (const Matrix<double>& b, const Matrix<double>& a, const Matrix<double>& f,
                                    double fs);

/** Removes the 2 pi jumps from a phase curve in radians: a step between neighbouring samples larger
    than pi in magnitude (exactly pi is kept) is taken as a wrap and every later sample is moved by the
    whole turns that cancel it. The result has the phase's dimensions. A single sample cannot be
    differenced: the line "diff(): X has to be a vector or a matrix" goes to standard error and the
    sample is returned unchanged.
*/
Matrix<double> unwrap (const Matrix<double>& phase);

/** Delays (k > 0) or advances (k < 0) the signal x by |k| samples without wrapping: samples shifted
    past either end fall off and the vacated ones are zero; 1 x length (x). A shift of the whole length
    or more gives all zeros; k = 0 gives a copy of x with x's own dimensions.
*/
Matrix<double> shiftSamples (const Matrix<double>& x, std::int32_t k);

/** The minimum-phase spectrum with the magnitude of the spectrum H, by the real-cepstrum method; 1 x N
    for N = length (H).

    Magnitudes below 10^-5 of the largest are first raised to that floor with zero phase, so deep
    notches stay finite in the logarithm. The complex cepstrum (the inverse transform of the complex
    logarithm, divided by N) is folded onto its causal side: c'[0] = c[0], c'[k] = c[k] + conj (c[N-k])
    for k up to the middle, the middle element of an even length conjugated, and the rest zero. The
    transforms follow fft and ifft, including their treatment of lengths that are not powers of two.
    An all-zero spectrum has no floor: its logarithms are -inf and the result is what the transforms
    make of them.
*/
Matrix<std::complex<double>> minimumPhase (const Matrix<std::complex<double>>& H);
