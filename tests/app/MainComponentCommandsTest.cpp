// Menus, key presses, the View commands, New and the manual.
#include "AppTestSupport.h"

using namespace apptest;

namespace
{
class Commands : public AppTest
{
protected:
    MainComponent main;
    DesignComponent& design = main.designComponent;
};

constexpr int cmd = juce::ModifierKeys::commandModifier;
constexpr int shift = juce::ModifierKeys::shiftModifier;
} // namespace

TEST_F (Commands, MenusAndKeyPressesReachTheirCommands)
{
    const std::vector<std::string> expected[] = {
        { "New", "Open", "Save", "Save As" }, { "Light Mode", "Dark Mode" }, { "Online Manual", "-", "About" }
    };
    for (int index = 0; index < 3; ++index)
    {
        const auto menu = main.getMenuForIndex (index, main.getMenuBarNames()[index]);
        std::vector<std::string> entries;
        for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
            entries.push_back (it.getItem().isSeparator ? "-" : it.getItem().text.toStdString());
        EXPECT_EQ (entries, expected[index]);
    }

    const struct { juce::KeyPress key; int command; } keys[] = {
        { { 'n', cmd, 0 }, MainComponent::newDesign },      { { 'o', cmd, 0 }, MainComponent::openDesign },
        { { 's', cmd | shift, 0 }, MainComponent::saveDesignAs }, { { 'l', cmd | shift, 0 }, MainComponent::lightMode },
        { { 'd', cmd | shift, 0 }, MainComponent::darkMode }, { { 's', cmd, 0 }, 0 }, // Save has no key
        { { 'd', cmd, 0 }, 0 },                              { { 'n', 0, 0 }, 0 },
    };
    for (const auto& [key, command] : keys)
        EXPECT_EQ (main.commandManager.getKeyMappings()->findCommandForKeyPress (key), command) << key.getTextDescription();

    // A key press runs the command; shifted letters arrive upper case.
    auto press = [&] (int key)
    { return main.commandManager.getKeyMappings()->keyPressed (juce::KeyPress (key, cmd | shift, 0), &main); };
    EXPECT_TRUE (press ('D'));
    EXPECT_FALSE (main.laf.lightMode);
    EXPECT_TRUE (press ('L'));
    EXPECT_TRUE (main.laf.lightMode);
}

TEST_F (Commands, ViewModesRecolourEverythingTwiceTheSameAndLeaveTheDesignAlone)
{
    // The start's outline and text grey is darker than either scheme's.
    EXPECT_EQ (main.laf.findColour (juce::AlertWindow::outlineColourId).getARGB(), 0xFF4F4F50u);
    const auto coefficients = design.filterData.coefficients.data;
    const auto limits = main.figureGrid.figInputFrequency->xLim;
    const auto lightButton = design.textButtonExport->findColour (juce::TextButton::buttonColourId);
    const auto lightCurve = curvesOf (*main.figureGrid.figInputTime)[0]->colour;

    for (int mode : { MainComponent::darkMode, MainComponent::darkMode, MainComponent::lightMode, MainComponent::lightMode })
    {
        SCOPED_TRACE (mode);
        EXPECT_TRUE (invoke (main, mode));
        const bool light = mode == MainComponent::lightMode;
        EXPECT_EQ (main.laf.lightMode, light);
        EXPECT_EQ (main.laf.findColour (juce::ResizableWindow::backgroundColourId).getARGB(), light ? 0xFFF2F2F2u : 0xFF0A0A0Au);
        EXPECT_EQ (main.laf.findColour (juce::Label::textColourId).getARGB(), light ? 0xFF373737u : 0xFFBFC1C0u);
        // The workspace re-applied the palette, and the plot update redrew the curves in it.
        const auto button = design.textButtonExport->findColour (juce::TextButton::buttonColourId);
        EXPECT_EQ (button, colourPalette[accent]);
        EXPECT_EQ (button == lightButton, light);
        const auto curve = curvesOf (*main.figureGrid.figInputTime)[0]->colour;
        EXPECT_EQ (curve, colourPalette[curveBlue]);
        EXPECT_EQ (curve == lightCurve, light);
    }
    EXPECT_EQ (design.filterData.coefficients.data, coefficients);
    EXPECT_EQ (main.figureGrid.figInputFrequency->xLim, limits);
}

