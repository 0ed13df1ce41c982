#include "workspace/DesignComponent.h"

#include "appearance/ColourPalette.h"
#include "appearance/lafMorvelane.h"

namespace
{
constexpr int rowHeight = 24;
constexpr int labelFontHeight = 15;
constexpr float timeLabelFilterKerning = 0.034f;
constexpr juce::uint32 panelUnderColour = 0xFF323E44;
/** The shifts and window lengths are counted in whole samples. */
constexpr double sampleStep = 1.0;
} // namespace

//==============================================================================
DesignComponent::DesignComponent()
{
    // The design state already holds its construction defaults (DesignEngine's constructor).
    createChildren();
    setSize (600, 1000);

    applyPaletteColours();

    textButtonDefineFilter->setEnabled (false);
    comboBoxFilter->setSelectedId (FilterResponseType::none, juce::dontSendNotification);
    comboBoxWindow->setSelectedId (WindowType::none, juce::dontSendNotification);
    setInputWindowLengthControlsEnabled (false);
    comboBoxNfft->setText (juce::String (NFFT), juce::dontSendNotification);
    refreshSampleRateField();

    sliderShift->setValue (inputData.shift, juce::dontSendNotification);
    sliderWindowLength->setValue ((double) inputData.windowLength, juce::dontSendNotification);

    comboBoxTargetMagnitude->setSelectedId (TargetMagnitudeType::none, juce::dontSendNotification);
    comboBoxTargetPhase->setSelectedId (TargetPhaseType::none, juce::dontSendNotification);
    textButtonDefineTargetMagnitude->setEnabled (false);
    textButtonDefineTargetPhase->setEnabled (false);

    comboBoxWindowFilter->setSelectedId (WindowType::none, juce::dontSendNotification);
    setFilterWindowControlsEnabled (false);
    sliderWindowShiftFilter->setValue (filterData.windowShift, juce::dontSendNotification);
    sliderWindowLengthFilter->setValue ((double) filterData.windowLength, juce::dontSendNotification);
    refreshTimeLabels();

    toggleMinimumPhase->setToggleState (filterData.minimumPhase, juce::dontSendNotification);

    // The shift sliders reach -NFFT from the start, as they do after New, so that a negative shift
    // (also one set by the "Max" button) is shown as it is stored instead of clamped to 0.
    setSliderRangesFromNfft();
}

DesignComponent::~DesignComponent()
{
    // Children go first, in creation order, while the design state they show still exists.
    groupInputData.reset();
    groupTargetResponse.reset();
    groupFilterResponse.reset();
    textButtonDefineFilter.reset();
    comboBoxFilter.reset();
    textButtonLoad.reset();
    labelInputFile.reset();
    labelShift.reset();
    sliderShift.reset();
    labelWindow.reset();
    comboBoxWindow.reset();
    labelWindowLength.reset();
    sliderWindowLength.reset();
    labelShiftTime.reset();
    labelWindowLengthTime.reset();
    comboBoxTargetMagnitude.reset();
    comboBoxTargetPhase.reset();
    textButtonDefineTargetMagnitude.reset();
    textButtonDefineTargetPhase.reset();
    toggleShowMagnitude.reset();
    toggleShowPhases.reset();
    labelWindowFilter.reset();
    comboBoxWindowFilter.reset();
    labelShiftFilter.reset();
    sliderWindowShiftFilter.reset();
    labelWindowShiftTimeFilter.reset();
    labelWindowLengthFilter.reset();
    sliderWindowLengthFilter.reset();
    labelWindowLengthTimeFilter.reset();
    textButtonMaxWindowLengthFilter.reset();
    textButtonMaxWindowShiftFilter.reset();
    toggleMinimumPhase.reset();
    textButtonExport.reset();
    labelNFFT.reset();
    labelSampleRate.reset();
    labelNfftTime.reset();
    labelKhz.reset();
    toggleButtonUnwarp.reset();
    comboBoxNfft.reset();
    labelFs.reset();
}

