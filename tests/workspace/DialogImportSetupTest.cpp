// The import settings form writes every change through to the caller's settings at once.
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
    const std::pair<const char*, double> levels[] = { { "250", 200.0 }, { "-3", 0.0 }, { "74.04dB", 74.0 } };
    for (const auto& [typed, stored] : levels)
    {
        typeIntoValueBox (*form.sliderTargetLevel, typed);
        EXPECT_EQ (settings.targetLevel, stored) << typed;
    }

    form.toggleButtonMinimumPhase->triggerClick();
    pump();
    EXPECT_TRUE (settings.minimumPhase);
}
