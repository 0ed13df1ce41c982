// The two value tables of the filter editor: the user points (sortable by any column) and the
// IIR sections (never reordered), their cells, edits, selection and listeners.
#include "GuiTestSupport.h"

#include "appearance/ColourPalette.h"
#include "design/IirFilterType.h"
#include "workspace/FrequencyValueTableComponent.h"
#include "workspace/IirTableComponent.h"

using namespace guitest;

namespace
{
/** A table of the given kind with rows, sized so that every row has its cell components. */
template <typename Table, int width>
struct TableFixture : public ::testing::Test
{
    using Row = typename Table::Row;

    void SetUp() override
    {
        table.setSize (width, 300);
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

    typename Table::EditableTextCustomComponent* cell (int row, int columnId)
    {
        return dynamic_cast<typename Table::EditableTextCustomComponent*> (table.table.getCellComponent (columnId, row));
    }

    IirTableComponent::ComboBoxFilterTypeComponent* typeCell (int row)
    {
        return dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (table.table.getCellComponent (1, row));
    }

    Table table;
    RecordingTableListener listener;
};

using PointTableFixture = TableFixture<FrequencyValueTableComponent, 400>;
using SectionTableFixture = TableFixture<IirTableComponent, 500>;
using Row = FrequencyValueTableComponent::Row;
using Section = IirTableComponent::Row;
} // namespace

TEST_F (PointTableFixture, HeaderSortsByAnyColumnUpOrDownAndRefreshesCells)
{
    auto& header = table.table.getHeader();
    EXPECT_EQ (header.getColumnName (1), "Freq [Hz]");
    EXPECT_EQ (header.getColumnName (2), "Mag [dB]");
    EXPECT_EQ (header.getColumnName (3), "Phase [deg]");
    EXPECT_EQ (header.getSortColumnId(), 1);

    fill ({ { 100.0, 6.0, 1.0 }, { 200.0, -3.0, 2.0 }, { 300.0, 0.0, 3.0 } });
    header.setSortColumnId (2, true);
    pump();
    EXPECT_EQ (table.rows[0].frequency, 200.0); // whole rows move
    EXPECT_EQ (table.rows[2].magnitude, 6.0);
    EXPECT_EQ (cell (0, 2)->getText(), "-3");

    header.setSortColumnId (3, false);
    pump();
    EXPECT_EQ (table.rows[0].phase, 3.0);
    EXPECT_EQ (cell (0, 1)->getText(), "300");
    EXPECT_TRUE (listener.calls.empty());
}

TEST_F (PointTableFixture, CellsShowStoredValuesInShortForm)
{
    fill ({ { 1000.0, 0.707, -12.5 }, { 1.0e-9, 123456789.0, 0.0 } });

    EXPECT_EQ (cell (0, 1)->getText(), "1000");
    EXPECT_EQ (cell (0, 2)->getText(), "0.707");
    EXPECT_EQ (cell (0, 3)->getText(), "-12.5");
    EXPECT_EQ (cell (1, 1)->getText(), "1e-09");
    EXPECT_EQ (cell (1, 2)->getText(), "1.23457e+08");

    // A row number beyond the stored rows reads zeros rather than failing.
    std::unique_ptr<juce::Component> beyond (table.refreshComponentForCell (5, 2, false, nullptr));
    auto* label = dynamic_cast<juce::Label*> (beyond.get());
    ASSERT_NE (label, nullptr);
    EXPECT_EQ (label->getText(), "0");

    EXPECT_EQ (table.refreshComponentForCell (0, 4, false, nullptr), nullptr);
    EXPECT_EQ (table.refreshComponentForCell (0, 0, false, nullptr), nullptr);
}

TEST_F (PointTableFixture, TypedTextStoresItsLeadingNumberWhenChangedAndCommitted)
{
    fill ({ { 100.0, 1.0, 2.0 }, { 200.0, 3.0, 4.0 } });
    const auto rowsNow = [this]
    {
        std::vector<double> values;
        for (const auto& r : table.rows)
            values.insert (values.end(), { r.frequency, r.magnitude, r.phase });
        return values;
    };
    struct Case
    {
        int row, column;
        const char* typed;
        bool escape;
        std::vector<double> rows;
        size_t notifications;
    };
    const Case cases[] = {
        { 1, 2, "12dB", false, { 100, 1, 2, 200, 12, 4 }, 1 },
        { 0, 3, "abc", false, { 100, 1, 0, 200, 12, 4 }, 2 },
        { 0, 1, " 2.5e3", false, { 2500, 1, 0, 200, 12, 4 }, 3 },
        { 0, 2, "1", false, { 2500, 1, 0, 200, 12, 4 }, 3 },  // unchanged: nothing
        { 0, 2, "55", true, { 2500, 1, 0, 200, 12, 4 }, 3 },  // escape: nothing
    };
    for (const auto& c : cases)
    {
        typeIntoLabel (*cell (c.row, c.column), c.typed, c.escape);
        EXPECT_EQ (rowsNow(), c.rows) << c.typed;
        EXPECT_EQ (listener.calls.size(), c.notifications) << c.typed;
    }
    EXPECT_EQ (listener.calls[0], &table);
    EXPECT_EQ (cell (0, 2)->getText(), "1");
    // The cell keeps the typed text until the list box refreshes it.
    EXPECT_EQ (cell (1, 2)->getText(), "12dB");
    table.table.updateContent();
    EXPECT_EQ (cell (1, 2)->getText(), "12");
}

TEST_F (PointTableFixture, StoringIntoAMissingRowOnlyNotifies)
{
    fill ({ { 100.0, 1.0, 2.0 } });

    table.storeValue (3, 1, 7.0);
    table.storeValue (-1, 1, 7.0);
    table.storeValue (0, 4, 7.0);

    EXPECT_EQ (table.rows.size(), 1);
    EXPECT_EQ (table.rows[0].frequency, 100.0);
    EXPECT_EQ (table.rows[0].magnitude, 1.0);
    EXPECT_EQ (table.rows[0].phase, 2.0);
    EXPECT_EQ (listener.calls.size(), 3u);
}

TEST_F (PointTableFixture, PressOnACellSelectsItsRowWithModifierKeys)
{
    fill ({ { 1.0, 0.0, 0.0 }, { 2.0, 0.0, 0.0 }, { 3.0, 0.0, 0.0 }, { 4.0, 0.0, 0.0 } });

    cell (1, 2)->mouseDown (makeMouseDown (*cell (1, 2), {}));
    EXPECT_EQ (table.table.getNumSelectedRows(), 1);
    EXPECT_TRUE (table.table.isRowSelected (1));

    cell (3, 1)->mouseDown (makeMouseDown (*cell (3, 1), juce::ModifierKeys::commandModifier));
    EXPECT_EQ (table.table.getNumSelectedRows(), 2);
    EXPECT_TRUE (table.table.isRowSelected (3));

    cell (3, 3)->mouseDown (makeMouseDown (*cell (3, 3), juce::ModifierKeys::commandModifier));
    EXPECT_FALSE (table.table.isRowSelected (3));

    cell (2, 3)->mouseDown (makeMouseDown (*cell (2, 3), juce::ModifierKeys::shiftModifier));
    EXPECT_TRUE (table.table.isRowSelected (1));
    EXPECT_TRUE (table.table.isRowSelected (2));
    EXPECT_EQ (table.table.getNumSelectedRows(), 2);

    EXPECT_TRUE (listener.calls.empty());
}

TEST_F (PointTableFixture, OnlySelectedRowsArePaintedAndCellsGetASeparator)
{
    auto paint = [] (std::function<void (juce::Graphics&)> draw)
    {
        juce::Image image (juce::Image::ARGB, 20, 10, true);
        juce::Graphics g (image);
        draw (g);
        return image;
    };
    EXPECT_EQ (paint ([&] (auto& g) { table.paintRowBackground (g, 0, 20, 10, false); }).getPixelAt (5, 5).getAlpha(), 0);
    EXPECT_EQ (paint ([&] (auto& g) { table.paintRowBackground (g, 0, 20, 10, true); }).getPixelAt (5, 5),
               colourPalette[ColourPaletteIndex::selectedRow]);
    const auto cellImage = paint ([&] (auto& g) { table.paintCell (g, 0, 1, 20, 10, false); });
    EXPECT_EQ (cellImage.getPixelAt (19, 5), table.getLookAndFeel().findColour (juce::ListBox::backgroundColourId));
    EXPECT_EQ (cellImage.getPixelAt (18, 5).getAlpha(), 0);
}

TEST (ValueTableListenerTest, ListenerAddedTwiceIsCalledOnce)
{
    FrequencyValueTableComponent table;
    RecordingTableListener first, second;
    table.listeners.add (&first);
    table.listeners.add (&second);
    table.listeners.add (&first);

    table.notifyListeners();
    EXPECT_EQ (first.calls.size(), 1u);
    EXPECT_EQ (second.calls.size(), 1u);
}

TEST (ValueTableListenerTest, WalkStopsWhenACallbackDeletesTheTable)
{
    struct Deleter : public ValueTableComponent::Listener
    {
        void valueTableChanged (ValueTableComponent*) override { owned.reset(); ++calls; }
        std::unique_ptr<FrequencyValueTableComponent> owned;
        int calls = 0;
    };

    auto table = std::make_unique<FrequencyValueTableComponent>();
    RecordingTableListener addedFirst;
    Deleter addedLast;
    table->listeners.add (&addedFirst);
    table->listeners.add (&addedLast);

    auto* raw = table.get();
    addedLast.owned = std::move (table);
    raw->notifyListeners();

    // The last added listener is called first; it deletes the table, so the walk ends there.
    EXPECT_EQ (addedLast.calls, 1);
    EXPECT_TRUE (addedFirst.calls.empty());
}

TEST_F (PointTableFixture, HandedOverComponentsAreReusedOrDeleted)
{
    fill ({ { 100.0, 1.0, 2.0 } });

    std::unique_ptr<juce::Component> first (table.refreshComponentForCell (0, 1, false, nullptr));
    auto* reused = table.refreshComponentForCell (0, 2, false, first.get());
    EXPECT_EQ (reused, first.get());
    EXPECT_EQ (dynamic_cast<juce::Label*> (reused)->getText(), "1");

    // A component of another kind, or one for a column without cells, is deleted (the leak
    // checkers of the sanitizer build and of the framework would report it otherwise).
    std::unique_ptr<juce::Component> replaced (table.refreshComponentForCell (0, 3, false, new juce::Component()));
    EXPECT_NE (dynamic_cast<juce::Label*> (replaced.get()), nullptr);
    EXPECT_EQ (table.refreshComponentForCell (0, 7, false, first.release()), nullptr);
}

TEST_F (SectionTableFixture, CellsBeyondTheRowsShowANewRowsValues)
{
    std::unique_ptr<juce::Component> combo (table.refreshComponentForCell (2, 1, false, nullptr));
    auto* typeComponent = dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (combo.get());
    ASSERT_NE (typeComponent, nullptr);
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
    fill ({ Section { IirFilterType::peq, 100.0, 2.0, -6.0 } });
    auto& combo = typeCell (0)->comboBox;
    juce::Array<int> ids;
    for (int i = 0; i < combo.getNumItems(); ++i)
        ids.add (combo.getItemId (i));
    EXPECT_EQ (ids, juce::Array<int> ({ 1, 2, 3, 4, 6, 7, 8, 9 }));
    EXPECT_EQ (combo.getText(), "PEQ");
}

TEST_F (SectionTableFixture, NewTypeCellReportsItsRowTypeOnceAfterTheMessageLoopRuns)
{
    fill ({ Section { IirFilterType::lowShelf, 100.0, 1.0, 3.0 }, Section { IirFilterType::allpass, 2000.0, 0.5, 0.0 } });

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
    fill ({ Section { 5, 100.0, 1.0, 3.0 }, Section { 0, 100.0, 1.0, 3.0 }, Section { 12, 100.0, 1.0, 3.0 } });

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
    fill ({ Section {}, Section {} });
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
    fill ({ Section { IirFilterType::peq, 100.0, 2.0, -6.0 } });
    pump();
    listener.calls.clear();

    EXPECT_EQ (cell (0, 2)->getText(), "100");
    EXPECT_EQ (cell (0, 4)->getText(), "-6");

    typeIntoLabel (*cell (0, 2), "250 Hz");
    typeIntoLabel (*cell (0, 3), "0.5x");
    typeIntoLabel (*cell (0, 4), "-6");      // unchanged: nothing
    typeIntoLabel (*cell (0, 4), "3", true); // escape: nothing

    EXPECT_EQ (table.rows[0].frequency, 250.0);
    EXPECT_EQ (table.rows[0].q, 0.5);
    EXPECT_EQ (table.rows[0].gain, -6.0);
    EXPECT_EQ (table.rows[0].type, IirFilterType::peq);
    EXPECT_EQ (listener.calls.size(), 2u);
}

TEST_F (SectionTableFixture, HeaderClickNeverReordersSections)
{
    fill ({ Section { 9, 3000.0, 1.0, 0.0 }, Section { 1, 100.0, 1.0, 0.0 }, Section { 6, 1000.0, 1.0, 5.0 } });
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
    fill ({ Section { IirFilterType::peq, 100.0, 2.0, -6.0 } });

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
