// The workspace's buttons and toggles: the forms they open, what OK keeps and anything else puts
// back, the measurement load, the filter-window buttons and the redraw toggles.
#include "GuiTestSupport.h"

#include "workspace/DialogTargetMagnitude.h"
#include "workspace/DialogTargetPhase.h"
#include "workspace/FilterComponent.h"

#include "design/IirFilterType.h"

#include <array>
#include <random>
#include <string>
#include <tuple>

using namespace guitest;

namespace
{
constexpr auto byUser = juce::sendNotificationSync;

/** A workspace with clean change flags and marked coefficients, so that a recompute shows. */
struct Buttons : public ::testing::Test
{
    Buttons()
    {
        d.setLookAndFeel (&laf);   // the forms it opens take it over, as in the program
        d.inputChanged = d.targetChanged = d.filterChanged = false;
        d.markCoefficients();
    }

    /** Shows the controls of a flat target magnitude and a zero target phase. */
    void selectFlatAndZeroPhase()
    {
        d.comboBoxTargetMagnitude->setSelectedId (2, juce::dontSendNotification);
        d.comboBoxTargetPhase->setSelectedId (2, juce::dontSendNotification);
        d.targetData.targetMagnitude = 2;
        d.targetData.targetPhase = 2;
    }

    /** Clicks `button`; once its modal window runs, `act` gets the window and must end it. */
    void clickAndAct (juce::Button* button, ModalScript::Step act)
    {
        ModalScript script;
        script.then (std::move (act));
        d.buttonClicked (button);
    }

    /** The design recomputed (or not, for none) and told its listeners that many times in all. */
    void expectRecomputes (int notifications)
    {
        EXPECT_EQ (d.recomputed(), notifications > 0);
        EXPECT_EQ (d.listener.calls, notifications);
    }

    ProgramLookAndFeel laf;
    ProbeDesignComponent d;
};

/** The design's settings as its document holds them (every number bit for bit, -0.0 and NaN
    included) and the bits of the filter computed from them. */
std::string stateOf (const DesignComponent& d)
{
    const auto& c = d.filterData.coefficients.data;
    return d.createProjectText().toStdString() + std::string (reinterpret_cast<const char*> (c.data()), c.size() * sizeof (double));
}
} // namespace

TEST_F (Buttons, TargetFormsOpenOnTheDesignsValuesAndOkWritesAndRecomputes)
{
    selectFlatAndZeroPhase();
    // With nothing touched, OK writes back what each form was given, bit for bit, though the band
    // edge of 93.75 Hz lies between the sliders' steps.
    const auto document = d.createProjectText();
    for (auto* button : { d.textButtonDefineTargetMagnitude.get(), d.textButtonDefineTargetPhase.get() })
        clickAndAct (button, [] (juce::Component& modal)
        {
            EXPECT_EQ (find<juce::Label> (*find<juce::Slider> (modal, "sliderFMin"))->getText(), "93.75");
            find<juce::Button> (modal, "textButtonOk")->triggerClick();
        });
    EXPECT_EQ (d.createProjectText(), document);
    expectRecomputes (2);

    clickAndAct (d.textButtonDefineTargetMagnitude.get(), [] (juce::Component& modal)
    {
        auto* form = find<DialogTargetMagnitude> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (form->sliderNominalTargetLevel->getValue(), 80.0);
        EXPECT_EQ (form->sliderBoostCutLimit->getValue(), 12.0);
        EXPECT_EQ (form->sliderFMax->getValue(), 24000.0);
        // Typed numbers are read whole, clamped and put on the steps; a text without a number
        // changes nothing; a reversed band is taken as entered.
        typeIntoValueBox (*form->sliderNominalTargetLevel, "dB");
        typeIntoValueBox (*form->sliderBoostCutLimit, "-6.24");
        typeIntoValueBox (*form->sliderFMin, "1e9");
        typeIntoValueBox (*form->sliderFMax, "100.54");
        form->textButtonOk->triggerClick();
    });
    const auto& t = d.targetData;
    EXPECT_EQ (t.nominalTargetLevel, 80.0);
    EXPECT_EQ (t.limitBoostCut, -6.2);
    EXPECT_EQ (t.fminMagnitude, 24000.0);
    EXPECT_EQ (t.fmaxMagnitude, 100.5);
    EXPECT_TRUE (d.targetChanged);
    expectRecomputes (3);

    // Phase +135 degrees up to bin 99, -135 degrees from bin 100 on.
    auto& spectrum = d.inputData.spectrum;
    for (std::size_t k = 0; k < spectrum.length(); ++k)
        spectrum.data[k] = { -3.0, k < 100 ? 3.0 : -3.0 };
    clickAndAct (d.textButtonDefineTargetPhase.get(), [&] (juce::Component& modal)
    {
        auto* form = find<DialogTargetPhase> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (form->labelF2->getText(), "1160.16"); // bin 99
        EXPECT_EQ (form->labelF3->getText(), "1171.88"); // bin 100
        form->sliderFMax->setValue (12000.0, byUser);
        form->textButtonOk->triggerClick();
    });
    EXPECT_EQ (d.targetData.fmaxPhase, 12000.0);
    expectRecomputes (4);
}

