// Measurement and target imports, the sample-rate entry and the coefficient export as the user
// drives them: choosers, the import settings form and the message boxes of refusals.
#include "GuiTestSupport.h"

#include "design/CoefficientExport.h"
#include "design/FaultySystemCalls.h"
#include "design/FileReader.h"
#include "design/IirFilterType.h"
#include "workspace/DialogImportSetup.h"

#include <cmath>
#include <cstring>
#include <string>

using namespace guitest;

namespace
{
// Everything an import or the sample-rate entry may change, bit for bit: the design's document
// (its settings and points), what it computed from them, its axes and its change flags.
std::string fingerprint (const DesignComponent& d)
{
    std::string bytes = d.createProjectText().toStdString() + (d.inputChanged ? "i" : "-") + (d.axesChanged ? "a" : "-");
    const auto add = [&bytes] (const auto& v) { bytes.append (reinterpret_cast<const char*> (v.data()), v.size() * sizeof (v[0])); };
    add (d.filterData.coefficients.data);
    add (d.inputData.measuredSpectrum.data);
    add (d.frequencyAxis.data);
    add (d.timeAxis.data);
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

    // Types a path into the measurement label, as the user or the Load button does.
    void importMeasurement (const juce::String& path)
    {
        design->labelInputFile->setText (path, juce::dontSendNotification);
        design->labelTextChanged (design->labelInputFile.get());
    }

    void typeSampleRate (const juce::String& text) { typeIntoLabel (*design->labelFs, text); }

    // A step that lets `change` adjust the import-setup form, then ends it with OK or its close button.
    static ModalScript::Step setUp (std::function<void (DialogImportSetup&)> change = {}, bool closeButton = false)
    {
        return [change, closeButton] (juce::Component& modal)
        {
            auto* form = find<DialogImportSetup> (modal);
            ASSERT_NE (form, nullptr) << modal.getName().toStdString();
            if (change)
                change (*form);
            if (closeButton)
                dynamic_cast<juce::DialogWindow&> (modal).closeButtonPressed();
            else
                form->textButtonOk->triggerClick();
        };
    }

    ScratchFolder scratch;
    std::unique_ptr<ProbeDesignComponent> design = std::make_unique<ProbeDesignComponent>();
    RecordingListener& listener = design->listener;
};

// For the tests that drive the framework's own file chooser, which a native one would replace.
struct WorkspaceWithChooser : public Workspace
{
    void SetUp() override
    {
        if (juce::FileChooser::isPlatformDialogAvailable())
            GTEST_SKIP() << "a native file chooser cannot be driven from the test";
    }
};

// The real measurement, read on first use: the framework's own static objects must be there first.
const juce::String& roomResponse()
{
    static const auto text = juce::File (TALVO_TEST_DATA_DIR).getChildFile ("room-response.txt").loadFileAsString();
    return text;
}
} // namespace

