// Measurement and target imports, the sample-rate entry and the coefficient export as the user
// drives them: choosers, the import settings form and the message boxes of refusals.
#include "GuiTestSupport.h"

#include "design/CoefficientExport.h"
#include "design/IirFilterType.h"
#include "workspace/DialogImportSetup.h"

#include <cmath>
#include <string>

using namespace guitest;

namespace
{
/** The bytes of everything an import or the sample-rate entry may change: an equal fingerprint
    proves that a refusal changed nothing, bit for bit. */
std::string fingerprint (const DesignComponent& d)
{
    std::string bytes = d.inputData.fileName.toStdString();
    const auto add = [&bytes] (const auto& value) { bytes.append (reinterpret_cast<const char*> (&value), sizeof (value)); };
    const auto addMatrix = [&bytes, &add] (const auto& m)
    {
        add (m.rows);
        add (m.cols);
        bytes.append (reinterpret_cast<const char*> (m.data.data()), m.data.size() * sizeof (m.data[0]));
    };
    add (d.fs);
    add (d.NFFT);
    add (d.inputData.refLevel);
    add (d.inputData.minimumPhase);
    add (d.inputChanged);
    add (d.axesChanged);
    for (const auto* m : { &d.inputData.fi, &d.inputData.mag_i, &d.inputData.phi_i, &d.inputData.impulseResponse,
                           &d.targetData.userDefinedMagFreq, &d.targetData.userDefinedMag, &d.targetData.userDefinedPhiFreq,
                           &d.targetData.userDefinedPhi, &d.filterData.coefficients, &d.frequencyAxis, &d.timeAxis })
        addMatrix (*m);
    addMatrix (d.inputData.measuredSpectrum);
    addMatrix (d.targetData.response);
    return bytes;
}

class Workspace : public ::testing::Test
{
protected:
    Workspace()
    {
        design->calculate (true);
        design->inputChanged = design->targetChanged = false;
        listener.calls = 0;
    }

    juce::File write (const juce::String& name, const juce::String& text) { return scratch.write (name, text); }

    /** Types a path into the measurement label, as the user or the Load button does. */
    void importMeasurement (const juce::String& path)
    {
        design->labelInputFile->setText (path, juce::dontSendNotification);
        design->labelTextChanged (design->labelInputFile.get());
    }

    void typeSampleRate (const juce::String& text) { typeIntoLabel (*design->labelFs, text); }

    /** A step that presses OK in the import-setup form after letting change adjust its controls. */
    static ModalScript::Step setUp (std::function<void (DialogImportSetup&)> change = {})
    {
        return [change] (juce::Component& modal)
        {
            auto* form = find<DialogImportSetup> (modal);
            ASSERT_NE (form, nullptr) << modal.getName().toStdString();

            if (change)
                change (*form);

            form->textButtonOk->triggerClick();
        };
    }

    ScratchFolder scratch;
    const juce::File& folder = scratch.folder;
    std::unique_ptr<ProbeDesignComponent> design = std::make_unique<ProbeDesignComponent>();
    RecordingListener& listener = design->listener;
};

/** For the tests that drive the framework's own file chooser, which a native one would replace. */
struct WorkspaceWithChooser : public Workspace
{
    void SetUp() override
    {
        if (juce::FileChooser::isPlatformDialogAvailable())
            GTEST_SKIP() << "a native file chooser cannot be driven from the test";
    }
};

/** The real measurement, read on first use: the framework's own static objects must be there first. */
const juce::String& roomResponse()
{
    static const auto text = juce::File (TALVO_TEST_DATA_DIR).getChildFile ("room-response.txt").loadFileAsString();
    return text;
}
} // namespace

