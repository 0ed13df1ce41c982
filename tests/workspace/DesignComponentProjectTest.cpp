// Opening and saving project documents from the workspace: refusals with their message boxes leave
// everything as it was; an accepted document reaches the controls and the listeners.
#include "GuiTestSupport.h"

using namespace guitest;

namespace
{
/** A workspace whose user has changed a few settings, so that a refused document has something to keep. */
struct EditedWorkspace : public ::testing::Test
{
    EditedWorkspace()
    {
        d.addListener (&listener);
        d.comboBoxNfft->setSelectedId (6, juce::sendNotificationSync); // 1024
        d.comboBoxWindow->setSelectedId (2, juce::sendNotificationSync);
        d.sliderShift->setValue (-10.0, juce::sendNotificationSync);
        d.comboBoxFilter->setSelectedId (2, juce::sendNotificationSync);
        d.projectFilePath = "/earlier/design.tlvProj";
        listener.calls = 0;
    }

    void expectUnchanged()
    {
        EXPECT_EQ (listener.calls, 0);
        EXPECT_EQ (d.NFFT, 1024u);
        EXPECT_EQ (d.inputData.windowType, 2);
        EXPECT_EQ (d.inputData.shift, -10);
        EXPECT_EQ (d.filterData.filterType, 2);
        EXPECT_EQ (d.projectFilePath, "/earlier/design.tlvProj");
        EXPECT_EQ (d.filterData.coefficients.length(), 1024u);
        EXPECT_EQ (d.comboBoxNfft->getText(), "1024");
        EXPECT_EQ (d.labelNfftTime->getText(), "21.33 ms");
        EXPECT_EQ (d.comboBoxWindow->getText(), "Hann");
        EXPECT_EQ (d.sliderShift->getValue(), -10.0);
        EXPECT_EQ (d.sliderShift->getMinimum(), -1024.0);
        EXPECT_TRUE (d.textButtonDefineFilter->isEnabled());
    }

    ScratchFolder folder;
    ModalScript script; // catches the message boxes
    DesignComponent d;
    std::vector<int> log;
    RecordingListener listener { 1, log };
};

using DesignComponentOpen = EditedWorkspace;
using DesignComponentSave = EditedWorkspace;
} // namespace

TEST_F (DesignComponentOpen, RefusedDocumentsAreReportedAndChangeNothing)
{
    const juce::String notValid = "This is not a valid file.";
    const juce::String newer = "This file was made with a newer version. Please update your Talvo app.";
    const std::pair<juce::String, juce::String> cases[] = {
        { folder.file ("missing.tlvProj").getFullPathName(), "File does not exist" },
        { folder.folder.getFullPathName(), "File does not exist" },
        { {}, "File does not exist" },
        { folder.write ("empty.tlvProj", "").getFullPathName(), notValid },
        { folder.write ("array.tlvProj", "[1, 2, 3]").getFullPathName(), notValid },
        { folder.write ("truncated.tlvProj", "{\"Talvo Version\": \"1.0.0\", \"fs\": 4800").getFullPathName(), notValid },
        { folder.write ("noversion.tlvProj", "{\"fs\": 96000, \"NFFT\": 8192}").getFullPathName(), notValid },
        { folder.write ("a.tlvProj", "{\"Talvo Version\": \"1.0.1\", \"fs\": 96000, \"NFFT\": 8192}").getFullPathName(), newer },
        { folder.write ("b.tlvProj", "{\"Talvo Version\": \"1.1\", \"fs\": 96000}").getFullPathName(), newer },
        { folder.write ("c.tlvProj", "{\"Talvo Version\": \"2.0.0\", \"fs\": 96000}").getFullPathName(), newer },
    };
    for (const auto& [path, message] : cases)
    {
        SCOPED_TRACE (path);
        script.boxes.clear();
        d.loadProject (path);
        expectUnchanged();
        ASSERT_EQ (script.boxes.size(), 1u);
        EXPECT_EQ (script.boxes[0].title, "Opening File");
        EXPECT_EQ (script.boxes[0].message, message);
        EXPECT_EQ (script.boxes[0].icon, juce::MessageBoxIconType::WarningIcon);
    }
}