//==============================================================================
template <typename Widget, typename... Args>
Widget& DesignComponent::addChild (std::unique_ptr<Widget>& child, Args&&... constructorArguments)
{
    child = std::make_unique<Widget> (std::forward<Args> (constructorArguments)...);
    addAndMakeVisible (*child);
    return *child;
}

template <typename ItemArray>
void DesignComponent::setUpComboBox (juce::ComboBox& comboBox, const ItemArray& items,
                                     const juce::String& textWhenNothingSelected)
{
    comboBox.setEditableText (false);
    comboBox.setJustificationType (juce::Justification::centredLeft);
    comboBox.setTextWhenNothingSelected (textWhenNothingSelected);
    comboBox.setTextWhenNoChoicesAvailable (juce::translate ("(no choices)"));

    for (const auto& item : items)
        comboBox.addItem (juce::translate (item.text), item.id);

    comboBox.addListener (this);
}

void DesignComponent::setUpLabel (juce::Label& label)
{
    label.setFont (juce::Font ((float) labelFontHeight, juce::Font::plain).withTypefaceStyle ("Regular"));
    label.setJustificationType (juce::Justification::centredLeft);
    label.setEditable (false, false, false);
    label.setColour (juce::TextEditor::textColourId, juce::Colour (0xFF000000));
    label.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
}

void DesignComponent::setUpSlider (ValueSlider& slider)
{
    slider.setSliderStyle (juce::Slider::IncDecButtons);
    slider.setTextBoxStyle (juce::Slider::TextBoxLeft, false, 80, rowHeight);
    slider.setLimits (0.0, 4096.0);
    slider.addListener (this);
}

void DesignComponent::setUpButton (juce::Button& button, const juce::String& buttonText)
{
    button.setButtonText (buttonText);
    button.addListener (this);
}