//==============================================================================
TEST_F (Workspace, MeasurementImportStoresThePointsAndSettingsAndARefusalChangesNothing)
{
    {
        ModalScript script;
        script.then (setUp ([] (DialogImportSetup& form) { form.sliderTargetLevel->setValue (70.0, juce::sendNotificationSync); }));
        const auto spectrumBefore = design->inputData.measuredSpectrum;
        const auto room = write ("room.txt", roomResponse());
        importMeasurement (room.getFullPathName());
        EXPECT_EQ (design->inputData.fileName, room.getFullPathName());
        EXPECT_EQ (design->inputData.refLevel, 70.0);
        ASSERT_EQ (design->inputData.fi.length(), 536u);
        EXPECT_EQ (design->inputData.fi.data[1], 10.0);
        EXPECT_DOUBLE_EQ (design->inputData.mag_i.data[1], std::pow (10.0, 64.69 / 20.0));
        EXPECT_EQ (design->inputData.phi_i.length(), 536u);
        EXPECT_TRUE (design->inputChanged);
        EXPECT_EQ (listener.calls, 1);
        EXPECT_NE (spectrumBefore.data, design->inputData.measuredSpectrum.data);
    }
    const auto before = fingerprint (*design);
    const auto loaded = design->inputData.fileName;
    const std::pair<juce::String, juce::String> refused[] = {
        { write ("header.txt", "* only a header\n1000,80,0\n").getFullPathName(), "Fewer than two data lines were found." },
        { write ("odd.txt", "* hdr\n20\t0\t0\n100\tnan\t0\n1000\t0\t0\n").getFullPathName(),
          "The magnitude on line 3 is not a finite number" },
        { write ("falling.txt", "100\t80\t0\n90\t80\t0\n").getFullPathName(),
          "The frequencies must rise from one data line to the next, but line 2" },
        { scratch.file ("missing.txt").getFullPathName(), "File does not exist" },
        { scratch.folder.getFullPathName(), "File does not exist" },
        { "", "File does not exist" },
    };
    for (const auto& [path, message] : refused)
    {
        ModalScript script;
        script.then (setUp());
        importMeasurement (path);
        ASSERT_EQ (script.boxes.size(), 1u) << path;
        EXPECT_TRUE (script.boxes[0].text().startsWith ("Importing File. " + message)) << script.boxes[0].text();
        EXPECT_TRUE (fingerprint (*design) == before);
        EXPECT_EQ (design->labelInputFile->getText(), loaded); // the field names the file in effect
        EXPECT_EQ (listener.calls, 1);
    }

    // A read that fails part-way, as on a failing disk or a network share, takes nothing of the file.
    {
        const SystemCalls::ScopedOverride scope (faults::failing (&SystemCalls::read, EIO, 3, faults::shortReads (1000)));
        ModalScript script;
        script.then (setUp());
        importMeasurement (write ("room2.txt", roomResponse()).getFullPathName());
        ASSERT_EQ (script.boxes.size(), 1u);
        EXPECT_EQ (script.boxes[0].text(), "Importing File. " + FileReader::describeReadFailure (std::strerror (EIO)));
        EXPECT_TRUE (fingerprint (*design) == before);
        EXPECT_EQ (listener.calls, 1);
    }

    // The close button keeps the form's settings as OK does.
    ModalScript script;
    script.then (setUp ([] (DialogImportSetup& form)
    {
        form.labelDelimiter->setText (",", juce::sendNotificationSync);
        form.toggleButtonMinimumPhase->setToggleState (true, juce::sendNotificationSync);
    }, true));
    importMeasurement (write ("m.csv", "20,80,0\n20000,80,0\n").getFullPathName());
    EXPECT_TRUE (design->inputData.minimumPhase);
    EXPECT_EQ (design->inputData.fi.length(), 5u); // 0 Hz, two lines, two points above fs/2
    EXPECT_EQ (listener.calls, 2);
}

//==============================================================================
TEST_F (Workspace, SampleRateEntryRefusesUnusableRatesRefreshesTheTimeLabelsAndWarnsOfLeftOutSections)
{
    auto& f = design->filterData;
    f.numIIRs = 3;
    f.type = Matrix<std::size_t> (1, 3, { IirFilterType::peq, IirFilterType::lowPass2ndOrder, IirFilterType::peq });
    f.freq = Matrix<double> (1, 3, { 30000.0, 1000.0, 25000.0 });
    f.q = Matrix<double> (1, 3, { 1.0, 0.7, 2.0 });
    f.gain = Matrix<double> (1, 3, { 6.0, 0.0, -3.0 });
    const auto before = fingerprint (*design);
    ModalScript script;

    // A refused text gives way to the rate in effect.
    for (const auto* text : { "0", "-5", "word", "", "0.999", "nan", "-inf", "18446744073709551616", "1e99999999999" })
    {
        typeSampleRate (text);
        EXPECT_EQ (design->labelFs->getText(), "48000.0") << text;
    }
    design->labelTextChanged (design->labelNfftTime.get()); // not an entry field at all
    EXPECT_TRUE (fingerprint (*design) == before);
    EXPECT_EQ (listener.calls, 0);

    typeSampleRate ("96000");
    EXPECT_TRUE (script.boxes.empty()); // every section lies below half the rate

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

    typeSampleRate ("24000.9"); // truncates to the rate already set
    EXPECT_EQ (listener.calls, 2);
    typeSampleRate ("55000");
    typeSampleRate ("1.5"); // the smallest rate there is: 1 Hz
    EXPECT_EQ (design->fs, 1.0);
    EXPECT_EQ (listener.calls, 4);

    ASSERT_EQ (script.boxes.size(), 3u);
    EXPECT_EQ (script.boxes[0].title, "Sample Rate");
    EXPECT_TRUE (script.boxes[0].message.startsWith ("The IIR sections at 30000 Hz and 25000 Hz cannot")) << script.boxes[0].message;
    EXPECT_TRUE (script.boxes[1].message.startsWith ("The IIR section at 30000 Hz cannot")) << script.boxes[1].message;
    EXPECT_TRUE (script.boxes[2].message.startsWith ("The IIR sections at 30000 Hz, 1000 Hz and 25000 Hz cannot")) << script.boxes[2].message;
}