//==============================================================================
TEST_F (Workspace, MeasurementImportStoresPointsAndSettingsAndRecomputes)
{
    const auto file = write ("room.txt", roomResponse());
    ModalScript script;
    script.then ([] (juce::Component& modal)
    {
        auto* window = dynamic_cast<juce::DialogWindow*> (&modal);
        ASSERT_NE (window, nullptr);
        EXPECT_EQ (window->getName(), "Import Setup");

        // The escape key does not close this form.
        EXPECT_FALSE (static_cast<juce::Component&> (*window).keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)));
        EXPECT_TRUE (window->isCurrentlyModal());

        auto* form = find<DialogImportSetup> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (*form->magnitudeUnits, 2);
        EXPECT_EQ (*form->phaseUnits, 1);
        EXPECT_EQ (*form->delimiter, "\\t");
        EXPECT_EQ (*form->targetLevel, 80.0);
        EXPECT_FALSE (*form->minimumPhase);
        form->sliderTargetLevel->setValue (70.0, juce::sendNotificationSync);
        form->textButtonOk->triggerClick();
    });

    const auto spectrumBefore = design->inputData.measuredSpectrum;
    importMeasurement (file.getFullPathName());

    EXPECT_EQ (design->inputData.fileName, file.getFullPathName());
    EXPECT_EQ (design->inputData.refLevel, 70.0);
    ASSERT_EQ (design->inputData.fi.length(), 536u);
    EXPECT_EQ (design->inputData.fi.rows, 1u);
    EXPECT_EQ (design->inputData.fi.data[1], 10.0);
    EXPECT_DOUBLE_EQ (design->inputData.mag_i.data[1], std::pow (10.0, 64.69 / 20.0));
    EXPECT_EQ (design->inputData.phi_i.length(), 536u);
    EXPECT_TRUE (design->inputChanged);
    EXPECT_EQ (listener.calls, 1);
    EXPECT_NE (spectrumBefore.data, design->inputData.measuredSpectrum.data);

    for (auto c : design->filterData.coefficients.data)
        ASSERT_TRUE (std::isfinite (c));
}

TEST_F (Workspace, ClosingTheImportSetupWindowKeepsItsSettings)
{
    const auto file = write ("m.csv", "20,80,0\n20000,80,0\n");
    ModalScript script;
    script.then ([] (juce::Component& modal)
    {
        auto* form = find<DialogImportSetup> (modal);
        ASSERT_NE (form, nullptr);
        form->labelDelimiter->setText (",", juce::sendNotificationSync);
        form->toggleButtonMinimumPhase->setToggleState (true, juce::sendNotificationSync);
        dynamic_cast<juce::DialogWindow&> (modal).closeButtonPressed();
    });

    importMeasurement (file.getFullPathName());

    EXPECT_TRUE (design->inputData.minimumPhase);
    EXPECT_EQ (design->inputData.fi.length(), 5u); // 0 Hz, two lines, two points above fs/2
    EXPECT_EQ (listener.calls, 1);
}

TEST_F (Workspace, RefusedMeasurementsLeaveTheDesignBitForBitAsItWas)
{
    // A design with a measurement in it first, so that there is something to lose.
    {
        ModalScript script;
        script.then (setUp());
        importMeasurement (write ("room.txt", roomResponse()).getFullPathName());
    }

    const auto before = fingerprint (*design);
    const auto callsBefore = listener.calls;

    struct Case { juce::String path; juce::String expectedStart; bool opensSetup; };
    const Case cases[] = {
        { write ("header.txt", "* only a header\n1000,80,0\n").getFullPathName(),
          "Importing File. Fewer than two data lines were found.", true },
        { write ("odd.txt", "* hdr\n20\t0\t0\n100\tnan\t0\n1000\t0\t0\n").getFullPathName(),
          "Importing File. The magnitude on line 3 is not a finite number", true },
        { write ("falling.txt", "100\t80\t0\n90\t80\t0\n").getFullPathName(),
          "Importing File. The frequencies must rise from one data line to the next, but line 2", true },
        { folder.getChildFile ("missing.txt").getFullPathName(), "Importing File. File does not exist", true },
        { folder.getFullPathName(), "Importing File. File does not exist", true },
        { "", "Importing File. File does not exist", true },
    };

    for (const auto& c : cases)
    {
        ModalScript script;
        script.then (setUp());
        importMeasurement (c.path);

        ASSERT_EQ (script.boxes.size(), 1u) << c.path;
        EXPECT_TRUE (script.boxes[0].text().startsWith (c.expectedStart)) << script.boxes[0].text();
        EXPECT_TRUE (fingerprint (*design) == before);
        EXPECT_EQ (listener.calls, callsBefore);
    }
}

