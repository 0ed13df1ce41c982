// The filter editor's two value tables: the user points (sortable by any column) and the IIR
// sections (never reordered), their cells, edits, selection and the components the list box hands over.
#include "GuiTestSupport.h"

#include "design/IirFilterType.h"
#include "workspace/FrequencyValueTableComponent.h"
#include "workspace/IirTableComponent.h"

#include <tuple>

using namespace guitest;

namespace
{
struct RecordingTableListener : public ValueTableComponent::Listener
{
    void valueTableChanged (ValueTableComponent* table) override { calls.push_back (table); }
    std::vector<ValueTableComponent*> calls;
};

// A table of the given kind, sized so that every row has its cell components.
template <typename Table, int width>
struct TableFixture : public ::testing::Test
{
    void SetUp() override
    {
        table.setSize (width, 300);
        pump(); // let the header's first sort notification pass
        table.listeners.add (&listener);
    }

    void fill (std::initializer_list<typename Table::Row> newRows)
    {
        table.rows.clear();
        table.rows.addArray (newRows);
        table.numRows = table.rows.size();
        table.table.updateContent();
    }

    typename Table::EditableTextCustomComponent* cell (int row, int columnId)
    {
        return dynamic_cast<typename Table::EditableTextCustomComponent*> (table.table.getCellComponent (columnId, row));
    }

    juce::ComboBox& typeCombo (int row)
    {
        return dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent&> (*table.table.getCellComponent (1, row)).comboBox;
    }

    Table table;
    RecordingTableListener listener;
};

using PointTable = TableFixture<FrequencyValueTableComponent, 400>;
using SectionTable = TableFixture<IirTableComponent, 500>;
using Section = IirTableComponent::Row;
} // namespace

TEST_F (PointTable, HeaderSortsWholeRowsByAnyColumnUpOrDownAndRefreshesTheCells)
{
    fill ({ { 100.0, 6.0, 1.0 }, { 200.0, -3.0, 2.0 }, { 300.0, 0.0, 3.0 } });
    table.table.getHeader().setSortColumnId (2, true);
    pump();
    EXPECT_EQ (table.rows[0].frequency, 200.0);
    EXPECT_EQ (table.rows[2].magnitude, 6.0);
    EXPECT_EQ (cell (0, 2)->getText(), "-3");

    table.table.getHeader().setSortColumnId (3, false);
    pump();
    EXPECT_EQ (table.rows[0].phase, 3.0);
    EXPECT_EQ (cell (0, 1)->getText(), "300");
    EXPECT_TRUE (listener.calls.empty());
}

TEST_F (PointTable, PointsThatShareAFrequencyKeepTheirOrderThroughEveryHeaderSort)
{
    // More rows than a sort handles by insertion, in runs of five at one frequency; the magnitudes
    // count up in table order, so the rows stay in it when every sort keeps equal keys in order.
    for (int i = 0; i < 60; ++i)
        table.rows.add ({ 100.0 * (i / 5 + 1), (double) i, 0.0 });
    table.numRows = table.rows.size();

    for (const auto& [column, forwards] : { std::pair (1, false), { 3, true }, { 1, true } })
    {
        table.table.getHeader().setSortColumnId (column, forwards);
        pump();
    }
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ (table.rows[i].magnitude, i);
}

TEST_F (PointTable, TypedTextStoresItsLeadingNumberWhenChangedAndCommitted)
{
    fill ({ { 100.0, 1.0, 2.0 }, { 200.0, 3.0, 4.0 } });
    const auto rowsNow = [this]
    {
        std::vector<double> values;
        for (const auto& r : table.rows)
            values.insert (values.end(), { r.frequency, r.magnitude, r.phase });
        return values;
    };
    struct Case { int row, column; const char* typed; bool escape; std::vector<double> rows; size_t notifications; };
    const Case cases[] = {
        { 1, 2, "12dB", false, { 100, 1, 2, 200, 12, 4 }, 1 },
        { 0, 3, "5e-4294967295", false, { 100, 1, 0, 200, 12, 4 }, 2 }, // an exponent beyond any int
        { 0, 1, " 2.5e3", false, { 2500, 1, 0, 200, 12, 4 }, 3 },
        { 0, 2, "1", false, { 2500, 1, 0, 200, 12, 4 }, 3 }, // unchanged: nothing
        { 0, 2, "55", true, { 2500, 1, 0, 200, 12, 4 }, 3 }, // escape: nothing
    };
    for (const auto& c : cases)
    {
        const auto before = listener.calls.size();
        typeIntoLabel (*cell (c.row, c.column), c.typed, c.escape);
        EXPECT_EQ (rowsNow(), c.rows) << c.typed;
        EXPECT_EQ (listener.calls.size(), c.notifications) << c.typed;

        // A stored text is shown as the number it was read as, not as typed.
        if (c.notifications > before)
        {
            EXPECT_EQ (cell (c.row, c.column)->getText(), juce::String (c.rows[(size_t) (c.row * 3 + c.column - 1)])) << c.typed;
        }
    }

    // A value for a row that no longer exists stores nothing.
    for (int row : { 2, -1 })
        table.storeValue (row, 1, 7.0);
    EXPECT_EQ (rowsNow(), cases[4].rows);
}

