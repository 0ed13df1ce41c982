#include "design/DesignEngine.h"

#include "design/DesignLimits.h"
#include "design/FilterResponse.h"
#include "numerics/ComplexArithmetic.h"
#include "numerics/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

namespace
{
    using Complex = std::complex<double>;

    constexpr double pi = 3.141592653589793;

    /** Makes m a 1 x n vector, keeping its storage when it already has that size. Contents are left
        unspecified when the size was kept; callers overwrite every element. */
    template <typename T>
    void makeVector (Matrix<T>& m, std::size_t n)
    {
        n = std::max<std::size_t> (n, 1);

        if (m.rows != 1 || m.cols != n || m.data.size() != n)
            m = Matrix<T> (1, n);
    }

    template <typename T>
    void fillVector (Matrix<T>& m, std::size_t n, T value)
    {
        makeVector (m, n);
        std::fill (m.data.begin(), m.data.end(), value);
    }

    void unitImpulse (Matrix<double>& m, std::size_t n)
    {
        fillVector (m, n, 0.0);
        m.data[0] = 1.0;
    }

    bool inClosedBand (double f, double low, double high) noexcept
    {
        return low <= f && f <= high;
    }

    bool isFinite (Complex c) noexcept
    {
        return std::isfinite (c.real()) && std::isfinite (c.imag());
    }

    /** The real and imaginary parts of the first count elements, as two arrays. */
    struct Parts
    {
        Parts (const Matrix<Complex>& x, std::size_t count) : re (count), im (count)
        {
            for (std::size_t k = 0; k < count; ++k)
            {
                re[k] = x.data[k].real();
                im[k] = x.data[k].imag();
            }
        }

        std::vector<double> re, im;
    };

    /** |x[k]| for the first count elements, computed over the whole array at once. */
    std::vector<double> magnitudesOf (const Matrix<Complex>& x, std::size_t count)
    {
        const Parts parts (x, count);
        std::vector<double> magnitude (count);
        vectorMath::hypot (parts.re.data(), parts.im.data(), magnitude.data(), count);
        return magnitude;
    }

    /** atan2 (im x[k], re x[k]) for the first count elements. */
    std::vector<double> anglesOf (const Matrix<Complex>& x, std::size_t count)
    {
        const Parts parts (x, count);
        std::vector<double> angle (count);
        vectorMath::atan2 (parts.im.data(), parts.re.data(), angle.data(), count);
        return angle;
    }

    /** X of n points from the h + 1 bins of a real signal's spectrum: X[n - k] = conj (X[k]). */
    Matrix<Complex> hermitianExtension (const Matrix<Complex>& bins, std::size_t n)
    {
        Matrix<Complex> full (1, n);
        const auto h = n / 2;
        const auto numBins = std::min (bins.length(), h + 1);

        for (std::size_t k = 0; k < numBins; ++k)
            full.data[k] = bins.data[k];

        for (std::size_t k = 1; k < h && k < numBins; ++k)
            full.data[n - k] = std::conj (bins.data[k]);

        return full;
    }

    /** Hann values w[i] = 0.5 (1 - cos (2 pi i / (length - 1))) for i = i0 .. i0 + count - 1, the
        cosines computed over the whole array at once. The length is a double so that none overflows;
        a window of one point is 1. */
    std::vector<double> hannValues (double i0, std::size_t count, double length)
    {
        std::vector<double> value (count, 1.0);

        if (length <= 1.0)
            return value;

        std::vector<double> sine (count);

        for (std::size_t m = 0; m < count; ++m)
            value[m] = 2.0 * pi * (i0 + (double) m) / (length - 1.0);

        vectorMath::sinCos (value.data(), sine.data(), value.data(), count);

        for (auto& v : value)
            v = 0.5 * (1.0 - v);

        return value;
    }

    /** n places holding a Hann window of length L from place 0 (places past n dropped), 0 after it. */
    Matrix<double> hannWindowAtStart (std::size_t n, std::uint64_t length)
    {
        Matrix<double> window (1, n);
        const auto count = (std::size_t) std::min<std::uint64_t> (length, n);
        const auto values = hannValues (0.0, count, (double) length);
        std::copy (values.begin(), values.end(), window.data.begin());
        return window;
    }

