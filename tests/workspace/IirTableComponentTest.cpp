#include "workspace/IirTableComponent.h"

#include "design/IirFilterType.h"
#include "GuiTestSupport.h"

#include <gtest/gtest.h>


using namespace guitest;

namespace
{
using Row = IirTableComponent::Row;

struct SectionTableFixture : public ::testing::Test
{
    void SetUp() override
    {
        table.setSize (500, 300);
        pump(); // let the header's first sort notification pass
        table.listeners.add (&listener);
    }

    void fill (std::initializer_list<Row> newRows)
    {
        table.rows.clear();
        table.rows.addArray (newRows);
        table.numRows = table.rows.size();
        table.table.updateContent();
    }

    IirTableComponent::ComboBoxFilterTypeComponent* typeCell (int row)
    {
        return dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (table.table.getCellComponent (1, row));
    }

    IirTableComponent::EditableTextCustomComponent* cell (int row, int columnId)
    {
        return dynamic_cast<IirTableComponent::EditableTextCustomComponent*> (table.table.getCellComponent (columnId, row));
    }

    IirTableComponent table;
    RecordingTableListener listener;
};
} // namespace

TEST_F (SectionTableFixture, NewRowDefaultsAreAHighPassAt1000Hz)
{
    const Row row;
    EXPECT_EQ (row.type, IirFilterType::highPass1stOrder);
    EXPECT_EQ (row.frequency, 1000.0);
    EXPECT_EQ (row.q, 0.707);
    EXPECT_EQ (row.gain, 0.0);

    // A row number beyond the stored rows shows the same values.
    std::unique_ptr<juce::Component> combo (table.refreshComponentForCell (2, 1, false, nullptr));
    auto* typeComponent = dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (combo.get());
    ASSERT_NE (typeComponent, nullptr);
    EXPECT_EQ (typeComponent->comboBox.getSelectedId(), IirFilterType::highPass1stOrder);
    EXPECT_EQ (typeComponent->comboBox.getText(), "High Pass 1st Order");

    std::unique_ptr<juce::Component> q (table.refreshComponentForCell (2, 3, false, nullptr));
    EXPECT_EQ (dynamic_cast<juce::Label*> (q.get())->getText(), "0.707");

    EXPECT_EQ (table.refreshComponentForCell (0, 5, false, nullptr), nullptr);
    EXPECT_EQ (table.refreshComponentForCell (0, 0, false, nullptr), nullptr);
    combo.reset();
    pump(); // a deleted combo sends nothing
    EXPECT_TRUE (listener.calls.empty());
}

TEST_F (SectionTableFixture, TypeComboOffersEveryKindInIdOrder)
{
    fill ({ Row { IirFilterType::peq, 100.0, 2.0, -6.0 } });
    auto* combo = typeCell (0);
    ASSERT_NE (combo, nullptr);

    ASSERT_EQ (combo->comboBox.getNumItems(), 8);
    const int expectedIds[] = { 1, 2, 3, 4, 6, 7, 8, 9 };

    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (combo->comboBox.getItemId (i), expectedIds[i]);
        EXPECT_EQ (combo->comboBox.getItemText (i), IirFilterType::getText (expectedIds[i]));
    }

    EXPECT_EQ (combo->comboBox.getItemText (4), "PEQ");
    EXPECT_EQ (combo->comboBox.getSelectedId(), IirFilterType::peq);
}

TEST_F (SectionTableFixture, NewTypeCellReportsItsRowTypeOnceAfterTheMessageLoopRuns)
{
    fill ({ Row { IirFilterType::lowShelf, 100.0, 1.0, 3.0 }, Row { IirFilterType::allpass, 2000.0, 0.5, 0.0 } });

    // Nothing is announced while the cells are being made ...
    EXPECT_TRUE (listener.calls.empty());
    EXPECT_EQ (typeCell (0)->comboBox.getSelectedId(), IirFilterType::lowShelf);

    // ... then each new combo's pending notification stores its row's own type again.
    pump();
    EXPECT_EQ (listener.calls.size(), 2u);
    EXPECT_EQ (table.rows[0].type, IirFilterType::lowShelf);
    EXPECT_EQ (table.rows[1].type, IirFilterType::allpass);

    // Reused cells bring no further notification.
    table.table.updateContent();
    table.table.repaint();
    pump();
    EXPECT_EQ (listener.calls.size(), 2u);
}