void DesignComponent::createChildren()
{
    using juce::translate;

    addChild (groupInputData, "groupInputData", translate ("Input Data"))
        .setTextLabelPosition (juce::Justification::left);
    addChild (groupTargetResponse, "groupTargetResponse", translate ("Target Response"))
        .setTextLabelPosition (juce::Justification::left);
    addChild (groupFilterResponse, "groupFilterResponse", translate ("Filter Response"))
        .setTextLabelPosition (juce::Justification::left);

    setUpButton (addChild (textButtonDefineFilter, "textButtonDefineFilter"), translate ("Define"));
    setUpComboBox (addChild (comboBoxFilter, "comboBoxFilter"), filterResponseItems, translate ("None"));
    setUpButton (addChild (textButtonLoad, "textButtonLoad"), translate ("Load"));

    setUpLabel (addChild (labelInputFile, "labelInputFile", juce::String()));
    labelInputFile->setEditable (true, true, false);
    labelInputFile->addListener (this);

    setUpLabel (addChild (labelShift, "labelShift", translate ("Shift")));
    setUpSlider (addChild (sliderShift, "sliderShift", sampleStep));
    setUpLabel (addChild (labelWindow, "labelWindow", translate ("Window")));
    setUpComboBox (addChild (comboBoxWindow, "comboBoxWindow"), windowItems, juce::String());
    setUpLabel (addChild (labelWindowLength, "labelWindowLength", translate ("Length")));
    setUpSlider (addChild (sliderWindowLength, "sliderWindowLength", sampleStep));

    setUpLabel (addChild (labelShiftTime, "labelShiftTime", translate ("0 ms")));
    labelShiftTime->setJustificationType (juce::Justification::centredRight);
    setUpLabel (addChild (labelWindowLengthTime, "labelWindowLengthTime", translate ("0 ms")));
    labelWindowLengthTime->setJustificationType (juce::Justification::centredRight);

    setUpComboBox (addChild (comboBoxTargetMagnitude, "comboBoxTargetMagnitude"), targetMagnitudeItems,
                   juce::String());
    setUpComboBox (addChild (comboBoxTargetPhase, "comboBoxTargetPhase"), targetPhaseItems, juce::String());
    setUpButton (addChild (textButtonDefineTargetMagnitude, "textButtonDefineTargetMagnitude"), translate ("Define"));
    setUpButton (addChild (textButtonDefineTargetPhase, "textButtonDefineTargetPhase"), translate ("Define"));

    setUpButton (addChild (toggleShowMagnitude, "toggleShowMagnitude"), translate ("Show Magnitudes"));
    toggleShowMagnitude->setToggleState (true, juce::dontSendNotification);
    setUpButton (addChild (toggleShowPhases, "toggleShowPhases"), translate ("Show Phases"));
    toggleShowPhases->setToggleState (true, juce::dontSendNotification);

    setUpLabel (addChild (labelWindowFilter, "labelWindowFilter", translate ("Window")));
    setUpComboBox (addChild (comboBoxWindowFilter, "comboBoxWindowFilter"), windowItems, juce::String());
    setUpLabel (addChild (labelShiftFilter, "labelShiftFilter", translate ("Shift")));
    setUpSlider (addChild (sliderWindowShiftFilter, "sliderWindowShiftFilter", sampleStep));
    setUpLabel (addChild (labelWindowShiftTimeFilter, "labelWindowShiftTimeFilter", translate ("0 ms")));
    labelWindowShiftTimeFilter->setJustificationType (juce::Justification::centredRight);
    setUpLabel (addChild (labelWindowLengthFilter, "labelWindowLengthFilter", translate ("Length")));
    setUpSlider (addChild (sliderWindowLengthFilter, "sliderWindowLengthFilter", sampleStep));
    setUpLabel (addChild (labelWindowLengthTimeFilter, "labelWindowLengthTimeFilter", translate ("0 ms")));
    labelWindowLengthTimeFilter->setJustificationType (juce::Justification::centredRight);
    labelWindowLengthTimeFilter->setFont (labelWindowLengthTimeFilter->getFont()
                                              .withExtraKerningFactor (timeLabelFilterKerning));

    setUpButton (addChild (textButtonMaxWindowLengthFilter, "textButtonMaxWindowLengthFilter"), translate ("Max"));
    setUpButton (addChild (textButtonMaxWindowShiftFilter, "textButtonMaxWindowShiftFilter"), translate ("Max"));
    setUpButton (addChild (toggleMinimumPhase, "toggleMinimumPhase"), translate ("Minimum Phase Design"));
    toggleMinimumPhase->setToggleState (true, juce::dontSendNotification);
    setUpButton (addChild (textButtonExport, "textButtonExport"), translate ("Export"));

    setUpLabel (addChild (labelNFFT, "labelNFFT", translate ("IR Length")));
    setUpLabel (addChild (labelSampleRate, "labelSampleRate", translate ("Sample Rate")));
    setUpLabel (addChild (labelNfftTime, "labelNfftTime", translate ("0 ms")));
    // The time labels have fixed widths: a long time is squeezed rather than cut.
    for (auto* label : { labelShiftTime.get(), labelWindowLengthTime.get(), labelWindowShiftTimeFilter.get(),
                         labelWindowLengthTimeFilter.get(), labelNfftTime.get() })
        label->setMinimumHorizontalScale (lafMorvelane::minimumTextScale);
    setUpLabel (addChild (labelKhz, "labelKhz", translate ("kHz\n")));
    setUpButton (addChild (toggleButtonUnwarp, "toggleButtonUnwarp"), translate ("Unwarp Phases"));

    auto& nfft = addChild (comboBoxNfft, "comboBoxNfft");
    nfft.setEditableText (false);
    nfft.setJustificationType (juce::Justification::centredLeft);
    nfft.setTextWhenNothingSelected (juce::String());
    nfft.setTextWhenNoChoicesAvailable (translate ("(no choices)"));

    for (int i = 0; i < (int) std::size (nfftSizes); ++i)
        nfft.addItem (translate (juce::String (nfftSizes[i])), i + 1);

    nfft.addListener (this);

    setUpLabel (addChild (labelFs, "labelFs", juce::String()));
    labelFs->setEditable (true, true, false);
    labelFs->addListener (this);
}