TEST_F (Buttons, TheFilterEditorJudgesSectionsAtTheDesignsRate)
{
    // 23 kHz lies below half of the editor's own 48 kHz, but not below half of the design's rate.
    d.fs = 44100.0;
    clickAndAct (d.textButtonDefineFilter.get(), [] (juce::Component& modal)
    {
        auto& editor = *find<FilterComponent> (modal);
        editor.textButtonAddIir->triggerClick();
        pump();
        typeIntoLabel (*dynamic_cast<juce::Label*> (editor.iirTable->table.getCellComponent (2, 0)), "23000");
        editor.textButtonOK->triggerClick();
    });
    EXPECT_EQ (d.filterData.freq.data, (std::vector<double> { 1000.0 }));
}

TEST_F (Buttons, UserDefinedTargetsAskForACsvFileInsteadOfOpeningAForm)
{
    d.comboBoxTargetMagnitude->setSelectedId (3, juce::dontSendNotification);
    d.comboBoxTargetPhase->setSelectedId (4, juce::dontSendNotification);
    for (auto* button : { d.textButtonDefineTargetMagnitude.get(), d.textButtonDefineTargetPhase.get() })
        clickAndAct (button, [] (juce::Component& modal)
        {
            EXPECT_NE (dynamic_cast<juce::FileChooserDialogBox*> (&modal), nullptr);
            modal.exitModalState (0);
        });
}