    /** Writes the falling half of a Hann window of 2L points, w[L - 1] .. w[2L - 1], from place start
        on, and zeros after it, into window (ones before start stay). Nothing is written past the
        window's end; with L = 0 the half is empty and every place from start on is 0. */
    void writeFallingHalfHann (Matrix<double>& window, std::uint64_t start, std::uint64_t length)
    {
        const auto n = window.length();

        if (start >= n)
            return;

        // w[L - 1 + m] for m = 0 .. L, as far as the window reaches; zeros after it.
        const auto count = length == 0 ? std::size_t (0) : (std::size_t) std::min<std::uint64_t> (length + 1, n - start);
        const auto values = hannValues ((double) (length - 1), count, 2.0 * (double) length);
        std::copy (values.begin(), values.end(), window.data.begin() + (std::ptrdiff_t) start);
        std::fill (window.data.begin() + (std::ptrdiff_t) (start + count), window.data.end(), 0.0);
    }

    /** A shift in samples for shiftSamples, limited to +-n (any shift of n or more empties the signal). */
    std::int32_t limitedShift (std::int64_t shift, std::size_t n) noexcept
    {
        return (std::int32_t) std::clamp<std::int64_t> (shift, -(std::int64_t) n, (std::int64_t) n);
    }

    using ::sameBits;

    bool sameBits (double a, double b) noexcept
    {
        return std::memcmp (&a, &b, sizeof (double)) == 0;
    }

    /** A vector in a memo key, compared bit for bit. A key built for a lookup refers to the design's
        own vector; only a key that is kept holds a copy (see own()). */
    template <typename T>
    struct Bits
    {
        Bits (const Matrix<T>& m) : ref (&m) {}
        Bits() = default;

        const Matrix<T>& get() const noexcept { return ref != nullptr ? *ref : owned; }
        void own() { if (ref != nullptr) { owned = *ref; ref = nullptr; } }
        bool operator== (const Bits& o) const noexcept { return sameBits (get(), o.get()); }

        const Matrix<T>* ref = nullptr;
        Matrix<T> owned;
    };

    template <typename Key>
    auto ownKey (Key& key) -> decltype (key.own(), void()) { key.own(); }

    template <typename... Ts>
    void ownKey (std::tuple<Ts...>&) {}

    /** The result of an expensive step for the inputs it was last computed from. Every input is
        compared bit for bit, so a result taken from here is exactly the one the step would give. */
    template <typename Key, typename Value>
    struct Memo
    {
        bool valid = false;
        Key key;
        Value value;

        template <typename Compute>
        const Value& get (const Key& k, Compute&& compute)
        {
            if (! valid || ! (key == k))
            {
                valid = false;
                value = compute();
                key = k;
                ownKey (key);
                valid = true;
            }

            return value;
        }
    };

    /** A count as a signed 32-bit value, saturating instead of wrapping. */
    std::int32_t toInt32Saturated (std::int64_t v) noexcept
    {
        return (std::int32_t) std::clamp<std::int64_t> (v, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max());
    }

    /** The user curve (x, y) in dB or degrees at frequency f, linear in log10 f between breakpoints.
        Returns false for a frequency outside [x[0], x[m - 1]] or in no segment. */
    struct UserCurve
    {
        const double* x;
        const double* y;
        std::size_t m;
        bool ascending;

        UserCurve (const Matrix<double>& xs, const Matrix<double>& ys)
            : x (xs.data.data()), y (ys.data.data()), m (std::min (xs.length(), ys.length())),
              ascending (isAscending (x, m))
        {
        }

        double evaluate (double f) const noexcept
        {
            if (f < x[0])
                return y[0];

            if (f > x[m - 1])
                return y[m - 1];

            const auto j = findLastSegmentContaining (x, m, ascending, f);

            if (j == 0)
                return 0.0;

            const double logF = std::log10 (f);

            if (! std::isfinite (logF))
                return y[0];

            const auto ends = logSegmentEnds (x[j - 1], x[j]);
            return y[j] + (logF - ends.upper) * (y[j - 1] - y[j]) / (ends.lower - ends.upper);
        }
    };
}

//==============================================================================
/*  The recompute runs on every slider step, and most steps change one setting: the expensive steps
    (the filter-response section, the two minimum-phase conversions with the inverse transform of the
    filter, the windows) keep their last result with the exact inputs it came from and reuse it when
    the inputs are the same bits again. Nothing else is kept between recomputes. */
struct DesignEngine::Scratch
{
    struct PointsKey
    {
        std::uint64_t numUserValues = 0;
        Bits<double> fi, mag, phi, axis;

        void own() { fi.own(); mag.own(); phi.own(); axis.own(); }

        bool operator== (const PointsKey& o) const noexcept
        {
            return numUserValues == o.numUserValues && fi == o.fi && mag == o.mag && phi == o.phi && axis == o.axis;
        }
    };