//==============================================================================
TEST_F (Workspace, SampleRateEntryRebuildsAxesAndRecomputesOnlyForUsableRates)
{
    const auto before = fingerprint (*design);

    // A refused text gives way to the rate in effect.
    for (const auto* text : { "0", "-5", "word", "", "0.999", "inf", "-inf", "nan", "1e300", "18446744073709551616",
                              "1e99999999999" })
    {
        typeSampleRate (text);
        EXPECT_EQ (design->labelFs->getText(), "48000.0") << text;
    }

    design->labelTextChanged (design->labelNfftTime.get()); // not an entry field at all
    EXPECT_TRUE (fingerprint (*design) == before);
    EXPECT_EQ (listener.calls, 0);

    // Every time label follows the new rate: NFFT, the input shift and window length, the filter
    // window's shift and length.
    design->inputData.shift = -48;
    design->filterData.windowShift = 480;
    design->filterData.windowLength = 2048;
    typeSampleRate ("24000");
    EXPECT_EQ (design->fs, 24000.0);
    const juce::StringArray times { design->labelNfftTime->getText(), design->labelShiftTime->getText(),
                                    design->labelWindowLengthTime->getText(), design->labelWindowShiftTimeFilter->getText(),
                                    design->labelWindowLengthTimeFilter->getText() };
    EXPECT_EQ (times, juce::StringArray ({ "170.67 ms", "-2.00 ms", "170.67 ms", "20.00 ms", "85.33 ms" }));
    EXPECT_EQ (design->frequencyAxis.data.back(), 12000.0);
    EXPECT_EQ (design->timeAxis.data[1], 1000.0 / 24000.0);
    EXPECT_TRUE (design->axesChanged);
    EXPECT_EQ (listener.calls, 1);

    typeSampleRate ("24000.9"); // truncates to the rate already set
    EXPECT_EQ (listener.calls, 1);
    EXPECT_EQ (design->labelFs->getText(), "24000.9"); // the label keeps what was typed

    typeSampleRate ("  96 kHz");
    EXPECT_EQ (design->fs, 96.0);
    typeSampleRate ("1.5"); // the smallest rate there is: 1 Hz
    EXPECT_EQ (design->fs, 1.0);
    EXPECT_EQ (listener.calls, 3);
}

TEST_F (Workspace, LoweringTheRateBelowTwiceASectionsFrequencyLeavesItOutAndSaysSo)
{
    auto& f = design->filterData;
    f.numIIRs = 3;
    f.type = Matrix<std::size_t> (1, 3, { IirFilterType::peq, IirFilterType::lowPass2ndOrder, IirFilterType::peq });
    f.freq = Matrix<double> (1, 3, { 30000.0, 1000.0, 25000.0 });
    f.q = Matrix<double> (1, 3, { 1.0, 0.7, 2.0 });
    f.gain = Matrix<double> (1, 3, { 6.0, 0.0, -3.0 });
    design->comboBoxFilter->setSelectedId (FilterResponseType::userDefined, juce::sendNotificationSync);

    ModalScript script;
    typeSampleRate ("96000");
    EXPECT_TRUE (script.boxes.empty());
    typeSampleRate ("44100");
    typeSampleRate ("55000");

    ASSERT_EQ (script.boxes.size(), 2u);
    EXPECT_EQ (script.boxes[0].title, "Sample Rate");
    EXPECT_EQ (script.boxes[0].icon, juce::MessageBoxIconType::WarningIcon);
    EXPECT_EQ (script.boxes[0].message, "The IIR sections at 30000 Hz and 25000 Hz lie at or above half the sample rate and are "
                                        "left out until the rate is raised or the sections are changed.");
    EXPECT_EQ (script.boxes[1].message, "The IIR section at 30000 Hz lies at or above half the sample rate and is left out "
                                        "until the rate is raised or the section is changed.");
}

//==============================================================================
TEST_F (WorkspaceWithChooser, UserDefinedTargetsComeFromTheChosenCsvFile)
{
    const auto file = write ("target.csv", "Hz,dB,deg\n20,0.5,0\n20000,2,3.141592653589793\n");
    ModalScript script;
    script.then (ModalScript::chooseFile (file))
        .then (setUp ([] (DialogImportSetup& form)
        {
            EXPECT_FALSE (form.sliderTargetLevel->isVisible());
            EXPECT_FALSE (form.toggleButtonMinimumPhase->isVisible());
            EXPECT_EQ (form.labelDelimiter->getText(), ",");
            form.comboBoxMagnitudeUnits->setSelectedId (1, juce::sendNotificationSync);
        }))
        .then (ModalScript::chooseFile (file))
        .then (setUp ([] (DialogImportSetup& form) { form.comboBoxPhaseUnits->setSelectedId (2, juce::sendNotificationSync); }));

    design->importUserDefinedMagnitude();
    EXPECT_EQ (design->targetData.userDefinedMagFreq.data, (std::vector<double> { 20.0, 20000.0 }));
    EXPECT_NEAR (design->targetData.userDefinedMag.data[0], -6.0206, 1e-4);
    EXPECT_TRUE (design->targetChanged);
    EXPECT_EQ (listener.calls, 1);

    design->importUserDefinedPhase();
    EXPECT_EQ (design->targetData.userDefinedPhiFreq.data, (std::vector<double> { 20.0, 20000.0 }));
    EXPECT_DOUBLE_EQ (design->targetData.userDefinedPhi.data[1], 180.0);
    EXPECT_EQ (listener.calls, 2);
}

