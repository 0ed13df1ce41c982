// The filter-response editor: its own preview grid, the six preview curves, the write-back of
// its tables into the filter block, and its buttons.
#include "GuiTestSupport.h"

#include "appearance/ColourPalette.h"
#include "design/IirDesigners.h"
#include "design/IirFilterType.h"
#include "workspace/FilterComponent.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>
#include <complex>

using namespace guitest;

namespace
{
constexpr double twoPi = 6.283185307179586;
constexpr std::size_t gridSize = 2048;

/** The six curves of a preview with both toggles on, by role: phases of the sections, of the
    user points and of both, then their magnitudes in dB. */
struct PreviewCurves
{
    explicit PreviewCurves (const FigureComponent& figure) : all (curvesOf (figure))
    {
        EXPECT_EQ (all.size(), 6u);
    }

    const FigureComponent::Curve* at (size_t i) const { return i < all.size() ? all[i] : nullptr; }

    std::vector<const FigureComponent::Curve*> all;
    const FigureComponent::Curve *sectionsPhase = at (0), *pointsPhase = at (1), *totalPhase = at (2),
                                 *sectionsDb = at (3), *pointsDb = at (4), *totalDb = at (5);
};

/** A filter block of user points {frequency, dB, degrees} and sections {type, frequency, q, gain}. */
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

void expectConstant (const FigureComponent::Curve* curve, double value, double tolerance)
{
    ASSERT_NE (curve, nullptr);
    ASSERT_EQ (curve->y.length(), gridSize);

    for (std::size_t k = 0; k < gridSize; ++k)
        ASSERT_NEAR (curve->y.data[k], value, tolerance) << "grid point " << k;
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

TEST (FilterComponentTest, UsesItsOwnGridAndSampleRateAndFixedLayout)
{
    FilterData block;
    FilterComponent editor (&block);

    EXPECT_EQ (editor.fs, 48000.0);
    EXPECT_EQ (editor.NFFT, 4096u);
    ASSERT_EQ (editor.frequencyGrid.length(), gridSize);
    EXPECT_EQ (editor.frequencyGrid.data[0], 0.0);
    EXPECT_NEAR (editor.frequencyGrid.data[1], 24000.0 / 2047.0, 1e-9);
    EXPECT_DOUBLE_EQ (editor.frequencyGrid.data[gridSize - 1], 24000.0);
    for (const auto* curve : curvesOf (*editor.figFrequencyResponse))
        EXPECT_EQ (curve->x.data, editor.frequencyGrid.data);

    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 1024, 768));
    EXPECT_EQ (editor.figFrequencyResponse->getBounds(), juce::Rectangle<int> (0, 0, 1024, 384));
    EXPECT_EQ (editor.frequencyValueTable->getBounds(), juce::Rectangle<int> (0, 384, 512, 304));
    EXPECT_EQ (editor.iirTable->getBounds(), juce::Rectangle<int> (512, 384, 512, 304));
    EXPECT_EQ (editor.textButtonOK->getBounds(), juce::Rectangle<int> (919, 739, 100, 24));
    EXPECT_EQ (editor.figFrequencyResponse->xLim, (std::array<double, 2> { 10.0, 24000.0 }));
    EXPECT_EQ (editor.figFrequencyResponse->yLimLeft, (std::array<double, 2> { -60.0, 60.0 }));
    EXPECT_EQ (editor.figFrequencyResponse->yLimRight, (std::array<double, 2> { -180.0, 180.0 }));
}

TEST (FilterComponentPreviewTest, EmptySectionGivesSixFlatCurvesInTheirColoursAndAxes)
{
    FilterData block = makeBlock ({ { 100.0, 3.0, 0.0 } }, { { 6, 1000.0, 1.0, 6.0 } });
    block.numUserValues = 0;
    block.numIIRs = 0;
    FilterComponent editor (&block);
    EXPECT_EQ (editor.frequencyValueTable->numRows, 0);
    EXPECT_EQ (editor.iirTable->numRows, 0);

    const PreviewCurves curves (*editor.figFrequencyResponse);
    const ColourPaletteIndex colours[] = { phaseCurveRed, phaseCurveOrange, phaseCurveBlue, curveRed, curveOrange, curveBlue };
    for (size_t i = 0; i < curves.all.size(); ++i)
    {
        expectConstant (curves.all[i], 0.0, 0.0);
        EXPECT_EQ (curves.all[i]->colour, colourPalette[colours[i]]) << i;
        EXPECT_EQ (curves.all[i]->yAxis, i < 3 ? 1 : 0) << i;
    }
}

