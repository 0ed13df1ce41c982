#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/**
    Common base of the editor's two value tables: a component that is at the same time the
    juce::TableListBoxModel of the list box that the derived table owns.

    Each derived table keeps its rows itself, shows every cell through an editing component and
    announces every stored edit to its listeners. The base holds the listener list and the drawing
    and set-up that both tables share; it cannot be instantiated alone because getNumRows,
    paintRowBackground and paintCell are left to the derived tables.
*/
class ValueTableComponent : public juce::Component,
                            public juce::TableListBoxModel
{
public:
    /** Receives a call after every value that a cell of the table has stored. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** Called on the message thread with the table whose rows were edited. */
        virtual void valueTableChanged (ValueTableComponent* table) = 0;
    };

    ValueTableComponent() = default;

    /** Calls valueTableChanged of every listener, the most recently added first; the walk stops
        when this table is deleted by one of the callbacks. */
    void notifyListeners();

    /** The registered listeners (not owned); adding one twice keeps a single entry. */
    juce::ListenerList<Listener> listeners;

protected:
    /** Adds the list box as a visible child with a grey 1-pixel outline, gives it one sortable column
        per title (ids from 1, width 100, 50..400), sorts by column 1 ascending and allows multiple
        selection. The header announces the sort column asynchronously, so sortOrderChanged
        (1, true) arrives once the message loop runs. */
    void setUpTable (juce::TableListBox& table, const juce::StringArray& columnTitles);

    /** Fills a selected row with the palette's selected-row colour; leaves other rows unpainted. */
    static void paintRowHighlight (juce::Graphics& g, int width, int height, bool rowIsSelected);

    /** Draws the 1-pixel vertical separator on the right edge of a cell, in the list box
        background colour of this component's look-and-feel. */
    void paintCellSeparator (juce::Graphics& g, const juce::Font& font, int width, int height);

    /** Width for a column that the header auto-sizes: 50 pixels for column id 9, 40 for any other. */
    static int autoSizeWidthForColumn (int columnId);

    /** The inset of the list box inside the table component, in pixels on every side. */
    static constexpr int tableInset = 8;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ValueTableComponent)
};