TEST_F (Buttons, AnythingButOkPutsTheEditedBlockBackBitForBitWithoutRecomputing)
{
    // A computed design with unsorted points, a peak and a low pass, and a target phase band off
    // the sliders' 0.1 steps.
    d.comboBoxFilter->setSelectedId (FilterResponseType::userDefined, juce::dontSendNotification);
    auto& f = d.filterData;
    f.filterType = FilterResponseType::userDefined;
    f.numUserValues = 3;
    f.fi = Matrix<double> (1, 3, { 1000.0, 100.0, 500.0 });
    f.mag = Matrix<double> (1, 3, { -3.0, 2.0, -0.0 });
    f.phi = Matrix<double> (1, 3, { 10.0, 0.0, -30.0 });
    f.numIIRs = 2;
    f.type = Matrix<std::size_t> (1, 2, { IirFilterType::peq, IirFilterType::lowPass1stOrder });
    f.freq = Matrix<double> (1, 2, { 1000.0, 3000.0 });
    f.q = Matrix<double> (1, 2, { 1.0, 0.707 });
    f.gain = Matrix<double> (1, 2, { -6.0, 0.0 });
    selectFlatAndZeroPhase();
    d.calculate (true);
    d.inputChanged = d.targetChanged = d.filterChanged = false;
    const auto before = stateOf (d);
    const int notifications = d.listener.calls;

    const auto typeInto = [] (auto& table, int column, int row, const char* text)
    {
        auto* cell = dynamic_cast<juce::Label*> (table.table.getCellComponent (column, row));
        ASSERT_NE (cell, nullptr);
        typeIntoLabel (*cell, text);
    };
    const auto editor = [] (juce::Component& modal) -> FilterComponent& { return *find<FilterComponent> (modal); };
    const auto phaseForm = [] (juce::Component& modal) -> DialogTargetPhase& { return *find<DialogTargetPhase> (modal); };
    auto* const filterButton = d.textButtonDefineFilter.get();
    auto* const phaseButton = d.textButtonDefineTargetPhase.get();
    struct Case { const char* what; juce::Button* button; std::function<void (juce::Component&)> edit; };
    const Case cases[] = {
        { "the editor only opened, which sorts the points", filterButton, [] (juce::Component&) {} },
        { "a gain, a point and a section type typed into cells", filterButton, [&] (juce::Component& m)
          {
              typeInto (*editor (m).iirTable, 4, 0, "-12");
              typeInto (*editor (m).frequencyValueTable, 1, 0, "20");
              auto* cell = dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (editor (m).iirTable->table.getCellComponent (1, 1));
              ASSERT_NE (cell, nullptr);
              cell->comboBox.setSelectedId (IirFilterType::highShelf, byUser);
          } },
        { "rows added and deleted", filterButton, [&] (juce::Component& m)
          {
              auto& e = editor (m);
              e.textButtonAddFr->triggerClick();
              e.textButtonAddIir->triggerClick();
              e.frequencyValueTable->table.selectRow (1);
              e.iirTable->table.selectRow (0);
              e.textButtonDeleteFr->triggerClick();
              e.textButtonDeleteIir->triggerClick();
          } },
        { "the phase form only opened", phaseButton, [&] (juce::Component&) { EXPECT_EQ (d.targetData.fminPhase, 93.75); } },
        { "both phase limits moved", phaseButton, [&] (juce::Component& m)
          {
              phaseForm (m).sliderFMin->setValue (500.0, byUser);
              typeIntoValueBox (*phaseForm (m).sliderFMax, "12000");
          } },
        { "every magnitude slider moved", d.textButtonDefineTargetMagnitude.get(), [] (juce::Component& m)
          {
              auto& form = *find<DialogTargetMagnitude> (m);
              for (auto* s : { form.sliderNominalTargetLevel.get(), form.sliderBoostCutLimit.get(), form.sliderFMin.get(), form.sliderFMax.get() })
                  s->setValue (s->getValue() / 2 + 1, byUser);
          } },
    };
    const std::function<void (juce::DialogWindow&)> closings[] = {
        [] (juce::DialogWindow& window) { find<juce::Button> (window, "textButtonCancel")->triggerClick(); },
        [] (juce::DialogWindow& window) { window.closeButtonPressed(); },
        [] (juce::DialogWindow& window) { EXPECT_TRUE (window.escapeKeyPressed()); },
    };
    int run = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        clickAndAct (c.button, [&] (juce::Component& modal)
        {
            c.edit (modal);
            closings[run++ % 3] (dynamic_cast<juce::DialogWindow&> (modal));
        });
        EXPECT_TRUE (stateOf (d) == before);
    }
    EXPECT_FALSE (d.inputChanged || d.targetChanged || d.filterChanged);
    EXPECT_EQ (d.listener.calls, notifications);

    // The computed results kept belong to the restored settings: a recompute gives the same bits.
    d.calculate (true);
    EXPECT_TRUE (stateOf (d) == before);

    // OK keeps the edits (here the sorting of the points) and recomputes.
    clickAndAct (filterButton, [&] (juce::Component& m) { editor (m).textButtonOK->triggerClick(); });
    EXPECT_FALSE (stateOf (d) == before);
    EXPECT_TRUE (d.filterChanged);
    EXPECT_EQ (d.listener.calls, notifications + 2);
}

TEST_F (Buttons, TheFilterEditorClosedUntouchedLeavesEveryAcceptedDesignBitForBit)
{
    // Seventeen points, more than a sort handles by insertion: four at each of 100 to 400 Hz and one
    // at 500 Hz, their levels rising in document order, so that each frequency is a step. Then
    // random designs: runs of points at one frequency, sections of every kind (also without a
    // designer, or left out at the rate), and arrays that a count of 0 leaves unused.
    auto& f = d.filterData;
    std::mt19937 random (20261207);
    const auto uniform = [&] (double low, double high) { return std::uniform_real_distribution<double> (low, high) (random); };
    const auto pick = [&] (std::size_t n) { return (std::size_t) random() % n; };
    int numAccepted = 0;
    for (int design = 0; design < 13; ++design)
    {
        d.resetDesign();
        f.filterType = FilterResponseType::userDefined;
        const auto numPoints = design == 0 ? 17 : pick (40);
        f.numUserValues = design > 0 && pick (3) == 0 ? 0 : numPoints;
        f.fi = f.mag = f.phi = Matrix<double> (1, numPoints);
        for (std::size_t i = 0; i < numPoints; ++i)
        {
            f.fi.data[i] = design == 0 ? 100.0 * (double) (i / 4 + 1)
                                       : (i > 0 ? f.fi.data[i - 1] : 20.0) + (i > 0 && pick (3) > 0 ? 0.0 : uniform (0.0, 500.0));
            f.mag.data[i] = design == 0 ? (double) i : uniform (-30.0, 30.0);
        }
        if (design > 0)
        {
            d.fs = std::array { 48000.0, 44100.0, 40000.0 }[pick (3)];
            const auto numSections = pick (7);
            f.numIIRs = pick (4) == 0 ? 0 : numSections;
            f.type = Matrix<std::size_t> (1, numSections);
            f.gain = f.freq = f.q = Matrix<double> (1, numSections);
            for (std::size_t i = 0; i < numSections; ++i)
                std::tie (f.type.data[i], f.gain.data[i], f.freq.data[i], f.q.data[i])
                    = std::tuple (std::array<std::size_t, 6> { 0, 2, 5, 6, 8, 2147483647 }[pick (6)], uniform (-20.0, 20.0),
                                  uniform (20.0, 30000.0), uniform (0.3, 1.0));
        }
        const auto document = d.createProjectText();
        if (! d.readProjectText (document).wasOk())
            continue;
        ++numAccepted;
        SCOPED_TRACE (document);
        d.inputChanged = d.targetChanged = d.filterChanged = true;
        d.calculate (true);
        const auto before = stateOf (d);
        for (const char* button : { "textButtonOK", "textButtonCancel" })
        {
            clickAndAct (d.textButtonDefineFilter.get(), [button] (juce::Component& m) { find<juce::Button> (m, button)->triggerClick(); });
            EXPECT_TRUE (stateOf (d) == before) << button;
        }
    }
    EXPECT_GE (numAccepted, 9);
}