    struct SectionsKey
    {
        Bits<std::size_t> type;
        Bits<double> gain, freq, q, axis;
        double fs = 0.0;

        void own() { type.own(); gain.own(); freq.own(); q.own(); axis.own(); }

        bool operator== (const SectionsKey& o) const noexcept
        {
            return type == o.type && gain == o.gain && freq == o.freq && q == o.q && axis == o.axis && sameBits (fs, o.fs);
        }
    };

    struct ImpulseKey
    {
        Bits<Complex> response;
        std::uint64_t n = 0;
        bool minimumPhase = false;

        void own() { response.own(); }

        bool operator== (const ImpulseKey& o) const noexcept
        {
            return n == o.n && minimumPhase == o.minimumPhase && response == o.response;
        }
    };

    using WindowKey = std::tuple<int, std::uint64_t, std::int64_t, std::uint64_t>;   // type, length, position, n

    struct InputKey
    {
        Bits<double> impulseResponse;
        std::uint64_t n;
        std::int32_t shift, windowType;
        std::uint64_t windowLength;
        bool minimumPhase, noMeasurement;
        double refLevel;

        void own() { impulseResponse.own(); }

        bool operator== (const InputKey& o) const noexcept
        {
            return impulseResponse == o.impulseResponse && n == o.n && shift == o.shift && windowType == o.windowType
                   && windowLength == o.windowLength && minimumPhase == o.minimumPhase
                   && noMeasurement == o.noMeasurement && sameBits (refLevel, o.refLevel);
        }
    };

    struct TargetKey
    {
        Bits<Complex> spectrum;
        Bits<double> axis;
        double refLevel;
        bool inputMinimumPhase;
        int magnitudeType, phaseType;
        double fminMagnitude, fmaxMagnitude, fminPhase, fmaxPhase;
        Bits<double> magFreq, mag, phiFreq, phi;

        void own() { spectrum.own(); axis.own(); magFreq.own(); mag.own(); phiFreq.own(); phi.own(); }

        bool operator== (const TargetKey& o) const noexcept
        {
            return spectrum == o.spectrum && axis == o.axis && sameBits (refLevel, o.refLevel)
                   && inputMinimumPhase == o.inputMinimumPhase && magnitudeType == o.magnitudeType && phaseType == o.phaseType
                   && sameBits (fminMagnitude, o.fminMagnitude) && sameBits (fmaxMagnitude, o.fmaxMagnitude)
                   && sameBits (fminPhase, o.fminPhase) && sameBits (fmaxPhase, o.fmaxPhase)
                   && magFreq == o.magFreq && mag == o.mag && phiFreq == o.phiFreq && phi == o.phi;
        }
    };

    struct CorrectionKey
    {
        Bits<Complex> spectrum, target;
        Bits<double> axis;
        int magnitudeType;
        double limit, fmin, fmax;

        void own() { spectrum.own(); target.own(); axis.own(); }

        bool operator== (const CorrectionKey& o) const noexcept
        {
            return spectrum == o.spectrum && target == o.target && axis == o.axis && magnitudeType == o.magnitudeType
                   && sameBits (limit, o.limit) && sameBits (fmin, o.fmin) && sameBits (fmax, o.fmax);
        }
    };

    Memo<InputKey, std::tuple<Matrix<double>, Matrix<double>, Matrix<Complex>>> input;
    Memo<TargetKey, std::tuple<Matrix<Complex>, Matrix<double>, Matrix<Complex>>> target;
    Memo<CorrectionKey, Matrix<Complex>> correction;

    Memo<PointsKey, Matrix<Complex>> userPoints;
    Memo<SectionsKey, Matrix<Complex>> iirSections;
    IirCascadeProducts cascade;   // a step that changes one section computes only it and those after it
    struct SpectrumKey
    {
        Bits<Complex> spectrum;

        void own() { spectrum.own(); }
        bool operator== (const SpectrumKey& o) const noexcept { return spectrum == o.spectrum; }
    };

    Memo<SpectrumKey, Matrix<Complex>> inputMinimumPhase;
    Memo<ImpulseKey, Matrix<double>> filterImpulse;
    Memo<WindowKey, Matrix<double>> inputWindow, filterWindow;
};

DesignEngine::DesignEngine()
    : scratch (std::make_unique<Scratch>())
{
    resetDesign();
    filterData.filterType = FilterResponseType::none;
    inputChanged = true;
    targetChanged = false;
    filterChanged = true;
    axesChanged = false;
}

DesignEngine::~DesignEngine() = default;

bool DesignEngine::isSupportedNfft (std::uint64_t n) noexcept
{
    return std::find (std::begin (nfftSizes), std::end (nfftSizes), n) != std::end (nfftSizes);
}

