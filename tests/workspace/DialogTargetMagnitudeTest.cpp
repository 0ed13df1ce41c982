#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "workspace/DialogTargetMagnitude.h"
#include "workspace/ModalTestSupport.h"

namespace
{
/** A target block whose four magnitude settings differ from every value the tests type. */
TargetData startingTarget()
{
    TargetData t;
    t.nominalTargetLevel = 80.0;
    t.limitBoostCut = 12.0;
    t.fminMagnitude = 93.75;
    t.fmaxMagnitude = 24000.0;
    return t;
}

/** A form pointed at `target` whose sliders show the given values, as its owner prepares it. */
std::unique_ptr<DialogTargetMagnitude> formFor (TargetData* target, double level, double limit, double fmin, double fmax)
{
    auto form = std::make_unique<DialogTargetMagnitude>();
    form->targetData = target;
    form->sliderNominalTargetLevel->setValue (level, juce::sendNotificationAsync);
    form->sliderBoostCutLimit->setValue (limit, juce::sendNotificationAsync);
    form->sliderFMin->setValue (fmin, juce::sendNotificationAsync);
    form->sliderFMax->setValue (fmax, juce::sendNotificationAsync);
    form->setSize (320, 200);
    return form;
}

void expectUnchanged (const TargetData& t)
{
    const auto reference = startingTarget();
    EXPECT_EQ (t.nominalTargetLevel, reference.nominalTargetLevel);
    EXPECT_EQ (t.limitBoostCut, reference.limitBoostCut);
    EXPECT_EQ (t.fminMagnitude, reference.fminMagnitude);
    EXPECT_EQ (t.fmaxMagnitude, reference.fmaxMagnitude);
}

/** Changes every slider of the open form to values none of which equals the starting target. */
void changeEverySlider (DialogTargetMagnitude& form)
{
    form.sliderNominalTargetLevel->setValue (75.3, juce::sendNotificationSync);
    form.sliderBoostCutLimit->setValue (-6.2, juce::sendNotificationSync);
    form.sliderFMin->setValue (20000.0, juce::sendNotificationSync);
    form.sliderFMax->setValue (100.5, juce::sendNotificationSync);
}
} // namespace

TEST (DialogTargetMagnitude, OkWritesTheFourValuesAsEnteredEvenWithTheBandReversed)
{
    auto target = startingTarget();
    const int result = modaltest::runFormAndAct<DialogTargetMagnitude> (formFor (&target, 80.0, 12.0, 93.75, 24000.0),
                                                                        [] (DialogTargetMagnitude& open, juce::DialogWindow&)
    {
        changeEverySlider (open);
        open.textButtonOk->triggerClick();
    });

    EXPECT_EQ (result, 1);
    EXPECT_NEAR (target.nominalTargetLevel, 75.3, 1e-9);
    EXPECT_NEAR (target.limitBoostCut, -6.2, 1e-9);
    // A lower band edge above the upper one is taken as entered.
    EXPECT_NEAR (target.fminMagnitude, 20000.0, 1e-9);
    EXPECT_NEAR (target.fmaxMagnitude, 100.5, 1e-9);
}

TEST (DialogTargetMagnitude, CancelTheEscapeKeyAndTheCloseButtonWriteNothing)
{
    const std::vector<std::function<void (DialogTargetMagnitude&, juce::DialogWindow&)>> endings {
        [] (DialogTargetMagnitude& open, juce::DialogWindow&) { open.textButtonCancel->triggerClick(); },
        [] (DialogTargetMagnitude&, juce::DialogWindow& window) { EXPECT_TRUE (window.escapeKeyPressed()); },
        [] (DialogTargetMagnitude&, juce::DialogWindow& window) { window.closeButtonPressed(); },
    };
    for (const auto& end : endings)
    {
        auto target = startingTarget();
        const int result = modaltest::runFormAndAct<DialogTargetMagnitude> (formFor (&target, 80.0, 12.0, 93.75, 24000.0),
                                                                            [end] (DialogTargetMagnitude& open, juce::DialogWindow& window)
        {
            changeEverySlider (open);
            end (open, window);
        });
        EXPECT_EQ (result, 0);
        expectUnchanged (target);
    }
}

TEST (DialogTargetMagnitude, SlidersAloneNeverWriteTheTarget)
{
    auto target = startingTarget();
    auto form = formFor (&target, 80.0, 12.0, 93.75, 24000.0);
    modaltest::pump(); // the owner's asynchronous notifications arrive
    changeEverySlider (*form);
    expectUnchanged (target);
}

TEST (DialogTargetMagnitude, TypedValuesAreClampedAndRoundedToTenthsBeforeOkReadsThem)
{
    auto target = startingTarget();
    auto form = formFor (&target, 80.0, 12.0, 93.75, 24000.0);

    modaltest::typeIntoValueBox (*form->sliderNominalTargetLevel, "250.04");
    modaltest::typeIntoValueBox (*form->sliderBoostCutLimit, "-123");
    modaltest::typeIntoValueBox (*form->sliderFMin, "12.34");
    modaltest::typeIntoValueBox (*form->sliderFMax, "24000.06");
    form->buttonClicked (form->textButtonOk.get());

    EXPECT_NEAR (target.nominalTargetLevel, 200.0, 1e-9);
    EXPECT_NEAR (target.limitBoostCut, -100.0, 1e-9);
    EXPECT_NEAR (target.fminMagnitude, 12.3, 1e-9);
    EXPECT_NEAR (target.fmaxMagnitude, 24000.0, 1e-9);
}

TEST (DialogTargetMagnitude, OkWithoutATargetBlockEndsTheRunWithOne)
{
    EXPECT_EQ (modaltest::runFormAndAct<DialogTargetMagnitude> (formFor (nullptr, 1.0, 2.0, 3.0, 4.0),
                                                                 [] (DialogTargetMagnitude& open, juce::DialogWindow&)
                                                                 { open.textButtonOk->triggerClick(); }),
               1);
}

TEST (DialogTargetMagnitude, ControlsKeepTheirBoundsWhenTheOwnerShrinksTheForm)
{
    DialogTargetMagnitude form;
    EXPECT_EQ (form.getWidth(), 600);
    EXPECT_EQ (form.getHeight(), 400);

    form.setSize (320, 200);
    EXPECT_EQ (form.sliderFMin->getBounds(), juce::Rectangle<int> (30, 102, 130, 24));
    EXPECT_EQ (form.sliderFMax->getRight(), 292);
    EXPECT_EQ (form.textButtonOk->getBounds(), juce::Rectangle<int> (210, 144, 100, 24));
    EXPECT_EQ (form.textButtonCancel->getBottom(), 168);
}