TEST_F (DesignComponentOpen, AcceptedDocumentReachesTheControlsAndTheListeners)
{
    const auto path = folder.write ("design.tlvProj",
                   "{\"Talvo Version\": \"0.9.9\", \"fs\": 96000, \"NFFT\": 8192,"
                   " \"Input Data\": {\"refLevel\": 80, \"shift\": -9000, \"windowLength\": 2048, \"windowType\": 3},"
                   " \"TargetResponse\": {\"targetMagnitude\": 2, \"targetPhase\": 1},"
                   " \"FilterResponse\": {\"filterType\": 1, \"windowType\": 2, \"windowLength\": 4096,"
                   " \"minimumPhase\": true}}").getFullPathName();

    d.loadProject (path);

    EXPECT_TRUE (script.boxes.empty());
    EXPECT_EQ (listener.calls, 1);
    EXPECT_EQ (d.projectFilePath, path);
    EXPECT_EQ (d.NFFT, 8192u);
    EXPECT_EQ (d.inputData.shift, -8192); // bounded to the document's size
    EXPECT_EQ (d.filterData.coefficients.length(), 8192u);

    EXPECT_EQ (d.comboBoxNfft->getText(), "8192");
    EXPECT_EQ (d.labelFs->getText(), "96000.0");
    EXPECT_EQ (d.labelNfftTime->getText(), "85.33 ms");
    EXPECT_EQ (d.comboBoxWindow->getText(), "Hann 50%");
    EXPECT_EQ (d.sliderShift->getValue(), -8192.0);
    EXPECT_EQ (d.sliderShift->getMinimum(), -8192.0);
    EXPECT_EQ (d.labelShiftTime->getText(), "-85.33 ms");
    EXPECT_EQ (d.sliderWindowLength->getValue(), 2048.0);
    EXPECT_EQ (d.labelWindowLengthTime->getText(), "21.33 ms");
    EXPECT_EQ (d.comboBoxTargetMagnitude->getText(), "Flat");
    EXPECT_TRUE (d.textButtonDefineTargetMagnitude->isEnabled());
    EXPECT_EQ (d.comboBoxFilter->getSelectedId(), 1);
    EXPECT_FALSE (d.textButtonDefineFilter->isEnabled());
    EXPECT_EQ (d.comboBoxWindowFilter->getText(), "Hann");
    EXPECT_TRUE (d.textButtonMaxWindowShiftFilter->isEnabled());
    EXPECT_TRUE (d.toggleMinimumPhase->getToggleState());
}

TEST_F (DesignComponentSave, SavedDesignOpensIntoAFreshWorkspace)
{
    d.comboBoxWindowFilter->setSelectedId (3, juce::sendNotificationSync);
    d.comboBoxTargetPhase->setSelectedId (2, juce::sendNotificationSync);
    const auto file = folder.file ("saved.tlvProj");
    const auto calls = listener.calls;

    EXPECT_TRUE (d.saveProject (file));
    EXPECT_TRUE (script.boxes.empty());
    EXPECT_EQ (listener.calls, calls); // saving computes and notifies nothing

    DesignComponent fresh;
    fresh.loadProject (file.getFullPathName());

    EXPECT_TRUE (script.boxes.empty());
    EXPECT_EQ (fresh.NFFT, 1024u);
    EXPECT_EQ (fresh.inputData.shift, -10);
    EXPECT_EQ (fresh.comboBoxNfft->getText(), "1024");
    EXPECT_EQ (fresh.comboBoxWindow->getText(), "Hann");
    EXPECT_EQ (fresh.comboBoxWindowFilter->getText(), "Hann 50%");
    EXPECT_EQ (fresh.comboBoxTargetPhase->getText(), "Phase = 0");
    EXPECT_EQ (fresh.comboBoxFilter->getSelectedId(), 2);
    EXPECT_TRUE (fresh.textButtonDefineFilter->isEnabled());
    EXPECT_EQ (fresh.sliderShift->getValue(), -10.0);
    EXPECT_EQ (fresh.filterData.coefficients.data, d.filterData.coefficients.data);
}

TEST_F (DesignComponentSave, FailedWriteIsReportedAndKeepsTheOldFile)
{
    // A path below a plain file cannot be written.
    const auto blocker = folder.file ("blocker");
    ASSERT_TRUE (blocker.replaceWithText ("not a folder"));

    EXPECT_FALSE (d.saveProject (blocker.getChildFile ("design.tlvProj")));
    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_EQ (script.boxes[0].title, "Saving File");
    EXPECT_TRUE (script.boxes[0].message.startsWith ("Could not write to file. "));
    EXPECT_EQ (blocker.loadFileAsString(), "not a folder");
    expectUnchanged();
}