int DesignEngine::getFilterResponseSelection() const
{
    return filterData.filterType;
}

void DesignEngine::designCalculated()
{
}

//==============================================================================
void DesignEngine::rebuildAxes()
{
    frequencyAxis = linspace (fs * 0.5, NFFT / 2 + 1);
    timeAxis = linspace ((double) (NFFT - 1), NFFT) / fs * 1000.0;
}

void DesignEngine::resetDesign()
{
    NFFT = 4096;
    fs = 48000.0;
    rebuildAxes();
    projectFilePath = {};

    const auto n = NFFT;
    const auto numBins = NFFT / 2 + 1;

    inputData.windowType = WindowType::none;
    inputData.windowLength = n;
    inputData.shift = 0;
    inputData.refLevel = 80.0;
    inputData.fileName = {};
    inputData.minimumPhase = false;
    const Complex level (std::pow (10.0, inputData.refLevel / 20.0), 0.0);
    unitImpulse (inputData.impulseResponse, n);
    fillVector (inputData.measuredSpectrum, numBins, level);
    unitImpulse (inputData.shiftedImpulseResponse, n);
    fillVector (inputData.spectrum, numBins, level);
    fillVector (inputData.window, n, 1.0);
    inputChanged = true;

    targetData.targetMagnitude = TargetMagnitudeType::none;
    targetData.targetPhase = TargetPhaseType::none;
    targetData.fminMagnitude = 93.75;
    targetData.fmaxMagnitude = 24000.0;
    targetData.nominalTargetLevel = 80.0;
    targetData.limitBoostCut = 12.0;
    targetData.fminPhase = 93.75;
    targetData.fmaxPhase = 24000.0;
    fillVector (targetData.response, numBins, Complex());
    targetData.userDefinedMagFreq = {};
    targetData.userDefinedMag = {};
    targetData.userDefinedPhiFreq = {};
    targetData.userDefinedPhi = {};
    targetChanged = true;

    filterData.windowType = WindowType::none;
    filterData.windowLength = n;
    filterData.windowShift = 0;
    filterData.minimumPhase = false;
    filterData.numUserValues = 0;
    filterData.numIIRs = 0;
    unitImpulse (filterData.impulseResponse, n);
    unitImpulse (filterData.coefficients, n);
    fillVector (filterData.window, n, 1.0);
    fillVector (filterData.response, numBins, Complex (1.0, 0.0));
    fillVector (filterData.correction, numBins, Complex (1.0, 0.0));
    fillVector (filterData.coefficientSpectrum, numBins, Complex (1.0, 0.0));
    filterData.fi = {};
    filterData.mag = {};
    filterData.phi = {};
    filterData.type = {};
    filterData.gain = {};
    filterData.freq = {};
    filterData.q = {};
    filterChanged = true;
}

//==============================================================================
void DesignEngine::calculateInputFromMeasurement()
{
    const auto n = NFFT;
    const auto numBins = n / 2 + 1;

    if (inputData.fileName.isEmpty())
    {
        fillVector (inputData.measuredSpectrum, numBins, Complex (1.0, 0.0));
        unitImpulse (inputData.impulseResponse, n);
        return;
    }

    // The import stores three vectors of one length; should they differ, the points they all hold
    // are used. A spline needs two points: with fewer the measurement is silence.
    const auto numPoints = std::min ({ inputData.fi.length(), inputData.mag_i.length(), inputData.phi_i.length() });
    Matrix<double> magnitude (1, numBins), phase (1, numBins);

    if (numPoints >= 2)
    {
        auto points = [numPoints] (const Matrix<double>& m)
        {
            return m.length() == numPoints ? m
                                           : Matrix<double> (1, numPoints, std::vector<double> (m.data.begin(), m.data.begin() + (std::ptrdiff_t) numPoints));
        };

        magnitude = interp1 (points (inputData.fi), points (inputData.mag_i), frequencyAxis, "spline");
        phase = interp1 (points (inputData.fi), unwrap (points (inputData.phi_i)), frequencyAxis, "spline");
    }

    inputData.measuredSpectrum = magnitude * exp (timesJ (phase));

    auto full = hermitianExtension (inputData.measuredSpectrum, n) / std::pow (10.0, inputData.refLevel / 20.0);

    if (inputData.minimumPhase)
        inputData.impulseResponse = ifftRealPart (minimumPhase (full), n);
    else
        inputData.impulseResponse = fftshift (ifftRealPart (full, n));
}

