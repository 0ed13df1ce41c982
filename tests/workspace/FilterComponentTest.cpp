// The filter-response editor: its preview at its own 48000 Hz, the write-back of its tables into
// the filter block, the entries it refuses, and its Add and Delete buttons.
#include "GuiTestSupport.h"

#include "design/IirDesigners.h"
#include "design/IirFilterType.h"
#include "workspace/FilterComponent.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <tuple>

using namespace guitest;

namespace
{
constexpr double twoPi = 6.283185307179586;

// A filter block of user points {frequency, dB, degrees} and sections {type, frequency, q, gain}.
FilterData makeBlock (const std::vector<std::array<double, 3>>& points, const std::vector<std::array<double, 4>>& sections)
{
    FilterData block;
    block.numUserValues = points.size();
    block.numIIRs = sections.size();
    auto column = [] (const auto& rows, size_t i)
    {
        Matrix<double> m (1, rows.size());
        for (size_t k = 0; k < rows.size(); ++k)
            m.data[k] = rows[k][i];
        return m;
    };
    block.fi = column (points, 0);
    block.mag = column (points, 1);
    block.phi = column (points, 2);
    block.type = Matrix<std::size_t> (1, sections.size());
    for (size_t k = 0; k < sections.size(); ++k)
        block.type.data[k] = (std::size_t) sections[k][0];
    block.freq = column (sections, 1);
    block.q = column (sections, 2);
    block.gain = column (sections, 3);
    return block;
}

juce::ComboBox& typeCombo (FilterComponent& editor, int row)
{
    return dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent&> (*editor.iirTable->table.getCellComponent (1, row)).comboBox;
}
/** The program's look-and-feel as the default for everything made while it lives, as the editor
    gets it in the program from the window it opens in. */
struct ProgramLookByDefault
{
    ProgramLookByDefault() { juce::LookAndFeel::setDefaultLookAndFeel (&laf); }
    ~ProgramLookByDefault() { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }
    ProgramLookAndFeel laf;
};
} // namespace

TEST (FilterComponentPreview, PointsSectionsAndTheirProductAtTheEditorsOwnRate)
{
    // Points given out of order, and a first-order high pass that the editor designs at its own
    // 48000 Hz whatever the design's rate (96000 Hz here, which would move it by far more than
    // the tolerance).
    FilterData block = makeBlock ({ { 1000.0, 10.0, -45.0 }, { 100.0, 0.0, 0.0 } },
                                  { { IirFilterType::highPass1stOrder, 1000.0, 0.707, 0.0 } });
    FilterComponent editor (&block, 96000.0);
    const auto curves = curvesOf (*editor.figFrequencyResponse);
    ASSERT_EQ (curves.size(), 6u);
    const auto& grid = editor.frequencyGrid.data;
    ASSERT_EQ (grid.size(), 2048u);
    EXPECT_DOUBLE_EQ (grid.back(), 24000.0);

    Matrix<double> b, a;
    designFirstOrderHighpass (b, a, 1000.0, 48000.0);
    for (std::size_t k = 1; k < grid.size(); ++k)
    {
        const auto z = std::polar (1.0, -twoPi * grid[k] / 48000.0);
        const auto h = (b.data[0] + b.data[1] * z + b.data[2] * z * z) / (a.data[0] + a.data[1] * z + a.data[2] * z * z);
        const double sectionsDb = 20.0 * std::log10 (std::abs (h)), sectionsDeg = std::arg (h) * 360.0 / twoPi;
        const double t = std::clamp (std::log10 (grid[k]) - 2.0, 0.0, 1.0); // points: log-linear from 100 to 1000 Hz
        // Phases of the sections, the points and both on the right axis, then their magnitudes on the left.
        const double expected[] = { sectionsDeg, -45.0 * t, sectionsDeg - 45.0 * t, sectionsDb, 10.0 * t, sectionsDb + 10.0 * t };
        for (size_t i = 0; i < 6; ++i)
        {
            ASSERT_NEAR (curves[i]->y.data[k], expected[i], 1e-9) << "curve " << i << " at " << grid[k] << " Hz";
            ASSERT_EQ (curves[i]->yAxis, i < 3 ? 1 : 0);
        }
    }
    // At 0 Hz the high pass is a zero: only the sections' own curve stops at -120 dB.
    EXPECT_EQ (curves[3]->y.data[0], -120.0);
    EXPECT_TRUE (std::isinf (curves[5]->y.data[0]));
}

