#pragma once

#include "workspace/ValueTableComponent.h"

/**
    The table of user-defined points of the filter response: one row per point with its frequency
    (Hz), magnitude (dB) and phase (degrees) in columns 1, 2 and 3.

    Every cell is a label edited by a double click. A committed, changed text is read as its leading
    number, stored into the row and announced to the listeners, unless it starts with no number or
    the number lies outside the field's domain.
    A click on a column header sorts the rows by that column; sorting announces nothing.
*/
class FrequencyValueTableComponent : public ValueTableComponent
{
public:
    /** One user-defined point. */
    struct Row
    {
        double frequency = 0.0; ///< Hz
        double magnitude = 0.0; ///< dB
        double phase = 0.0;     ///< degrees
    };

    /** The editing label of one cell; created, reused and deleted by the list box. */
    class EditableTextCustomComponent : public juce::Label
    {
    public:
        /** Makes an empty label that starts editing on a double click and commits on focus loss. */
        explicit EditableTextCustomComponent (FrequencyValueTableComponent& ownerTable);

        /** Selects the cell's row as a click on the row would (modifier keys extend or toggle). */
        void mouseDown (const juce::MouseEvent& event) override;

        /** Stores the committed text's leading number (MeasurementImport::readLeadingNumber) into
            the cell's field and notifies; a text without a number, or a value outside the field's
            domain (see storeValue), is not stored. Either way the cell then shows the value in
            effect. */
        void textWasEdited() override;

        FrequencyValueTableComponent& owner;
        int row = 0;
        int columnId = 0;
    };

    /** Makes an empty table with the columns "Freq [Hz]", "Mag [dB]" and "Phase [deg]". */
    FrequencyValueTableComponent();
    ~FrequencyValueTableComponent() override;

    /** Places the list box inside this component, inset by 8 pixels on every side. */
    void resized() override;

    /** Fills a selected row with the palette's selected-row colour. */
    void paintRowBackground (juce::Graphics& g, int rowNumber, int width, int height, bool rowIsSelected) override;

    /** Draws the cell separator; the values themselves are shown by the cell labels. */
    void paintCell (juce::Graphics& g, int rowNumber, int columnId, int width, int height, bool rowIsSelected) override;

    /** Returns the label of a cell in columns 1 to 3 showing the row's value (0.0 beyond the stored
        rows), reusing the existing component; nullptr for any other column. */
    juce::Component* refreshComponentForCell (int rowNumber, int columnId, bool isRowSelected,
                                              juce::Component* existingComponentToUpdate) override;

    /** 50 for column id 9, 40 for any other. */
    int getColumnAutoSizeWidth (int columnId) override;

    /** Returns numRows. */
    int getNumRows() override;

    /** Sorts the rows by the column's value (ascending when forwards) and refreshes the list box;
        column 0 does nothing. The listeners are not told. */
    void sortOrderChanged (int newSortColumnId, bool isForwards) override;

    /** Stores a value into field columnId (1 frequency, 2 magnitude, 3 phase) of row rowNumber when
        that row exists and notifies the listeners. A value outside its field's domain
        (DesignLimits::isValidUserPoint: a finite frequency of 0 Hz or more, |magnitude| <= 200 dB,
        |phase| <= 1e9 degrees) is refused: nothing is stored, nobody is notified, and false is
        returned. */
    bool storeValue (int rowNumber, int columnId, double value);

    /** The field of a row by column id (1 frequency, 2 magnitude, 3 phase; 0.0 for other ids). */
    static double getField (const Row& row, int columnId);

    juce::TableListBox table { {}, this };
    juce::Font font { 14.0f };
    /** Row count reported to the list box; the editor keeps it equal to rows.size(). */
    int numRows = 0;
    juce::Array<Row> rows;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FrequencyValueTableComponent)
};
