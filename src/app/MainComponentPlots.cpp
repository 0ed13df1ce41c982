// The six plots: their set-up and the update that turns the design state into their curves.
#include "app/MainComponent.h"

#include "appearance/ColourPalette.h"
#include "numerics/Matrix.h"
#include "numerics/VectorMath.h"

#include <cmath>
#include <limits>

namespace
{
constexpr double defaultTimeSpanMs = 4096.0 / 48000.0 * 1000.0;
constexpr double lowestFrequencyHz = 10.0;
constexpr double inputFrequencyTopHz = 24000.0, otherFrequencyTopHz = 20000.0;
constexpr double spectrumDbRange[2] = { 40.0, 120.0 };
constexpr double filterDbRange[2] = { -60.0, 20.0 };

juce::Colour paletteColour (ColourPaletteIndex index)
{
    return colourPalette[index];
}

std::unique_ptr<FigureComponent> makeTimeFigure (double spanMs)
{
    auto figure = std::make_unique<FigureComponent>();
    figure->setXScale (FigureComponent::XScale::linear);
    figure->tickStep[0] = 10.0;
    figure->tickStep[1] = 0.5;
    figure->gridStep[0] = 10.0;
    figure->gridStep[1] = 0.125;
    figure->xlim (0.0, spanMs);
    figure->ylim (-1.0, 1.0);
    figure->xlabel ("Time [ms]");
    figure->ylabel ("Level");
    return figure;
}

void fitFrequencyAxes (FigureComponent& figure, double topHz, const double (&dbRange)[2])
{
    figure.xlim (lowestFrequencyHz, topHz);
    figure.ylim (dbRange[0], dbRange[1]);
    figure.yyaxis ("Right");
    figure.xlim (lowestFrequencyHz, topHz);
    figure.ylim (-1.0, 1.0);
    figure.yyaxis ("Left");
}

std::unique_ptr<FigureComponent> makeFrequencyFigure (double topHz, const double (&dbRange)[2])
{
    auto figure = std::make_unique<FigureComponent>();
    fitFrequencyAxes (*figure, topHz, dbRange);
    figure->xlabel ("Frequency [Hz]");
    figure->ylabel ("Magnitude [dB]");
    figure->yyaxis ("Right");
    figure->ylabel ("Phase [rad/pi]");
    figure->yyaxis ("Left");
    return figure;
}

size_t lengthOf (const Matrix<std::complex<double>>& z)
{
    return static_cast<size_t> (std::max (z.rows, z.cols));
}

/** 20 log10 |z| for each element, in dB. Computed as 10 / ln 10 * ln |z|^2 over the whole array at
    once, which needs neither a square root nor the slower base-10 logarithm; where |z|^2 would
    underflow or overflow (and for zero, which gives minus infinity) the exact form is used. */
Matrix<double> magnitudeDb (const Matrix<std::complex<double>>& z)
{
    constexpr double dbPerNaturalLogOfPower = 10.0 / 2.302585092994045684;
    const auto n = lengthOf (z);
    Matrix<double> result (1, n);
    std::vector<double> power (n);

    for (size_t k = 0; k < n; ++k)
        power[k] = z.data[k].real() * z.data[k].real() + z.data[k].imag() * z.data[k].imag();

    vectorMath::log (power.data(), result.data.data(), n);

    for (size_t k = 0; k < n; ++k)
        result.data[k] = power[k] >= std::numeric_limits<double>::min() && power[k] <= std::numeric_limits<double>::max()
                             ? dbPerNaturalLogOfPower * result.data[k]
                             : 20.0 * std::log10 (std::hypot (z.data[k].real(), z.data[k].imag()));
    return result;
}

/** The phase of each element in units of pi radians, unwrapped first when asked. */
Matrix<double> phaseOverPi (const Matrix<std::complex<double>>& z, bool unwrapPhase)
{
    const auto n = lengthOf (z);
    Matrix<double> phase (1, n);
    std::vector<double> re (n), im (n);

    for (size_t k = 0; k < n; ++k)
    {
        re[k] = z.data[k].real();
        im[k] = z.data[k].imag();
    }

    vectorMath::atan2 (im.data(), re.data(), phase.data.data(), n);

    if (unwrapPhase)
        phase = unwrap (phase);
    for (auto& p : phase.data)
        p /= juce::MathConstants<double>::pi;
    return phase;
}
/** The largest |x[k]|, or 1 for a signal that is all zeros (or holds no finite value). */
double peakOf (const Matrix<double>& x)
{
    double peak = 0.0;
    for (double v : x.data)
        peak = std::max (peak, std::abs (v));
    return peak > 0.0 && std::isfinite (peak) ? peak : 1.0;
}

/** The first length samples of the linear convolution of the real signals x and y (length at least
    the sum of their lengths for the whole of it). Both go through one complex transform, x as the real
    part and y as the imaginary part, each scaled to a peak of 1 so that neither drowns the other in
    single precision; their spectra are then X[k] = (Z[k] + conj Z[-k]) / 2 and
    Y[k] = (Z[k] - conj Z[-k]) / 2j, whose product is -j (Z[k]^2 - conj Z[-k]^2) / 4. */
Matrix<double> linearConvolution (const Matrix<double>& x, const Matrix<double>& y, size_t length)
{
    const double xScale = peakOf (x), yScale = peakOf (y);
    Matrix<std::complex<double>> packed (1, length);
    for (size_t k = 0; k < std::min (length, x.data.size()); ++k)
        packed.data[k].real (x.data[k] / xScale);
    for (size_t k = 0; k < std::min (length, y.data.size()); ++k)
        packed.data[k].imag (y.data[k] / yScale);

    auto spectrum = fft (packed, length);
    for (size_t k = 0; k <= length / 2; ++k)
    {
        const auto z = spectrum.data[k], mirrored = std::conj (spectrum.data[(length - k) % length]);
        const auto d = z * z - mirrored * mirrored;
        packed.data[k] = { d.imag() / 4.0, -d.real() / 4.0 };
        packed.data[(length - k) % length] = std::conj (packed.data[k]);
    }

    const auto convolution = ifft (packed, length);
    const double scale = xScale * yScale / static_cast<double> (length);
    Matrix<double> result (1, length);
    for (size_t k = 0; k < length; ++k)
        result.data[k] = convolution.data[k].real() * scale;
    return result;
}

struct ViewOptions
{
    bool showMagnitudes, showPhases, unwrapPhases;
};

/** One complex response of a frequency plot, shown as a phase curve and a magnitude curve. */
struct SpectrumCurve
{
    const Matrix<double>& frequencies;
    const Matrix<std::complex<double>>& response;
    ColourPaletteIndex phaseColour, magnitudeColour;
    bool hasPhase = true, hasMagnitude = true;
};

/** Fills a frequency plot: all phase curves on the right axis, then all magnitude curves on the left.
    The first curve drawn replaces the plot's old ones; with neither view option on, the old ones stay. */
void plotSpectra (FigureComponent& figure, const std::vector<SpectrumCurve>& curves, const ViewOptions& view)
{
    figure.yyaxis ("Right");
    if (view.showPhases)
        for (const auto& curve : curves)
            if (curve.hasPhase)
            {
                figure.semilogx (curve.frequencies, phaseOverPi (curve.response, view.unwrapPhases),
                                 paletteColour (curve.phaseColour));
                figure.hold (true);
            }

    figure.yyaxis ("Left");
    if (view.showMagnitudes)
        for (const auto& curve : curves)
            if (curve.hasMagnitude)
            {
                figure.semilogx (curve.frequencies, magnitudeDb (curve.response), paletteColour (curve.magnitudeColour));
                figure.hold (true);
            }

    figure.hold (false);
}
} // namespace

