#include "app/NewProjectApplication.h"

#include "app/MainComponent.h"
#include "design/Version.h"

NewProjectApplication::~NewProjectApplication()
{
    mainWindow = nullptr;
}

const juce::String NewProjectApplication::getApplicationName()
{
    return TalvoVersion::applicationName;
}

const juce::String NewProjectApplication::getApplicationVersion()
{
    return versionString;
}

bool NewProjectApplication::moreThanOneInstanceAllowed()
{
    return true;
}

void NewProjectApplication::initialise (const juce::String&)
{
    const auto background = juce::Desktop::getInstance().getDefaultLookAndFeel().findColour (
        juce::ResizableWindow::backgroundColourId);
    mainWindow = std::make_unique<MainWindow> (getApplicationName(), background);
}

void NewProjectApplication::shutdown()
{
    mainWindow = nullptr;
}

void NewProjectApplication::anotherInstanceStarted (const juce::String&)
{
}

void NewProjectApplication::systemRequestedQuit()
{
    quit();
}

//==============================================================================
NewProjectApplication::MainWindow::MainWindow (const juce::String& name, juce::Colour background)
    : juce::DocumentWindow (name, background, juce::DocumentWindow::allButtons, true)
{
    setUsingNativeTitleBar (true);

    auto content = std::make_unique<MainComponent>();
    // The menus live in a bar at the top of the window. Installed before the content so that the
    // window grows by the bar's height and the content keeps its own size.
    setMenuBar (content.get());
    setLookAndFeel (&content->laf); // the menu bar and its menus follow the colour scheme
    addKeyListener (content->commandManager.getKeyMappings());
    setContentOwned (content.release(), true);

    setResizable (true, true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

NewProjectApplication::MainWindow::~MainWindow()
{
    if (auto* content = dynamic_cast<MainComponent*> (getContentComponent()))
        removeKeyListener (content->commandManager.getKeyMappings());
    setMenuBar (nullptr);
    setLookAndFeel (nullptr); // the look-and-feel belongs to the content, deleted after this

}

void NewProjectApplication::MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