void DesignComponent::applyPaletteColours()
{
    for (auto* label : { labelInputFile.get(), labelFs.get() })
    {
        label->setColour (juce::Label::outlineColourId, colourPalette[ColourPaletteIndex::outline]);
        label->setColour (juce::Label::backgroundColourId, colourPalette[ColourPaletteIndex::background]);
    }

    for (auto* button : { textButtonExport.get(), textButtonLoad.get(), textButtonDefineFilter.get(),
                          textButtonDefineTargetMagnitude.get(), textButtonDefineTargetPhase.get() })
    {
        button->setColour (juce::TextButton::buttonColourId, colourPalette[ColourPaletteIndex::accent]);
        button->setColour (juce::TextButton::buttonOnColourId, colourPalette[ColourPaletteIndex::accent]);
        button->setColour (juce::TextButton::textColourOffId, colourPalette[ColourPaletteIndex::accentText]);
        button->setColour (juce::TextButton::textColourOnId, colourPalette[ColourPaletteIndex::accentText]);
    }
}

//==============================================================================
void DesignComponent::lookAndFeelChanged()
{
    applyPaletteColours();
}

void DesignComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (panelUnderColour));

    auto& lookAndFeel = getLookAndFeel();
    const auto id = juce::ResizableWindow::backgroundColourId;
    g.fillAll (lookAndFeel.isColourSpecified (id) ? lookAndFeel.findColour (id) : juce::Colours::black);
}

void DesignComponent::resized()
{
    const int w = proportionOfWidth (1.0f);
    const int h = rowHeight;

    groupInputData->setBounds (0, 0, getWidth(), 184);
    groupTargetResponse->setBounds (0, 184, getWidth(), 114);
    groupFilterResponse->setBounds (0, 298, getWidth(), 218);

    labelInputFile->setBounds (16, 36, w - 106, h);
    textButtonLoad->setBounds (w - 80, 36, 64, h);

    labelShift->setBounds (16, 72, 60, h);
    sliderShift->setBounds (82, 72, 150, h);
    labelShiftTime->setBounds (238, 72, 65, h);

    labelWindow->setBounds (16, 108, 60, h);
    comboBoxWindow->setBounds (82, 108, w - 102, h);

    labelWindowLength->setBounds (16, 144, 60, h);
    sliderWindowLength->setBounds (82, 144, 150, h);
    labelWindowLengthTime->setBounds (238, 144, 65, h);

    comboBoxTargetMagnitude->setBounds (16, 220, w - 106, h);
    textButtonDefineTargetMagnitude->setBounds (w - 80, 220, 64, h);
    comboBoxTargetPhase->setBounds (16, 256, w - 106, h);
    textButtonDefineTargetPhase->setBounds (w - 80, 256, 64, h);

    comboBoxFilter->setBounds (16, 334, w - 106, h);
    textButtonDefineFilter->setBounds (w - 80, 334, 64, h);

    labelWindowFilter->setBounds (16, 370, 60, h);
    comboBoxWindowFilter->setBounds (82, 370, w - 102, h);

    labelWindowLengthFilter->setBounds (16, 406, 60, h);
    sliderWindowLengthFilter->setBounds (82, 406, 120, h);
    labelWindowLengthTimeFilter->setBounds (208, 406, 65, h);
    textButtonMaxWindowLengthFilter->setBounds (w - 56, 406, 40, h);

    labelShiftFilter->setBounds (16, 442, 60, h);
    sliderWindowShiftFilter->setBounds (82, 442, 120, h);
    labelWindowShiftTimeFilter->setBounds (208, 442, 65, h);
    textButtonMaxWindowShiftFilter->setBounds (w - 56, 442, 40, h);

    toggleMinimumPhase->setBounds (16, 478, 150, h);

    labelNFFT->setBounds (16, 528, 90, h);
    comboBoxNfft->setBounds (112, 528, 120, h);
    labelNfftTime->setBounds (232, 528, 150, h);

    labelSampleRate->setBounds (16, 564, 90, h);
    labelFs->setBounds (112, 564, 120, h);
    labelKhz->setBounds (232, 564, 150, h);

    textButtonExport->setBounds (16, 600, w - 32, h);
    toggleShowMagnitude->setBounds (16, 636, 150, h);
    toggleShowPhases->setBounds (16, 672, 150, h);
    toggleButtonUnwarp->setBounds (16, 708, 150, h);
}

