#include <cmath>

#include <gtest/gtest.h>

#include "workspace/ButtonsTestSupport.h"
#include "workspace/DialogTargetMagnitude.h"
#include "workspace/DialogTargetPhase.h"
#include "workspace/FilterComponent.h"
#include "workspace/ModalTestSupport.h"

using buttonstest::Workspace;
using modaltest::runWhileModal;

namespace
{
/** Clicks `button` of the workspace and, once its modal window runs, hands the window to `act`
    (which must end it). Fails the test when no window showed or `act` left it open. */
void clickAndAct (Workspace& w, juce::Button* button, std::function<void (juce::Component&)> act)
{
    const auto visit = runWhileModal (std::move (act), [&] { w.design.buttonClicked (button); });
    EXPECT_TRUE (visit.sawModal);
    EXPECT_FALSE (visit.forcedEnd);
}

/** The design ran one recompute and told its listeners once. */
void expectOneRecompute (const Workspace& w)
{
    EXPECT_TRUE (w.recomputed());
    EXPECT_EQ (w.notifications, 1);
}

/** The design neither recomputed nor told its listeners anything. */
void expectUntouched (const Workspace& w)
{
    EXPECT_FALSE (w.recomputed());
    EXPECT_EQ (w.notifications, 0);
}

/** A look-and-feel whose alert background the dialog windows must take over. */
struct MarkedLookAndFeel : public juce::LookAndFeel_V4
{
    MarkedLookAndFeel() { setColour (juce::AlertWindow::backgroundColourId, juce::Colour (0xff123456)); }
};

/** Installs `laf` on the workspace for the life of the guard. */
struct LookAndFeelGuard
{
    LookAndFeelGuard (juce::Component& c, juce::LookAndFeel& laf) : component (c) { component.setLookAndFeel (&laf); }
    ~LookAndFeelGuard() { component.setLookAndFeel (nullptr); }
    juce::Component& component;
};

/** The window's title, content size and background, as the launch options set them. Without a
    window manager the content may grow by the frame that the window first reserved for its title
    bar, so the size is checked to within that allowance. */
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
    EXPECT_TRUE (window.isUsingNativeTitleBar());
}
} // namespace

TEST (DesignComponentButtonsTargetMagnitude, FlatOpensTheFormOnTheCurrentValuesAndOkRecomputes)
{
    Workspace w;
    MarkedLookAndFeel laf;
    LookAndFeelGuard guard (w.design, laf);
    w.selectFlatAndZeroPhase();

    clickAndAct (w, w.design.textButtonDefineTargetMagnitude.get(), [&] (juce::Component& modal)
    {
        expectWindow (modal, "Target Magnitude", 320, 200);
        auto* form = modaltest::dialogContent<DialogTargetMagnitude> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (&form->getLookAndFeel(), &laf);
        EXPECT_EQ (form->targetData, &w.design.targetData);
        EXPECT_EQ (form->sliderNominalTargetLevel->getValue(), 80.0);
        EXPECT_EQ (form->sliderBoostCutLimit->getValue(), 12.0);
        EXPECT_NEAR (form->sliderFMin->getValue(), 93.75, 0.05 + 1e-9); // shown on the 0.1 steps
        EXPECT_EQ (form->sliderFMax->getValue(), 24000.0);

        form->sliderNominalTargetLevel->setValue (70.0, juce::sendNotificationSync);
        form->sliderBoostCutLimit->setValue (6.0, juce::sendNotificationSync);
        form->textButtonOk->triggerClick();
    });

    EXPECT_EQ (w.design.targetData.nominalTargetLevel, 70.0);
    EXPECT_EQ (w.design.targetData.limitBoostCut, 6.0);
    EXPECT_TRUE (w.design.targetChanged);
    expectOneRecompute (w);
}

TEST (DesignComponentButtonsTargetMagnitude, CancelAndEscapeNeitherWriteNorRecompute)
{
    Workspace w;
    w.selectFlatAndZeroPhase();
    w.design.targetData.limitBoostCut = 3.5;

    clickAndAct (w, w.design.textButtonDefineTargetMagnitude.get(), [] (juce::Component& modal)
    {
        auto* form = modaltest::dialogContent<DialogTargetMagnitude> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (form->sliderBoostCutLimit->getValue(), 3.5);
        form->sliderBoostCutLimit->setValue (9.0, juce::sendNotificationSync);
        form->textButtonCancel->triggerClick();
    });
    clickAndAct (w, w.design.textButtonDefineTargetMagnitude.get(), [] (juce::Component& modal)
    {
        modaltest::dialogContent<DialogTargetMagnitude> (modal)->sliderBoostCutLimit->setValue (9.0, juce::sendNotificationSync);
        EXPECT_TRUE (dynamic_cast<juce::DialogWindow&> (modal).escapeKeyPressed());
    });

    EXPECT_EQ (w.design.targetData.limitBoostCut, 3.5);
    EXPECT_FALSE (w.design.targetChanged);
    expectUntouched (w);
}

