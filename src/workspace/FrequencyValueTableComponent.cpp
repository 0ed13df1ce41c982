#include "workspace/FrequencyValueTableComponent.h"

#include "design/DesignLimits.h"
#include "design/MeasurementImport.h"
#include "workspace/ValueTableRowSorter.h"

FrequencyValueTableComponent::EditableTextCustomComponent::EditableTextCustomComponent (FrequencyValueTableComponent& ownerTable)
    : juce::Label ({}, {}), owner (ownerTable)
{
    setEditable (false, true, false);
}

void FrequencyValueTableComponent::EditableTextCustomComponent::mouseDown (const juce::MouseEvent& event)
{
    owner.table.selectRowsBasedOnModifierKeys (row, event.mods, false);
}

void FrequencyValueTableComponent::EditableTextCustomComponent::textWasEdited()
{
    // A text without a number is refused like a value outside the field's domain (a user
    // point's: see storeValue). The cell then shows the value in effect: the stored one after a
    // refusal, and after an accepted text the number it was read as.
    if (const auto value = MeasurementImport::readLeadingNumber (getText()))
        owner.storeValue (row, columnId, *value);

    if (juce::isPositiveAndBelow (row, owner.rows.size()))
        setText (juce::String (getField (owner.rows[row], columnId)), juce::dontSendNotification);
}

//==============================================================================
FrequencyValueTableComponent::FrequencyValueTableComponent()
{
    setUpTable (table, { "Freq [Hz]", "Mag [dB]", "Phase [deg]" });
}

FrequencyValueTableComponent::~FrequencyValueTableComponent() = default;

void FrequencyValueTableComponent::resized()
{
    table.setBoundsInset (juce::BorderSize<int> (tableInset));
}

void FrequencyValueTableComponent::paintRowBackground (juce::Graphics& g, int, int width, int height, bool rowIsSelected)
{
    paintRowHighlight (g, width, height, rowIsSelected);
}

void FrequencyValueTableComponent::paintCell (juce::Graphics& g, int, int, int width, int height, bool)
{
    paintCellSeparator (g, font, width, height);
}

juce::Component* FrequencyValueTableComponent::refreshComponentForCell (int rowNumber, int columnId, bool,
                                                                       juce::Component* existingComponentToUpdate)
{
    // The list box hands over the cell's old component: it is either returned or deleted here.
    auto* label = dynamic_cast<EditableTextCustomComponent*> (existingComponentToUpdate);

    if (label == nullptr)
        delete existingComponentToUpdate;

    if (columnId < 1 || columnId > 3)
    {
        delete label;
        return nullptr;
    }

    if (label == nullptr)
        label = new EditableTextCustomComponent (*this);

    label->row = rowNumber;
    label->columnId = columnId;

    const double value = juce::isPositiveAndBelow (rowNumber, rows.size()) ? getField (rows.getReference (rowNumber), columnId)
                                                                            : 0.0;
    label->setText (juce::String (value), juce::dontSendNotification);
    return label;
}

int FrequencyValueTableComponent::getColumnAutoSizeWidth (int columnId)
{
    return autoSizeWidthForColumn (columnId);
}

int FrequencyValueTableComponent::getNumRows()
{
    return numRows;
}

void FrequencyValueTableComponent::sortOrderChanged (int newSortColumnId, bool isForwards)
{
    if (newSortColumnId == 0)
        return;

    ValueTableRowSorter::sortRows (rows, newSortColumnId, isForwards ? 1 : -1);

    table.updateContent();
}

bool FrequencyValueTableComponent::storeValue (int rowNumber, int columnId, double value)
{
    if (juce::isPositiveAndBelow (rowNumber, rows.size()))
    {
        auto changed = rows[rowNumber];

        switch (columnId)
        {
            case 1: changed.frequency = value; break;
            case 2: changed.magnitude = value; break;
            case 3: changed.phase = value; break;
            default: break;
        }

        if (! DesignLimits::isValidUserPoint (changed.frequency, changed.magnitude, changed.phase))
            return false;

        rows.set (rowNumber, changed);
    }

    notifyListeners();
    return true;
}

double FrequencyValueTableComponent::getField (const Row& row, int columnId)
{
    switch (columnId)
    {
        case 1: return row.frequency;
        case 2: return row.magnitude;
        case 3: return row.phase;
        default: return 0.0;
    }
}
