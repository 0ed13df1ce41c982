// The workspace's buttons and toggles: the forms they open, what OK, Cancel and closing keep, the
// filter-window buttons and the redraw toggles.
#include "GuiTestSupport.h"

#include "workspace/DialogTargetMagnitude.h"
#include "workspace/DialogTargetPhase.h"
#include "workspace/FilterComponent.h"

#include "design/IirFilterType.h"

#include <cstring>
#include <limits>

using namespace guitest;

namespace
{
/** A look-and-feel whose alert background the dialog windows must take over. */
struct MarkedLookAndFeel : public juce::LookAndFeel_V4
{
    MarkedLookAndFeel() { setColour (juce::AlertWindow::backgroundColourId, juce::Colour (0xff123456)); }
};

/** A workspace with clean change flags and marked coefficients, so that a recompute shows, in a
    look-and-feel that its forms must take over. */
struct Buttons : public ::testing::Test
{
    Buttons()
    {
        d.inputChanged = d.targetChanged = d.filterChanged = false;
        d.markCoefficients();
        d.setLookAndFeel (&laf);
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

    /** Clicks the filter window's peak button with the given response, window type and length. */
    void clickPeakButton (std::initializer_list<std::pair<std::size_t, double>> samples, std::int32_t windowType,
                          std::uint64_t windowLength)
    {
        d.filterData.impulseResponse = Matrix<double> (1, 4096);
        for (const auto& s : samples)
            d.filterData.impulseResponse.data[s.first] = s.second;
        d.filterData.windowType = windowType;
        d.filterData.windowLength = windowLength;
        d.markCoefficients();
        d.buttonClicked (d.textButtonMaxWindowShiftFilter.get());
    }

    MarkedLookAndFeel laf; // outlives the workspace
    ProbeDesignComponent d;
};

/** Same shape and the same bytes (so a NaN equals itself and 0.0 differs from -0.0). */
template <typename T>
bool sameBits (const Matrix<T>& a, const Matrix<T>& b)
{
    return a.rows == b.rows && a.cols == b.cols && a.data.size() == b.data.size()
           && std::memcmp (a.data.data(), b.data.data(), a.data.size() * sizeof (T)) == 0;
}

/** The listed matrix fields, bit for bit; a failure names the field's place in the list. */
template <typename Block, typename... Fields>
void expectSameFields (const Block& a, const Block& b, Fields... fields)
{
    const bool same[] = { sameBits (a.*fields, b.*fields)... };
    for (size_t i = 0; i < sizeof...(fields); ++i)
        EXPECT_TRUE (same[i]) << "matrix field " << i;
}

/** Every field of the blocks, bit for bit. */
void expectSameBits (const FilterData& now, const FilterData& before)
{
    const auto counts = [] (const FilterData& f)
    { return std::tie (f.filterType, f.windowShift, f.windowLength, f.windowType, f.minimumPhase, f.numUserValues, f.numIIRs); };
    EXPECT_EQ (counts (now), counts (before));
    using F = FilterData;
    expectSameFields (now, before, &F::type, &F::gain, &F::freq, &F::q, &F::fi, &F::mag, &F::phi, &F::impulseResponse,
                      &F::window, &F::response, &F::correction, &F::coefficients, &F::coefficientSpectrum);
}

void expectSameBits (const TargetData& now, const TargetData& before)
{
    EXPECT_EQ (std::tie (now.targetMagnitude, now.targetPhase), std::tie (before.targetMagnitude, before.targetPhase));
    const auto values = [] (const TargetData& t)
    {
        return Matrix<double> (1, 6, { t.fminMagnitude, t.fmaxMagnitude, t.nominalTargetLevel, t.limitBoostCut,
                                       t.fminPhase, t.fmaxPhase });
    };
    EXPECT_TRUE (sameBits (values (now), values (before))) << "band now " << now.fminPhase << " to " << now.fmaxPhase;
    using T = TargetData;
    expectSameFields (now, before, &T::userDefinedMagFreq, &T::userDefinedMag, &T::userDefinedPhiFreq, &T::userDefinedPhi,
                      &T::response, &T::bandFrequencies, &T::bandResponse);
}

/** The window's title, content size and background. Without a window manager the content may grow
    by the frame that the window first reserved for its title bar, hence the allowance. */
void expectWindow (juce::Component& modal, const juce::String& title, int width, int height)
{
    constexpr int frameAllowance = 40;
    auto& window = dynamic_cast<juce::DialogWindow&> (modal);
    EXPECT_EQ (window.getName(), title);
    const auto* content = window.getContentComponent();
    EXPECT_GE (content->getWidth(), width);
    EXPECT_LE (content->getWidth(), width + frameAllowance);
    EXPECT_GE (content->getHeight(), height);
    EXPECT_LE (content->getHeight(), height + frameAllowance);
    EXPECT_EQ (window.getBackgroundColour(), juce::Colour (0xff123456));
    EXPECT_TRUE (window.isResizable());
}
} // namespace

TEST_F (Buttons, TargetMagnitudeOpensOnTheCurrentValuesAndOkWritesAndRecomputes)
{
    selectFlatAndZeroPhase();

    clickAndAct (d.textButtonDefineTargetMagnitude.get(), [&] (juce::Component& modal)
    {
        expectWindow (modal, "Target Magnitude", 320, 200);
        auto* form = dialogContent<DialogTargetMagnitude> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (&form->getLookAndFeel(), &laf);
        EXPECT_EQ (form->sliderNominalTargetLevel->getValue(), 80.0);
        EXPECT_EQ (form->sliderBoostCutLimit->getValue(), 12.0);
        EXPECT_NEAR (form->sliderFMin->getValue(), 93.75, 0.05 + 1e-9); // shown on the 0.1 steps
        EXPECT_EQ (form->sliderFMax->getValue(), 24000.0);
        form->sliderNominalTargetLevel->setValue (70.0, juce::sendNotificationSync);
        form->textButtonOk->triggerClick();
    });

    EXPECT_EQ (d.targetData.nominalTargetLevel, 70.0);
    EXPECT_TRUE (d.targetChanged);
    expectRecomputes (1);
}

TEST_F (Buttons, TargetPhaseOpensOnTheMeasuredPhaseAndOkRecomputes)
{
    selectFlatAndZeroPhase();

    // Phase +135 degrees up to bin 99, -135 degrees from bin 100 on.
    auto& spectrum = d.inputData.spectrum;
    ASSERT_EQ (spectrum.length(), 2049u);
    for (std::size_t k = 0; k < spectrum.length(); ++k)
        spectrum.data[k] = { -3.0, k < 100 ? 3.0 : -3.0 };

    clickAndAct (d.textButtonDefineTargetPhase.get(), [&] (juce::Component& modal)
    {
        expectWindow (modal, "Target Phase", 320, 200);
        auto* form = dialogContent<DialogTargetPhase> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (form->frequencies.data, d.frequencyAxis.data);
        EXPECT_DOUBLE_EQ (form->phase.data[0], 0.75 * juce::MathConstants<double>::pi);
        EXPECT_DOUBLE_EQ (form->phase.data[2048], -0.75 * juce::MathConstants<double>::pi);
        EXPECT_EQ (form->labelF1->getText(), "0.00");
        EXPECT_EQ (form->labelF2->getText(), "1160.16"); // bin 99
        EXPECT_EQ (form->labelF3->getText(), "1171.88"); // bin 100
        form->textButtonOk->triggerClick();
    });
    EXPECT_TRUE (d.targetChanged);
    expectRecomputes (1);
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
    EXPECT_EQ (d.targetData.fmaxPhase, 24000.0);
    EXPECT_EQ (d.targetData.nominalTargetLevel, 80.0);
}

TEST_F (Buttons, FilterEditorOpensInItsWindowAndOkKeepsTheEditsAndRecomputes)
{
    clickAndAct (d.textButtonDefineFilter.get(), [] (juce::Component& modal)
    {
        expectWindow (modal, "Filter Response", 1024, 768);
        auto* editor = dialogContent<FilterComponent> (modal);
        ASSERT_NE (editor, nullptr);
        editor->textButtonAddIir->triggerClick();
        editor->textButtonOK->triggerClick();
    });
    EXPECT_EQ (d.filterData.numIIRs, 1u);
    EXPECT_TRUE (d.filterChanged);
    expectRecomputes (1);
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
    const auto filterBefore = d.filterData;
    const auto targetBefore = d.targetData;
    const int notifications = d.listener.calls;

    const auto typeInto = [] (auto& table, int column, int row, const char* text)
    {
        auto* cell = dynamic_cast<juce::Label*> (table.table.getCellComponent (column, row));
        ASSERT_NE (cell, nullptr);
        typeIntoLabel (*cell, text);
    };
    const auto editor = [] (juce::Component& modal) -> FilterComponent& { return *dialogContent<FilterComponent> (modal); };
    const auto phaseForm = [] (juce::Component& modal) -> DialogTargetPhase& { return *dialogContent<DialogTargetPhase> (modal); };
    auto* const filterButton = d.textButtonDefineFilter.get();
    auto* const phaseButton = d.textButtonDefineTargetPhase.get();
    struct Case
    {
        const char* what;
        juce::Button* button;
        std::function<void (juce::Component&)> edit;
    };
    const Case cases[] = {
        { "the editor only opened, which sorts the points", filterButton, [] (juce::Component&) {} },
        { "a gain and a point typed into cells", filterButton, [&] (juce::Component& m)
          {
              typeInto (*editor (m).iirTable, 4, 0, "-12");
              typeInto (*editor (m).frequencyValueTable, 1, 0, "20");
          } },
        { "a section type changed", filterButton, [&] (juce::Component& m)
          {
              auto* cell = dynamic_cast<IirTableComponent::ComboBoxFilterTypeComponent*> (editor (m).iirTable->table.getCellComponent (1, 1));
              ASSERT_NE (cell, nullptr);
              cell->comboBox.setSelectedId (IirFilterType::highShelf, juce::sendNotificationSync);
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
        { "the phase form only opened, which puts the band on the sliders' steps", phaseButton, [&] (juce::Component&)
          { EXPECT_NEAR (d.targetData.fminPhase, 93.8, 1e-9); } },
        { "both phase limits moved", phaseButton, [&] (juce::Component& m)
          {
              phaseForm (m).sliderFMin->setValue (500.0, juce::sendNotificationSync);
              typeIntoValueBox (*phaseForm (m).sliderFMax, "12000");
          } },
        { "phase limits snapped and moved", phaseButton, [&] (juce::Component& m)
          {
              phaseForm (m).textButtonSnap->triggerClick();
              phaseForm (m).sliderFMax->setValue (100.0, juce::sendNotificationSync);
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
        expectSameBits (d.filterData, filterBefore);
        expectSameBits (d.targetData, targetBefore);
    }
    EXPECT_FALSE (d.inputChanged || d.targetChanged || d.filterChanged);
    EXPECT_EQ (d.listener.calls, notifications);

    // The computed results kept belong to the restored settings: a recompute gives the same bits.
    d.calculate (true);
    expectSameBits (d.filterData, filterBefore);
    expectSameBits (d.targetData, targetBefore);
}

TEST_F (Buttons, LoadAsksForAMeasurementAndImportsTheChosenFile)
{
    d.labelInputFile->setText ("/some/earlier.frd", juce::dontSendNotification);
    clickAndAct (d.textButtonLoad.get(), [] (juce::Component& modal)
    {
        EXPECT_NE (dynamic_cast<juce::FileChooserDialogBox*> (&modal), nullptr);
        EXPECT_EQ (modal.getName(), "Select a measurement...");
        modal.exitModalState (0);
    });
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
    EXPECT_EQ (d.inputData.fileName, measurement.getFullPathName());
    EXPECT_GT (d.inputData.fi.length(), 100u);
    EXPECT_TRUE (d.inputChanged);
    EXPECT_TRUE (d.recomputed());
}

TEST_F (Buttons, MaxLengthSetsNfftEvenWithoutAWindowAndRecomputes)
{
    d.filterData.windowType = 1;
    d.filterData.windowLength = 1024;
    d.sliderWindowLengthFilter->setValue (1024, juce::dontSendNotification);
    d.buttonClicked (d.textButtonMaxWindowLengthFilter.get());

    EXPECT_EQ (d.filterData.windowLength, 4096u);
    EXPECT_EQ (d.sliderWindowLengthFilter->getValue(), 4096.0);
    EXPECT_EQ (d.labelWindowLengthTimeFilter->getText(), "85.33 ms");
    EXPECT_FALSE (d.filterChanged);
    expectRecomputes (1);
}

TEST_F (Buttons, MaxShiftCentresTheWindowOnTheOneBasedPeak)
{
    struct Case
    {
        std::initializer_list<std::pair<std::size_t, double>> samples;
        std::int32_t windowType;
        std::uint64_t windowLength;
        int shift;
        const char* time;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        { { { 2048, 1.0 } }, 2, 1024, 2049 - 512, "32.02 ms" },   // Hann: half its length before the peak
        { { { 2048, 1.0 } }, 3, 1024, 2049 - 2048, "0.02 ms" },   // Hann 50% always spans NFFT
        { { { 2048, 1.0 } }, 2, 4095, 2049 - 2047, nullptr },     // half an odd length is truncated
        { { { 100, 1.0 }, { 3000, -2.0 }, { 3500, 2.0 } }, 1, 4096, 3001 - 2048, nullptr }, // first largest magnitude
        { { { 10, nan }, { 20, 0.5 } }, 1, 4096, 21 - 2048, nullptr },                      // NaN is never the peak
        { { { 0, 1.0 } }, 1, 4096, 1 - 2048, "-42.65 ms" },
    };
    int notifications = 0;
    for (const auto& c : cases)
    {
        clickPeakButton (c.samples, c.windowType, c.windowLength);
        EXPECT_EQ (d.filterData.windowShift, c.shift);
        EXPECT_EQ (d.sliderWindowShiftFilter->getValue(), c.shift);
        if (c.time != nullptr)
        {
            EXPECT_EQ (d.labelWindowShiftTimeFilter->getText(), c.time);
        }
        expectRecomputes (++notifications);
    }
    EXPECT_FALSE (d.filterChanged);

    // The default design's filter peaks at sample 2049.
    d.calculate (true);
    d.markCoefficients();
    d.buttonClicked (d.textButtonMaxWindowShiftFilter.get());
    EXPECT_EQ (d.filterData.windowShift, 1);
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
    EXPECT_FALSE (d.filterChanged);

    d.markCoefficients();
    for (auto* toggle : { d.toggleShowMagnitude.get(), d.toggleShowPhases.get(), d.toggleButtonUnwarp.get() })
    {
        const bool before = toggle->getToggleState();
        toggle->triggerClick();
        pump();
        EXPECT_NE (toggle->getToggleState(), before) << toggle->getName();
    }
    EXPECT_EQ (d.listener.calls, 5);
    EXPECT_FALSE (d.recomputed());
    EXPECT_FALSE (d.inputChanged || d.targetChanged || d.filterChanged);

    // A button that is no child is ignored.
    juce::TextButton stranger ("textButtonExport");
    d.buttonClicked (&stranger);
    d.buttonClicked (nullptr);
    EXPECT_EQ (d.listener.calls, 5);
}
