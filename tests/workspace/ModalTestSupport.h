#pragma once

// Helpers for tests that drive real modal windows: they hand the topmost modal component to a
// check once its nested loop runs, and end a run that the check forgot to end.
#include <functional>
#include <memory>

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace modaltest
{
/** Lets pending messages (asynchronous clicks and notifications) be handled for `ms` milliseconds. */
inline void pump (int ms = 50)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
}

/** Outcome of one modal run driven by runWhileModal. */
struct ModalVisit
{
    bool sawModal = false;   ///< a modal component was showing when the check ran
    bool forcedEnd = false;  ///< the check left it open and the guard had to end it
};

/** A one-shot timer that is stopped when it goes out of scope, so that nothing of a test is left
    pending for a later test (or leaked at exit) when its loop never ran. */
class ScopedOneShot : private juce::Timer
{
public:
    ScopedOneShot (int delayMs, std::function<void()> toCall) : callback (std::move (toCall)) { startTimer (delayMs); }
    ~ScopedOneShot() override { stopTimer(); }

private:
    void timerCallback() override
    {
        stopTimer();
        callback();
    }

    std::function<void()> callback;
};

/** Schedules `whileOpen` to run on the topmost modal component `delayMs` after the call, then
    calls `start`, which is expected to enter a modal loop; `whileOpen` must end that loop (click
    a button or exitModalState). If the loop is still running 4 s later, the guard ends it with 0.
    Returns when `start` has returned. */
inline ModalVisit runWhileModal (std::function<void (juce::Component&)> whileOpen,
                                 std::function<void()> start,
                                 int delayMs = 100)
{
    ModalVisit visit;
    auto* manager = juce::ModalComponentManager::getInstance();

    ScopedOneShot check (delayMs, [&]
    {
        if (manager->getNumModalComponents() == 0)
            return;
        visit.sawModal = true;
        whileOpen (*manager->getModalComponent (0));
    });

    ScopedOneShot guard (delayMs + 4000, [&]
    {
        if (manager->getNumModalComponents() > 0)
        {
            visit.forcedEnd = true;
            manager->getModalComponent (0)->exitModalState (0);
        }
    });

    start();
    return visit;
}

/** The content of a dialog window shown modally, cast to T; null when it is something else. */
template <typename T>
T* dialogContent (juce::Component& modal)
{
    if (auto* window = dynamic_cast<juce::DialogWindow*> (&modal))
        return dynamic_cast<T*> (window->getContentComponent());
    return nullptr;
}

/** The first descendant of `parent` with the given component name, cast to T (depth first). */
template <typename T>
T* findDescendant (juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
    {
        if (child->getName() == name)
            if (auto* typed = dynamic_cast<T*> (child))
                return typed;
        if (auto* found = findDescendant<T> (*child, name))
            return found;
    }
    return nullptr;
}

/** The first descendant of `parent` of type T (depth first). */
template <typename T>
T* findDescendantOfType (juce::Component& parent)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* typed = dynamic_cast<T*> (child))
            return typed;
        if (auto* found = findDescendantOfType<T> (*child))
            return found;
    }
    return nullptr;
}

/** Runs `form` in a modal dialog window of its current size and returns the run's result. */
inline int runFormInWindow (std::unique_ptr<juce::Component> form)
{
    juce::DialogWindow::LaunchOptions options;
    options.content.setOwned (form.release());
    options.dialogTitle = "test";
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    return options.runModal();
}

/** Runs `form` in a modal dialog window; once the window is open, `act` gets the form and the
    window and must end the run. Returns the run's result; fails the test when the window did not
    show or `act` left it open. */
template <typename Form>
int runFormAndAct (std::unique_ptr<Form> form, std::function<void (Form&, juce::DialogWindow&)> act)
{
    int result = -1;
    const auto visit = runWhileModal ([act] (juce::Component& modal)
    {
        auto* window = dynamic_cast<juce::DialogWindow*> (&modal);
        auto* open = dialogContent<Form> (modal);
        if (window != nullptr && open != nullptr)
            act (*open, *window);
    }, [&] { result = runFormInWindow (std::move (form)); });
    EXPECT_TRUE (visit.sawModal);
    EXPECT_FALSE (visit.forcedEnd);
    return result;
}

/** Types `text` into the value box of `slider` and commits it as a user's edit would. */
inline void typeIntoValueBox (juce::Slider& slider, const juce::String& text)
{
    for (auto* child : slider.getChildren())
        if (auto* box = dynamic_cast<juce::Label*> (child))
        {
            box->setText (text, juce::sendNotificationSync);
            return;
        }
}
} // namespace modaltest
