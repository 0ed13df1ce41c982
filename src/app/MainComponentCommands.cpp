// Menus, the command table and what each command does.
#include "app/MainComponent.h"

#include "app/AboutDialog.h"
#include "appearance/ColourPalette.h"

const char* const MainComponent::savePattern = "*.tlvProj";
const char* const MainComponent::projectExtension = ".tlvProj";

namespace
{
struct CommandEntry
{
    MainComponent::CommandIDs id;
    const char* shortName;
    const char* description;
    int keyCode; // 0: no key press
    juce::ModifierKeys::Flags modifiers;
};

constexpr auto command = juce::ModifierKeys::commandModifier;
constexpr auto commandShift = static_cast<juce::ModifierKeys::Flags> (juce::ModifierKeys::commandModifier
                                                                      | juce::ModifierKeys::shiftModifier);

const CommandEntry commandTable[] = {
    { MainComponent::newDesign, "New", "Start a new filter design", 'n', command },
    { MainComponent::openDesign, "Open", "Open a filter design", 'o', command },
    { MainComponent::saveDesign, "Save", "Save the filter design", 0, juce::ModifierKeys::noModifiers },
    { MainComponent::saveDesignAs, "Save As", "Save the filter design to a new file", 's', commandShift },
    { MainComponent::lightMode, "Light Mode", "Switch to light mode view", 'l', commandShift },
    { MainComponent::darkMode, "Dark Mode", "Switch to dark mode view", 'd', commandShift },
    { MainComponent::onlineManual, "Online Manual", "Shows the Talvo online manual in a browser", 0,
      juce::ModifierKeys::noModifiers },
};

const CommandEntry* findCommand (juce::CommandID id)
{
    for (const auto& entry : commandTable)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

const char* const commandCategory = "Menu";
} // namespace

//==============================================================================
juce::StringArray MainComponent::getMenuBarNames()
{
    return { "File", "View", "Help" };
}

juce::PopupMenu MainComponent::getMenuForIndex (int, const juce::String& menuName)
{
    juce::PopupMenu menu;
    const auto addCommands = [&] (std::initializer_list<CommandIDs> ids)
    {
        for (auto id : ids)
            menu.addCommandItem (&commandManager, id);
    };

    if (menuName == "File")
        addCommands ({ newDesign, openDesign, saveDesign, saveDesignAs });
    else if (menuName == "View")
        addCommands ({ lightMode, darkMode });
    else if (menuName == "Help")
    {
        addCommands ({ onlineManual });
        // Without an application menu on this platform, "About" closes the Help menu.
        menu.addSeparator();
        menu.addItem (aboutMenuItemId, "About");
    }
    return menu;
}

void MainComponent::menuItemSelected (int menuItemID, int)
{
    if (menuItemID == aboutMenuItemId)
        showAboutBox();
}

juce::ApplicationCommandTarget* MainComponent::getNextCommandTarget()
{
    return nullptr;
}

void MainComponent::getAllCommands (juce::Array<juce::CommandID>& commands)
{
    for (const auto& entry : commandTable)
        commands.add (entry.id);
}

void MainComponent::getCommandInfo (juce::CommandID commandID, juce::ApplicationCommandInfo& result)
{
    const auto* entry = findCommand (commandID);
    if (entry == nullptr)
        return;

    result.setInfo (entry->shortName, entry->description, commandCategory, 0);
    if (entry->keyCode != 0)
        result.addDefaultKeypress (entry->keyCode, entry->modifiers);
}

bool MainComponent::perform (const juce::ApplicationCommandTarget::InvocationInfo& info)
{
    switch (info.commandID)
    {
        case newDesign:    newDesignCommand(); return true;
        case openDesign:   openDesignCommand(); return true;
        case saveDesign:   saveDesignCommand(); return true;
        case saveDesignAs: saveDesignAsCommand(); return true;
        case lightMode:    applyScheme (true); return true;
        case darkMode:     applyScheme (false); return true;
        case onlineManual: openOnlineManual(); return true;
        default:           return false;
    }
}

//==============================================================================
void MainComponent::newDesignCommand()
{
    designComponent.resetDesign();
    designComponent.refreshControls();
    designComponent.comboBoxFilter->setSelectedId (FilterResponseType::none, juce::dontSendNotification);
    designComponent.textButtonDefineFilter->setEnabled (false);
    designComponent.calculate (true);
}

juce::File MainComponent::browseForProjectToOpen()
{
    juce::FileChooser chooser ("Open...", juce::File(), DesignEngine::projectFilePatterns, true, false, nullptr);
    return chooser.browseForFileToOpen() ? chooser.getResult() : juce::File();
}

void MainComponent::openDesignCommand()
{
    const auto file = browseForProjectToOpen();
    if (file != juce::File())
        designComponent.loadProject (file.getFullPathName());
}

juce::File MainComponent::browseForProjectToSave()
{
    const juce::File start = designComponent.projectFilePath.isNotEmpty()
                                 ? juce::File (designComponent.projectFilePath)
                                 : juce::File();
    juce::FileChooser chooser ("Save As...", start, savePattern, true, false, nullptr);
    if (! chooser.browseForFileToSave (true))
        return {};

    auto file = chooser.getResult();
    if (file.getFileExtension().isEmpty())
    {
        // The chooser asked about the name as typed; the name with the extension is a different file.
        file = file.withFileExtension (projectExtension);
        if (file.exists()
            && ! juce::AlertWindow::showOkCancelBox (juce::AlertWindow::WarningIcon, "Save As",
                                                     file.getFileName() + " already exists. Replace it?",
                                                     "Replace", "Cancel", nullptr, nullptr))
            return {};
    }
    return file;
}

bool MainComponent::saveDesignTo (const juce::File& file)
{
    // saveProject reports a failure itself, in a warning box titled "Saving File".
    if (! designComponent.saveProject (file))
        return false;
    designComponent.projectFilePath = file.getFullPathName();
    return true;
}

void MainComponent::saveDesignCommand()
{
    if (designComponent.projectFilePath.isNotEmpty())
        saveDesignTo (juce::File (designComponent.projectFilePath));
    else
        saveDesignAsCommand();
}

void MainComponent::saveDesignAsCommand()
{
    const auto file = browseForProjectToSave();
    if (file != juce::File())
        saveDesignTo (file);
}

void MainComponent::applyScheme (bool light)
{
    writeColourPalette (light);
    laf.lightMode = light;
    laf.applyColourScheme();
    designComponent.sendLookAndFeelChange();
    updatePlots();
    // The whole window: the menu bar above this component draws with the same look-and-feel.
    getTopLevelComponent()->repaint();
}

juce::File MainComponent::manualBeside (const juce::File& executable)
{
    return executable.getSiblingFile (TALVO_MANUAL_FILE_NAME);
}

void MainComponent::openOnlineManual()
{
    const auto manual = manualBeside (juce::File::getSpecialLocation (juce::File::currentExecutableFile));
    if (manual.existsAsFile())
        juce::URL (manual).launchInDefaultBrowser();
    else
        juce::AlertWindow::showMessageBox (juce::AlertWindow::WarningIcon, findCommand (onlineManual)->shortName,
                                           "The manual is missing: " + manual.getFullPathName());
}

void MainComponent::showAboutBox()
{
    auto aboutDialog = std::make_unique<AboutDialog>();
    aboutDialog->setSize (512, 300);

    auto window = std::make_unique<juce::AlertWindow> ("", "", juce::AlertWindow::NoIcon, nullptr);
    window->setLookAndFeel (&laf);
    window->addCustomComponent (aboutDialog.get());
    window->addButton ("Ok", 0);
    window->runModalLoop();

    window.reset();
    aboutDialog.reset();
}
