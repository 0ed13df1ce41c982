// DesignComponent's button handler: the dialogs, the measurement load, the user-defined target
// imports, the filter-window buttons, minimum-phase design, the redraw toggles and the export.
#include "workspace/DesignComponent.h"

#include <cmath>

#include "workspace/DialogTargetMagnitude.h"
#include "workspace/DialogTargetPhase.h"
#include "workspace/FilterComponent.h"

namespace
{
/** Item text of the target combo boxes that selects a target read from a CSV file. */
constexpr const char* userDefinedItem = "User Defined";

/** Width and height (px) of the two target forms in their window, whatever they set themselves. */
constexpr int targetFormWidth = 320;
constexpr int targetFormHeight = 200;

/** Width and height (px) of the filter-response editor in its window. */
constexpr int filterEditorWidth = 1024;
constexpr int filterEditorHeight = 768;

/** Runs `form` in a modal dialog window that owns it and deletes it when the run ends. The form
    gets the owner's look-and-feel; the window its alert-window background colour. Returns the value
    with which the form left the modal state: 1 for OK; 0 for Cancel, the escape key and the
    window's close button. */
int runModalForm (juce::Component& owner,
                  std::unique_ptr<juce::Component> form,
                  const juce::String& title,
                  int width,
                  int height)
{
    auto& lookAndFeel = owner.getLookAndFeel();
    form->setLookAndFeel (&lookAndFeel);

    juce::DialogWindow::LaunchOptions options;
    auto* content = form.release();
    options.content.setOwned (content);
    options.dialogTitle = juce::translate (title);
    options.dialogBackgroundColour = lookAndFeel.findColour (juce::AlertWindow::backgroundColourId);
    options.componentToCentreAround = nullptr;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = true;
    options.useBottomRightCornerResizer = false;
    content->setSize (width, height);
    return options.runModal();
}

/** Runs a form that writes into `block` while the user edits, made by `makeForm` only once the
    block's state has been kept (a form may already write when it opens). When the run ends with
    anything but OK, the block gets that state back bit for bit: the design was not recomputed
    during the run, so its computed results still belong to it. Returns the run's result. */
template <typename Block, typename MakeForm>
int runModalEdit (juce::Component& owner, Block& block, MakeForm makeForm, const juce::String& title, int width,
                  int height)
{
    const Block kept = block;
    const int result = runModalForm (owner, makeForm(), title, width, height);

    if (result == 0)
        block = kept;

    return result;
}

/** The phase of each complex bin, atan2 (imaginary, real), in radians from -pi to pi. */
Matrix<double> phaseOf (const Matrix<std::complex<double>>& spectrum)
{
    const auto n = spectrum.length();
    Matrix<double> phase (1, n);
    for (std::size_t k = 0; k < n; ++k)
        phase.data[k] = std::atan2 (spectrum.data[k].imag(), spectrum.data[k].real());
    return phase;
}
} // namespace

void DesignComponent::buttonClicked (juce::Button* button)
{
    if (button == textButtonDefineFilter.get())
    {
        const auto makeEditor = [this] { return std::make_unique<FilterComponent> (&filterData, fs); };
        if (runModalEdit (*this, filterData, makeEditor, "Filter Response", filterEditorWidth, filterEditorHeight) != 0)
        {
            filterChanged = true;
            calculate (true);
        }
    }
    else if (button == textButtonLoad.get())
    {
        juce::FileChooser chooser (juce::translate ("Select a measurement..."), juce::File(), "*.frd,*.txt", true, false, nullptr);
        if (chooser.browseForFileToOpen())
        {
            labelInputFile->setText (chooser.getResult().getFullPathName(), juce::dontSendNotification);
            labelTextChanged (labelInputFile.get());
        }
    }
    else if (button == textButtonDefineTargetMagnitude.get())
    {
        if (comboBoxTargetMagnitude->getText() == juce::translate (userDefinedItem))
        {
            importUserDefinedMagnitude();
            return;
        }

        auto form = std::make_unique<DialogTargetMagnitude>();
        form->targetData = &targetData;
        form->sliderNominalTargetLevel->setValue (targetData.nominalTargetLevel, juce::sendNotificationAsync);
        form->sliderBoostCutLimit->setValue (targetData.limitBoostCut, juce::sendNotificationAsync);
        form->sliderFMin->setValue (targetData.fminMagnitude, juce::sendNotificationAsync);
        form->sliderFMax->setValue (targetData.fmaxMagnitude, juce::sendNotificationAsync);

        if (runModalForm (*this, std::move (form), "Target Magnitude", targetFormWidth, targetFormHeight) != 0)
        {
            targetChanged = true;
            calculate (true);
        }
    }
    else if (button == textButtonDefineTargetPhase.get())
    {
        if (comboBoxTargetPhase->getText() == juce::translate (userDefinedItem))
        {
            importUserDefinedPhase();
            return;
        }

        const auto makeForm = [this]
        {
            auto form = std::make_unique<DialogTargetPhase>();
            form->targetData = &targetData;
            form->sliderFMin->setValue (targetData.fminPhase, juce::sendNotificationAsync);
            form->sliderFMax->setValue (targetData.fmaxPhase, juce::sendNotificationAsync);
            form->frequencies = frequencyAxis;
            form->phase = phaseOf (inputData.spectrum);
            form->updateZeroCrossings();
            return form;
        };

        if (runModalEdit (*this, targetData, makeForm, "Target Phase", targetFormWidth, targetFormHeight) != 0)
        {
            targetChanged = true;
            calculate (true);
        }
    }
    else if (button == toggleShowMagnitude.get() || button == toggleShowPhases.get())
    {
        calculate (false);
    }
    else if (button == textButtonMaxWindowLengthFilter.get())
    {
        filterData.windowLength = NFFT;
        sliderWindowLengthFilter->setValue ((double) NFFT, juce::dontSendNotification);
        labelWindowLengthTimeFilter->setText (timeLabelText ((double) filterData.windowLength), juce::dontSendNotification);
        calculate (true);
    }
    else if (button == textButtonMaxWindowShiftFilter.get())
    {
        // Centres the window on the peak; a Hann 50% window always spans NFFT samples.
        const auto peakPosition = findPeakPosition (filterData.impulseResponse);
        const auto windowSpan = filterData.windowType == WindowType::hann50 ? (std::int32_t) NFFT
                                                                             : (std::int32_t) filterData.windowLength;
        filterData.windowShift = peakPosition - windowSpan / 2;
        sliderWindowShiftFilter->setValue ((double) filterData.windowShift, juce::dontSendNotification);
        labelWindowShiftTimeFilter->setText (timeLabelText ((double) filterData.windowShift), juce::dontSendNotification);
        calculate (true);
    }
    else if (button == toggleMinimumPhase.get())
    {
        filterData.minimumPhase = button->getToggleState();
        calculate (true);
    }
    else if (button == textButtonExport.get())
    {
        exportCoefficients();
    }
    else if (button == toggleButtonUnwarp.get())
    {
        calculate (false);
    }
}