TEST_F (WorkspaceWithChooser, CancelledOrRefusedTargetImportRecomputesTheUnchangedTarget)
{
    const auto before = fingerprint (*design);
    const auto single = write ("single.csv", "20,1,0\n");
    ModalScript script;
    script.then (ModalScript::close())
        .then (ModalScript::chooseFile (single))
        .then (setUp());

    design->importUserDefinedMagnitude();
    EXPECT_TRUE (design->targetChanged);
    EXPECT_EQ (listener.calls, 1);

    design->importUserDefinedPhase();
    EXPECT_EQ (listener.calls, 2);
    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_TRUE (script.boxes[0].text().startsWith ("Importing CSV File. Fewer than two data lines were found."));
    EXPECT_TRUE (fingerprint (*design) == before);
}

//==============================================================================
TEST_F (WorkspaceWithChooser, ExportWritesTheDesignsCoefficientsAndOverwritesAfterAsking)
{
    design->comboBoxNfft->setText ("1024", juce::sendNotificationSync);
    ASSERT_EQ (design->NFFT, 1024u);
    listener.calls = 0;
    const auto target = write ("fir.txt", juce::String::repeatedString ("x", 200000));
    ModalScript script;
    script.then (ModalScript::chooseFile (target)).answer ("Overwrite");

    const auto before = fingerprint (*design);
    design->exportCoefficients();

    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_TRUE (script.boxes[0].text().startsWith ("File already exists")) << script.boxes[0].text();
    const auto& c = design->filterData.coefficients;
    ASSERT_EQ (c.length(), 1024u);
    EXPECT_EQ (target.loadFileAsString().toStdString(), CoefficientExport::formatCoefficients (c.data.data(), c.length()));
    EXPECT_TRUE (fingerprint (*design) == before);
    EXPECT_EQ (listener.calls, 0);
}

TEST_F (WorkspaceWithChooser, ExportFailuresAreReportedAndWriteNothing)
{
    const auto inMissingFolder = folder.getChildFile ("missing").getChildFile ("fir.txt");
    ModalScript script;
    script.then (ModalScript::close()).then (ModalScript::chooseFile (inMissingFolder));

    design->exportCoefficients(); // cancelled: no box, no file
    EXPECT_TRUE (script.boxes.empty());

    design->exportCoefficients();
    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_EQ (script.boxes[0].title, "Exporting File");
    EXPECT_TRUE (script.boxes[0].message.startsWith ("Could not open file for writing. ")) << script.boxes[0].message;
    EXPECT_GT (script.boxes[0].message.length(), juce::String ("Could not open file for writing. ").length());
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0); // no temporary file either
}

TEST_F (Workspace, ExportOfAZeroOrNonFiniteFilterIsRefusedBeforeAFileIsAskedFor)
{
    // No chooser may open: the script fails on a window it has no step for.
    auto& coefficients = design->filterData.coefficients.data;
    ModalScript script;

    std::fill (coefficients.begin(), coefficients.end(), 0.0);
    coefficients[9] = -1e-20; // written as a zero as well
    design->exportCoefficients();

    coefficients[5] = std::numeric_limits<double>::quiet_NaN();
    design->exportCoefficients();

    ASSERT_EQ (script.boxes.size(), 2u);
    EXPECT_EQ (script.boxes[0].text(),
               "Exporting File. The filter is zero everywhere: check the length and the shift of the filter window.");
    EXPECT_EQ (script.boxes[0].icon, juce::MessageBoxIconType::WarningIcon);
    EXPECT_TRUE (script.boxes[1].text().startsWith ("Exporting File. The filter holds coefficients that are not finite"));
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_EQ (listener.calls, 0);
}
