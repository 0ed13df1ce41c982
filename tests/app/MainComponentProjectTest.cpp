// Open, Save and Save As through the commands: round trips, cancelled choosers and refused files.
#include "AppTestSupport.h"

using namespace apptest;

namespace
{
class Project : public AppTest
{
protected:
    ScriptedMainComponent main;
    DesignComponent& design = main.designComponent;
    juce::TemporaryFile folderName;
    juce::File folder;

    void SetUp() override
    {
        AppTest::SetUp();
        folder = folderName.getFile();
        ASSERT_TRUE (folder.createDirectory().wasOk());
    }
    void TearDown() override
    {
        folder.deleteRecursively();
        AppTest::TearDown();
    }

    void select (juce::ComboBox& box, int id) { box.setSelectedId (id, juce::sendNotificationSync); }

    void makeDesign()
    {
        select (*design.comboBoxNfft, 9); // 8192
        select (*design.comboBoxWindow, WindowType::hann);
        design.sliderShift->setValue (-30.0, juce::sendNotificationSync);
        select (*design.comboBoxTargetMagnitude, TargetMagnitudeType::flat);
        select (*design.comboBoxWindowFilter, WindowType::hann50);
        ASSERT_EQ (design.NFFT, 8192u);
        ASSERT_EQ (design.inputData.shift, -30);
    }

    std::vector<std::string> visibleState() { return apptest::visibleState (main); }
};
} // namespace

TEST_F (Project, SaveNewAndOpenGiveBackTheSameDesign)
{
    makeDesign();
    const auto before = visibleState();
    const auto coefficients = design.filterData.coefficients.data;

    main.fileToSave = folder.getChildFile ("room.tlvProj");
    EXPECT_TRUE (invoke (main, MainComponent::saveDesign)); // no document yet: asks like Save As
    EXPECT_EQ (main.saveRequests, 1);
    ASSERT_TRUE (main.fileToSave.existsAsFile());
    EXPECT_EQ (design.projectFilePath, main.fileToSave.getFullPathName());

    invoke (main, MainComponent::newDesign);
    EXPECT_NE (visibleState(), before);
    main.fileToOpen = main.fileToSave;
    EXPECT_TRUE (invoke (main, MainComponent::openDesign));
    EXPECT_EQ (design.filterData.coefficients.data, coefficients);
    EXPECT_EQ (visibleState(), before);
    EXPECT_EQ (design.projectFilePath, main.fileToSave.getFullPathName());

    // Save now writes to the open document without asking.
    design.sliderShift->setValue (12.0, juce::sendNotificationSync);
    main.fileToSave = folder.getChildFile ("never-asked.tlvProj");
    invoke (main, MainComponent::saveDesign);
    EXPECT_EQ (main.saveRequests, 1);
    EXPECT_FALSE (main.fileToSave.exists());
    invoke (main, MainComponent::newDesign);
    invoke (main, MainComponent::openDesign);
    EXPECT_EQ (design.sliderShift->getValue(), 12.0);
}

TEST_F (Project, CancelledChoosersAndRefusedDocumentsChangeNothing)
{
    makeDesign();
    design.projectFilePath = {};
    const auto before = visibleState();
    const auto coefficients = design.filterData.coefficients.data;

    invoke (main, MainComponent::saveDesignAs); // fileToSave is empty: cancelled
    invoke (main, MainComponent::saveDesign);   // no document: asks, and is cancelled too
    EXPECT_EQ (main.saveRequests, 2);
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);

    const auto notJson = folder.getChildFile ("broken.tlvProj");
    ASSERT_TRUE (notJson.replaceWithText ("{ \"fs\": 48000, "));
    const auto newer = folder.getChildFile ("newer.tlvProj");
    ASSERT_TRUE (newer.replaceWithText ("{ \"Talvo Version\": \"1.0.1\", \"fs\": 96000, \"NFFT\": 1024 }"));
    for (const auto& file : { juce::File(), notJson, newer, folder.getChildFile ("missing.tlvProj"), folder })
    {
        SCOPED_TRACE (file.getFileName().toStdString());
        ModalScript script;
        main.fileToOpen = file; // juce::File(): a cancelled chooser
        invoke (main, MainComponent::openDesign);
        ASSERT_EQ (script.boxes.size(), file == juce::File() ? 0u : 1u);
        for (const auto& box : script.boxes)
            EXPECT_EQ (box.title, "Opening File");
        EXPECT_EQ (visibleState(), before);
        EXPECT_EQ (design.filterData.coefficients.data, coefficients);
        EXPECT_TRUE (design.projectFilePath.isEmpty());
    }
}
