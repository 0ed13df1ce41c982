#pragma once

#include "numerics/Matrix.h"

/*  Forward and inverse FFT in the MATLAB argument order, and fftshift.

    Both transforms run in single precision (results carry about 7 significant digits although they
    are stored as doubles) and neither scales its result: an inverse transform of a forward transform
    gives n times the input. They work on 2^log2n points, log2n being log2 (n) truncated: when n is not a
    power of two, result elements 2^log2n .. n-1 are the input elements at those places, rounded to
    single precision, and are not transformed.

    Input whose largest magnitude single precision cannot carry through the transform (beyond about
    2^96 or below about 2^-96) is scaled by a power of two on the way in and back on the way out, so
    finite input gives finite results wherever they fit in a double.
*/

/** Forward transform (exponent -j) of x zero-padded or cut to n elements; 1 x n.
    n = 0 gives a 1 x 1 zero.
*/
Matrix<std::complex<double>> fft (const Matrix<std::complex<double>>& x, std::size_t n);

/** Inverse transform (exponent +j, no 1/n factor) of the first n elements of X; 1 x n.
    Elements that X does not have are taken as zero. n = 0 gives a 1 x 1 zero.
*/
Matrix<std::complex<double>> ifft (const Matrix<std::complex<double>>& X, std::size_t n);

/** Bins 0 .. numBins - 1 of fft of the real signal x (as a complex signal with zero imaginary parts)
    of n points, x rotated as fftshift rotates it first when shifted is true: the very values of
    fft (Matrix<complex> (shifted ? fftshift (x) : x), n), without the intermediate copies. x must
    hold n elements when shifted; numBins is at most n. */
Matrix<std::complex<double>> fftOfReal (const Matrix<double>& x, std::size_t n, std::size_t numBins, bool shifted);

/** The real parts of ifft (X, n) divided by n, 1 x n: the real signal of a conjugate-symmetric
    spectrum, without forming the imaginary parts. */
Matrix<double> ifftRealPart (const Matrix<std::complex<double>>& X, std::size_t n);

/** Rotates a vector so that its element h = ceil (n / 2) comes first: for even n the two halves swap,
    and for odd n the result is x[h .. n-1] followed by x[0 .. h-1], which puts the element of index 0
    at the centre, floor (n / 2). The result has x's dimensions.
*/
Matrix<double> fftshift (const Matrix<double>& x);