//==============================================================================
TEST_F (WorkspaceWithChooser, UserDefinedTargetsComeFromTheChosenCsvFileAndARefusalChangesNothing)
{
    const auto before = fingerprint (*design);
    const auto file = write ("target.csv", "Hz,dB,deg\n20,0.5,0\n20000,2,3.141592653589793\n");
    const auto linearAndRadians = setUp ([] (DialogImportSetup& form)
    {
        form.comboBoxMagnitudeUnits->setSelectedId (1, juce::sendNotificationSync);
        form.comboBoxPhaseUnits->setSelectedId (2, juce::sendNotificationSync);
    });
    ModalScript script;
    script.then (ModalScript::close()) // a cancelled chooser
        .then (ModalScript::chooseFile (write ("single.csv", "20,1,0\n"))).then (setUp())
        .then (ModalScript::chooseFile (file)).then (linearAndRadians)
        .then (ModalScript::chooseFile (file)).then (linearAndRadians);

    // A cancelled or refused import recomputes the unchanged target.
    design->importUserDefinedMagnitude();
    design->importUserDefinedPhase();
    EXPECT_EQ (listener.calls, 2);
    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_TRUE (script.boxes[0].text().startsWith ("Importing CSV File. Fewer than two data lines were found."));
    EXPECT_TRUE (fingerprint (*design) == before);

    design->importUserDefinedMagnitude();
    EXPECT_EQ (design->targetData.userDefinedMagFreq.data, (std::vector<double> { 20.0, 20000.0 }));
    EXPECT_NEAR (design->targetData.userDefinedMag.data[0], -6.0206, 1e-4);
    design->importUserDefinedPhase();
    EXPECT_EQ (design->targetData.userDefinedPhiFreq.data, (std::vector<double> { 20.0, 20000.0 }));
    EXPECT_DOUBLE_EQ (design->targetData.userDefinedPhi.data[1], 180.0);
    EXPECT_TRUE (design->targetChanged);
    EXPECT_EQ (listener.calls, 4);
}

//==============================================================================
TEST_F (WorkspaceWithChooser, ExportWritesTheCoefficientsOverAnOldFileAndReportsAFailedWrite)
{
    design->comboBoxNfft->setText ("1024", juce::sendNotificationSync);
    listener.calls = 0;
    const auto target = write ("fir.txt", juce::String::repeatedString ("x", 200000));
    ModalScript script;
    script.then (ModalScript::close()) // cancelled: no box, no file
        .then (ModalScript::chooseFile (scratch.file ("missing").getChildFile ("fir.txt")))
        .then (ModalScript::chooseFile (target)).answer ("Overwrite");
    const auto before = fingerprint (*design);

    design->exportCoefficients();
    design->exportCoefficients();
    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_TRUE (script.boxes[0].text().startsWith ("Exporting File. Could not open file for writing. ")) << script.boxes[0].text();
    EXPECT_EQ (scratch.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1); // no temporary file left

    design->exportCoefficients();
    ASSERT_EQ (script.boxes.size(), 2u);
    EXPECT_TRUE (script.boxes[1].text().startsWith ("File already exists")) << script.boxes[1].text();
    const auto& c = design->filterData.coefficients;
    ASSERT_EQ (c.length(), 1024u);
    EXPECT_EQ (target.loadFileAsString().toStdString(), CoefficientExport::formatCoefficients (c.data.data(), c.length()));
    EXPECT_TRUE (fingerprint (*design) == before);
    EXPECT_EQ (listener.calls, 0);
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
    EXPECT_TRUE (script.boxes[1].text().startsWith ("Exporting File. The filter holds coefficients that are not finite"));
    EXPECT_EQ (scratch.folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_EQ (listener.calls, 0);
}
