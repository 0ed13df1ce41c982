#include "plots/FigureGridComponent.h"

FigureGridComponent::~FigureGridComponent()
{
    // Released last member first, as the members would be anyway; spelled out because the figures
    // are children of this component while they live.
    figResultFrequency.reset();
    figResultTime.reset();
    figFilterFrequency.reset();
    figFilterTime.reset();
    figInputFrequency.reset();
    figInputTime.reset();
}

std::array<FigureComponent*, 6> FigureGridComponent::getFigures() const
{
    return { figInputTime.get(), figInputFrequency.get(), figFilterTime.get(),
             figFilterFrequency.get(), figResultTime.get(), figResultFrequency.get() };
}

void FigureGridComponent::resized()
{
    using Track = juce::Grid::TrackInfo;
    using Fr = juce::Grid::Fr;

    juce::Grid grid;
    grid.templateRows = { Track (Fr (1)), Track (Fr (1)), Track (Fr (1)) };
    grid.templateColumns = { Track (Fr (1)), Track (Fr (1)) };
    grid.rowGap = juce::Grid::Px (gapPixels);
    grid.columnGap = juce::Grid::Px (gapPixels);

    for (auto* figure : getFigures())
        if (figure != nullptr)
            grid.items.add (juce::GridItem (*figure));

    grid.performLayout (getLocalBounds());
}