std::vector<double> DesignEngine::getLeftOutSectionFrequencies() const
{
    const auto& f = filterData;
    std::vector<double> frequencies;

    if (f.numIIRs == 0)
        return frequencies;

    const auto numSections = std::min ({ f.type.length(), f.gain.length(), f.freq.length(), f.q.length() });

    for (std::size_t i = 0; i < numSections; ++i)
        if (DesignLimits::isStorableIirSection (f.type.data[i], f.gain.data[i], f.freq.data[i], f.q.data[i])
             && ! DesignLimits::isValidIirSection (f.type.data[i], f.gain.data[i], f.freq.data[i], f.q.data[i], fs))
            frequencies.push_back (f.freq.data[i]);

    return frequencies;
}

juce::String DesignEngine::getLeftOutSectionsWarning() const
{
    juce::StringArray names;

    for (const auto f : getLeftOutSectionFrequencies())
        names.add (juce::String (f) + " Hz");

    if (names.isEmpty())
        return {};

    const auto last = names.strings.removeAndReturn (names.size() - 1);

    if (names.isEmpty())
        return "The IIR section at " + last + " cannot be designed at this sample rate and is left out "
               "until the rate is raised or the section is changed.";

    return "The IIR sections at " + names.joinIntoString (", ") + " and " + last + " cannot be designed at "
           "this sample rate and are left out until the rate is raised or the sections are changed.";
}

//==============================================================================
std::int32_t DesignEngine::findPeakPosition (const Matrix<double>& samples) noexcept
{
    const auto count = samples.length();
    std::size_t best = 0;
    double bestValue = count > 0 ? std::abs (samples.data[0]) : 0.0;

    // A NaN first sample never compares greater, so a later number has to beat it explicitly.
    bool haveValue = count > 0 && ! std::isnan (bestValue);

    for (std::size_t i = 1; i < count; ++i)
    {
        const double value = std::abs (samples.data[i]);

        if (std::isnan (value))
            continue;

        if (! haveValue || value > bestValue)
        {
            best = i;
            bestValue = value;
            haveValue = true;
        }
    }

    return toInt32Saturated ((std::int64_t) best + 1);
}

void DesignEngine::calculate (bool recompute)
{
    // A design always has one of the supported lengths; anything shorter has nothing to compute.
    if (recompute && NFFT >= 2)
    {
        calculateInputStage();
        calculateTargetStage();
        calculateCorrectionStage();
        calculateFilterStage();
    }

    designCalculated();
}

void DesignEngine::calculateInputStage()
{
    const auto& in = inputData;
    Scratch::InputKey key { { in.impulseResponse }, NFFT, in.shift, in.windowType, in.windowLength,
                            in.minimumPhase, in.fileName.isEmpty(), in.refLevel };

    // A result computed now is already in place; only a reused one is copied back.
    bool computed = false;
    const auto& result = scratch->input.get (key, [this, &computed]
    {
        computeInputStage();
        computed = true;
        return std::make_tuple (inputData.shiftedImpulseResponse, inputData.window, inputData.spectrum);
    });

    if (! computed)
        std::tie (inputData.shiftedImpulseResponse, inputData.window, inputData.spectrum) = result;
}

void DesignEngine::computeInputStage()
{
    const auto n = NFFT;
    const auto h = n / 2;
    const double g = std::pow (10.0, inputData.refLevel / 20.0);
    const auto& source = inputData.impulseResponse;
    const auto sourceLength = std::min<std::size_t> (source.length(), n);

    // Circular shift: y[(i + s) mod n] = x[i].
    fillVector (inputData.shiftedImpulseResponse, n, 0.0);
    const auto s = (std::int64_t) inputData.shift;
    const auto shiftModN = (std::size_t) (((s % (std::int64_t) n) + (std::int64_t) n) % (std::int64_t) n);

    for (std::size_t i = 0; i < sourceLength; ++i)
        inputData.shiftedImpulseResponse.data[(i + shiftModN) % n] = source.data[i];

    const auto peak = findPeakPosition (inputData.shiftedImpulseResponse);

    // Input window.
    const auto length = inputData.windowLength;
    const auto type = inputData.windowType;
    const std::int64_t position = type == WindowType::hann || type == WindowType::hann50 ? peak : 0;

    inputData.window = scratch->inputWindow.get ({ type, length, position, n }, [&]
    {
        Matrix<double> window (1, n, std::vector<double> (n, 1.0));

        if (type == WindowType::hann)
        {
            // Centred on the peak: moved by p - L/2, with L as a signed 32-bit count halved toward zero.
            const auto halfLength = (std::int64_t) std::min<std::uint64_t> (length, (std::uint64_t) std::numeric_limits<std::int32_t>::max()) / 2;
            window = shiftSamples (hannWindowAtStart (n, length), limitedShift ((std::int64_t) peak - halfLength, n));
        }
        else if (type == WindowType::hann50)
        {
            // Ones before the peak sample, the falling half from the peak on.
            writeFallingHalfHann (window, (std::uint64_t) std::max (peak - 1, 0), length);
        }

        return window;
    });

    const auto& window = inputData.window;

    Matrix<double> windowed (1, n);

    for (std::size_t i = 0; i < n; ++i)
        windowed.data[i] = window.data[i] * inputData.shiftedImpulseResponse.data[i];

    // A measurement's response is centred at h unless it was made minimum phase: time 0 goes back to
    // index 0 before the transform.
    const bool centred = ! inputData.minimumPhase && inputData.fileName.isNotEmpty();
    const auto spectrum = fftOfReal (windowed, n, h + 1, centred);
    makeVector (inputData.spectrum, h + 1);

    for (std::size_t k = 0; k <= h; ++k)
        inputData.spectrum.data[k] = Complex (spectrum.data[k].real() * g, spectrum.data[k].imag() * g);
}