//==============================================================================
juce::String DesignComponent::timeLabelText (double numSamples) const
{
    return juce::String (numSamples / fs * 1000.0, 2) + " ms";
}

void DesignComponent::refreshTimeLabels()
{
    const auto notification = juce::dontSendNotification;
    labelNfftTime->setText (timeLabelText ((double) NFFT), notification);
    labelShiftTime->setText (timeLabelText (inputData.shift), notification);
    labelWindowLengthTime->setText (timeLabelText ((double) inputData.windowLength), notification);
    labelWindowShiftTimeFilter->setText (timeLabelText (filterData.windowShift), notification);
    labelWindowLengthTimeFilter->setText (timeLabelText ((double) filterData.windowLength), notification);
}

void DesignComponent::refreshSampleRateField()
{
    labelFs->setText (juce::String (fs, 1), juce::dontSendNotification);
}

void DesignComponent::setInputWindowLengthControlsEnabled (bool shouldBeEnabled)
{
    sliderWindowLength->setEnabled (shouldBeEnabled);
    labelWindowLengthTime->setEnabled (shouldBeEnabled);
}

void DesignComponent::setFilterWindowControlsEnabled (bool shouldBeEnabled)
{
    sliderWindowLengthFilter->setEnabled (shouldBeEnabled);
    labelWindowLengthTimeFilter->setEnabled (shouldBeEnabled);
    sliderWindowShiftFilter->setEnabled (shouldBeEnabled);
    labelWindowShiftTimeFilter->setEnabled (shouldBeEnabled);
    textButtonMaxWindowLengthFilter->setEnabled (shouldBeEnabled);
    textButtonMaxWindowShiftFilter->setEnabled (shouldBeEnabled);
}

void DesignComponent::setSliderRangesFromNfft()
{
    const auto n = (double) NFFT;
    sliderShift->setLimits (-n, n);
    sliderWindowLength->setLimits (0.0, n);
    sliderWindowLengthFilter->setLimits (0.0, n);
    sliderWindowShiftFilter->setLimits (-n, n);
}

//==============================================================================
void DesignComponent::refreshControls()
{
    const auto notification = juce::dontSendNotification;

    comboBoxNfft->setText (juce::String (NFFT), notification);
    refreshSampleRateField();
    labelInputFile->setText (inputData.fileName, notification);

    comboBoxWindow->setSelectedId (inputData.windowType, notification);
    setInputWindowLengthControlsEnabled (inputData.windowType != WindowType::none);

    comboBoxTargetMagnitude->setSelectedId (targetData.targetMagnitude, notification);
    comboBoxTargetPhase->setSelectedId (targetData.targetPhase, notification);
    textButtonDefineTargetMagnitude->setEnabled (targetData.targetMagnitude != TargetMagnitudeType::none);
    textButtonDefineTargetPhase->setEnabled (targetData.targetPhase != TargetPhaseType::none);

    // An id that no item has leaves the combo without a selection and the button as it was.
    comboBoxFilter->setSelectedId (filterData.filterType, notification);
    if (comboBoxFilter->getSelectedId() == FilterResponseType::none)
        textButtonDefineFilter->setEnabled (false);
    else if (comboBoxFilter->getSelectedId() == FilterResponseType::userDefined)
        textButtonDefineFilter->setEnabled (true);

    comboBoxWindowFilter->setSelectedId (filterData.windowType, notification);
    setFilterWindowControlsEnabled (filterData.windowType != WindowType::none);

    toggleMinimumPhase->setToggleState (filterData.minimumPhase, notification);

    // Ranges first, so that each value below is set inside its own slider's range. (A value the
    // program sets is kept even outside the range, so the order is not what keeps it.)
    setSliderRangesFromNfft();

    sliderShift->setValue (inputData.shift, notification);
    sliderWindowLength->setValue ((double) inputData.windowLength, notification);
    sliderWindowShiftFilter->setValue (filterData.windowShift, notification);
    sliderWindowLengthFilter->setValue ((double) filterData.windowLength, notification);
    refreshTimeLabels();
}

