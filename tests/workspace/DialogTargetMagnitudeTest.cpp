// The target magnitude form: only OK writes the four settings, as typed, clamped and rounded.
#include "GuiTestSupport.h"

#include "workspace/DialogTargetMagnitude.h"

#include <array>
#include <tuple>

using namespace guitest;

namespace
{
using Values = std::array<double, 4>; // level, boost/cut limit, lower and upper band edge

const Values starting { 80.0, 12.0, 93.75, 24000.0 };

Values valuesOf (const TargetData& t) { return { t.nominalTargetLevel, t.limitBoostCut, t.fminMagnitude, t.fmaxMagnitude }; }

/** A form pointed at `target` (set to the starting values) whose sliders show them, as its owner prepares it. */
std::unique_ptr<DialogTargetMagnitude> formFor (TargetData* target)
{
    auto form = std::make_unique<DialogTargetMagnitude>();
    form->targetData = target;
    if (target != nullptr)
        std::tie (target->nominalTargetLevel, target->limitBoostCut, target->fminMagnitude, target->fmaxMagnitude) =
            std::tie (starting[0], starting[1], starting[2], starting[3]);
    juce::Slider* sliders[] = { form->sliderNominalTargetLevel.get(), form->sliderBoostCutLimit.get(),
                                form->sliderFMin.get(), form->sliderFMax.get() };
    for (int i = 0; i < 4; ++i)
        sliders[i]->setValue (starting[(size_t) i], juce::sendNotificationAsync);
    form->setSize (320, 200);
    return form;
}

/** Changes every slider to a value none of which equals the starting one; the band is reversed. */
void changeEverySlider (DialogTargetMagnitude& form)
{
    form.sliderNominalTargetLevel->setValue (75.3, juce::sendNotificationSync);
    form.sliderBoostCutLimit->setValue (-6.2, juce::sendNotificationSync);
    form.sliderFMin->setValue (20000.0, juce::sendNotificationSync);
    form.sliderFMax->setValue (100.5, juce::sendNotificationSync);
}

void expectValues (const TargetData& t, const Values& expected)
{
    const auto actual = valuesOf (t);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR (actual[i], expected[i], 1e-9) << "value " << i;
}
} // namespace

TEST (DialogTargetMagnitude, OkWritesTheFourValuesAsEnteredEvenWithTheBandReversed)
{
    TargetData target;
    const int result = runFormAndAct<DialogTargetMagnitude> (formFor (&target), [] (DialogTargetMagnitude& open, juce::DialogWindow&)
    {
        changeEverySlider (open);
        open.textButtonOk->triggerClick();
    });
    EXPECT_EQ (result, 1);
    expectValues (target, { 75.3, -6.2, 20000.0, 100.5 });

    // Without a target block OK still ends the run with 1.
    EXPECT_EQ (runFormAndAct<DialogTargetMagnitude> (formFor (nullptr), [] (DialogTargetMagnitude& open, juce::DialogWindow&)
                                                     { open.textButtonOk->triggerClick(); }),
               1);
}

TEST (DialogTargetMagnitude, CancelEscapeCloseButtonAndTheSlidersAloneWriteNothing)
{
    const std::vector<std::function<void (DialogTargetMagnitude&, juce::DialogWindow&)>> endings {
        [] (DialogTargetMagnitude& open, juce::DialogWindow&) { open.textButtonCancel->triggerClick(); },
        [] (DialogTargetMagnitude&, juce::DialogWindow& window) { EXPECT_TRUE (window.escapeKeyPressed()); },
        [] (DialogTargetMagnitude&, juce::DialogWindow& window) { window.closeButtonPressed(); },
    };
    for (const auto& end : endings)
    {
        TargetData target;
        EXPECT_EQ (runFormAndAct<DialogTargetMagnitude> (formFor (&target), [end] (DialogTargetMagnitude& open, juce::DialogWindow& window)
        {
            changeEverySlider (open);
            end (open, window);
        }), 0);
        expectValues (target, starting);
    }

    TargetData target;
    auto form = formFor (&target);
    pump(); // the owner's asynchronous notifications arrive
    changeEverySlider (*form);
    expectValues (target, starting);
}

TEST (DialogTargetMagnitude, TypedValuesAreClampedAndRoundedToTenthsBeforeOkReadsThem)
{
    TargetData target;
    auto form = formFor (&target);
    typeIntoValueBox (*form->sliderNominalTargetLevel, "250.04");
    typeIntoValueBox (*form->sliderBoostCutLimit, "-123");
    typeIntoValueBox (*form->sliderFMin, "12.34");
    typeIntoValueBox (*form->sliderFMax, "24000.06");
    form->buttonClicked (form->textButtonOk.get());
    expectValues (target, { 200.0, -100.0, 12.3, 24000.0 });
}

TEST (DialogTargetMagnitude, ControlsKeepTheirBoundsWhenTheOwnerShrinksTheForm)
{
    DialogTargetMagnitude form;
    form.setSize (320, 200);
    EXPECT_EQ (form.sliderFMin->getBounds(), juce::Rectangle<int> (30, 102, 130, 24));
    EXPECT_EQ (form.textButtonOk->getBounds(), juce::Rectangle<int> (210, 144, 100, 24));
}
