#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>

/**
    Plays the user's part for code that opens modal windows: each step acts on the next modal
    component that appears (the form of a dialog window, a message box, a file chooser), in order.
    The steps run from a timer while the code under test sits in its modal loop.
*/
class ModalScript : private juce::Timer
{
public:
    using Step = std::function<void (juce::Component& modal)>;

    ModalScript() { startTimer (20); }

    /** Fails the test when a modal window showed up that no step was left for. */
    ~ModalScript() override
    {
        stopTimer();
        EXPECT_EQ (numUnscripted, 0) << "modal windows that no step expected were closed";
    }

    /** Adds a step for the next modal component. */
    ModalScript& then (Step step)
    {
        steps.push_back (std::move (step));
        return *this;
    }

    /** Number of steps not yet played. */
    size_t remaining() const { return steps.size(); }

    //==============================================================================
    /** The first component of type T inside root (root included), or null. */
    template <typename T>
    static T* find (juce::Component& root)
    {
        if (auto* match = dynamic_cast<T*> (&root))
            return match;

        for (auto* child : root.getChildren())
            if (auto* match = find<T> (*child))
                return match;

        return nullptr;
    }

    /** The text button inside root whose text is buttonText, or null. */
    static juce::Button* findButton (juce::Component& root, const juce::String& buttonText)
    {
        if (auto* button = dynamic_cast<juce::Button*> (&root); button != nullptr && button->getButtonText() == buttonText)
            return button;

        for (auto* child : root.getChildren())
            if (auto* match = findButton (*child, buttonText))
                return match;

        return nullptr;
    }

    /** Title and message of a message box, as "title. message". */
    static juce::String describeMessageBox (juce::Component& modal)
    {
        if (auto* box = dynamic_cast<juce::AlertWindow*> (&modal))
            return box->getDescription();

        return "(not a message box: " + modal.getName() + ")";
    }

    /** Closes a message box with its first button. */
    static void dismiss (juce::Component& modal)
    {
        if (auto* button = find<juce::TextButton> (modal))
            button->triggerClick();
        else
            modal.exitModalState (0);
    }

    /** Chooses folder/name in a file chooser dialog and presses its Open or Save button. */
    static void chooseFile (juce::Component& modal, const juce::File& file)
    {
        auto* browser = find<juce::FileBrowserComponent> (modal);

        if (browser == nullptr)
        {
            modal.exitModalState (0);
            return;
        }

        browser->setRoot (file.getParentDirectory());
        browser->setFileName (file.getFileName());

        if (auto* button = findButton (modal, browser->getActionVerb()))
            button->triggerClick();
    }

private:
    void timerCallback() override
    {
        // Wait until the component handled last has left the modal state.
        if (handled != nullptr && handled->isCurrentlyModal())
            return;

        auto* manager = juce::ModalComponentManager::getInstance();

        if (manager->getNumModalComponents() == 0)
        {
            unscriptedSince = 0;
            return;
        }

        auto* modal = manager->getModalComponent (0);

        if (steps.empty())
        {
            // Nothing expected this window: close it after a while rather than wait forever.
            const auto now = juce::Time::getMillisecondCounter();

            if (unscriptedSince == 0)
                unscriptedSince = now;
            else if (now - unscriptedSince > unscriptedTimeoutMs)
            {
                ++numUnscripted;
                unscriptedSince = 0;
                handled = modal;
                modal->exitModalState (0);
            }

            return;
        }

        handled = modal;
        auto step = std::move (steps.front());
        steps.pop_front();
        step (*modal);
    }

    static constexpr juce::uint32 unscriptedTimeoutMs = 3000;

    std::deque<Step> steps;
    juce::Component::SafePointer<juce::Component> handled;
    juce::uint32 unscriptedSince = 0;
    int numUnscripted = 0;
};
