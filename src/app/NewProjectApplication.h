#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "app/PendingInputFlusher.h"

/** The application object: opens the one main window at start-up and deletes it at shut-down.
    Every launch runs its own process with its own window. */
class NewProjectApplication : public juce::JUCEApplication
{
public:
    NewProjectApplication() = default;
    ~NewProjectApplication() override;

    /** "Talvo"; also the title of the main window. */
    const juce::String getApplicationName() override;
    /** The program's version text, "1.0.0". */
    const juce::String getApplicationVersion() override;
    /** True: a second launch starts a second, independent process. */
    bool moreThanOneInstanceAllowed() override;

    /** Creates the main window (the command line is ignored), centred at its content's size of
        1024 x 768 pixels plus its menu bar, and shows it. */
    void initialise (const juce::String& commandLine) override;
    /** Deletes the main window and every component in it. */
    void shutdown() override;
    /** Ignored: each launch is independent. */
    void anotherInstanceStarted (const juce::String& commandLine) override;
    /** Quits at once: nothing is asked and nothing is stored. */
    void systemRequestedQuit() override;

    /** The main window: a resizable document window with native title bar, the menus in a menu bar at
        its top, and a MainComponent as owned content. */
    class MainWindow : public juce::DocumentWindow
    {
    public:
        /** Creates the window named name on the desktop, not yet visible. */
        MainWindow (const juce::String& name, juce::Colour background);
        ~MainWindow() override;

        /** Asks the application to quit, as the platform's quit would. */
        void closeButtonPressed() override;

    private:
        PendingInputFlusher pendingInputFlusher { *this };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    /** The main window; null before initialise and after shutdown. */
    std::unique_ptr<MainWindow> mainWindow;
};
