#include "design/IirDesigners.h"

#include <cmath>

namespace
{
constexpr double twoPi = 6.283185307179586;
constexpr double halfLn2 = 0.34657359027997264;

void setSection (Matrix<double>& b, Matrix<double>& a, double b0, double b1, double b2, double a0, double a1, double a2)
{
    b = Matrix<double> (3, 1, { b0, b1, b2 });
    a = Matrix<double> (3, 1, { a0, a1, a2 });
}

/** The first-order sections' pole, e^(-2 pi fc / fs). */
double firstOrderPole (double fcHz, double fsHz)
{
    return std::exp (fcHz * -twoPi / fsHz);
}

/** Shelf alpha from the slope S: sqrt ((1/S - 1) (1/A + A) + 2) * sin (w0) / 2. */
double shelfAlpha (double A, double S, double sinW0)
{
    return std::sqrt ((1.0 / S - 1.0) * (1.0 / A + A) + 2.0) * (sinW0 * 0.5);
}
} // namespace

void designPeakingBiquad (Matrix<double>& b, Matrix<double>& a, double gainDb, double f0Hz, double Q, double fsHz)
{
    const double A = std::pow (10.0, gainDb / 40.0);
    const double w0 = f0Hz * twoPi / fsHz;
    const double sinW0 = std::sin (w0), cosW0 = std::cos (w0);
    const double BW = std::asinh (1.0 / Q * 0.5) / halfLn2;
    const double alpha = sinW0 * std::sinh (BW * halfLn2 * w0 / sinW0);

    setSection (b, a, 1.0 + alpha * A, -2.0 * cosW0, 1.0 - alpha * A,
                      1.0 + alpha / A, -2.0 * cosW0, 1.0 - alpha / A);
}

void designLowShelfBiquad (Matrix<double>& b, Matrix<double>& a, double gainDb, double f0Hz, double S, double fsHz)
{
    const double A = std::pow (10.0, gainDb / 40.0);
    const double w0 = f0Hz * twoPi / fsHz;
    const double sinW0 = std::sin (w0), cosW0 = std::cos (w0);
    const double r = 2.0 * std::sqrt (A) * shelfAlpha (A, S, sinW0);
    const double a0 = (A + 1.0) + (A - 1.0) * cosW0 + r;

    setSection (b, a,
                A * ((A + 1.0) - (A - 1.0) * cosW0 + r) / a0,
                2.0 * A * ((A - 1.0) - (A + 1.0) * cosW0) / a0,
                A * ((A + 1.0) - (A - 1.0) * cosW0 - r) / a0,
                1.0,
                -2.0 * ((A - 1.0) + (A + 1.0) * cosW0) / a0,
                ((A + 1.0) + (A - 1.0) * cosW0 - r) / a0);
}

void designHighShelfBiquad (Matrix<double>& b, Matrix<double>& a, double gainDb, double f0Hz, double S, double fsHz)
{
    const double A = std::pow (10.0, gainDb / 40.0);
    const double w0 = f0Hz * twoPi / fsHz;
    const double sinW0 = std::sin (w0), cosW0 = std::cos (w0);
    const double r = 2.0 * std::sqrt (A) * shelfAlpha (A, S, sinW0);
    const double a0 = (A + 1.0) - (A - 1.0) * cosW0 + r;

    setSection (b, a,
                A * ((A + 1.0) + (A - 1.0) * cosW0 + r) / a0,
                -2.0 * A * ((A - 1.0) + (A + 1.0) * cosW0) / a0,
                A * ((A + 1.0) + (A - 1.0) * cosW0 - r) / a0,
                1.0,
                2.0 * ((A - 1.0) - (A + 1.0) * cosW0) / a0,
                ((A + 1.0) - (A - 1.0) * cosW0 - r) / a0);
}

void designAllpassBiquad (Matrix<double>& b, Matrix<double>& a, double f0Hz, double Q, double fsHz)
{
    const double w0 = f0Hz * twoPi / fsHz;
    const double sinW0 = std::sin (w0), cosW0 = std::cos (w0);
    const double alpha = sinW0 / (Q + Q);
    const double a0 = alpha + 1.0;

    setSection (b, a, (1.0 - alpha) / a0, -2.0 * cosW0 / a0, a0 / a0,
                      1.0, -2.0 * cosW0 / a0, (1.0 - alpha) / a0);
}

void designFirstOrderLowpass (Matrix<double>& b, Matrix<double>& a, double fcHz, double fsHz)
{
    const double p = firstOrderPole (fcHz, fsHz);
    setSection (b, a, 1.0 - p, 0.0, 0.0, 1.0, -p, 0.0);
}

void designSecondOrderLowpass (Matrix<double>& b, Matrix<double>& a, double Q, double fcHz, double fsHz)
{
    const double w0 = fcHz * twoPi / fsHz;
    const double sinW0 = std::sin (w0), cosW0 = std::cos (w0);
    const double alpha = sinW0 / (Q + Q);
    const double a0 = alpha + 1.0;

    setSection (b, a, 0.5 * (1.0 - cosW0) / a0, (1.0 - cosW0) / a0, 0.5 * (1.0 - cosW0) / a0,
                      1.0, -2.0 * cosW0 / a0, (1.0 - alpha) / a0);
}

void designFirstOrderHighpass (Matrix<double>& b, Matrix<double>& a, double fcHz, double fsHz)
{
    const double p = firstOrderPole (fcHz, fsHz);
    setSection (b, a, p, -p, 0.0, 1.0, -p, 0.0);
}

void designSecondOrderHighpass (Matrix<double>& b, Matrix<double>& a, double Q, double fcHz, double fsHz)
{
    const double w0 = fcHz * twoPi / fsHz;
    const double sinW0 = std::sin (w0), cosW0 = std::cos (w0);
    const double alpha = sinW0 / (Q + Q);
    const double a0 = alpha + 1.0;

    setSection (b, a, 0.5 * (1.0 + cosW0) / a0, -(1.0 + cosW0) / a0, 0.5 * (1.0 + cosW0) / a0,
                      1.0, -2.0 * cosW0 / a0, (1.0 - alpha) / a0);
}
