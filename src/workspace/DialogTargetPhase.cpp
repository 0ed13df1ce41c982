#include "workspace/DialogTargetPhase.h"

#include <algorithm>
#include <cmath>

#include "workspace/DialogControls.h"

namespace
{
/** A phase curve on its frequency grid, indexed from 0. */
struct Curve
{
    const double* f;
    const double* p;
    std::size_t n;
};

bool isZero (double v)
{
    return v == 0.0;
}

bool haveOppositeSigns (double x, double y)
{
    return (x > 0.0 && y < 0.0) || (x < 0.0 && y > 0.0);
}

/** Index of the grid point nearest `frequencyHz`; a later point replaces the best one only when it
    is strictly nearer, so a limit halfway between two points belongs to the lower one. */
std::size_t nearestPoint (const Curve& c, double frequencyHz)
{
    std::size_t best = 0;
    for (std::size_t k = 1; k < c.n; ++k)
        if (std::abs (frequencyHz - c.f[k]) < std::abs (frequencyHz - c.f[best]))
            best = k;
    return best;
}

/** Walks the pairs (k-1, k) from k = start down to k = lowest + 1. An exact zero at k-1 gives
    f[k-1]; a sign change gives f[k], the point of the pair nearer the limit. */
double searchDown (const Curve& c, std::size_t start, std::size_t lowest, double fallback)
{
    if (isZero (c.p[start]))
        return c.f[start];
    for (std::size_t k = start; k > lowest; --k)
    {
        if (isZero (c.p[k - 1]))
            return c.f[k - 1];
        if (haveOppositeSigns (c.p[k], c.p[k - 1]))
            return c.f[k];
    }
    return fallback;
}

/** Walks the pairs (k, k+1) from k = a up to k = b - 1. An exact zero at k+1 gives f[k+1]; a sign
    change gives f[k], the point of the pair nearer the lower limit. */
double searchUpToUpperLimit (const Curve& c, std::size_t a, std::size_t b)
{
    if (isZero (c.p[a]))
        return c.f[a];
    for (std::size_t k = a; k < b; ++k)
    {
        if (isZero (c.p[k + 1]))
            return c.f[k + 1];
        if (haveOppositeSigns (c.p[k], c.p[k + 1]))
            return c.f[k];
    }
    return c.f[b];
}

/** Walks the pairs (k, k+1) above the upper limit, starting one point above it: the pair (b, b+1)
    itself is not looked at for a sign change, although an exact zero at b+1 counts. */
double searchAboveUpperLimit (const Curve& c, std::size_t b)
{
    if (isZero (c.p[b]))
        return c.f[b];
    for (std::size_t k = b + 1; k + 1 < c.n; ++k)
    {
        if (isZero (c.p[k]))
            return c.f[k];
        if (isZero (c.p[k + 1]))
            return c.f[k + 1];
        if (haveOppositeSigns (c.p[k], c.p[k + 1]))
            return c.f[k];
    }
    return c.f[c.n - 1];
}

/** The readout's number as the user sees it: always two decimals. */
juce::String readoutText (double frequencyHz)
{
    return juce::String (frequencyHz, 2);
}

/** Moves `slider` to whichever of `below` and `above` is nearer its value, a tie going to `above`,
    as if the user had entered it: on the slider's steps. */
void snapToNearer (juce::Slider& slider, const juce::Label& below, const juce::Label& above)
{
    const double c1 = below.getText().getDoubleValue();
    const double c2 = above.getText().getDoubleValue();
    const double v = slider.getValue();
    const double nearer = std::abs (v - c2) <= std::abs (v - c1) ? c2 : c1;
    slider.setValue (slider.snapValue (nearer, juce::Slider::notDragging), juce::dontSendNotification);
}
} // namespace

