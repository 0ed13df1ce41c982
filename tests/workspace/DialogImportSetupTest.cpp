// The import settings form: it shows the caller's settings and writes every change through at once.
#include "GuiTestSupport.h"

#include "workspace/DialogImportSetup.h"

using namespace guitest;

namespace
{
struct Settings
{
    int magnitudeUnits = 2;
    int phaseUnits = 1;
    juce::String delimiter = "\\t";
    double targetLevel = 80.0;
    bool minimumPhase = false;
};
} // namespace

TEST (DialogImportSetup, ShowsTheCallersSettingsAtTheFixedLayout)
{
    Settings settings;
    settings.delimiter = ", ";
    settings.targetLevel = 93.5;
    settings.minimumPhase = true;
    DialogImportSetup form (&settings.magnitudeUnits, &settings.phaseUnits, &settings.delimiter,
                            &settings.targetLevel, &settings.minimumPhase);

    EXPECT_EQ (form.getWidth(), 204);
    EXPECT_EQ (form.getHeight(), 348);
    EXPECT_EQ (form.comboBoxMagnitudeUnits->getSelectedId(), 2);
    EXPECT_EQ (form.comboBoxMagnitudeUnits->getText(), "Decibels [dB]");
    EXPECT_EQ (form.comboBoxPhaseUnits->getText(), juce::String (juce::CharPointer_UTF8 ("Degrees [\xc2\xb0]")));
    EXPECT_EQ (form.labelDelimiter->getText(), ", ");
    EXPECT_EQ (form.sliderTargetLevel->getValue(), 93.5);
    EXPECT_EQ (form.sliderTargetLevel->getTextFromValue (93.5), "93.5dB");
    EXPECT_TRUE (form.toggleButtonMinimumPhase->getToggleState());
    EXPECT_TRUE (form.sliderTargetLevel->isVisible());
    EXPECT_TRUE (form.toggleButtonMinimumPhase->isVisible());

    const std::pair<juce::Component*, int> rows[] = {
        { form.labelMagnitudeUnits.get(), 12 }, { form.comboBoxMagnitudeUnits.get(), 42 },
        { form.labelPhaseUnits.get(), 78 },     { form.comboBoxPhaseUnits.get(), 108 },
        { form.labelDelimiterHeader.get(), 144 }, { form.labelDelimiter.get(), 174 },
        { form.labelTargetLevel.get(), 210 },   { form.sliderTargetLevel.get(), 240 },
        { form.toggleButtonMinimumPhase.get(), 276 }, { form.textButtonOk.get(), 312 }
    };

    for (const auto& [component, y] : rows)
        EXPECT_EQ (component->getBounds(), juce::Rectangle<int> (12, y, 180, 24)) << component->getName();

    EXPECT_TRUE (form.labelDelimiter->isEditableOnSingleClick());
    EXPECT_TRUE (form.labelDelimiter->isEditableOnDoubleClick());
    EXPECT_FALSE (form.labelMagnitudeUnits->isEditable());
}

TEST (DialogImportSetup, WithoutLevelAndPhaseFlagTheirControlsAreHidden)
{
    Settings settings;
    DialogImportSetup form (&settings.magnitudeUnits, &settings.phaseUnits, &settings.delimiter, nullptr, nullptr);

    EXPECT_FALSE (form.labelTargetLevel->isVisible());
    EXPECT_FALSE (form.sliderTargetLevel->isVisible());
    EXPECT_FALSE (form.toggleButtonMinimumPhase->isVisible());
    EXPECT_TRUE (form.labelDelimiter->isVisible());
    EXPECT_EQ (form.getHeight(), 348);

    // Hidden controls write nowhere, even when something changes them.
    form.sliderTargetLevel->setValue (10.0, juce::sendNotificationSync);
    form.toggleButtonMinimumPhase->setToggleState (true, juce::sendNotificationSync);
    EXPECT_EQ (settings.targetLevel, 80.0);
    EXPECT_FALSE (settings.minimumPhase);
}

TEST (DialogImportSetup, EveryChangeIsWrittenThroughAtOnce)
{
    Settings settings;
    DialogImportSetup form (&settings.magnitudeUnits, &settings.phaseUnits, &settings.delimiter,
                            &settings.targetLevel, &settings.minimumPhase);

    form.comboBoxMagnitudeUnits->setSelectedId (1, juce::sendNotificationSync);
    form.comboBoxPhaseUnits->setSelectedId (2, juce::sendNotificationSync);
    EXPECT_EQ (settings.magnitudeUnits, 1);
    EXPECT_EQ (settings.phaseUnits, 2);

    form.labelDelimiter->setText (" ;\\t ", juce::sendNotificationSync);
    EXPECT_EQ (settings.delimiter, " ;\\t "); // exactly as typed

    // Typed levels are clamped to 0 .. 200 dB and snap to steps of 0.1 dB.
    typeIntoValueBox (*form.sliderTargetLevel, "250");
    EXPECT_EQ (settings.targetLevel, 200.0);
    typeIntoValueBox (*form.sliderTargetLevel, "-3");
    EXPECT_EQ (settings.targetLevel, 0.0);
    typeIntoValueBox (*form.sliderTargetLevel, "74.04dB");
    EXPECT_NEAR (settings.targetLevel, 74.0, 1e-9);

    form.toggleButtonMinimumPhase->triggerClick();
    pump();
    EXPECT_TRUE (settings.minimumPhase);
}

TEST (DialogImportSetup, UnknownUnitIdsShowNoSelection)
{
    Settings settings;
    settings.magnitudeUnits = 3;
    settings.phaseUnits = 0;
    DialogImportSetup form (&settings.magnitudeUnits, &settings.phaseUnits, &settings.delimiter, nullptr, nullptr);

    EXPECT_EQ (form.comboBoxMagnitudeUnits->getSelectedId(), 0);
    EXPECT_EQ (form.comboBoxMagnitudeUnits->getText(), "");
    EXPECT_EQ (form.comboBoxPhaseUnits->getSelectedId(), 0);
    EXPECT_EQ (settings.magnitudeUnits, 3); // showing it does not change it
}

TEST (DialogImportSetup, OkEndsTheModalRunWithOneAndKeepsTheEdits)
{
    Settings settings;
    auto form = std::make_unique<DialogImportSetup> (&settings.magnitudeUnits, &settings.phaseUnits, &settings.delimiter,
                                                     &settings.targetLevel, &settings.minimumPhase);
    EXPECT_EQ (runFormAndAct<DialogImportSetup> (std::move (form), [] (DialogImportSetup& open, juce::DialogWindow&)
    {
        open.comboBoxPhaseUnits->setSelectedId (2, juce::sendNotificationSync);
        open.textButtonOk->triggerClick();
    }), 1);
    EXPECT_EQ (settings.phaseUnits, 2);
}