TEST (DesignComponentButtonsTargetPhase, OpensOnTheMeasuredPhaseOfTheInputSpectrum)
{
    Workspace w;
    MarkedLookAndFeel laf;
    LookAndFeelGuard guard (w.design, laf);
    w.selectFlatAndZeroPhase();

    // Phase +135 degrees up to bin 99, -135 degrees from bin 100 on; bin 8 is the lower limit 93.75 Hz.
    auto& spectrum = w.design.inputData.spectrum;
    ASSERT_EQ (spectrum.length(), 2049u);
    for (std::size_t k = 0; k < spectrum.length(); ++k)
        spectrum.data[k] = { -3.0, k < 100 ? 3.0 : -3.0 };

    clickAndAct (w, w.design.textButtonDefineTargetPhase.get(), [&] (juce::Component& modal)
    {
        expectWindow (modal, "Target Phase", 320, 200);
        auto* form = modaltest::dialogContent<DialogTargetPhase> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (&form->getLookAndFeel(), &laf);
        EXPECT_EQ (form->targetData, &w.design.targetData);
        EXPECT_EQ (form->frequencies.data, w.design.frequencyAxis.data);
        EXPECT_DOUBLE_EQ (form->phase.data[0], 0.75 * juce::MathConstants<double>::pi);
        EXPECT_DOUBLE_EQ (form->phase.data[2048], -0.75 * juce::MathConstants<double>::pi);
        EXPECT_EQ (form->labelF1->getText(), "0.00");
        EXPECT_EQ (form->labelF2->getText(), "1160.16");  // bin 99
        EXPECT_EQ (form->labelF3->getText(), "1171.88");  // bin 100
        EXPECT_EQ (form->labelF4->getText(), "24000.00");
        EXPECT_EQ (form->sliderFMax->getValue(), 24000.0);
        form->textButtonOk->triggerClick();
    });

    EXPECT_TRUE (w.design.targetChanged);
    expectOneRecompute (w);
}

TEST (DesignComponentButtonsTargetPhase, OnTheDefaultDesignEveryReadoutIsALimitsOwnPoint)
{
    Workspace w;
    w.selectFlatAndZeroPhase();
    clickAndAct (w, w.design.textButtonDefineTargetPhase.get(), [] (juce::Component& modal)
    {
        auto* form = modaltest::dialogContent<DialogTargetPhase> (modal);
        ASSERT_NE (form, nullptr);
        EXPECT_EQ (form->labelF1->getText(), "93.75");
        EXPECT_EQ (form->labelF2->getText(), "93.75");
        EXPECT_EQ (form->labelF3->getText(), "24000.00");
        EXPECT_EQ (form->labelF4->getText(), "24000.00");
        form->textButtonCancel->triggerClick();
    });
}

TEST (DesignComponentButtonsTargetPhase, CancelKeepsTheBandEditsButRecomputesNothing)
{
    Workspace w;
    w.selectFlatAndZeroPhase();

    clickAndAct (w, w.design.textButtonDefineTargetPhase.get(), [] (juce::Component& modal)
    {
        auto* form = modaltest::dialogContent<DialogTargetPhase> (modal);
        ASSERT_NE (form, nullptr);
        form->sliderFMax->setValue (12000.0, juce::sendNotificationSync);
        form->textButtonCancel->triggerClick();
    });

    EXPECT_EQ (w.design.targetData.fmaxPhase, 12000.0);
    EXPECT_FALSE (w.design.targetChanged);
    expectUntouched (w);
}

TEST (DesignComponentButtonsTargets, UserDefinedAsksForACsvFileInsteadOfOpeningAForm)
{
    Workspace w;
    w.design.comboBoxTargetMagnitude->setSelectedId (3, juce::dontSendNotification);
    w.design.comboBoxTargetPhase->setSelectedId (4, juce::dontSendNotification);
    const auto before = w.design.targetData;

    for (auto* button : { w.design.textButtonDefineTargetMagnitude.get(), w.design.textButtonDefineTargetPhase.get() })
    {
        clickAndAct (w, button, [] (juce::Component& modal)
        {
            EXPECT_EQ (modaltest::dialogContent<DialogTargetMagnitude> (modal), nullptr);
            EXPECT_EQ (modaltest::dialogContent<DialogTargetPhase> (modal), nullptr);
            EXPECT_NE (dynamic_cast<juce::FileChooserDialogBox*> (&modal), nullptr);
            modal.exitModalState (0);
        });
    }

    EXPECT_EQ (w.design.targetData.fminMagnitude, before.fminMagnitude);
    EXPECT_EQ (w.design.targetData.nominalTargetLevel, before.nominalTargetLevel);
    EXPECT_EQ (w.design.targetData.fmaxPhase, before.fmaxPhase);
}