TEST (FilterComponentPreview, SectionsTheDesignLeavesOutAreLeftOutOfThePreview)
{
    // At the design's 32000 Hz a PEQ at 20000 Hz is left out, though the preview's 48000 Hz would take it.
    FilterData block = makeBlock ({}, { { IirFilterType::peq, 20000.0, 1.0, 12.0 } });
    FilterComponent editor (&block, 32000.0);
    for (auto db : curvesOf (*editor.figFrequencyResponse)[3]->y.data)
        ASSERT_EQ (db, 0.0);
    EXPECT_EQ (block.freq.data, (std::vector<double> { 20000.0 })); // but kept in the block
}

TEST (FilterComponentPreview, TogglesChooseTheCurves)
{
    FilterData block = makeBlock ({ { 1000.0, 6.0, 90.0 } }, {});
    FilterComponent editor (&block);
    const auto click = [&editor] (juce::Button& toggle) // a real click flips the toggle and redraws
    {
        toggle.triggerClick();
        pump();
        std::vector<std::pair<int, double>> shown; // the axis and the rounded value of each curve
        for (const auto* c : curvesOf (*editor.figFrequencyResponse))
            shown.emplace_back (c->yAxis, std::round (c->y.data[100]));
        return shown;
    };
    using Shown = std::vector<std::pair<int, double>>;
    EXPECT_EQ (click (*editor.toggleButtonShowPhases), (Shown { { 0, 0.0 }, { 0, 6.0 }, { 0, 6.0 } }));
    EXPECT_EQ (click (*editor.toggleButtonShowMagnitudes), Shown {});
    EXPECT_EQ (click (*editor.toggleButtonShowPhases), (Shown { { 1, 0.0 }, { 1, 90.0 }, { 1, 90.0 } }));
}

TEST (FilterComponentWriteBack, OpeningSortsThePointsAndKeepsEverySectionAsStored)
{
    // Type 5 has no item in the type combo, whose first notification must not store 0 over it.
    FilterData block = makeBlock ({ { 1000.0, 1.0, 10.0 }, { 100.0, 2.0, 20.0 }, { 500.0, 3.0, 30.0 } },
                                  { { 9, 3000.0, 0.5, 0.0 }, { 5, 100.0, 0.7, 0.0 }, { 6, 1000.0, 2.0, -4.0 } });
    FilterComponent editor (&block);
    pump(); // the header's first sort and the type cells' first notifications
    EXPECT_EQ (block.fi.data, (std::vector<double> { 100.0, 500.0, 1000.0 }));
    EXPECT_EQ (block.mag.data, (std::vector<double> { 2.0, 3.0, 1.0 }));
    EXPECT_EQ (block.phi.data, (std::vector<double> { 20.0, 30.0, 10.0 }));
    EXPECT_EQ (block.type.data, (std::vector<std::size_t> { 9, 5, 6 }));
    EXPECT_EQ (block.freq.data, (std::vector<double> { 3000.0, 100.0, 1000.0 }));
    EXPECT_EQ (block.q.data, (std::vector<double> { 0.5, 0.7, 2.0 }));
    EXPECT_EQ (block.gain.data, (std::vector<double> { 0.0, 0.0, -4.0 }));

    // Counts beyond the arrays (a damaged document) are not read.
    FilterData damaged = makeBlock ({ { 100.0, 1.0, 2.0 } }, { { 6, 1000.0, 1.0, 3.0 } });
    damaged.numUserValues = 4;
    damaged.numIIRs = 3;
    FilterComponent repaired (&damaged);
    EXPECT_EQ (repaired.frequencyValueTable->numRows + repaired.iirTable->numRows, 2);
    EXPECT_EQ (damaged.numUserValues + damaged.numIIRs, 2u);
}

TEST (FilterComponentWriteBack, CellEditsReachTheBlockAndThePreviewAtOnce)
{
    FilterData block = makeBlock ({ { 100.0, 0.0, 0.0 }, { 1000.0, 0.0, 0.0 } }, { { 6, 1000.0, 1.0, 0.0 } });
    const ProgramLookByDefault look;
    FilterComponent editor (&block);
    pump();

    // A frequency that moves a point below the other one reorders the block, not the table.
    typeIntoCell (editor.frequencyValueTable->table, 2, 1, "-6");
    typeIntoCell (editor.frequencyValueTable->table, 1, 1, "50");
    EXPECT_EQ (block.fi.data, (std::vector<double> { 50.0, 100.0 }));
    EXPECT_EQ (block.mag.data, (std::vector<double> { -6.0, 0.0 }));
    EXPECT_EQ (editor.frequencyValueTable->rows[1].frequency, 50.0);

    typeIntoCell (editor.iirTable->table, 4, 0, "9");
    EXPECT_EQ (block.gain.data[0], 9.0);
    EXPECT_GT (curvesOf (*editor.figFrequencyResponse)[3]->y.data[85], 8.9); // the peak at 1 kHz
    typeCombo (editor, 0).setSelectedId (IirFilterType::lowShelf);
    pump();
    EXPECT_EQ (block.type.data[0], (std::size_t) IirFilterType::lowShelf);
}

