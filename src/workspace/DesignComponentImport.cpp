// The workspace's file traffic: the measurement import, the user-defined target imports, the
// sample-rate entry and the FIR coefficient export.
#include "workspace/DesignComponent.h"

#include "design/CoefficientExport.h"
#include "design/DesignLimits.h"
#include "design/MeasurementImport.h"
#include "workspace/DialogImportSetup.h"

#include <cstdint>

namespace
{
constexpr const char* importingFileTitle = "Importing File";
constexpr const char* importingCsvFileTitle = "Importing CSV File";
constexpr const char* exportingFileTitle = "Exporting File";

/** The settings a measurement import starts from. */
namespace MeasurementDefaults
{
constexpr int magnitudeUnit = MeasurementImport::decibels;
constexpr int phaseUnit = MeasurementImport::degrees;
constexpr const char* delimiter = "\\t";
constexpr double targetLevel = 80.0;
}

/** The settings a user-defined target import starts from. */
namespace TargetDefaults
{
constexpr int magnitudeUnit = MeasurementImport::decibels;
constexpr int phaseUnit = MeasurementImport::degrees;
constexpr const char* delimiter = ",";
}

void showWarning (const char* title, const juce::String& message)
{
    juce::AlertWindow::showMessageBox (juce::AlertWindow::WarningIcon, juce::translate (title),
                                       juce::translate (message));
}

/** Shows the import-setup form modally; it writes the user's choices into the given settings.
    targetLevel and minimumPhase may be null, which hides their controls. */
void runImportSetup (juce::Component& owner, int* magnitudeUnit, int* phaseUnit, juce::String* delimiter,
                     double* targetLevel, bool* minimumPhase)
{
    auto* form = new DialogImportSetup (magnitudeUnit, phaseUnit, delimiter, targetLevel, minimumPhase);
    form->setLookAndFeel (&owner.getLookAndFeel());

    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = juce::translate ("Import Setup");
    options.dialogBackgroundColour = owner.getLookAndFeel().findColour (juce::AlertWindow::backgroundColourId);
    options.content.setOwned (form);
    options.componentToCentreAround = nullptr;
    options.escapeKeyTriggersCloseButton = false;
    options.useNativeTitleBar = true;
    options.resizable = true;
    options.useBottomRightCornerResizer = false;
    options.runModal(); // OK and the close button both keep the settings as the form left them
}

/** The file a typed path names; a path that is not absolute is taken from the working folder. */
juce::File fileFromTypedPath (const juce::String& path)
{
    if (path.isEmpty())
        return {};

    if (juce::File::isAbsolutePath (path))
        return juce::File (path);

    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

Matrix<double> rowVector (std::vector<double>&& values)
{
    const auto n = values.size();
    return Matrix<double> (1, n, std::move (values));
}

void importMeasurement (DesignComponent& design)
{
    int magnitudeUnit = MeasurementDefaults::magnitudeUnit;
    int phaseUnit = MeasurementDefaults::phaseUnit;
    juce::String delimiter = MeasurementDefaults::delimiter;
    double targetLevel = MeasurementDefaults::targetLevel;
    bool minimumPhase = false;
    runImportSetup (design, &magnitudeUnit, &phaseUnit, &delimiter, &targetLevel, &minimumPhase);

    const auto path = design.labelInputFile->getText();
    auto points = MeasurementImport::readMeasurement (fileFromTypedPath (path), magnitudeUnit, phaseUnit,
                                                      delimiter, design.fs, design.NFFT);

    if (points.outcome != MeasurementImport::Outcome::ok)
    {
        // The measurement loaded before stays in effect, and the field names its file again.
        design.labelInputFile->setText (design.inputData.fileName, juce::dontSendNotification);
        showWarning (importingFileTitle, points.getMessage());
        return;
    }

    auto& input = design.inputData;
    input.refLevel = targetLevel;
    input.minimumPhase = minimumPhase;
    input.fileName = path;
    input.fi = rowVector (std::move (points.frequencies));
    input.mag_i = rowVector (std::move (points.values));
    input.phi_i = rowVector (std::move (points.phases));

    design.calculateInputFromMeasurement();
    design.inputChanged = true;
    design.calculate (true);
}

void enterSampleRate (DesignComponent& design)
{
    const auto typed = MeasurementImport::readLeadingNumber (design.labelFs->getText());

    // Text without a positive number, an infinite rate or one beyond 64 bits changes nothing, and
    // neither does a rate that truncates to 0 Hz: no zero rate may reach a division. The field
    // then shows the rate that stays in effect instead of the refused text.
    if (! typed.has_value() || ! DesignLimits::isValidSampleRate (*typed))
    {
        design.refreshSampleRateField();
        return;
    }

    const auto rate = (double) (std::uint64_t) *typed;

    if (rate == design.fs)
        return;

    design.fs = rate;
    design.refreshTimeLabels();
    design.rebuildAxes();
    design.axesChanged = true;
    design.calculateInputFromMeasurement();
    design.calculate (true);
    design.warnAboutLeftOutSections();
}

void importUserDefinedTarget (DesignComponent& design, MeasurementImport::TargetColumn column)
{
    juce::FileChooser chooser (juce::translate ("Select CSV file..."), juce::File(), "*.csv", true, false, nullptr);

    if (chooser.browseForFileToOpen())
    {
        int magnitudeUnit = TargetDefaults::magnitudeUnit;
        int phaseUnit = TargetDefaults::phaseUnit;
        juce::String delimiter = TargetDefaults::delimiter;
        runImportSetup (design, &magnitudeUnit, &phaseUnit, &delimiter, nullptr, nullptr);

        auto points = MeasurementImport::readTarget (chooser.getResult(), column, magnitudeUnit, phaseUnit, delimiter);

        if (points.outcome != MeasurementImport::Outcome::ok)
        {
            showWarning (importingCsvFileTitle, points.getMessage());
        }
        else if (column == MeasurementImport::TargetColumn::magnitude)
        {
            design.targetData.userDefinedMagFreq = rowVector (std::move (points.frequencies));
            design.targetData.userDefinedMag = rowVector (std::move (points.values));
        }
        else
        {
            design.targetData.userDefinedPhiFreq = rowVector (std::move (points.frequencies));
            design.targetData.userDefinedPhi = rowVector (std::move (points.values));
        }
    }

    // Also after a cancel or a refused file: the unchanged target is recomputed.
    design.targetChanged = true;
    design.calculate (true);
}
} // namespace

//==============================================================================
void DesignComponent::labelTextChanged (juce::Label* labelThatHasChanged)
{
    if (labelThatHasChanged == labelInputFile.get())
        importMeasurement (*this);
    else if (labelThatHasChanged == labelFs.get())
        enterSampleRate (*this);
}

void DesignComponent::warnAboutLeftOutSections()
{
    if (const auto warning = getLeftOutSectionsWarning(); warning.isNotEmpty())
        showWarning (leftOutSectionsTitle, warning);
}

void DesignComponent::importUserDefinedMagnitude()
{
    importUserDefinedTarget (*this, MeasurementImport::TargetColumn::magnitude);
}

void DesignComponent::importUserDefinedPhase()
{
    importUserDefinedTarget (*this, MeasurementImport::TargetColumn::phase);
}

void DesignComponent::exportCoefficients()
{
    const auto& coefficients = filterData.coefficients;

    // A filter that cannot be exported is refused before the user is asked for a file name.
    if (const auto check = CoefficientExport::checkCoefficients (coefficients.data.data(), coefficients.length());
        check.outcome != CoefficientExport::Outcome::ok)
    {
        showWarning (exportingFileTitle, check.getMessage());
        return;
    }

    juce::FileChooser chooser (juce::translate ("Export to file..."), juce::File(), juce::String(), true, false, nullptr);

    if (! chooser.browseForFileToSave (true))
        return;

    const auto result = CoefficientExport::writeCoefficients (chooser.getResult(), coefficients.data.data(),
                                                              coefficients.length());

    if (result.outcome != CoefficientExport::Outcome::ok)
        showWarning (exportingFileTitle, result.getMessage());
}
