#pragma once

#include "workspace/ValueTableComponent.h"

/**
    The table of IIR sections of the filter response: one row per section with its type (column 1,
    an IirFilterType id chosen in a combo box), frequency in Hz (2), Q or shelf slope S (3) and gain
    in dB (4). The rows keep the order in which they were added; a header click never reorders them.

    Every stored edit, and every change of a type combo, is announced to the listeners.
*/
class IirTableComponent : public ValueTableComponent
{
public:
    /** One IIR section. */
    struct Row
    {
        int type = 3;             ///< IirFilterType id
        double frequency = 1000.0; ///< Hz
        double q = 0.707;         ///< Q, or the slope S of a shelf
        double gain = 0.0;        ///< dB
    };

    /** The editing label of a frequency, Q or gain cell; created, reused and deleted by the list box. */
    class EditableTextCustomComponent : public juce::Label
    {
    public:
        /** Makes an empty label that starts editing on a double click and commits on focus loss. */
        explicit EditableTextCustomComponent (IirTableComponent& ownerTable);

        /** Selects the cell's row as a click on the row would (modifier keys extend or toggle). */
        void mouseDown (const juce::MouseEvent& event) override;

        /** Stores the committed text's leading number (MeasurementImport::readLeadingNumber) into
            the cell's field and notifies; a text without a number, or a value that the table
            refuses (see storeValue), is not stored. Either way the cell then shows the value in
            effect. */
        void textWasEdited() override;

        IirTableComponent& owner;
        int row = 0;
        int columnId = 0;
    };

    /** A cell holding one combo box that fills it less 2 pixels on every side. */
    class MyComboBoxComponent : public juce::Component
    {
    public:
        /** Makes the combo box a visible child and routes its changes to onComboChanged. */
        explicit MyComboBoxComponent (IirTableComponent& ownerTable);
        ~MyComboBoxComponent() override;

        /** Insets the combo box by 2 pixels on every side. */
        void resized() override;

        /** Stores the selected id as the row's type when this is the type column and notifies the
            owner's listeners; a type that the table refuses (see storeType) is not stored, and the
            combo shows the stored type again. With nothing selected it only notifies. */
        void onComboChanged();

        IirTableComponent& owner;
        int row = 0;
        int columnId = 0;
        juce::ComboBox comboBox;
    };

    /** The type cell: a combo box with one item per IirFilterType. It first selects item 1 with an
        asynchronous notification, so a new cell reports its (then current) selection once. */
    class ComboBoxFilterTypeComponent : public MyComboBoxComponent
    {
    public:
        /** Fills the combo with the section types in id order and selects id 1 asynchronously. */
        explicit ComboBoxFilterTypeComponent (IirTableComponent& ownerTable);
        ~ComboBoxFilterTypeComponent() override;
    };

    /** Makes an empty table with the columns "Filter Type", "Freq [Hz]", "Q/S" and "Gain [dB]". */
    IirTableComponent();
    ~IirTableComponent() override;

    /** Places the list box inside this component, inset by 8 pixels on every side. */
    void resized() override;

    /** Fills a selected row with the palette's selected-row colour. */
    void paintRowBackground (juce::Graphics& g, int rowNumber, int width, int height, bool rowIsSelected) override;

    /** Draws the cell separator; the values themselves are shown by the cell components. */
    void paintCell (juce::Graphics& g, int rowNumber, int columnId, int width, int height, bool rowIsSelected) override;

    /** Column 1: the type combo showing the row's type (3 beyond the stored rows); columns 2 to 4:
        a label showing frequency, Q or gain (the new-row values beyond the stored rows); nullptr for
        any other column. Existing components are reused. */
    juce::Component* refreshComponentForCell (int rowNumber, int columnId, bool isRowSelected,
                                              juce::Component* existingComponentToUpdate) override;

    /** 50 for column id 9, 40 for any other. */
    int getColumnAutoSizeWidth (int columnId) override;

    /** Returns numRows. */
    int getNumRows() override;

    /** Refreshes the list box only: the sections keep their order. */
    void sortOrderChanged (int newSortColumnId, bool isForwards) override;

    /** Stores a value into field columnId (2 frequency, 3 q, 4 gain) of row rowNumber when that row
        exists and notifies the listeners. A value that would make the row an invalid section at
        sampleRate (DesignLimits::isValidIirSection: 0 < frequency < sampleRate / 2, Q or S within
        its range, |gain| <= 200 dB, all finite) is refused: nothing is stored, nobody is notified,
        and false is returned. */
    bool storeValue (int rowNumber, int columnId, double value);

    /** Stores a section type into row rowNumber when that row exists and notifies the listeners.
        A type other than the stored one that would make the row an invalid section at sampleRate
        (a Q of 0 turning into a PEQ, say) is refused as storeValue refuses a value. */
    bool storeType (int rowNumber, int type);

    /** The field of a row by column id (2 frequency, 3 q, 4 gain; 0.0 for other ids). */
    static double getField (const Row& row, int columnId);

    /** The row that "Add" appends: the default row, or at a sample rate of 2000 Hz or below, where
        1000 Hz is not below half the rate, the same at a quarter of the rate. */
    Row makeNewRow() const;

    /** The design's sample rate in Hz, at which every stored row must be a valid section. */
    double sampleRate = 48000.0;

    juce::TableListBox table { {}, this };
    juce::Font font { 14.0f };
    /** Row count reported to the list box; the editor keeps it equal to rows.size(). */
    int numRows = 0;
    juce::Array<Row> rows;

private:
    bool isValidRow (const Row& row) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IirTableComponent)
};