TEST (FilterComponentWriteBack, RefusedEntriesLeaveTheCellAndTheBlockAsTheyWere)
{
    // At the design's 44100 Hz every section must lie below 22050 Hz.
    FilterData block = makeBlock ({ { 100.0, 0.0, 45.0 } }, { { 6, 1000.0, 1.0, -8.0 }, { 1, 1000.0, 0.0, 0.0 } });
    const ProgramLookByDefault look;
    FilterComponent editor (&block, 44100.0);
    pump();
    const auto stored = [&block] { return std::make_tuple (block.fi.data, block.mag.data, block.phi.data, block.type.data,
                                                           block.freq.data, block.q.data, block.gain.data); };
    const auto before = stored();

    auto* points = &editor.frequencyValueTable->table;
    auto* sections = &editor.iirTable->table;
    struct Case { juce::TableListBox* table; int column; const char* typed; };
    // A text without a number, and one whose exponent overflows an int (infinite, read whole).
    const Case cases[] = {
        { points, 1, "-1" },      { points, 1, "1e999" },   { points, 2, "200.5" },  { points, 3, "-2e9" },
        { points, 3, "abc" },     { points, 2, "1e4294967297" },
        { sections, 2, "22050" }, { sections, 3, "1001" }, { sections, 4, "760" },
        { sections, 4, "abc" },   { sections, 4, "1e4294967297" },
    };
    for (const auto& c : cases)
    {
        auto* label = dynamic_cast<juce::Label*> (c.table->getCellComponent (c.column, 0));
        ASSERT_NE (label, nullptr);
        const auto text = label->getText();
        typeIntoLabel (*label, c.typed);
        EXPECT_EQ (label->getText(), text) << c.typed;
        EXPECT_TRUE (stored() == before) << c.typed;
    }

    // A type that the stored Q 0 does not suit: the combo goes back to the stored type.
    typeCombo (editor, 1).setSelectedId (IirFilterType::peq);
    pump();
    EXPECT_EQ (typeCombo (editor, 1).getSelectedId(), IirFilterType::lowPass1stOrder);
    EXPECT_TRUE (stored() == before);
}

TEST (FilterComponentButtons, AddAppendsRowsThatStartValid)
{
    FilterData block;
    FilterComponent editor (&block);
    editor.textButtonAddFr->triggerClick();
    editor.textButtonAddIir->triggerClick();
    pump();
    // A new point lies at 1000 Hz; a new section is a first-order high pass at 1000 Hz.
    EXPECT_EQ (block.fi.data, (std::vector<double> { 1000.0 }));
    EXPECT_EQ (block.type.data, (std::vector<std::size_t> { IirFilterType::highPass1stOrder }));
    EXPECT_EQ (block.freq.data, (std::vector<double> { 1000.0 }));

    // At a rate where 1000 Hz is not below half of it, a new section starts at a quarter of the rate.
    FilterComponent slow (&block, 1000.0);
    slow.textButtonAddIir->triggerClick();
    pump();
    EXPECT_EQ (block.freq.data, (std::vector<double> { 1000.0, 250.0 }));
}

TEST (FilterComponentButtons, DeleteRemovesOnlyTheFirstSelectedRowAndNothingWithoutSelection)
{
    FilterData block = makeBlock ({ { 10.0, 0.0, 0.0 }, { 20.0, 0.0, 0.0 }, { 30.0, 0.0, 0.0 }, { 40.0, 0.0, 0.0 } },
                                  { { 1, 100.0, 1.0, 0.0 }, { 2, 200.0, 1.0, 0.0 }, { 4, 300.0, 1.0, 0.0 } });
    FilterComponent editor (&block);
    pump();
    const auto clickDeletes = [&editor]
    {
        editor.textButtonDeleteFr->triggerClick();
        editor.textButtonDeleteIir->triggerClick();
        pump();
    };

    editor.frequencyValueTable->table.selectRow (3);
    editor.frequencyValueTable->table.selectRow (1, false, false);
    editor.iirTable->table.selectRow (1);
    clickDeletes();
    EXPECT_EQ (block.fi.data, (std::vector<double> { 10.0, 30.0, 40.0 }));
    EXPECT_EQ (block.type.data, (std::vector<std::size_t> { 1, 4 }));

    editor.frequencyValueTable->table.deselectAllRows();
    editor.iirTable->table.deselectAllRows();
    clickDeletes();
    EXPECT_EQ (block.fi.data.size() + block.type.data.size(), 5u);
    EXPECT_EQ (editor.frequencyValueTable->numRows + editor.iirTable->numRows, 5);
}