TEST_F (Buttons, ALevelOrAPhaseEditedAloneReachesTheDesignOnOk)
{
    // Points in order, so that opening the editor rewrites nothing; each edit leaves every
    // frequency as it was, and the levels and phases of the other point too.
    auto& f = d.filterData;
    f.filterType = FilterResponseType::userDefined;
    f.numUserValues = 2;
    f.fi = Matrix<double> (1, 2, { 100.0, 1000.0 });
    f.mag = Matrix<double> (1, 2, { 0.0, 0.0 });
    f.phi = Matrix<double> (1, 2, { 0.0, 0.0 });
    struct Case { const char* what; int column; const char* typed; std::vector<double> mag, phi; };
    const Case cases[] = {
        { "the level of the upper point", 2, "-6", { 0.0, -6.0 }, { 0.0, 0.0 } },
        { "then its phase", 3, "45", { 0.0, -6.0 }, { 0.0, 45.0 } },
    };
    int notifications = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        d.markCoefficients();
        d.filterChanged = false;
        clickAndAct (d.textButtonDefineFilter.get(), [&c] (juce::Component& modal)
        {
            auto& editor = *find<FilterComponent> (modal);
            typeIntoCell (editor.frequencyValueTable->table, c.column, 1, c.typed);
            editor.textButtonOK->triggerClick();
        });
        EXPECT_EQ (f.numUserValues, 2u);
        EXPECT_EQ (f.fi.data, (std::vector<double> { 100.0, 1000.0 }));
        EXPECT_EQ (f.mag.data, c.mag);
        EXPECT_EQ (f.phi.data, c.phi);
        EXPECT_TRUE (d.filterChanged);
        expectRecomputes (++notifications);
    }
}

TEST_F (Buttons, SectionArraysUnusedByACountOf0SurviveTheEditorBitForBit)
{
    // A document may carry sections beside a count of 0 (and arrays of unequal lengths, which
    // only a count above 0 must avoid). The editor shows no section then, and OK keeps the arrays
    // as they were: after an untouched run, and after a run that edits a point's level.
    auto& f = d.filterData;
    f.filterType = FilterResponseType::userDefined;
    f.numUserValues = 1;
    f.fi = Matrix<double> (1, 1, { 1000.0 });
    f.mag = f.phi = Matrix<double> (1, 1, { 0.0 });
    f.numIIRs = 0;
    f.type = Matrix<std::size_t> (1, 3, { IirFilterType::peq, IirFilterType::lowShelf, IirFilterType::highPass1stOrder });
    f.gain = Matrix<double> (1, 3, { -6.0, -0.0, 0.1 + 0.2 });
    f.freq = Matrix<double> (1, 2, { 1000.0, 123.456789 });
    f.q = Matrix<double> (1, 3, { 0.707, 1.0 / 3.0, 0.5 });
    const auto document = d.createProjectText();
    ASSERT_TRUE (d.readProjectText (document).wasOk());
    const FilterData kept = f;

    for (const bool editLevel : { false, true })
    {
        SCOPED_TRACE (editLevel ? "a level edited" : "untouched");
        clickAndAct (d.textButtonDefineFilter.get(), [editLevel] (juce::Component& modal)
        {
            auto& editor = *find<FilterComponent> (modal);
            EXPECT_EQ (editor.iirTable->numRows, 0);
            if (editLevel)
                typeIntoCell (editor.frequencyValueTable->table, 2, 0, "3");
            editor.textButtonOK->triggerClick();
        });
        EXPECT_EQ (f.numIIRs, 0u);
        EXPECT_TRUE (sameBits (f.type, kept.type) && sameBits (f.gain, kept.gain) && sameBits (f.freq, kept.freq)
                     && sameBits (f.q, kept.q));
        if (! editLevel)
        {
            EXPECT_EQ (d.createProjectText(), document);
        }
    }
    EXPECT_EQ (f.mag.data, (std::vector<double> { 3.0 }));
}

