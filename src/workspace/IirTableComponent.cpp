#include "workspace/IirTableComponent.h"

#include "design/DesignLimits.h"
#include "design/IirFilterType.h"
#include "design/MeasurementImport.h"

IirTableComponent::EditableTextCustomComponent::EditableTextCustomComponent (IirTableComponent& ownerTable)
    : juce::Label ({}, {}), owner (ownerTable)
{
    setEditable (false, true, false);
}

void IirTableComponent::EditableTextCustomComponent::mouseDown (const juce::MouseEvent& event)
{
    owner.table.selectRowsBasedOnModifierKeys (row, event.mods, false);
}

void IirTableComponent::EditableTextCustomComponent::textWasEdited()
{
    // A text without a number is refused like a value outside the field's domain (the row's as
    // a section at the design's rate: see storeValue). The cell then shows the value in effect:
    // the stored one after a refusal, and after an accepted text the number it was read as.
    if (const auto value = MeasurementImport::readLeadingNumber (getText()))
        owner.storeValue (row, columnId, *value);

    if (juce::isPositiveAndBelow (row, owner.rows.size()))
        setText (juce::String (getField (owner.rows[row], columnId)), juce::dontSendNotification);
}

//==============================================================================
IirTableComponent::MyComboBoxComponent::MyComboBoxComponent (IirTableComponent& ownerTable)
    : owner (ownerTable)
{
    addAndMakeVisible (comboBox);
    comboBox.onChange = [this] { onComboChanged(); };
}

IirTableComponent::MyComboBoxComponent::~MyComboBoxComponent() = default;

void IirTableComponent::MyComboBoxComponent::resized()
{
    comboBox.setBoundsInset (juce::BorderSize<int> (2));
}

void IirTableComponent::MyComboBoxComponent::onComboChanged()
{
    const int id = comboBox.getSelectedId();

    // A combo shows no item for a stored type that has none (5, say). The user cannot choose
    // "no item", so id 0 only comes from the notification of a newly made cell: keep the stored
    // type rather than overwrite it with 0.
    if (columnId != 1 || id == 0)
        owner.notifyListeners();
    else if (! owner.storeType (row, id))
        comboBox.setSelectedId (owner.rows[row].type, juce::dontSendNotification);
}

IirTableComponent::ComboBoxFilterTypeComponent::ComboBoxFilterTypeComponent (IirTableComponent& ownerTable)
    : MyComboBoxComponent (ownerTable)
{
    for (const auto& item : IirFilterType::items)
        comboBox.addItem (juce::translate (item.text), item.id);

    // The default notification is asynchronous: once the message loop runs, the cell reports the
    // selection it then shows, which refreshComponentForCell has set to the row's type.
    comboBox.setSelectedId (IirFilterType::lowPass1stOrder);
}

IirTableComponent::ComboBoxFilterTypeComponent::~ComboBoxFilterTypeComponent() = default;

//==============================================================================
IirTableComponent::IirTableComponent()
{
    setUpTable (table, { "Filter Type", "Freq [Hz]", "Q/S", "Gain [dB]" });
}

IirTableComponent::~IirTableComponent() = default;

void IirTableComponent::resized()
{
    table.setBoundsInset (juce::BorderSize<int> (tableInset));
}

void IirTableComponent::paintRowBackground (juce::Graphics& g, int, int width, int height, bool rowIsSelected)
{
    paintRowHighlight (g, width, height, rowIsSelected);
}

void IirTableComponent::paintCell (juce::Graphics& g, int, int, int width, int height, bool)
{
    paintCellSeparator (g, font, width, height);
}

juce::Component* IirTableComponent::refreshComponentForCell (int rowNumber, int columnId, bool,
                                                            juce::Component* existingComponentToUpdate)
{
    // The list box hands over the cell's old component: it is either returned or deleted here.
    if (columnId < 1 || columnId > 4)
    {
        delete existingComponentToUpdate;
        return nullptr;
    }

    const bool rowExists = juce::isPositiveAndBelow (rowNumber, rows.size());
    const Row row = rowExists ? rows[rowNumber] : Row();

    if (columnId == 1)
    {
        auto* cell = dynamic_cast<ComboBoxFilterTypeComponent*> (existingComponentToUpdate);

        if (cell == nullptr)
        {
            delete existingComponentToUpdate;
            cell = new ComboBoxFilterTypeComponent (*this);
        }

        cell->row = rowNumber;
        cell->columnId = 1;
        cell->comboBox.setSelectedId (row.type, juce::dontSendNotification);
        return cell;
    }

    auto* label = dynamic_cast<EditableTextCustomComponent*> (existingComponentToUpdate);

    if (label == nullptr)
    {
        delete existingComponentToUpdate;
        label = new EditableTextCustomComponent (*this);
    }

    label->row = rowNumber;
    label->columnId = columnId;

    label->setText (juce::String (getField (row, columnId)), juce::dontSendNotification);
    return label;
}

int IirTableComponent::getColumnAutoSizeWidth (int columnId)
{
    return autoSizeWidthForColumn (columnId);
}

int IirTableComponent::getNumRows()
{
    return numRows;
}

void IirTableComponent::sortOrderChanged (int newSortColumnId, bool)
{
    if (newSortColumnId == 0)
        return;

    table.updateContent();
}

bool IirTableComponent::storeValue (int rowNumber, int columnId, double value)
{
    if (juce::isPositiveAndBelow (rowNumber, rows.size()))
    {
        auto changed = rows[rowNumber];

        switch (columnId)
        {
            case 2: changed.frequency = value; break;
            case 3: changed.q = value; break;
            case 4: changed.gain = value; break;
            default: break;
        }

        if (! isValidRow (changed))
            return false;

        rows.set (rowNumber, changed);
    }

    notifyListeners();
    return true;
}

bool IirTableComponent::storeType (int rowNumber, int type)
{
    if (juce::isPositiveAndBelow (rowNumber, rows.size()) && rows[rowNumber].type != type)
    {
        auto changed = rows[rowNumber];
        changed.type = type;

        if (! isValidRow (changed))
            return false;

        rows.set (rowNumber, changed);
    }

    notifyListeners();
    return true;
}

double IirTableComponent::getField (const Row& row, int columnId)
{
    switch (columnId)
    {
        case 2: return row.frequency;
        case 3: return row.q;
        case 4: return row.gain;
        default: return 0.0;
    }
}

IirTableComponent::Row IirTableComponent::makeNewRow() const
{
    Row row;

    if (! isValidRow (row))
        row.frequency = sampleRate / 4.0;

    return row;
}

bool IirTableComponent::isValidRow (const Row& row) const
{
    return DesignLimits::isValidIirSection ((std::size_t) (std::uint32_t) row.type, row.gain, row.frequency, row.q, sampleRate);
}
