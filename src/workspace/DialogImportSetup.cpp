#include "workspace/DialogImportSetup.h"

#include "appearance/ColourPalette.h"
#include "design/DesignLimits.h"
#include "workspace/DialogControls.h"

namespace
{
constexpr int controlX = 12, controlWidth = 180, controlHeight = 24;

/** The rows of the form from top to bottom, in pixels. */
namespace Row
{
constexpr int magnitudeUnitsLabel = 12, magnitudeUnits = 42, phaseUnitsLabel = 78, phaseUnits = 108,
              delimiterHeader = 144, delimiter = 174, targetLevelLabel = 210, targetLevel = 240,
              minimumPhase = 276, ok = 312;
}

std::unique_ptr<juce::ComboBox> makeUnitComboBox (const juce::String& componentName, const char* firstItem,
                                                  const char* secondItem)
{
    auto comboBox = std::make_unique<juce::ComboBox> (componentName);
    comboBox->setEditableText (false);
    comboBox->setJustificationType (juce::Justification::centredLeft);
    comboBox->setTextWhenNothingSelected ({});
    comboBox->setTextWhenNoChoicesAvailable (juce::translate ("(no choices)"));
    comboBox->addItem (juce::translate (juce::CharPointer_UTF8 (firstItem)), 1);
    comboBox->addItem (juce::translate (juce::CharPointer_UTF8 (secondItem)), 2);
    return comboBox;
}

std::unique_ptr<juce::Label> makeHeading (const juce::String& componentName, const juce::String& text)
{
    return DialogControls::makeLabel (componentName, text, juce::Justification::centredLeft);
}
} // namespace

DialogImportSetup::DialogImportSetup (int* magnitudeUnitsToEdit, int* phaseUnitsToEdit,
                                      juce::String* delimiterToEdit, double* targetLevelToEdit,
                                      bool* minimumPhaseToEdit)
{
    labelMagnitudeUnits = makeHeading ("labelMagnitudeUnits", "Magnitude Units");
    addAndMakeVisible (*labelMagnitudeUnits);

    comboBoxMagnitudeUnits = makeUnitComboBox ("comboBoxMagnitudeUnits", "Linear", "Decibels [dB]");
    addAndMakeVisible (*comboBoxMagnitudeUnits);
    comboBoxMagnitudeUnits->addListener (this);

    labelPhaseUnits = makeHeading ("labelPhaseUnits", "Phase Units");
    addAndMakeVisible (*labelPhaseUnits);

    comboBoxPhaseUnits = makeUnitComboBox ("comboBoxPhaseUnits", "Degrees [\xc2\xb0]", "Radians [rad]");
    addAndMakeVisible (*comboBoxPhaseUnits);
    comboBoxPhaseUnits->addListener (this);

    labelDelimiterHeader = makeHeading ("labelDelimiterHeader", "Delimiter");
    addAndMakeVisible (*labelDelimiterHeader);

    labelDelimiter = std::make_unique<juce::Label> ("labelDelimiter", "\\t");
    labelDelimiter->setJustificationType (juce::Justification::centred);
    labelDelimiter->setEditable (true, true, false);
    addAndMakeVisible (*labelDelimiter);
    labelDelimiter->addListener (this);

    labelTargetLevel = makeHeading ("labelTargetLevel", "Nominal Target Level");
    addAndMakeVisible (*labelTargetLevel);

    // The range is the reference level's domain (see DesignLimits); a typed value beyond it is
    // pulled to its nearest end.
    sliderTargetLevel = DialogControls::makeValueSlider ("sliderTargetLevel", DesignLimits::minTargetLevelDb,
                                                         DesignLimits::maxTargetLevelDb, 80);
    sliderTargetLevel->setTextBoxStyle (juce::Slider::TextBoxLeft, false, 80, 20);
    sliderTargetLevel->setTextValueSuffix ("dB");
    sliderTargetLevel->setValue (80.0, juce::dontSendNotification);
    addAndMakeVisible (*sliderTargetLevel);
    sliderTargetLevel->addListener (this);

    toggleButtonMinimumPhase = std::make_unique<juce::ToggleButton> (juce::translate ("Import as Minimum Phase"));
    toggleButtonMinimumPhase->setName ("toggleButtonMinimumPhase");
    addAndMakeVisible (*toggleButtonMinimumPhase);
    toggleButtonMinimumPhase->addListener (this);

    textButtonOk = DialogControls::makeTextButton ("textButtonOk", "OK");
    addAndMakeVisible (*textButtonOk);
    textButtonOk->addListener (this);

    labelDelimiter->setColour (juce::Label::outlineColourId, colourPalette[ColourPaletteIndex::outline]);
    labelDelimiter->setColour (juce::Label::backgroundColourId, colourPalette[ColourPaletteIndex::background]);
    DialogControls::colourAsAccent (*textButtonOk);

    setSize (formWidth, formHeight);

    magnitudeUnits = magnitudeUnitsToEdit;
    phaseUnits = phaseUnitsToEdit;
    delimiter = delimiterToEdit;

    if (targetLevelToEdit != nullptr)
        targetLevel = targetLevelToEdit;

    if (minimumPhaseToEdit != nullptr)
        minimumPhase = minimumPhaseToEdit;

    comboBoxMagnitudeUnits->setSelectedId (*magnitudeUnits, juce::dontSendNotification);
    comboBoxPhaseUnits->setSelectedId (*phaseUnits, juce::dontSendNotification);
    labelDelimiter->setText (*delimiter, juce::dontSendNotification);

    if (targetLevel != nullptr)
    {
        sliderTargetLevel->setValue (*targetLevel, juce::dontSendNotification);
    }
    else
    {
        labelTargetLevel->setVisible (false);
        sliderTargetLevel->setVisible (false);
    }

    if (minimumPhase != nullptr)
        toggleButtonMinimumPhase->setToggleState (*minimumPhase, juce::dontSendNotification);
    else
        toggleButtonMinimumPhase->setVisible (false);
}