void MainComponent::createFigures()
{
    const auto addFigure = [this] (std::unique_ptr<FigureComponent>& member, std::unique_ptr<FigureComponent> figure)
    {
        member = std::move (figure);
        figureGrid.addAndMakeVisible (*member);
    };

    addFigure (figureGrid.figInputTime, makeTimeFigure (defaultTimeSpanMs));
    addFigure (figureGrid.figInputFrequency, makeFrequencyFigure (inputFrequencyTopHz, spectrumDbRange));
    addFigure (figureGrid.figFilterTime, makeTimeFigure (defaultTimeSpanMs));
    addFigure (figureGrid.figFilterFrequency, makeFrequencyFigure (otherFrequencyTopHz, filterDbRange));
    addFigure (figureGrid.figResultTime, makeTimeFigure (2.0 * defaultTimeSpanMs));
    addFigure (figureGrid.figResultFrequency, makeFrequencyFigure (otherFrequencyTopHz, spectrumDbRange));
}

void MainComponent::updatePlots()
{
    // The design is only read here, and nothing below can change it, so it is read in place.
    const auto& design = designComponent;
    const auto& input = design.inputData;
    const auto& target = design.targetData;
    const auto& filter = design.filterData;
    const auto& timeAxis = design.timeAxis;
    const auto& frequencyAxis = design.frequencyAxis;
    const double fs = design.fs;
    const auto nfft = static_cast<size_t> (design.NFFT);

    const ViewOptions view { design.toggleShowMagnitude->getToggleState(), design.toggleShowPhases->getToggleState(),
                             design.toggleButtonUnwarp->getToggleState() };

    auto& figInputTime = *figureGrid.figInputTime;
    auto& figInputFrequency = *figureGrid.figInputFrequency;
    auto& figFilterTime = *figureGrid.figFilterTime;
    auto& figFilterFrequency = *figureGrid.figFilterFrequency;
    auto& figResultTime = *figureGrid.figResultTime;
    auto& figResultFrequency = *figureGrid.figResultFrequency;

    if (design.axesChanged)
    {
        const double spanMs = static_cast<double> (nfft) / fs * 1000.0;
        for (auto* figure : { &figInputTime, &figFilterTime })
        {
            figure->xlim (0.0, spanMs);
            figure->ylim (-1.0, 1.0);
        }
        figResultTime.xlim (0.0, 2.0 * spanMs);
        figResultTime.ylim (-1.0, 1.0);

        fitFrequencyAxes (figInputFrequency, fs / 2.0, spectrumDbRange);
        fitFrequencyAxes (figFilterFrequency, fs / 2.0, filterDbRange);
        fitFrequencyAxes (figResultFrequency, fs / 2.0, spectrumDbRange);
    }

    // A time plot: the impulse response in blue and, when a window is chosen, the window in red.
    const auto plotWithWindow = [&] (FigureComponent& figure, const Matrix<double>& response,
                                     const Matrix<double>& window, int windowType)
    {
        figure.plot (timeAxis, response, paletteColour (curveBlue));
        figure.hold (true);
        if (windowType != WindowType::none)
            figure.plot (timeAxis, window, paletteColour (curveRed));
        figure.hold (false);
    };

    plotWithWindow (figInputTime, input.shiftedImpulseResponse, input.window, input.windowType);

    std::vector<SpectrumCurve> inputCurves { { frequencyAxis, input.spectrum, phaseCurveBlue, curveBlue } };
    if (target.targetPhase != TargetPhaseType::none || target.targetMagnitude != TargetMagnitudeType::none)
        inputCurves.push_back ({ target.bandFrequencies, target.bandResponse, phaseCurveOrange, curveOrange,
                                 target.targetPhase != TargetPhaseType::none,
                                 target.targetMagnitude != TargetMagnitudeType::none });
    plotSpectra (figInputFrequency, inputCurves, view);

    plotWithWindow (figFilterTime, filter.impulseResponse, filter.window, filter.windowType);

    std::vector<SpectrumCurve> filterCurves { { frequencyAxis, filter.response, phaseCurveBlue, curveBlue } };
    if (filter.windowType != WindowType::none)
        filterCurves.push_back ({ frequencyAxis, filter.coefficientSpectrum, phaseCurveRed, curveRed });
    plotSpectra (figFilterFrequency, filterCurves, view);

    // The corrected result in time: the windowed input convolved with the FIR. Both are zero-padded
    // to twice their length so that the circular convolution of the transforms is the linear one.
    {
        const size_t resultLength = 2 * nfft;
        figResultTime.plot (linspace (static_cast<double> (resultLength - 1), resultLength) / fs * 1000.0,
                            linearConvolution (input.shiftedImpulseResponse * input.window, filter.coefficients, resultLength),
                            paletteColour (curveBlue));
    }

    const auto corrected = input.spectrum * filter.coefficientSpectrum;
    plotSpectra (figResultFrequency, { { frequencyAxis, corrected, phaseCurveBlue, curveBlue } }, view);

    designComponent.inputChanged = false;
    designComponent.targetChanged = false;
    designComponent.filterChanged = false;
}
