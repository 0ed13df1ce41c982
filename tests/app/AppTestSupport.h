#pragma once

// Helpers of the application tests: describing a figure's curves, and a MainComponent whose file
// choosers are replaced by fixed answers. Modal windows are driven by the workspace tests' helper.

#include "workspace/GuiTestSupport.h"

#include "app/MainComponent.h"
#include "appearance/ColourPalette.h"

#include <cmath>
#include <string>
#include <vector>

namespace apptest
{
using namespace guitest;

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

/** What the user sees of a design: the workspace's control texts and states, and the plotted curves. */
inline std::vector<std::string> visibleState (MainComponent& main)
{
    std::vector<std::string> state;
    for (auto* child : main.designComponent.getChildren())
    {
        juce::String text;
        if (auto* box = dynamic_cast<juce::ComboBox*> (child))
            text = box->getText();
        else if (auto* label = dynamic_cast<juce::Label*> (child))
            text = label->getText();
        else if (auto* slider = dynamic_cast<juce::Slider*> (child))
            text = juce::String (slider->getValue()) + " " + juce::String (slider->getMinimum()) + ".."
                 + juce::String (slider->getMaximum());
        else if (auto* button = dynamic_cast<juce::Button*> (child))
            text = button->getToggleState() ? "on" : "off";
        state.push_back ((child->getName() + "=" + text + (child->isEnabled() ? "" : " (disabled)")).toStdString());
    }
    for (auto* figure : main.figureGrid.getFigures())
        for (auto* curve : curvesOf (*figure))
        {
            double sum = 0.0;
            for (double v : curve->y.data)
                sum += std::isfinite (v) ? v : 0.0;
            state.push_back (figure->getName().toStdString() + juce::String (curve->size()).toStdString() + ":"
                             + juce::String (sum, 9).toStdString());
        }
    return state;
}

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