TEST_F (SectionTableFixture, TypeWithoutAnItemShowsAnEmptyComboAndIsKept)
{
    fill ({ Row { 5, 100.0, 1.0, 3.0 }, Row { 0, 100.0, 1.0, 3.0 }, Row { 12, 100.0, 1.0, 3.0 } });

    for (int row = 0; row < 3; ++row)
    {
        EXPECT_EQ (typeCell (row)->comboBox.getSelectedId(), 0);
        EXPECT_TRUE (typeCell (row)->comboBox.getText().isEmpty());
    }

    pump();
    EXPECT_EQ (listener.calls.size(), 3u);
    EXPECT_EQ (table.rows[0].type, 5);
    EXPECT_EQ (table.rows[1].type, 0);
    EXPECT_EQ (table.rows[2].type, 12);
}

TEST_F (SectionTableFixture, ChoosingATypeStoresItAndNotifies)
{
    fill ({ Row {}, Row {} });
    pump();
    listener.calls.clear();

    typeCell (1)->comboBox.setSelectedId (IirFilterType::highShelf); // as the popup menu does
    pump();

    EXPECT_EQ (table.rows[1].type, IirFilterType::highShelf);
    EXPECT_EQ (table.rows[0].type, IirFilterType::highPass1stOrder);
    ASSERT_EQ (listener.calls.size(), 1u);
    EXPECT_EQ (listener.calls[0], &table);
}

TEST_F (SectionTableFixture, TextCellsStoreFrequencyQAndGain)
{
    fill ({ Row { IirFilterType::peq, 100.0, 2.0, -6.0 } });
    pump();
    listener.calls.clear();

    EXPECT_EQ (cell (0, 2)->getText(), "100");
    EXPECT_EQ (cell (0, 4)->getText(), "-6");

    typeIntoLabel (*cell (0, 2), "250 Hz");
    typeIntoLabel (*cell (0, 3), "x");
    typeIntoLabel (*cell (0, 4), "-6");      // unchanged: nothing
    typeIntoLabel (*cell (0, 4), "3", true); // escape: nothing

    EXPECT_EQ (table.rows[0].frequency, 250.0);
    EXPECT_EQ (table.rows[0].q, 0.0);
    EXPECT_EQ (table.rows[0].gain, -6.0);
    EXPECT_EQ (table.rows[0].type, IirFilterType::peq);
    EXPECT_EQ (listener.calls.size(), 2u);
}

TEST_F (SectionTableFixture, HeaderClickNeverReordersSections)
{
    fill ({ Row { 9, 3000.0, 1.0, 0.0 }, Row { 1, 100.0, 1.0, 0.0 }, Row { 6, 1000.0, 1.0, 5.0 } });
    pump();
    listener.calls.clear();

    for (int columnId = 1; columnId <= 4; ++columnId)
    {
        table.table.getHeader().setSortColumnId (columnId, columnId % 2 == 0);
        pump();
    }

    EXPECT_EQ (table.rows[0].frequency, 3000.0);
    EXPECT_EQ (table.rows[1].frequency, 100.0);
    EXPECT_EQ (table.rows[2].frequency, 1000.0);
    EXPECT_TRUE (listener.calls.empty());
}

TEST_F (SectionTableFixture, HandedOverComponentsAreReusedOrDeleted)
{
    fill ({ Row { IirFilterType::peq, 100.0, 2.0, -6.0 } });

    std::unique_ptr<juce::Component> label (table.refreshComponentForCell (0, 2, false, nullptr));
    // A label handed over for the type column is replaced by a combo; a combo for a text column by a label.
    std::unique_ptr<juce::Component> combo (table.refreshComponentForCell (0, 1, false, label.release()));
    ASSERT_NE (dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (combo.get()), nullptr);
    label.reset (table.refreshComponentForCell (0, 4, false, combo.release()));
    ASSERT_NE (dynamic_cast<IirTableComponent::EditableTextCustomComponent*> (label.get()), nullptr);
    EXPECT_EQ (dynamic_cast<juce::Label*> (label.get())->getText(), "-6");
    EXPECT_EQ (table.refreshComponentForCell (0, 5, false, label.release()), nullptr);
    pump();
}