TEST (FilterComponentPreviewTest, UserPointsInterpolateLinearlyInLogFrequencyAndHoldBeyondTheEnds)
{
    const auto lg = [] (double f) { return f > 0.0 ? std::log10 (f) : -4.0; }; // 0 Hz counts as 1e-4 Hz
    const auto between = [lg] (double f, double lo, double hi) { return std::clamp ((lg (f) - lo) / (hi - lo), 0.0, 1.0); };
    struct Case
    {
        const char* what;
        std::vector<std::array<double, 3>> points;
        std::function<double (double)> db, degrees;
    };
    const Case cases[] = {
        { "one point is the same everywhere", { { 1000.0, 6.0, 90.0 } }, [] (double) { return 6.0; }, [] (double) { return 90.0; } },
        { "two points", { { 100.0, 0.0, 0.0 }, { 1000.0, 10.0, -45.0 } },
          [&] (double f) { return 10.0 * between (f, 2.0, 3.0); }, [&] (double f) { return -45.0 * between (f, 2.0, 3.0); } },
        { "a first point at 0 Hz", { { 0.0, -10.0, 0.0 }, { 100.0, 0.0, 0.0 } },
          [&] (double f) { return -10.0 + 10.0 * between (f, -4.0, 2.0); }, [] (double) { return 0.0; } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        FilterData block = makeBlock (c.points, {});
        FilterComponent editor (&block);
        const PreviewCurves curves (*editor.figFrequencyResponse);
        ASSERT_NE (curves.totalPhase, nullptr);
        for (std::size_t k = 0; k < gridSize; ++k)
        {
            const double f = editor.frequencyGrid.data[k];
            ASSERT_NEAR (curves.pointsDb->y.data[k], c.db (f), 1e-9) << f;
            ASSERT_NEAR (curves.totalDb->y.data[k], c.db (f), 1e-9) << f;
            ASSERT_NEAR (curves.pointsPhase->y.data[k], c.degrees (f), 1e-9) << f;
            ASSERT_NEAR (curves.totalPhase->y.data[k], c.degrees (f), 1e-9) << f;
        }
        expectConstant (curves.sectionsDb, 0.0, 0.0);
    }
}

TEST (FilterComponentPreviewTest, FirstOrderLowPassIsDesignedAt48kHz)
{
    // Whatever sample rate the design runs at, the editor only knows its own 48000 Hz.
    FilterData block = makeBlock ({}, { { IirFilterType::lowPass1stOrder, 1000.0, 0.707, 0.0 } });
    FilterComponent editor (&block);
    const PreviewCurves curves (*editor.figFrequencyResponse);
    ASSERT_NE (curves.sectionsDb, nullptr);

    // The section as the shared designer makes it for 48000 Hz, evaluated here directly on the
    // unit circle; a design for 96000 Hz (the design's rate, say) would differ by far more.
    Matrix<double> b, a, b96, a96;
    designFirstOrderLowpass (b, a, 1000.0, 48000.0);
    designFirstOrderLowpass (b96, a96, 1000.0, 96000.0);

    auto evaluate = [] (const Matrix<double>& num, const Matrix<double>& den, double f, double fs)
    {
        const auto z1 = std::polar (1.0, -twoPi * f / fs);
        const auto z2 = z1 * z1;
        return (num.data[0] + num.data[1] * z1 + num.data[2] * z2) / (den.data[0] + den.data[1] * z1 + den.data[2] * z2);
    };

    double largestDifferenceFrom96k = 0.0;

    for (std::size_t k = 0; k < gridSize; ++k)
    {
        const double f = editor.frequencyGrid.data[k];
        const auto h = evaluate (b, a, f, 48000.0);

        ASSERT_NEAR (curves.sectionsDb->y.data[k], 20.0 * std::log10 (std::abs (h)), 1e-9) << f;
        ASSERT_NEAR (curves.sectionsPhase->y.data[k], std::arg (h) * 360.0 / twoPi, 1e-9) << f;
        ASSERT_NEAR (curves.totalDb->y.data[k], curves.sectionsDb->y.data[k], 1e-12) << f;

        const double db96 = 20.0 * std::log10 (std::abs (evaluate (b96, a96, f, 96000.0)));
        largestDifferenceFrom96k = std::max (largestDifferenceFrom96k, std::abs (db96 - curves.sectionsDb->y.data[k]));
    }

    EXPECT_GT (largestDifferenceFrom96k, 1.0);
    // A low pass: 0 dB at 0 Hz and well down at the top of the grid.
    EXPECT_LT (curves.sectionsDb->y.data[gridSize - 1], -20.0);
    EXPECT_NEAR (curves.sectionsDb->y.data[0], 0.0, 1e-12);
    expectConstant (curves.pointsDb, 0.0, 0.0);
}

TEST (FilterComponentPreviewTest, SectionsTheDesignLeavesOutAreLeftOutOfThePreview)
{
    // At the design's 32000 Hz a PEQ at 20000 Hz is left out, though the preview's 48000 Hz would take it.
    FilterData block = makeBlock ({}, { { IirFilterType::peq, 20000.0, 1.0, 12.0 } });
    FilterComponent editor (&block, 32000.0);
    expectConstant (PreviewCurves (*editor.figFrequencyResponse).sectionsDb, 0.0, 0.0);
    EXPECT_EQ (block.freq.data, (std::vector<double> { 20000.0 }));   // but kept in the block
}

TEST (FilterComponentPreviewTest, OnlyTheSectionsCurveIsLimitedTo120dB)
{
    // A first-order high pass has a zero at 0 Hz: minus infinity dB there.
    FilterData block = makeBlock ({ { 1000.0, 6.0, 0.0 } }, { { IirFilterType::highPass1stOrder, 1000.0, 0.707, 0.0 } });
    FilterComponent editor (&block);
    const PreviewCurves curves (*editor.figFrequencyResponse);
    ASSERT_NE (curves.sectionsDb, nullptr);

    EXPECT_EQ (curves.sectionsDb->y.data[0], -120.0);
    EXPECT_TRUE (std::isinf (curves.totalDb->y.data[0]) && curves.totalDb->y.data[0] < 0.0);
    EXPECT_GT (curves.sectionsDb->y.data[1], -120.0);
    EXPECT_LT (curves.sectionsDb->y.data[1], -20.0);
}

TEST (FilterComponentPreviewTest, SectionTypeWithoutDesignerChangesNothingButIsWrittenBack)
{
    FilterData block = makeBlock ({ { 500.0, 3.0, 30.0 } }, { { 5, 1000.0, 2.0, 12.0 }, { 6, 2000.0, 1.0, 0.0 } });
    FilterComponent editor (&block);
    pump(); // the type cells' first notifications

    const PreviewCurves curves (*editor.figFrequencyResponse);
    // The type 5 section contributes nothing; a 0 dB peak is exactly flat.
    expectConstant (curves.sectionsDb, 0.0, 1e-12);
    expectConstant (curves.totalDb, 3.0, 1e-12);

    ASSERT_EQ (block.numIIRs, 2u);
    EXPECT_EQ (block.type.data[0], 5u);
    EXPECT_EQ (block.type.data[1], 6u);
    EXPECT_EQ (block.gain.data[0], 12.0);
    EXPECT_EQ (block.freq.data[1], 2000.0);
}

TEST (FilterComponentPreviewTest, TogglesChooseTheCurves)
{
    FilterData block = makeBlock ({ { 1000.0, 6.0, 90.0 } }, {});
    FilterComponent editor (&block);
    const auto axesShown = [&editor]
    {
        std::vector<int> axes;
        for (const auto* c : curvesOf (*editor.figFrequencyResponse))
            axes.push_back (c->yAxis);
        return axes;
    };

    editor.toggleButtonShowPhases->triggerClick(); // a real click flips the toggle
    pump();
    EXPECT_EQ (axesShown(), (std::vector<int> { 0, 0, 0 }));
    EXPECT_NEAR (curvesOf (*editor.figFrequencyResponse)[2]->y.data[7], 6.0, 1e-12);

    editor.toggleButtonShowMagnitudes->triggerClick();
    pump();
    EXPECT_TRUE (axesShown().empty());

    editor.toggleButtonShowPhases->triggerClick();
    pump();
    EXPECT_EQ (axesShown(), (std::vector<int> { 1, 1, 1 }));
    EXPECT_NEAR (curvesOf (*editor.figFrequencyResponse)[1]->y.data[100], 90.0, 1e-9);
}

TEST (FilterComponentWriteBackTest, OpeningSortsThePointsByFrequencyAndKeepsSectionOrder)
{
    FilterData block = makeBlock ({ { 1000.0, 1.0, 10.0 }, { 100.0, 2.0, 20.0 }, { 500.0, 3.0, 30.0 } },
                                  { { 9, 3000.0, 0.5, 0.0 }, { 1, 100.0, 0.7, 0.0 }, { 6, 1000.0, 2.0, -4.0 } });
    FilterComponent editor (&block);

    ASSERT_EQ (block.numUserValues, 3u);
    EXPECT_EQ (block.fi.data, (std::vector<double> { 100.0, 500.0, 1000.0 }));
    EXPECT_EQ (block.mag.data, (std::vector<double> { 2.0, 3.0, 1.0 }));
    EXPECT_EQ (block.phi.data, (std::vector<double> { 20.0, 30.0, 10.0 }));

    ASSERT_EQ (block.numIIRs, 3u);
    EXPECT_EQ (block.type.data, (std::vector<std::size_t> { 9, 1, 6 }));
    EXPECT_EQ (block.freq.data, (std::vector<double> { 3000.0, 100.0, 1000.0 }));
    EXPECT_EQ (block.q.data, (std::vector<double> { 0.5, 0.7, 2.0 }));
    EXPECT_EQ (block.gain.data, (std::vector<double> { 0.0, 0.0, -4.0 }));

    // The table itself keeps the order it was filled in until its header's sort arrives.
    EXPECT_EQ (editor.frequencyValueTable->rows[0].frequency, 1000.0);
    pump();
    EXPECT_EQ (editor.frequencyValueTable->rows[0].frequency, 100.0);
    EXPECT_EQ (editor.iirTable->rows[0].frequency, 3000.0);
}

TEST (FilterComponentWriteBackTest, CountsBeyondTheArraysAreNotRead)
{
    FilterData block = makeBlock ({ { 100.0, 1.0, 2.0 } }, { { 6, 1000.0, 1.0, 3.0 } });
    block.numUserValues = 4;
    block.numIIRs = 3;
    FilterComponent editor (&block);

    EXPECT_EQ (editor.frequencyValueTable->numRows, 1);
    EXPECT_EQ (editor.iirTable->numRows, 1);
    EXPECT_EQ (block.numUserValues, 1u);
    EXPECT_EQ (block.numIIRs, 1u);
}

TEST (FilterComponentWriteBackTest, CellEditsReachTheBlockAtOnce)
{
    FilterData block = makeBlock ({ { 100.0, 0.0, 0.0 }, { 1000.0, 0.0, 0.0 } }, { { 6, 1000.0, 1.0, 0.0 } });
    const ProgramLookByDefault look;
    FilterComponent editor (&block);
    pump();

    auto* magnitude = dynamic_cast<juce::Label*> (editor.frequencyValueTable->table.getCellComponent (2, 1));
    ASSERT_NE (magnitude, nullptr);
    typeIntoLabel (*magnitude, "-6");
    EXPECT_EQ (block.mag.data[1], -6.0);

    // A frequency edit that moves the point below the other one reorders the block, not the table.
    auto* frequency = dynamic_cast<juce::Label*> (editor.frequencyValueTable->table.getCellComponent (1, 1));
    typeIntoLabel (*frequency, "50");
    EXPECT_EQ (block.fi.data, (std::vector<double> { 50.0, 100.0 }));
    EXPECT_EQ (block.mag.data, (std::vector<double> { -6.0, 0.0 }));
    EXPECT_EQ (editor.frequencyValueTable->rows[1].frequency, 50.0);

    auto* gain = dynamic_cast<juce::Label*> (editor.iirTable->table.getCellComponent (4, 0));
    ASSERT_NE (gain, nullptr);
    typeIntoLabel (*gain, "9");
    EXPECT_EQ (block.gain.data[0], 9.0);
    EXPECT_GT (editor.figFrequencyResponse->curves->next->next->next->y.data[85], 8.9); // peak at 1 kHz

    auto* typeCell = dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (editor.iirTable->table.getCellComponent (1, 0));
    ASSERT_NE (typeCell, nullptr);
    typeCell->comboBox.setSelectedId (IirFilterType::lowShelf);
    pump();
    EXPECT_EQ (block.type.data[0], (std::size_t) IirFilterType::lowShelf);
}

TEST (FilterComponentWriteBackTest, RefusedEntriesLeaveTheCellAndTheBlockAsTheyWere)
{
    // At the design's 44100 Hz every section must lie below 22050 Hz.
    FilterData block = makeBlock ({ { 100.0, 0.0, 0.0 } }, { { 6, 1000.0, 1.0, 0.0 }, { 1, 1000.0, 0.0, 0.0 } });
    const ProgramLookByDefault look;
    FilterComponent editor (&block, 44100.0);
    pump();
    const auto stored = [&block] { return std::make_tuple (block.fi.data, block.mag.data, block.phi.data, block.type.data,
                                                           block.freq.data, block.q.data, block.gain.data); };
    const auto before = stored();

    auto* points = &editor.frequencyValueTable->table;
    auto* sections = &editor.iirTable->table;
    struct Case { juce::TableListBox* table; int row, column; const char* typed; };
    const Case cases[] = {
        { points, 0, 1, "-1" },
        { points, 0, 1, "1e999" },
        { points, 0, 2, "200.5" },
        { points, 0, 3, "-2e9" },
        { sections, 0, 2, "22050" },
        { sections, 0, 3, "abc" },        // reads as Q 0
        { sections, 0, 3, "1001" },
        { sections, 0, 4, "760" },
    };
    for (const auto& c : cases)
    {
        auto* label = dynamic_cast<juce::Label*> (c.table->getCellComponent (c.column, c.row));
        ASSERT_NE (label, nullptr);
        const auto text = label->getText();
        typeIntoLabel (*label, c.typed);
        EXPECT_EQ (label->getText(), text) << c.typed;
        EXPECT_TRUE (stored() == before) << c.typed;
    }

    // A type that the stored Q 0 does not suit: the combo goes back to the stored type.
    auto* typeCell = dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (editor.iirTable->table.getCellComponent (1, 1));
    ASSERT_NE (typeCell, nullptr);
    typeCell->comboBox.setSelectedId (IirFilterType::peq);
    pump();
    EXPECT_EQ (typeCell->comboBox.getSelectedId(), IirFilterType::lowPass1stOrder);
    EXPECT_TRUE (stored() == before);
}

TEST (FilterComponentButtonsTest, AddAppendsNewRowsAndWritesThemBack)
{
    FilterData block;
    FilterComponent editor (&block);
    editor.textButtonAddFr->triggerClick();
    editor.textButtonAddIir->triggerClick();
    pump();

    ASSERT_EQ (editor.frequencyValueTable->numRows, 1);
    ASSERT_EQ (editor.iirTable->numRows, 1);
    // A new point is 0 dB at 1000 Hz; a new section a first-order high pass at 1000 Hz, Q 0.707, 0 dB.
    EXPECT_EQ (block.fi.data, (std::vector<double> { 1000.0 }));
    EXPECT_EQ (block.mag.data, (std::vector<double> { 0.0 }));
    EXPECT_EQ (block.type.data, (std::vector<std::size_t> { IirFilterType::highPass1stOrder }));
    EXPECT_EQ (block.freq.data, (std::vector<double> { 1000.0 }));
    EXPECT_EQ (block.q.data, (std::vector<double> { 0.707 }));
    EXPECT_EQ (block.gain.data, (std::vector<double> { 0.0 }));
    EXPECT_EQ (dynamic_cast<juce::Label*> (editor.iirTable->table.getCellComponent (3, 0))->getText(), "0.707");

    // At a rate where 1000 Hz is not below half of it, a new section starts at a quarter of the rate.
    FilterComponent slow (&block, 1000.0);
    slow.textButtonAddIir->triggerClick();
    pump();
    EXPECT_EQ (block.freq.data.back(), 250.0);
}

TEST (FilterComponentButtonsTest, DeleteRemovesOnlyTheFirstSelectedRowAndNothingWithoutSelection)
{
    FilterData block = makeBlock ({ { 10.0, 0.0, 0.0 }, { 20.0, 0.0, 0.0 }, { 30.0, 0.0, 0.0 },
                                    { 40.0, 0.0, 0.0 }, { 50.0, 0.0, 0.0 }, { 60.0, 0.0, 0.0 } },
                                  { { 1, 100.0, 1.0, 0.0 }, { 2, 200.0, 1.0, 0.0 }, { 4, 300.0, 1.0, 0.0 } });
    FilterComponent editor (&block);
    pump();

    editor.frequencyValueTable->table.selectRow (5);
    editor.frequencyValueTable->table.selectRow (2, false, false);
    editor.iirTable->table.selectRow (1);
    editor.textButtonDeleteFr->triggerClick();
    editor.textButtonDeleteIir->triggerClick();
    pump();
    EXPECT_EQ (block.fi.data, (std::vector<double> { 10.0, 20.0, 40.0, 50.0, 60.0 }));
    EXPECT_EQ (block.type.data, (std::vector<std::size_t> { 1, 4 }));

    editor.frequencyValueTable->table.deselectAllRows();
    editor.iirTable->table.deselectAllRows();
    editor.textButtonDeleteFr->triggerClick();
    editor.textButtonDeleteIir->triggerClick();
    pump();
    EXPECT_EQ (editor.frequencyValueTable->numRows, 5);
    EXPECT_EQ (editor.iirTable->numRows, 2);
    EXPECT_EQ (block.numUserValues, 5u);
    EXPECT_EQ (block.numIIRs, 2u);
}