TEST_F (Commands, NewRestoresEveryDefaultControlAndPlotAndForgetsThePath)
{
    const auto atStart = visibleState (main);
    auto select = [] (juce::ComboBox& box, int id) { box.setSelectedId (id, juce::sendNotificationSync); };
    select (*design.comboBoxNfft, 9); // 8192
    select (*design.comboBoxWindow, WindowType::hann);
    design.sliderShift->setValue (50.0, juce::sendNotificationSync);
    select (*design.comboBoxTargetMagnitude, TargetMagnitudeType::flat);
    select (*design.comboBoxTargetPhase, TargetPhaseType::zero);
    select (*design.comboBoxWindowFilter, WindowType::hann);
    select (*design.comboBoxFilter, FilterResponseType::userDefined);
    design.toggleMinimumPhase->triggerClick();
    design.labelFs->setText ("96000", juce::sendNotificationSync);
    design.projectFilePath = "/somewhere/design.tlvProj";
    ASSERT_NE (visibleState (main), atStart);

    EXPECT_TRUE (invoke (main, MainComponent::newDesign));

    EXPECT_EQ (visibleState (main), atStart);
    EXPECT_TRUE (design.projectFilePath.isEmpty());
    EXPECT_FALSE (design.filterData.minimumPhase);
    EXPECT_EQ (design.fs, 48000.0);
    EXPECT_NEAR (main.figureGrid.figResultTime->xLim[1], 8192.0 / 48.0, 1e-9); // axes fitted again
}

TEST_F (Commands, ManualIsInstalledBesideTheProgramAndNamesEveryCommandAndControl)
{
    const auto manual = MainComponent::manualBeside (juce::File (TALVO_PROGRAM));
    ASSERT_TRUE (manual.existsAsFile()) << manual.getFullPathName();
    const auto page = juce::XmlDocument::parse (manual); // well formed: every element closed
    ASSERT_NE (page, nullptr);
    auto text = page->getAllSubText().replaceCharacters ("\r\n\t", "   ");
    while (text.contains ("  "))
        text = text.replace ("  ", " ");

    juce::StringArray names (main.getMenuBarNames());
    juce::Array<juce::CommandID> commands;
    main.getAllCommands (commands);
    for (auto id : commands)
        names.add (main.commandManager.getNameOfCommand (id));
    for (auto* child : design.getChildren())
    {
        if (auto* box = dynamic_cast<juce::ComboBox*> (child))
            for (int i = 0; i < box->getNumItems(); ++i)
                names.addIfNotAlreadyThere (box->getItemText (i));
        else if (auto* button = dynamic_cast<juce::Button*> (child))
            names.addIfNotAlreadyThere (button->getButtonText());
        else if (auto* group = dynamic_cast<juce::GroupComponent*> (child))
            names.addIfNotAlreadyThere (group->getText());
        else if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && ! label->isEditable())
            names.addIfNotAlreadyThere (label->getText().trim());
    }
    for (const auto& name : names)
    {
        const bool lengthOrTime = name.containsOnly ("0123456789") || name.endsWith (" ms");
        EXPECT_TRUE (lengthOrTime || text.contains (name)) << name;
    }
}

TEST_F (Commands, OnlineManualWithoutTheManualSaysWhereItWasLookedFor)
{
    // The test binary has no manual beside it; opening nothing without a word would leave the user guessing.
    ModalScript script;
    EXPECT_TRUE (invoke (main, MainComponent::onlineManual));
    ASSERT_EQ (script.boxes.size(), 1u);
    EXPECT_EQ (script.boxes[0].title, "Online Manual");
    const auto expected = MainComponent::manualBeside (juce::File::getSpecialLocation (juce::File::currentExecutableFile));
    EXPECT_TRUE (script.boxes[0].message.contains (expected.getFullPathName())) << script.boxes[0].message;
}
