#include "workspace/ValueTableComponent.h"

#include "appearance/ColourPalette.h"

void ValueTableComponent::notifyListeners()
{
    juce::Component::BailOutChecker checker (this);
    listeners.callChecked (checker, [this] (Listener& l) { l.valueTableChanged (this); });
}

void ValueTableComponent::setUpTable (juce::TableListBox& table, const juce::StringArray& columnTitles)
{
    addAndMakeVisible (table);
    table.setColour (juce::ListBox::outlineColourId, juce::Colours::grey);
    table.setOutlineThickness (1);

    auto& header = table.getHeader();

    for (int i = 0; i < columnTitles.size(); ++i)
        header.addColumn (juce::translate (columnTitles[i]), i + 1, 100, 50, 400,
                          juce::TableHeaderComponent::defaultFlags);

    header.setSortColumnId (1, true);
    table.setMultipleSelectionEnabled (true);
}

void ValueTableComponent::paintRowHighlight (juce::Graphics& g, int width, int height, bool rowIsSelected)
{
    if (rowIsSelected)
    {
        g.setColour (colourPalette[ColourPaletteIndex::selectedRow]);
        g.fillRect (0, 0, width, height);
    }
}

void ValueTableComponent::paintCellSeparator (juce::Graphics& g, const juce::Font& font, int width, int height)
{
    g.setFont (font);
    g.setColour (getLookAndFeel().findColour (juce::ListBox::backgroundColourId));
    g.fillRect (width - 1, 0, 1, height);
}

int ValueTableComponent::autoSizeWidthForColumn (int columnId)
{
    return columnId == 9 ? 50 : 40;
}