DialogImportSetup::~DialogImportSetup()
{
    labelMagnitudeUnits = nullptr;
    comboBoxMagnitudeUnits = nullptr;
    labelPhaseUnits = nullptr;
    comboBoxPhaseUnits = nullptr;
    labelDelimiterHeader = nullptr;
    labelDelimiter = nullptr;
    labelTargetLevel = nullptr;
    sliderTargetLevel = nullptr;
    toggleButtonMinimumPhase = nullptr;
    textButtonOk = nullptr;
}

void DialogImportSetup::paint (juce::Graphics& g)
{
    DialogControls::paintFormBackground (*this, g);
}

void DialogImportSetup::resized()
{
    const auto place = [] (juce::Component& component, int y)
    {
        component.setBounds (controlX, y, controlWidth, controlHeight);
    };

    place (*labelMagnitudeUnits, Row::magnitudeUnitsLabel);
    place (*comboBoxMagnitudeUnits, Row::magnitudeUnits);
    place (*labelPhaseUnits, Row::phaseUnitsLabel);
    place (*comboBoxPhaseUnits, Row::phaseUnits);
    place (*labelDelimiterHeader, Row::delimiterHeader);
    place (*labelDelimiter, Row::delimiter);
    place (*labelTargetLevel, Row::targetLevelLabel);
    place (*sliderTargetLevel, Row::targetLevel);
    place (*toggleButtonMinimumPhase, Row::minimumPhase);
    place (*textButtonOk, Row::ok);
}

void DialogImportSetup::comboBoxChanged (juce::ComboBox* comboBoxThatHasChanged)
{
    if (comboBoxThatHasChanged == comboBoxMagnitudeUnits.get())
        *magnitudeUnits = comboBoxMagnitudeUnits->getSelectedId();
    else if (comboBoxThatHasChanged == comboBoxPhaseUnits.get())
        *phaseUnits = comboBoxPhaseUnits->getSelectedId();
}

void DialogImportSetup::labelTextChanged (juce::Label* labelThatHasChanged)
{
    if (labelThatHasChanged == labelDelimiter.get())
        *delimiter = labelDelimiter->getText();
}

void DialogImportSetup::buttonClicked (juce::Button* buttonThatWasClicked)
{
    if (buttonThatWasClicked == textButtonOk.get())
        DialogControls::endModalRun (*this, 1);
    else if (buttonThatWasClicked == toggleButtonMinimumPhase.get() && minimumPhase != nullptr)
        *minimumPhase = toggleButtonMinimumPhase->getToggleState();
}

void DialogImportSetup::sliderValueChanged (juce::Slider* sliderThatWasMoved)
{
    if (sliderThatWasMoved == sliderTargetLevel.get() && targetLevel != nullptr)
        *targetLevel = sliderTargetLevel->getValue();
}
