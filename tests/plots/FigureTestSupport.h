#pragma once

#include "plots/FigureComponent.h"

#include <vector>

namespace figuretest
{
inline Matrix<double> vectorOf (const std::vector<double>& values)
{
    Matrix<double> m (1, values.size());
    std::copy (values.begin(), values.end(), m.data.begin());
    return m;
}

/** A frequency plot as the main window sets it up: magnitude on the left, phase on the right. */
inline void setUpFrequencyPlot (FigureComponent& f, double maxHz, double lo, double hi)
{
    f.xlim (10.0, maxHz);
    f.ylim (lo, hi);
    f.xlabel ("Frequency [Hz]");
    f.ylabel ("Magnitude [dB]");
    f.yyaxis ("Right");
    f.xlim (10.0, maxHz);
    f.ylim (-1.0, 1.0);
    f.ylabel ("Phase [rad/pi]");
    f.yyaxis ("Left");
}

/** A time plot of maxMs milliseconds as the main window sets it up. */
inline void setUpTimePlot (FigureComponent& f, double maxMs)
{
    f.setXScale (FigureComponent::XScale::linear);
    f.tickStep = { 10.0, 0.5 };
    f.gridStep = { 10.0, 0.125 };
    f.xlim (0.0, maxMs);
    f.ylim (-1.0, 1.0);
    f.xlabel ("Time [ms]");
    f.ylabel ("Level");
}
} // namespace figuretest