TEST_F (PointTable, PressOnACellSelectsItsRowWithTheModifierKeys)
{
    fill ({ { 1.0, 0.0, 0.0 }, { 2.0, 0.0, 0.0 }, { 3.0, 0.0, 0.0 } });
    const auto press = [this] (int row, int column, juce::ModifierKeys mods)
    {
        auto& c = *cell (row, column);
        const auto centre = c.getLocalBounds().getCentre().toFloat();
        const auto now = juce::Time::getCurrentTime();
        c.mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), centre, mods, 1.0f, 0.0f, 0.0f,
                                       0.0f, 0.0f, &c, &c, now, centre, now, 1, false));
    };
    press (1, 2, {});
    press (2, 1, juce::ModifierKeys::commandModifier);
    EXPECT_EQ (table.table.getNumSelectedRows(), 2);
    EXPECT_TRUE (table.table.isRowSelected (1) && table.table.isRowSelected (2));
}

// The list box hands its old components over for reuse: each is reused or deleted (the leak
// checkers of the sanitizer build and of the framework report any other).
TEST_F (PointTable, HandedOverComponentsAreReusedOrDeleted)
{
    fill ({ { 100.0, 1.0, 2.0 } });
    std::unique_ptr<juce::Component> first (table.refreshComponentForCell (0, 1, false, nullptr));
    EXPECT_EQ (table.refreshComponentForCell (0, 2, false, first.get()), first.get());
    EXPECT_EQ (dynamic_cast<juce::Label*> (first.get())->getText(), "1");

    std::unique_ptr<juce::Component> replaced (table.refreshComponentForCell (0, 3, false, new juce::Component()));
    EXPECT_NE (dynamic_cast<juce::Label*> (replaced.get()), nullptr);
    EXPECT_EQ (table.refreshComponentForCell (0, 7, false, first.release()), nullptr);

    // A row beyond the stored ones reads as zeros.
    std::unique_ptr<juce::Component> beyond (table.refreshComponentForCell (5, 2, false, replaced.release()));
    EXPECT_EQ (dynamic_cast<juce::Label*> (beyond.get())->getText(), "0");
}

TEST_F (SectionTable, HandedOverComponentsAreReusedOrDeleted)
{
    fill ({ Section { IirFilterType::peq, 100.0, 2.0, -6.0 } });
    std::unique_ptr<juce::Component> label (table.refreshComponentForCell (0, 2, false, nullptr));
    // A label handed over for the type column is replaced by a combo; a combo for a text column by a label.
    std::unique_ptr<juce::Component> combo (table.refreshComponentForCell (0, 1, false, label.release()));
    ASSERT_NE (dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (combo.get()), nullptr);
    label.reset (table.refreshComponentForCell (3, 4, false, combo.release())); // a row beyond the stored ones
    ASSERT_NE (dynamic_cast<IirTableComponent::EditableTextCustomComponent*> (label.get()), nullptr);
    EXPECT_EQ (table.refreshComponentForCell (0, 5, false, label.release()), nullptr);
    pump();
}

TEST_F (SectionTable, NewTypeCellsStoreTheirRowsOwnTypeOnceAndKeepTypesWithoutAnItem)
{
    fill ({ Section { IirFilterType::lowShelf, 100.0, 1.0, 3.0 }, Section { 5, 100.0, 1.0, 3.0 }, Section { 12, 100.0, 1.0, 3.0 } });
    EXPECT_TRUE (listener.calls.empty()); // nothing while the cells are being made
    EXPECT_EQ (typeCombo (1).getSelectedId(), 0);

    // Each new combo's pending notification arrives once the message loop runs; reused cells send none.
    pump();
    table.table.updateContent();
    pump();
    EXPECT_EQ (listener.calls.size(), 3u);
    EXPECT_EQ (table.rows[0].type, IirFilterType::lowShelf);
    EXPECT_EQ (table.rows[1].type, 5);
    EXPECT_EQ (table.rows[2].type, 12);
}

TEST_F (SectionTable, CellsStoreIntoTheirOwnRowAndColumnOnlyWhenChanged)
{
    fill ({ Section { IirFilterType::peq, 100.0, 2.0, -6.0 }, Section { IirFilterType::peq, 100.0, 2.0, -6.0 } });
    pump();
    listener.calls.clear();

    typeIntoLabel (*cell (1, 2), "250 Hz");
    typeIntoLabel (*cell (1, 3), "0.5x");
    typeIntoLabel (*cell (1, 4), "-6");      // unchanged: nothing
    typeIntoLabel (*cell (1, 4), "3", true); // escape: nothing
    typeCombo (1).setSelectedId (IirFilterType::highShelf); // as the popup menu does
    pump();

    const auto& r = table.rows[1];
    EXPECT_EQ (std::make_tuple (r.type, r.frequency, r.q, r.gain), std::make_tuple ((int) IirFilterType::highShelf, 250.0, 0.5, -6.0));
    EXPECT_EQ (table.rows[0].frequency + table.rows[0].q, 102.0);
    EXPECT_EQ (table.rows[0].type, IirFilterType::peq);
    EXPECT_EQ (listener.calls.size(), 3u);
}

TEST_F (SectionTable, HeaderClickNeverReordersSections)
{
    fill ({ Section { 9, 3000.0, 1.0, 0.0 }, Section { 1, 100.0, 1.0, 0.0 }, Section { 6, 1000.0, 1.0, 5.0 } });
    pump();
    for (int columnId = 1; columnId <= 4; ++columnId)
    {
        table.table.getHeader().setSortColumnId (columnId, columnId % 2 == 0);
        pump();
    }
    EXPECT_EQ (table.rows[0].frequency, 3000.0);
    EXPECT_EQ (table.rows[1].frequency, 100.0);
    EXPECT_EQ (table.rows[2].frequency, 1000.0);
}