//==============================================================================
/** Stores the target kind shown by a target combo box (an unknown text stores nothing), enables its
    Define button for every kind but None, and recomputes. Both kinds use id 1 for None. */
template <typename ItemArray>
void DesignComponent::storeTargetType (const ItemArray& items, const juce::ComboBox& comboBox, std::int32_t& type,
                                       juce::Button& defineButton)
{
    const int id = findItemId (items, comboBox.getText());

    if (id != 0)
    {
        type = id;
        defineButton.setEnabled (id != items[0].id);
    }

    targetChanged = true;
    calculate (true);
}

//==============================================================================
void DesignComponent::comboBoxChanged (juce::ComboBox* comboBoxThatHasChanged)
{
    if (comboBoxThatHasChanged == comboBoxFilter.get())
    {
        const int id = comboBoxFilter->getSelectedId();

        if (id == FilterResponseType::none)
            textButtonDefineFilter->setEnabled (false);
        else if (id == FilterResponseType::userDefined)
            textButtonDefineFilter->setEnabled (true);

        filterData.filterType = id;
        calculateFilterResponse();
        filterChanged = true;
        calculate (true);
    }
    else if (comboBoxThatHasChanged == comboBoxWindow.get())
    {
        const int type = findItemId (windowItems, comboBoxWindow->getText());
        setInputWindowLengthControlsEnabled (type != WindowType::none);

        if (type != 0)
            inputData.windowType = type;

        inputChanged = true;
        calculate (true);
    }
    else if (comboBoxThatHasChanged == comboBoxTargetMagnitude.get())
    {
        storeTargetType (targetMagnitudeItems, *comboBoxTargetMagnitude, targetData.targetMagnitude,
                         *textButtonDefineTargetMagnitude);
    }
    else if (comboBoxThatHasChanged == comboBoxTargetPhase.get())
    {
        storeTargetType (targetPhaseItems, *comboBoxTargetPhase, targetData.targetPhase, *textButtonDefineTargetPhase);
    }
    else if (comboBoxThatHasChanged == comboBoxWindowFilter.get())
    {
        const int type = findItemId (windowItems, comboBoxWindowFilter->getText());
        setFilterWindowControlsEnabled (type != WindowType::none);

        if (type != 0)
            filterData.windowType = type;

        filterChanged = true;
        calculate (true);
    }
    else if (comboBoxThatHasChanged == comboBoxNfft.get())
    {
        const auto n = comboBoxNfft->getText().getLargeIntValue();

        // Only the offered sizes reach the engine; a size of 0 would leave it without a spectrum.
        if (n > 0 && isSupportedNfft ((std::uint64_t) n))
            changeNfft ((std::uint64_t) n);
    }
}

