// The workspace's buttons and toggles: the forms they open, what OK, Cancel and closing keep, the
// filter-window buttons and the redraw toggles.
#include "GuiTestSupport.h"

#include "workspace/DialogTargetMagnitude.h"
#include "workspace/DialogTargetPhase.h"
#include "workspace/FilterComponent.h"

#include <limits>

using namespace guitest;

namespace
{
/** The program's look-and-feel with an alert background that the dialog windows must take over. */
struct MarkedLookAndFeel : public ProgramLookAndFeel
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

TEST_F (Buttons, TargetMagnitudeOpensOnTheCurrentValuesAndOnlyOkWritesAndRecomputes)
{
    selectFlatAndZeroPhase();

    // Cancel and the escape key keep the target as it was.
    clickAndAct (d.textButtonDefineTargetMagnitude.get(), [] (juce::Component& modal)
    {
        dialogContent<DialogTargetMagnitude> (modal)->sliderBoostCutLimit->setValue (9.0, juce::sendNotificationSync);
        dialogContent<DialogTargetMagnitude> (modal)->textButtonCancel->triggerClick();
    });
    clickAndAct (d.textButtonDefineTargetMagnitude.get(), [] (juce::Component& modal)
    {
        dialogContent<DialogTargetMagnitude> (modal)->sliderBoostCutLimit->setValue (9.0, juce::sendNotificationSync);
        EXPECT_TRUE (dynamic_cast<juce::DialogWindow&> (modal).escapeKeyPressed());
    });
    EXPECT_EQ (d.targetData.limitBoostCut, 12.0);
    EXPECT_FALSE (d.targetChanged);
    expectRecomputes (0);

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

TEST_F (Buttons, TargetPhaseOpensOnTheMeasuredPhaseAndCancelKeepsTheBandWithoutRecomputing)
{
    selectFlatAndZeroPhase();

    // On the default design every readout is a limit's own point.
    clickAndAct (d.textButtonDefineTargetPhase.get(), [] (juce::Component& modal)
    {
        auto* form = dialogContent<DialogTargetPhase> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (form->labelF1->getText(), "93.75");
        EXPECT_EQ (form->labelF4->getText(), "24000.00");
        form->sliderFMax->setValue (12000.0, juce::sendNotificationSync);
        form->textButtonCancel->triggerClick();
    });
    EXPECT_EQ (d.targetData.fmaxPhase, 12000.0); // the band follows the slider at once
    EXPECT_FALSE (d.targetChanged);
    expectRecomputes (0);

    // Phase +135 degrees up to bin 99, -135 degrees from bin 100 on.
    auto& spectrum = d.inputData.spectrum;
    ASSERT_EQ (spectrum.length(), 2049u);
    for (std::size_t k = 0; k < spectrum.length(); ++k)
        spectrum.data[k] = { -3.0, k < 100 ? 3.0 : -3.0 };
    d.targetData.fmaxPhase = 24000.0;

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

TEST_F (Buttons, FilterEditorClosedByAnyMeansGivesZeroAndOnlyOkRecomputes)
{

    const std::vector<std::function<void (juce::DialogWindow&)>> closings {
        [] (juce::DialogWindow& window) { window.closeButtonPressed(); },
        [] (juce::DialogWindow& window) { EXPECT_TRUE (window.escapeKeyPressed()); },
        [] (juce::DialogWindow& window) { find<juce::Button> (window, "textButtonCancel")->triggerClick(); },
    };
    for (const auto& close : closings)
        clickAndAct (d.textButtonDefineFilter.get(), [&] (juce::Component& modal)
        {
            expectWindow (modal, "Filter Response", 1024, 768);
            EXPECT_NE (dialogContent<FilterComponent> (modal), nullptr);
            close (dynamic_cast<juce::DialogWindow&> (modal));
        });
    EXPECT_FALSE (d.filterChanged);
    expectRecomputes (0);

    clickAndAct (d.textButtonDefineFilter.get(), [] (juce::Component& modal)
    {
        find<juce::Button> (modal, "textButtonOK")->triggerClick();
    });
    EXPECT_TRUE (d.filterChanged);
    expectRecomputes (1);
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