TEST (DesignComponentButtonsFilterEditor, ClosingTheEditorGivesZeroAndOkRecomputes)
{
    Workspace w;
    MarkedLookAndFeel laf;
    LookAndFeelGuard guard (w.design, laf);

    const std::vector<std::function<void (juce::DialogWindow&)>> closings {
        [] (juce::DialogWindow& window) { window.closeButtonPressed(); },
        [] (juce::DialogWindow& window) { EXPECT_TRUE (window.escapeKeyPressed()); },
        [] (juce::DialogWindow& window)
        {
            auto* cancel = modaltest::findDescendant<juce::Button> (*window.getContentComponent(), "textButtonCancel");
            ASSERT_NE (cancel, nullptr);
            cancel->triggerClick();
        },
    };
    for (const auto& close : closings)
    {
        clickAndAct (w, w.design.textButtonDefineFilter.get(), [&] (juce::Component& modal)
        {
            expectWindow (modal, "Filter Response", 1024, 768);
            EXPECT_NE (modaltest::dialogContent<FilterComponent> (modal), nullptr);
            close (dynamic_cast<juce::DialogWindow&> (modal));
        });
    }
    EXPECT_FALSE (w.design.filterChanged);
    expectUntouched (w);

    clickAndAct (w, w.design.textButtonDefineFilter.get(), [] (juce::Component& modal)
    {
        auto* ok = modaltest::findDescendant<juce::Button> (modal, "textButtonOK");
        ASSERT_NE (ok, nullptr);
        ok->triggerClick();
    });
    EXPECT_TRUE (w.design.filterChanged);
    expectOneRecompute (w);
}

TEST (DesignComponentButtonsFiles, CancellingTheMeasurementChooserChangesNothing)
{
    Workspace w;
    w.design.labelInputFile->setText ("/some/earlier.frd", juce::dontSendNotification);

    clickAndAct (w, w.design.textButtonLoad.get(), [] (juce::Component& modal)
    {
        EXPECT_NE (dynamic_cast<juce::FileChooserDialogBox*> (&modal), nullptr);
        EXPECT_EQ (modal.getName(), "Select a measurement...");
        modal.exitModalState (0);
    });

    EXPECT_EQ (w.design.labelInputFile->getText(), "/some/earlier.frd");
    EXPECT_TRUE (w.design.inputData.fileName.isEmpty());
    expectUntouched (w);
}

TEST (DesignComponentButtonsFiles, AChosenMeasurementGoesIntoTheLabelAndIsImported)
{
    Workspace w;
    const auto measurement = juce::File (TALVO_TEST_DATA_DIR).getChildFile ("room-response.txt");
    ASSERT_TRUE (measurement.existsAsFile());

    // The import that follows the chooser asks for its settings; they are accepted as they are.
    bool importSetupSeen = false;
    const auto acceptImportSetup = [&] (juce::Component& setup)
    {
        auto* ok = modaltest::findDescendant<juce::Button> (setup, "textButtonOk");
        importSetupSeen = ok != nullptr;
        if (ok != nullptr)
            ok->triggerClick();
        else
            setup.exitModalState (0);
    };

    modaltest::ScopedOneShot setupStep (600, [&]
    {
        auto* manager = juce::ModalComponentManager::getInstance();
        if (manager->getNumModalComponents() > 0)
            acceptImportSetup (*manager->getModalComponent (0));
    });

    clickAndAct (w, w.design.textButtonLoad.get(), [&] (juce::Component& chooser)
    {
        auto* browser = modaltest::findDescendantOfType<juce::FileBrowserComponent> (chooser);
        ASSERT_NE (browser, nullptr);
        browser->setFileName (measurement.getFullPathName());
        chooser.exitModalState (1);
    });
    EXPECT_TRUE (importSetupSeen);
    EXPECT_EQ (w.design.labelInputFile->getText(), measurement.getFullPathName());
    EXPECT_EQ (w.design.inputData.fileName, measurement.getFullPathName());
    EXPECT_GT (w.design.inputData.fi.length(), 100u);
    EXPECT_TRUE (w.recomputed());
    EXPECT_TRUE (w.design.inputChanged);
}

TEST (DesignComponentButtonsFiles, ExportAsksForAFileAndCancellingWritesNothing)
{
    Workspace w;
    clickAndAct (w, w.design.textButtonExport.get(), [] (juce::Component& modal)
    {
        EXPECT_NE (dynamic_cast<juce::FileChooserDialogBox*> (&modal), nullptr);
        modal.exitModalState (0);
    });
    expectUntouched (w);
}