DialogTargetPhase::DialogTargetPhase()
{
    using namespace DialogControls;

    sliderFMin = makeValueSlider ("sliderFMin", 0.0, 24000.0, 60);
    addAndMakeVisible (sliderFMin.get());
    sliderFMin->addListener (this);
    sliderFMin->setBounds (30, 42, 130, 24);

    sliderFMax = makeValueSlider ("sliderFMax", 0.0, 24000.0, 60);
    addAndMakeVisible (sliderFMax.get());
    sliderFMax->addListener (this);
    sliderFMax->setBounds (162, 42, 130, 24);

    labelFrequencyRange = makeLabel ("labelFrequencyRange", "Frequency Range", juce::Justification::centred);
    addAndMakeVisible (labelFrequencyRange.get());
    labelFrequencyRange->setBounds (30, 12, 258, 24);

    textButtonOk = makeTextButton ("textButtonOk", "OK");
    addAndMakeVisible (textButtonOk.get());
    textButtonOk->addListener (this);

    textButtonCancel = makeTextButton ("textButtonCancel", "Cancel");
    addAndMakeVisible (textButtonCancel.get());
    textButtonCancel->addListener (this);

    labelF1 = makeLabel ("labelF1", "0.0", juce::Justification::centred);
    addAndMakeVisible (labelF1.get());
    labelF2 = makeLabel ("labelF2", "0.0", juce::Justification::centred);
    addAndMakeVisible (labelF2.get());
    labelF3 = makeLabel ("labelF3", "0.0", juce::Justification::centred);
    addAndMakeVisible (labelF3.get());
    labelF4 = makeLabel ("labelF4", "0.0", juce::Justification::centred);
    addAndMakeVisible (labelF4.get());

    textButtonSnap = makeTextButton ("textButtonSnap", "Snap to zero");
    addAndMakeVisible (textButtonSnap.get());
    textButtonSnap->addListener (this);

    colourAsAccent (*textButtonOk);
    setSize (600, 400);
}

DialogTargetPhase::~DialogTargetPhase()
{
    sliderFMin = nullptr;
    sliderFMax = nullptr;
    labelFrequencyRange = nullptr;
    textButtonOk = nullptr;
    textButtonCancel = nullptr;
    labelF1 = nullptr;
    labelF2 = nullptr;
    labelF3 = nullptr;
    labelF4 = nullptr;
    textButtonSnap = nullptr;
}

void DialogTargetPhase::paint (juce::Graphics& g)
{
    DialogControls::paintFormBackground (*this, g);
}

void DialogTargetPhase::resized()
{
    textButtonOk->setBounds (210, 162, 100, 24);
    textButtonCancel->setBounds (102, 162, 100, 24);
    labelF1->setBounds (30, 78, 64, 24);
    labelF2->setBounds (94, 78, 64, 24);
    labelF3->setBounds (158, 78, 64, 24);
    labelF4->setBounds (222, 78, 64, 24);
    textButtonSnap->setBounds (getWidth() / 2 - 75, 114, 150, 24);
}

void DialogTargetPhase::writeBandToTarget()
{
    targetData->fminPhase = sliderFMin->getValue();
    targetData->fmaxPhase = sliderFMax->getValue();
}

void DialogTargetPhase::sliderValueChanged (juce::Slider* slider)
{
    if ((slider == sliderFMin.get() || slider == sliderFMax.get()) && targetData != nullptr)
    {
        writeBandToTarget();
        updateZeroCrossings();
    }
}

void DialogTargetPhase::buttonClicked (juce::Button* button)
{
    if (button == textButtonOk.get())
    {
        if (targetData != nullptr)
            writeBandToTarget();
        DialogControls::endModalRun (*this, 1);
    }
    else if (button == textButtonCancel.get())
    {
        DialogControls::endModalRun (*this, 0);
    }
    else if (button == textButtonSnap.get() && targetData != nullptr)
    {
        snapToNearer (*sliderFMin, *labelF1, *labelF2);
        snapToNearer (*sliderFMax, *labelF3, *labelF4);
    }
}

void DialogTargetPhase::updateZeroCrossings()
{
    // A phase shorter than its grid (or the reverse) is searched only where both are defined.
    const Curve c { frequencies.data.data(), phase.data.data(), std::min (frequencies.length(), phase.length()) };
    if (c.n == 0)
        return;

    const double lowerLimit = targetData != nullptr ? targetData->fminPhase : sliderFMin->getValue();
    const double upperLimit = targetData != nullptr ? targetData->fmaxPhase : sliderFMax->getValue();
    const std::size_t a = nearestPoint (c, lowerLimit);
    const std::size_t b = nearestPoint (c, upperLimit);

    zeroCrossings[0] = searchDown (c, a, 0, c.f[0]);
    zeroCrossings[1] = searchUpToUpperLimit (c, a, b);
    zeroCrossings[2] = searchDown (c, b, a, c.f[b]);
    zeroCrossings[3] = searchAboveUpperLimit (c, b);

    labelF1->setText (readoutText (zeroCrossings[0]), juce::dontSendNotification);
    labelF2->setText (readoutText (zeroCrossings[1]), juce::dontSendNotification);
    labelF3->setText (readoutText (zeroCrossings[2]), juce::dontSendNotification);
    labelF4->setText (readoutText (zeroCrossings[3]), juce::dontSendNotification);
}