TEST_F (Buttons, LoadImportsTheChosenMeasurementAndACancelChangesNothing)
{
    d.labelInputFile->setText ("/some/earlier.frd", juce::dontSendNotification);
    clickAndAct (d.textButtonLoad.get(), ModalScript::close());
    EXPECT_EQ (d.labelInputFile->getText(), "/some/earlier.frd");
    expectRecomputes (0);

    const auto measurement = juce::File (TALVO_TEST_DATA_DIR).getChildFile ("room-response.txt");
    ModalScript script;
    script.then ([&] (juce::Component& chooser)
          {
              find<juce::FileBrowserComponent> (chooser)->setFileName (measurement.getFullPathName());
              chooser.exitModalState (1);
          })
        .then ([] (juce::Component& setup) { find<juce::Button> (setup, "textButtonOk")->triggerClick(); });
    d.buttonClicked (d.textButtonLoad.get());
    EXPECT_EQ (d.labelInputFile->getText(), measurement.getFullPathName());
    EXPECT_TRUE (d.inputChanged);
    EXPECT_TRUE (d.recomputed());
}

TEST_F (Buttons, MaxLengthSetsNfftEvenWithoutAWindowAndMaxShiftCentresTheWindowOnTheOneBasedPeak)
{
    d.filterData.windowLength = 1024;
    d.buttonClicked (d.textButtonMaxWindowLengthFilter.get());
    EXPECT_EQ (d.filterData.windowLength, 4096u);
    EXPECT_EQ (d.sliderWindowLengthFilter->getValue(), 4096.0);
    EXPECT_EQ (d.labelWindowLengthTimeFilter->getText(), "85.33 ms");
    expectRecomputes (1);

    struct Case { std::size_t peak; std::int32_t windowType; std::uint64_t windowLength; int shift; const char* time; };
    const Case cases[] = {
        { 2048, 2, 1024, 2049 - 512, "32.02 ms" }, // Hann: half its length before the peak
        { 2048, 3, 1024, 2049 - 2048, "0.02 ms" }, // Hann 50% always spans NFFT
        { 2048, 2, 4095, 2049 - 2047, "0.04 ms" }, // half an odd length is truncated
        { 0, 1, 4096, 1 - 2048, "-42.65 ms" },
    };
    int notifications = 1;
    for (const auto& c : cases)
    {
        d.filterData.impulseResponse = Matrix<double> (1, 4096);
        d.filterData.impulseResponse.data[c.peak] = 1.0;
        d.filterData.windowType = c.windowType;
        d.filterData.windowLength = c.windowLength;
        d.markCoefficients();
        d.buttonClicked (d.textButtonMaxWindowShiftFilter.get());
        EXPECT_EQ (d.filterData.windowShift, c.shift);
        EXPECT_EQ (d.sliderWindowShiftFilter->getValue(), c.shift);
        EXPECT_EQ (d.labelWindowShiftTimeFilter->getText(), c.time);
        expectRecomputes (++notifications);
    }
}

TEST_F (Buttons, MinimumPhaseRecomputesWhileTheDisplayTogglesOnlyRedraw)
{
    for (bool expected : { true, false })
    {
        d.markCoefficients();
        d.toggleMinimumPhase->triggerClick();
        pump();
        EXPECT_EQ (d.filterData.minimumPhase, expected);
        EXPECT_TRUE (d.recomputed());
    }

    d.markCoefficients();
    for (auto* toggle : { d.toggleShowMagnitude.get(), d.toggleShowPhases.get(), d.toggleButtonUnwarp.get() })
    {
        toggle->triggerClick();
        pump();
    }
    EXPECT_EQ (d.listener.calls, 5);
    EXPECT_FALSE (d.recomputed());
}