void DesignEngine::calculateTargetStage()
{
    const auto& t = targetData;

    if (t.targetMagnitude == TargetMagnitudeType::none && t.targetPhase == TargetPhaseType::none)
    {
        computeTargetStage();
        return;
    }

    Scratch::TargetKey key { { inputData.spectrum }, { frequencyAxis }, inputData.refLevel, inputData.minimumPhase,
                             t.targetMagnitude, t.targetPhase, t.fminMagnitude, t.fmaxMagnitude, t.fminPhase, t.fmaxPhase,
                             { t.userDefinedMagFreq }, { t.userDefinedMag }, { t.userDefinedPhiFreq }, { t.userDefinedPhi } };

    bool computed = false;
    const auto& result = scratch->target.get (key, [this, &computed]
    {
        computeTargetStage();
        computed = true;
        return std::make_tuple (targetData.response, targetData.bandFrequencies, targetData.bandResponse);
    });

    if (! computed)
        std::tie (targetData.response, targetData.bandFrequencies, targetData.bandResponse) = result;
}

void DesignEngine::computeTargetStage()
{
    const auto& S = inputData.spectrum;
    const auto numBins = S.length();
    const double g = std::pow (10.0, inputData.refLevel / 20.0);
    const double* f = frequencyAxis.data.data();
    const auto numFrequencies = std::min (numBins, frequencyAxis.length());

    targetData.response = S;
    targetData.bandResponse = S;
    auto& T = targetData.response;

    const auto magnitudeType = targetData.targetMagnitude;
    const auto phaseType = targetData.targetPhase;

    if (magnitudeType == TargetMagnitudeType::none && phaseType == TargetPhaseType::none)
        return;

    bool haveMagnitudeBand = false, havePhaseBand = false;
    double magnitudeLow = 0, magnitudeHigh = 0, phaseLow = 0, phaseHigh = 0;

    if (magnitudeType == TargetMagnitudeType::flat)
    {
        haveMagnitudeBand = true;
        magnitudeLow = targetData.fminMagnitude;
        magnitudeHigh = targetData.fmaxMagnitude;

        const auto magnitude = magnitudesOf (S, numFrequencies);

        for (std::size_t k = 0; k < numFrequencies; ++k)
            if (inClosedBand (f[k], magnitudeLow, magnitudeHigh))
                T.data[k] = magnitude[k] == 0.0 ? Complex (g, 0.0)   // no phase to keep: phase 0
                                                : Complex (g * S.data[k].real() / magnitude[k], g * S.data[k].imag() / magnitude[k]);
    }
    else if (magnitudeType == TargetMagnitudeType::userDefined && targetData.userDefinedMag.length() >= 2)
    {
        const auto& x = targetData.userDefinedMagFreq;
        const UserCurve curve (x, targetData.userDefinedMag);
        haveMagnitudeBand = true;
        magnitudeLow = x.data[0];
        magnitudeHigh = x.data[x.length() - 1];

        for (std::size_t k = 0; k < numFrequencies; ++k)
        {
            if (inClosedBand (f[k], magnitudeLow, magnitudeHigh))
            {
                const double levelDb = curve.evaluate (f[k]);
                const double magnitude = g * std::pow (10.0, levelDb / 20.0);
                const double angle = std::atan2 (S.data[k].imag(), S.data[k].real());
                T.data[k] = Complex (magnitude * std::cos (angle), magnitude * std::sin (angle));
            }
        }
    }

    // T[k] = |T[k]| e^(j angle[k]) on the bins of the band.
    auto applyPhase = [&] (std::vector<double> angle, double low, double high)
    {
        const auto count = angle.size();
        const auto magnitude = magnitudesOf (T, count);
        std::vector<double> sine (count);
        vectorMath::sinCos (angle.data(), sine.data(), angle.data(), count);

        for (std::size_t k = 0; k < count; ++k)
            if (inClosedBand (f[k], low, high))
                T.data[k] = Complex (magnitude[k] * angle[k], magnitude[k] * sine[k]);
    };

    if (phaseType == TargetPhaseType::zero)
    {
        havePhaseBand = true;
        phaseLow = targetData.fminPhase;
        phaseHigh = targetData.fmaxPhase;

        const auto magnitude = magnitudesOf (T, numFrequencies);

        for (std::size_t k = 0; k < numFrequencies; ++k)
            if (inClosedBand (f[k], phaseLow, phaseHigh))
                T.data[k] = Complex (magnitude[k], 0.0);
    }
    else if (phaseType == TargetPhaseType::minimum)
    {
        havePhaseBand = true;
        phaseLow = targetData.fminPhase;
        phaseHigh = targetData.fmaxPhase;

        // An input imported as minimum phase already has the phase wanted.
        const auto& X = inputData.minimumPhase ? S : scratch->inputMinimumPhase.get ({ { S } }, [&S] { return minimumPhase (S); });

        applyPhase (anglesOf (X, std::min (numFrequencies, X.length())), phaseLow, phaseHigh);
    }
    else if (phaseType == TargetPhaseType::userDefined && targetData.userDefinedPhi.length() >= 2)
    {
        const auto& x = targetData.userDefinedPhiFreq;
        const UserCurve curve (x, targetData.userDefinedPhi);
        havePhaseBand = true;
        phaseLow = x.data[0];
        phaseHigh = x.data[x.length() - 1];

        std::vector<double> angle (numFrequencies);

        for (std::size_t k = 0; k < numFrequencies; ++k)
            angle[k] = curve.evaluate (f[k]) * 2.0 * pi / 360.0;

        applyPhase (std::move (angle), phaseLow, phaseHigh);
    }

    // The band drawn for the target: from the lower of the two low ends to the higher of the high
    // ends, over the parts that have a band.
    std::vector<double> bandFrequencies;
    std::vector<Complex> bandResponse;

    for (std::size_t k = 0; k < numFrequencies; ++k)
    {
        const bool aboveLow = (haveMagnitudeBand && f[k] >= magnitudeLow) || (havePhaseBand && f[k] >= phaseLow);
        const bool belowHigh = (haveMagnitudeBand && f[k] <= magnitudeHigh) || (havePhaseBand && f[k] <= phaseHigh);

        if (aboveLow && belowHigh)
        {
            bandFrequencies.push_back (f[k]);
            bandResponse.push_back (T.data[k]);
        }
    }

    const auto count = bandFrequencies.size();
    targetData.bandFrequencies = Matrix<double> (1, count, std::move (bandFrequencies));
    targetData.bandResponse = Matrix<Complex> (1, count, std::move (bandResponse));
}

