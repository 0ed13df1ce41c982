#include "app/MainComponent.h"

namespace
{
// Width limits of the three side-by-side items: negative values are proportions of the whole width.
constexpr double plotsMinimum = 300.0, plotsMaximum = -0.9, plotsPreferred = -0.6;
constexpr double panelMinimum = 150.0, panelMaximum = -0.95, panelPreferred = 300.0;
} // namespace

MainComponent::MainComponent()
{
    createFigures();

    laf.lightMode = true;
    juce::LookAndFeel::getDefaultLookAndFeel().setUsingNativeAlertWindows (true);
    laf.applyColourScheme();
    setLookAndFeel (&laf);
    figureGrid.figInputTime->setLookAndFeel (&laf);
    designComponent.setLookAndFeel (&laf);

    layout.setItemLayout (0, plotsMinimum, plotsMaximum, plotsPreferred);
    layout.setItemLayout (1, dividerPixels, dividerPixels, dividerPixels);
    layout.setItemLayout (2, panelMinimum, panelMaximum, panelPreferred);

    addAndMakeVisible (figureGrid);
    resizerBar = std::make_unique<juce::StretchableLayoutResizerBar> (&layout, 1, true);
    addAndMakeVisible (*resizerBar);
    addAndMakeVisible (designComponent);

    designComponent.listeners.add (this);

    setApplicationCommandManagerToWatch (&commandManager);
    commandManager.registerAllCommandsForTarget (this);
    commandManager.setFirstCommandTarget (this);
    // Key presses reach the commands from any focused child: key events bubble up to this component.
    addKeyListener (commandManager.getKeyMappings());

    updatePlots();
    setSize (initialWidth, initialHeight);
}

MainComponent::~MainComponent()
{
    removeKeyListener (commandManager.getKeyMappings());
    commandManager.setFirstCommandTarget (nullptr);
    // The menu-bar base outlives the command manager member: it must stop watching it first.
    setApplicationCommandManagerToWatch (nullptr);
    setLookAndFeel (nullptr);
    figureGrid.figInputTime->setLookAndFeel (nullptr);
    designComponent.setLookAndFeel (nullptr);
}

void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId));
}

void MainComponent::resized()
{
    const auto area = getLocalBounds().reduced (borderPixels);
    juce::Component* items[] = { &figureGrid, resizerBar.get(), &designComponent };
    layout.layOutComponents (items, 3, area.getX(), area.getY(), juce::jmax (0, area.getWidth()),
                             juce::jmax (0, area.getHeight()), false, true);
}

void MainComponent::designChanged (DesignComponent*)
{
    updatePlots();
}
