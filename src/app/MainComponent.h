#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include "appearance/lafMorvelane.h"
#include "plots/FigureGridComponent.h"
#include "workspace/DesignComponent.h"

/** The content of the main window: the six plots, a draggable divider and the design workspace side
    by side. It owns the design (through its DesignComponent), redraws the plots after every change of
    the design, and is the program's menu-bar model and its only command target. */
class MainComponent : public juce::Component,
                      public DesignComponent::Listener,
                      public juce::ApplicationCommandTarget,
                      public juce::MenuBarModel
{
public:
    /** The commands of the menus, with the ids they are registered under. */
    enum CommandIDs
    {
        newDesign = 2,
        openDesign = 3,
        saveDesign = 4,
        saveDesignAs = 5,
        lightMode = 6,
        darkMode = 7,
        onlineManual = 8
    };

    /** Menu item id of "About", a plain menu item (not a command) at the end of the Help menu. */
    static constexpr int aboutMenuItemId = 1;

    /** Divider width in pixels and the border left free around the three items. */
    static constexpr int dividerPixels = 8, borderPixels = 6;

    /** Window content size at start, in pixels. */
    static constexpr int initialWidth = 1024, initialHeight = 768;

    /** The file pattern offered by Save As, and the extension given to a saved name typed without one
        (Open offers DesignEngine::projectFilePatterns). */
    static const char* const savePattern;
    static const char* const projectExtension;

    /** The manual of the program whose executable is given: the page that the build installs
        beside it. Online Manual opens the one beside the running program. */
    static juce::File manualBeside (const juce::File& executable);

    /** Builds the plots, the workspace and the look-and-feel in the light scheme, registers the
        commands, draws the plots of the default design and sets the size to 1024 x 768. */
    MainComponent();
    ~MainComponent() override;

    /** Fills the background with the look-and-feel's window background colour. */
    void paint (juce::Graphics& g) override;

    /** Lays out plots, divider and workspace side by side inside a 6-pixel border. */
    void resized() override;

    /** Called by the design after every recompute or redraw request: redraws the plots. */
    void designChanged (DesignComponent*) override;

    /** Turns the current design state into the curves of the six plots, re-fitting the axes when the
        FFT length or the sample rate have changed since the start. */
    void updatePlots();

    //==============================================================================
    /** "File", "View", "Help". */
    juce::StringArray getMenuBarNames() override;
    /** The menu of that name (exact comparison); any other name gives an empty menu. */
    juce::PopupMenu getMenuForIndex (int topLevelMenuIndex, const juce::String& menuName) override;
    /** Item aboutMenuItemId shows the about box; other ids are ignored. */
    void menuItemSelected (int menuItemID, int topLevelMenuIndex) override;

    /** No further target: nullptr. */
    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    /** Appends the ids 2 to 8 in order. */
    void getAllCommands (juce::Array<juce::CommandID>& commands) override;
    /** Name, description, category "Menu" and key press of ids 2 to 8; other ids leave info alone. */
    void getCommandInfo (juce::CommandID commandID, juce::ApplicationCommandInfo& result) override;
    /** Runs the command and returns true for ids 2 to 8; returns false for any other id. */
    bool perform (const juce::ApplicationCommandTarget::InvocationInfo& info) override;

    //==============================================================================
    /** The about box: logo, version and build time in a modal alert window with one "Ok" button.
        Returns when the box is closed. */
    void showAboutBox();

    /** Writes the design as a project document to file (atomically). On success the file becomes the
        design's project path, which Save then writes to; a failure is shown in a warning box
        "Saving File" with the reason. Returns whether the document was written. */
    bool saveDesignTo (const juce::File& file);

    /** Switches every colour of the program to the light (true) or dark (false) scheme and repaints
        the whole window, the menu bar at its top included. */
    void applyScheme (bool light);

    juce::StretchableLayoutManager layout;
    std::unique_ptr<juce::StretchableLayoutResizerBar> resizerBar;
    juce::ApplicationCommandManager commandManager;
    DesignComponent designComponent;
    FigureGridComponent figureGrid;
    lafMorvelane laf;

protected:
    /** Asks the user for a project document to open; returns juce::File() when cancelled. */
    virtual juce::File browseForProjectToOpen();
    /** Asks the user where to save the project document (warning before overwriting); returns
        juce::File() when cancelled. A name typed without extension gets projectExtension. */
    virtual juce::File browseForProjectToSave();

private:
    void createFigures();
    void newDesignCommand();
    void openDesignCommand();
    void saveDesignCommand();
    void saveDesignAsCommand();
    void openOnlineManual();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