void DesignEngine::calculateCorrectionStage()
{
    const auto& t = targetData;
    Scratch::CorrectionKey key { { inputData.spectrum }, { t.response }, { frequencyAxis }, t.targetMagnitude,
                                 t.limitBoostCut, t.fminMagnitude, t.fmaxMagnitude };

    bool computed = false;
    const auto& result = scratch->correction.get (key, [this, &computed]
    {
        computeCorrectionStage();
        computed = true;
        return filterData.correction;
    });

    if (! computed)
        filterData.correction = result;
}

void DesignEngine::computeCorrectionStage()
{
    const auto& S = inputData.spectrum;
    const auto& T = targetData.response;
    const auto numBins = T.length();
    auto& correction = filterData.correction;
    makeVector (correction, numBins);

    for (std::size_t k = 0; k < numBins; ++k)
    {
        // A bin without input (S = 0) or with a non-finite target cannot be corrected: it is left as
        // it is, so one bad bin does not turn the whole filter into NaN.
        const auto value = k < S.length() ? complexArithmetic::divide (T.data[k], S.data[k]) : Complex (1.0, 0.0);
        correction.data[k] = isFinite (value) ? value : Complex (1.0, 0.0);
    }

    const auto magnitudeType = targetData.targetMagnitude;

    if (magnitudeType == TargetMagnitudeType::none || magnitudeType == TargetMagnitudeType::userDefined)
        return;

    const double limit = targetData.limitBoostCut;
    const double up = std::pow (10.0, limit / 20.0);
    const double down = std::pow (10.0, -limit / 20.0);
    const double* f = frequencyAxis.data.data();
    const auto numFrequencies = std::min (numBins, frequencyAxis.length());

    const auto magnitudes = magnitudesOf (correction, numFrequencies);
    std::vector<double> log10Magnitudes (numFrequencies);
    vectorMath::log10 (magnitudes.data(), log10Magnitudes.data(), numFrequencies);

    for (std::size_t k = 0; k < numFrequencies; ++k)
    {
        if (! inClosedBand (f[k], targetData.fminMagnitude, targetData.fmaxMagnitude))
            continue;

        auto& c = correction.data[k];
        const double magnitude = magnitudes[k];

        // A correction of exactly 0 has no phase to keep and stays 0.
        if (magnitude == 0.0)
            continue;

        const double levelDb = 20.0 * log10Magnitudes[k];

        if (levelDb > limit)
        {
            const double factor = up / magnitude;
            c = Complex (c.real() * factor, c.imag() * factor);
        }

        if (levelDb < -limit)
        {
            const double factor = down / std::hypot (c.real(), c.imag());
            c = Complex (c.real() * factor, c.imag() * factor);
        }
    }
}

