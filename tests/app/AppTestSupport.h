#pragma once

// Helpers shared by the application tests: reading a figure's curves, closing modal boxes from a
// timer, and a MainComponent whose file choosers are replaced by fixed answers.

#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

#include "app/MainComponent.h"
#include "appearance/ColourPalette.h"

namespace apptest
{
/** The curves of a figure in list order. */
inline std::vector<const FigureComponent::Curve*> curvesOf (const FigureComponent& figure)
{
    std::vector<const FigureComponent::Curve*> result;
    for (auto* curve = figure.curves.get(); curve != nullptr; curve = curve->next.get())
        result.push_back (curve);
    return result;
}

/** "axis:colour" of each curve, e.g. {"R:FFB1CEF0", "L:FF1E63B8"}: what a plot shows, in order. */
inline std::vector<std::string> describeCurves (const FigureComponent& figure)
{
    std::vector<std::string> result;
    for (auto* curve : curvesOf (figure))
        result.push_back ((curve->yAxis == 1 ? "R:" : "L:") + curve->colour.toString().toUpperCase().toStdString());
    return result;
}

/** The palette's colour of a role as "AARRGGBB", the form describeCurves() uses. */
inline std::string colourName (ColourPaletteIndex role)
{
    return colourPalette[role].toString().toUpperCase().toStdString();
}

/** What a modal box showed before the helper closed it. */
struct ClosedModal
{
    int count = 0;
    juce::String title;            // name of the modal component (an alert window's title)
    juce::StringArray buttonTexts; // texts of its buttons
    std::function<void (juce::Component&)> inspect; // runs on the modal component before it is closed
};

/** Watches for modal components while the test waits inside a modal loop and closes each one with
    result 0 (the first button's text is recorded), up to the number expected. Keeps polling every
    20 ms for as long as it lives. */
class ModalCloser : private juce::Timer
{
public:
    explicit ModalCloser (ClosedModal& record) : seen (record) { startTimer (20); }
    ~ModalCloser() override { stopTimer(); }

private:
    void timerCallback() override
    {
        auto& manager = *juce::ModalComponentManager::getInstance();
        if (manager.getNumModalComponents() == 0)
            return;

        auto* modal = manager.getModalComponent (0);
        ++seen.count;
        seen.title = modal->getName();
        std::function<void (juce::Component&)> collect = [&] (juce::Component& c)
        {
            if (auto* button = dynamic_cast<juce::Button*> (&c))
                seen.buttonTexts.add (button->getButtonText());
            for (auto* child : c.getChildren())
                collect (*child);
        };
        collect (*modal);
        if (seen.inspect)
            seen.inspect (*modal);
        modal->exitModalState (0);
    }

    ClosedModal& seen;
};

/** A MainComponent whose Open and Save As choosers answer with the files set here (an empty file
    stands for a cancelled chooser) and count how often they were asked. */
class ScriptedMainComponent : public MainComponent
{
public:
    juce::File fileToOpen, fileToSave;
    int openRequests = 0, saveRequests = 0;

protected:
    juce::File browseForProjectToOpen() override
    {
        ++openRequests;
        return fileToOpen;
    }
    juce::File browseForProjectToSave() override
    {
        ++saveRequests;
        return fileToSave;
    }
};

/** Runs a command as the menus and key presses do, through the command manager, synchronously. */
inline bool invoke (MainComponent& main, int commandId)
{
    return main.commandManager.invokeDirectly (commandId, false);
}

/** Every test starts from the palette the program starts with. */
class AppTest : public ::testing::Test
{
protected:
    void SetUp() override { colourPalette = startUpColourScheme(); }
    void TearDown() override { colourPalette = startUpColourScheme(); }
};
} // namespace apptest