void DesignComponent::changeNfft (std::uint64_t newNfft)
{
    if (newNfft == NFFT)
        return;

    NFFT = newNfft;
    rebuildAxes();

    // Each stored count is judged by its slider, which still has the old range.
    const auto limit = (double) NFFT;
    const auto n = (std::int32_t) NFFT;

    if (sliderShift->getValue() > limit)
        inputData.shift = n;
    if (sliderShift->getValue() < -limit)
        inputData.shift = -n;
    if (sliderWindowLength->getValue() > limit)
        inputData.windowLength = NFFT;
    if (sliderWindowShiftFilter->getValue() > limit)
        filterData.windowShift = n;
    if (sliderWindowShiftFilter->getValue() < -limit)
        filterData.windowShift = -n;
    if (sliderWindowLengthFilter->getValue() > limit)
        filterData.windowLength = NFFT;

    const auto notification = juce::dontSendNotification;
    sliderShift->setValue (inputData.shift, notification);
    sliderWindowLength->setValue ((double) inputData.windowLength, notification);
    sliderWindowShiftFilter->setValue (filterData.windowShift, notification);
    sliderWindowLengthFilter->setValue ((double) filterData.windowLength, notification);
    refreshTimeLabels();

    setSliderRangesFromNfft();

    axesChanged = true;
    calculateInputFromMeasurement();
    calculate (true);
}

//==============================================================================
bool DesignComponent::storeWindowLength (juce::Slider& slider, std::uint64_t& windowLength)
{
    const double value = slider.getValue();

    // A window of no samples, or longer than the impulse response, is refused.
    if (! (value >= 1.0 && value < (double) NFFT + 1.0))
    {
        slider.setValue ((double) windowLength, juce::dontSendNotification);
        return false;
    }

    windowLength = (std::uint64_t) value;
    return true;
}

void DesignComponent::sliderValueChanged (juce::Slider* sliderThatWasMoved)
{
    const auto notification = juce::dontSendNotification;

    if (sliderThatWasMoved == sliderShift.get())
    {
        inputData.shift = (std::int32_t) sliderShift->getValue();
        labelShiftTime->setText (timeLabelText (inputData.shift), notification);
        inputChanged = true;
        calculate (true);
    }
    else if (sliderThatWasMoved == sliderWindowLength.get())
    {
        storeWindowLength (*sliderWindowLength, inputData.windowLength);
        labelWindowLengthTime->setText (timeLabelText ((double) inputData.windowLength), notification);
        inputChanged = true;
        calculate (true);
    }
    else if (sliderThatWasMoved == sliderWindowShiftFilter.get())
    {
        filterData.windowShift = (std::int32_t) sliderWindowShiftFilter->getValue();
        labelWindowShiftTimeFilter->setText (timeLabelText (filterData.windowShift), notification);
        filterChanged = true;
        calculate (true);
    }
    else if (sliderThatWasMoved == sliderWindowLengthFilter.get())
    {
        storeWindowLength (*sliderWindowLengthFilter, filterData.windowLength);
        labelWindowLengthTimeFilter->setText (timeLabelText ((double) filterData.windowLength), notification);
        filterChanged = true;
        calculate (true);
    }
}

//==============================================================================
int DesignComponent::getFilterResponseSelection() const
{
    // The children exist from the end of construction to the start of destruction only.
    return comboBoxFilter != nullptr ? comboBoxFilter->getSelectedId() : filterData.filterType;
}

void DesignComponent::addListener (Listener* listener)
{
    listeners.add (listener);
}

void DesignComponent::designCalculated()
{
    const juce::Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& listener) { listener.designChanged (this); });
}

//==============================================================================
void DesignComponent::showOpeningError (const juce::String& message)
{
    juce::AlertWindow::showMessageBox (juce::AlertWindow::WarningIcon, juce::translate (openingFileTitle),
                                       juce::translate (message), juce::String(), nullptr);
}

void DesignComponent::loadProject (juce::String path)
{
    const auto result = readProject (path);

    if (result.failed())
    {
        showOpeningError (result.getErrorMessage());
        return;
    }

    refreshControls();
    calculate (true);
    warnAboutLeftOutSections();
}

bool DesignComponent::saveProject (juce::File file)
{
    const auto result = writeProject (file);

    if (result.failed())
    {
        juce::AlertWindow::showMessageBox (juce::AlertWindow::WarningIcon, juce::translate ("Saving File"),
                                           juce::translate ("Could not write to file. ") + result.getErrorMessage(),
                                           juce::String(), nullptr);
        return false;
    }

    return true;
}
