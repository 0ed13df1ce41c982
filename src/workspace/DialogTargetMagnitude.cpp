#include "workspace/DialogTargetMagnitude.h"

#include "design/DesignLimits.h"
#include "workspace/DialogControls.h"

DialogTargetMagnitude::DialogTargetMagnitude()
{
    using namespace DialogControls;

    labelNominalTargetLevel = makeLabel ("new label", "Nominal Target Level", juce::Justification::centredLeft);
    addAndMakeVisible (labelNominalTargetLevel.get());
    labelNominalTargetLevel->setBounds (12, 12, 150, 24);

    labelBoostCutLimit = makeLabel ("new label", "Boost Cut Limit (+/-)", juce::Justification::centredLeft);
    addAndMakeVisible (labelBoostCutLimit.get());
    labelBoostCutLimit->setBounds (12, 48, 150, 24);

    // The two level sliders' ranges are the values' domains (see DesignLimits): a typed value
    // beyond a range is pulled to its nearest end.
    sliderBoostCutLimit = makeValueSlider ("sliderBoostCutLimit", DesignLimits::minBoostCutLimitDb,
                                           DesignLimits::maxBoostCutLimitDb, 80);
    addAndMakeVisible (sliderBoostCutLimit.get());
    sliderBoostCutLimit->addListener (this);
    sliderBoostCutLimit->setBounds (162, 48, 150, 24);

    sliderNominalTargetLevel = makeValueSlider ("sliderNominalTargetLevel", DesignLimits::minTargetLevelDb,
                                                DesignLimits::maxTargetLevelDb, 80);
    addAndMakeVisible (sliderNominalTargetLevel.get());
    sliderNominalTargetLevel->addListener (this);
    sliderNominalTargetLevel->setBounds (162, 12, 150, 24);

    sliderFMin = makeValueSlider ("sliderFMin", 0.0, 24000.0, 60);
    addAndMakeVisible (sliderFMin.get());
    sliderFMin->addListener (this);
    sliderFMin->setBounds (30, 102, 130, 24);

    sliderFMax = makeValueSlider ("sliderFMax", 0.0, 24000.0, 60);
    addAndMakeVisible (sliderFMax.get());
    sliderFMax->addListener (this);
    sliderFMax->setBounds (162, 102, 130, 24);

    labelFrequencyRange = makeLabel ("new label", "Frequency Range", juce::Justification::centred);
    addAndMakeVisible (labelFrequencyRange.get());
    labelFrequencyRange->setBounds (30, 72, 258, 24);

    textButtonOk = makeTextButton ("textButtonOk", "OK");
    addAndMakeVisible (textButtonOk.get());
    textButtonOk->addListener (this);
    textButtonOk->setBounds (210, 144, 100, 24);

    textButtonCancel = makeTextButton ("textButtonCancel", "Cancel");
    addAndMakeVisible (textButtonCancel.get());
    textButtonCancel->addListener (this);
    textButtonCancel->setBounds (102, 144, 100, 24);

    setSize (600, 400);
    colourAsAccent (*textButtonOk);
}

DialogTargetMagnitude::~DialogTargetMagnitude()
{
    labelNominalTargetLevel = nullptr;
    labelBoostCutLimit = nullptr;
    sliderBoostCutLimit = nullptr;
    sliderNominalTargetLevel = nullptr;
    sliderFMin = nullptr;
    sliderFMax = nullptr;
    labelFrequencyRange = nullptr;
    textButtonOk = nullptr;
    textButtonCancel = nullptr;
}

void DialogTargetMagnitude::paint (juce::Graphics& g)
{
    DialogControls::paintFormBackground (*this, g);
}

void DialogTargetMagnitude::resized()
{
}

void DialogTargetMagnitude::sliderValueChanged (juce::Slider*)
{
}

void DialogTargetMagnitude::buttonClicked (juce::Button* button)
{
    if (button == textButtonOk.get())
    {
        if (targetData != nullptr)
        {
            targetData->nominalTargetLevel = sliderNominalTargetLevel->getValue();
            targetData->limitBoostCut = sliderBoostCutLimit->getValue();
            targetData->fminMagnitude = sliderFMin->getValue();
            targetData->fmaxMagnitude = sliderFMax->getValue();
        }
        DialogControls::endModalRun (*this, 1);
    }
    else if (button == textButtonCancel.get())
    {
        DialogControls::endModalRun (*this, 0);
    }
}