void DesignEngine::calculateFilterStage()
{
    const auto n = NFFT;
    const auto h = n / 2;

    calculateFilterResponse();
    filterData.response = std::move (filterData.response) * filterData.correction;

    // A bin whose product is not finite is left uncorrected, as a correction bin that cannot be
    // computed is: one bad bin must not turn the whole filter into NaN.
    for (auto& bin : filterData.response.data)
        if (! isFinite (bin))
            bin = Complex (1.0, 0.0);

    const bool minimumPhaseFilter = filterData.minimumPhase;
    filterData.impulseResponse = scratch->filterImpulse.get ({ { filterData.response }, n, minimumPhaseFilter }, [&]
    {
        auto full = hermitianExtension (filterData.response, n);

        if (minimumPhaseFilter)
            return ifftRealPart (minimumPhase (full), n);

        return fftshift (ifftRealPart (full, n));
    });

    // Filter window.
    const auto length = filterData.windowLength;
    const auto shift = (std::int64_t) filterData.windowShift;
    const auto type = filterData.windowType;

    filterData.window = scratch->filterWindow.get ({ type, length, shift, n }, [&]
    {
        Matrix<double> window (1, n, std::vector<double> (n, 1.0));

        if (type == WindowType::hann)
        {
            window = shiftSamples (hannWindowAtStart (n, length), limitedShift (shift, n));
        }
        else if (type == WindowType::hann50)
        {
            // Ones up to the 1-based place s + h, the falling half after it.
            writeFallingHalfHann (window, (std::uint64_t) std::clamp<std::int64_t> (shift + (std::int64_t) h, 0, (std::int64_t) n), length);
        }

        return window;
    });

    const auto& window = filterData.window;

    makeVector (filterData.coefficients, n);

    for (std::size_t i = 0; i < n; ++i)
        filterData.coefficients.data[i] = window.data[i] * filterData.impulseResponse.data[i];

    filterData.coefficientSpectrum = fftOfReal (filterData.coefficients, n, h + 1, ! filterData.minimumPhase);
}

void DesignEngine::calculateFilterResponse()
{
    const auto numBins = frequencyAxis.length();
    const auto selection = getFilterResponseSelection();

    if (selection != FilterResponseType::userDefined)
    {
        fillVector (filterData.response, numBins, Complex (1.0, 0.0));
        return;
    }

    const auto& f = filterData;
    const auto& points = scratch->userPoints.get ({ f.numUserValues, { f.fi }, { f.mag }, { f.phi }, { frequencyAxis } }, [this]
    {
        return calculateUserPointsResponse (filterData.fi, filterData.mag, filterData.phi, filterData.numUserValues, frequencyAxis);
    });

    if (f.numIIRs == 0)
    {
        filterData.response = points;
        return;
    }

    const auto& sections = scratch->iirSections.get ({ { f.type }, { f.gain }, { f.freq }, { f.q }, { frequencyAxis }, fs }, [this]
    {
        return calculateIirCascadeResponse (filterData.type, filterData.gain, filterData.freq, filterData.q, frequencyAxis, fs,
                                            scratch->cascade);
    });

    // The product is formed in the response's own storage: no new block for every recompute.
    auto& response = filterData.response;
    response = points;
    response = std::move (response) * sections;
}
