#pragma once

// Helpers shared by the GUI tests: playing the user's part in modal windows, catching message
// boxes, typing into controls, and recording the workspace's notifications.
#include "appearance/lafMorvelane.h"
#include "plots/FigureComponent.h"
#include "workspace/DesignComponent.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace guitest
{
/** The program's look-and-feel in its light scheme: it holds the colours of the figures, which
    the framework's own look-and-feel does not know. */
struct ProgramLookAndFeel : public lafMorvelane
{
    ProgramLookAndFeel() { applyColourScheme(); }
};

/** Lets pending messages (asynchronous clicks and notifications) be handled for `ms` milliseconds. */
inline void pump (int ms = 50)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (ms);
}

// The first component of type T inside `root` (root included, depth first) whose name or button
// text is `text`; any of type T when `text` is empty.
template <typename T = juce::Component>
T* find (juce::Component& root, const juce::String& text = {})
{
    if (auto* match = dynamic_cast<T*> (&root))
    {
        auto* button = dynamic_cast<juce::Button*> (&root);
        if (text.isEmpty() || root.getName() == text || (button != nullptr && button->getButtonText() == text))
            return match;
    }
    for (auto* child : root.getChildren())
        if (auto* match = find<T> (*child, text))
            return match;
    return nullptr;
}

// What a message box showed.
struct MessageBox
{
    juce::String title, message;
    juce::MessageBoxIconType icon;
    juce::StringArray buttons;

    // "title. message", as a screen reader announces the box.
    juce::String text() const { return title + ". " + message; }
};

// Plays the user's part for code that opens modal windows, from a timer while that code sits in
// its modal loop. Every message box is recorded in `boxes` and closed with its first button
// (or with the button an answer() step names). Every other modal window goes to the next step,
// in order. The test fails when a window showed that no step was left for, when a step left its
// window open, or when steps were left unplayed; such windows are closed after 3 s.
class ModalScript : private juce::Timer
{
public:
    using Step = std::function<void (juce::Component& modal)>;

    ModalScript() { startTimer (20); }

    ~ModalScript() override
    {
        stopTimer();
        EXPECT_EQ (numForced, 0) << "modal windows that no step ended were closed";
        EXPECT_TRUE (steps.empty()) << steps.size() << " steps were not played";
    }

    // Adds a step for the next modal window that is not a message box.
    ModalScript& then (Step step) { return add ({ false, {}, std::move (step) }); }

    // Adds a step that answers the next message box with the button of the given text, after
    // `inspect` (if given) has looked at the box.
    ModalScript& answer (const juce::String& buttonText, Step inspect = {}) { return add ({ true, buttonText, std::move (inspect) }); }

    // A step that chooses `file` in a file chooser dialog and presses its Open or Save button.
    static Step chooseFile (const juce::File& file)
    {
        return [file] (juce::Component& modal)
        {
            auto* browser = find<juce::FileBrowserComponent> (modal);
            ASSERT_NE (browser, nullptr) << modal.getName();
            browser->setRoot (file.getParentDirectory());
            browser->setFileName (file.getFileName());
            find<juce::Button> (modal, browser->getActionVerb())->triggerClick();
        };
    }

    // A step that ends the modal run with `result` (a cancelled chooser, say).
    static Step close (int result = 0) { return [result] (juce::Component& modal) { modal.exitModalState (result); }; }

    std::vector<MessageBox> boxes;

private:
    struct Entry { bool forBox; juce::String buttonText; Step step; };

    ModalScript& add (Entry entry)
    {
        steps.push_back (std::move (entry));
        return *this;
    }

    void timerCallback() override
    {
        auto* manager = juce::ModalComponentManager::getInstance();
        auto* modal = manager->getNumModalComponents() > 0 ? manager->getModalComponent (0) : nullptr;
        const auto now = juce::Time::getMillisecondCounter();

        if (modal != topmost.getComponent())
        {
            topmost = modal;
            topmostSince = now;
        }
        if (modal == nullptr)
            return;

        // A window seen before that stays on top for long was left open by its step, or by nobody.
        if (std::find (handled.begin(), handled.end(), modal) != handled.end())
        {
            if (now - topmostSince > 3000)
            {
                ++numForced;
                modal->exitModalState (0);
            }
            return;
        }
        handled.push_back (modal);

        if (auto* box = dynamic_cast<juce::AlertWindow*> (modal))
        {
            MessageBox seen { box->getName(), box->getDescription().fromFirstOccurrenceOf (box->getName() + ". ", false, false),
                              box->getAlertType(), {} };
            for (auto* child : box->getChildren())
                if (auto* button = dynamic_cast<juce::Button*> (child))
                    seen.buttons.add (button->getButtonText());
            boxes.push_back (seen);

            auto buttonText = seen.buttons[0];
            if (! steps.empty() && steps.front().forBox)
            {
                auto entry = std::move (steps.front());
                steps.pop_front();
                buttonText = entry.buttonText;
                if (entry.step)
                    entry.step (*box);
            }
            if (auto* button = find<juce::Button> (*box, buttonText))
                button->triggerClick();
        }
        else if (! steps.empty() && ! steps.front().forBox)
        {
            auto step = std::move (steps.front().step);
            steps.pop_front();
            step (*modal);
        }
    }

    std::deque<Entry> steps;
    std::vector<juce::Component::SafePointer<juce::Component>> handled;
    juce::Component::SafePointer<juce::Component> topmost;
    juce::uint32 topmostSince = 0;
    int numForced = 0;
};

// Types `text` into the value box of `slider` and commits it as a user's edit would.
inline void typeIntoValueBox (juce::Slider& slider, const juce::String& text)
{
    find<juce::Label> (slider)->setText (text, juce::sendNotificationSync);
}

/** Edits a label as a user would: opens its editor, types the text and presses return or escape.
    The editor takes the keyboard focus, which only a component on the screen may do, so the label's
    window is put on the desktop for the edit when it is not there yet. */
inline void typeIntoLabel (juce::Label& label, const juce::String& text, bool pressEscape = false)
{
    struct OnDesktop
    {
        explicit OnDesktop (juce::Component& c) : window (c), wasOnDesktop (c.isOnDesktop()), wasVisible (c.isVisible())
        {
            window.setVisible (true);
            if (! wasOnDesktop)
                window.addToDesktop (0);
        }

        ~OnDesktop()
        {
            if (! wasOnDesktop)
                window.removeFromDesktop();
            window.setVisible (wasVisible);
        }

        juce::Component& window;
        const bool wasOnDesktop, wasVisible;
    } onDesktop (*label.getTopLevelComponent());

    label.showEditor();
    auto* editor = label.getCurrentTextEditor();
    ASSERT_NE (editor, nullptr);

    // Without a window manager the window may still lack the keyboard focus, and a text-change
    // message would then count as focus loss and commit at once; so the text is put in silently.
    editor->setText (text, false);
    editor->keyPressed (juce::KeyPress (pressEscape ? juce::KeyPress::escapeKey : juce::KeyPress::returnKey));
    pump (20);
}

/** Edits the text cell of a table in the given column and row as a user would (typeIntoLabel). */
inline void typeIntoCell (juce::TableListBox& table, int column, int row, const juce::String& text)
{
    auto* label = dynamic_cast<juce::Label*> (table.getCellComponent (column, row));
    ASSERT_NE (label, nullptr) << "no text cell in column " << column << ", row " << row;
    typeIntoLabel (*label, text);
}

// A scratch folder removed with the object.
struct ScratchFolder
{
    ScratchFolder() { folder.createDirectory(); }
    ~ScratchFolder() { folder.deleteRecursively(); }

    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

    // Writes `text` byte for byte (line ends as given) into the named file and returns it.
    juce::File write (const juce::String& name, const juce::String& text) const
    {
        auto f = file (name);
        // (no bytes at all would delete the file instead of leaving it empty)
        EXPECT_TRUE (text.isEmpty() ? f.replaceWithText ({}) : f.replaceWithData (text.toRawUTF8(), text.getNumBytesAsUTF8()));
        return f;
    }

    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getNonexistentChildFile ("talvo-gui-test", "");
};

// Counts designChanged calls and appends its id to a shared call log.
struct RecordingListener : public DesignComponent::Listener
{
    RecordingListener (int listenerId, std::vector<int>& callLog) : id (listenerId), log (callLog) {}

    void designChanged (DesignComponent* designComponent) override
    {
        ++calls;
        lastComponent = designComponent;
        log.push_back (id);
        if (onCall)
            onCall (designComponent);
    }

    int id;
    std::vector<int>& log;
    int calls = 0;
    DesignComponent* lastComponent = nullptr;
    std::function<void (DesignComponent*)> onCall;
};

// The curves of a figure in list order.
inline std::vector<const FigureComponent::Curve*> curvesOf (const FigureComponent& figure)
{
    std::vector<const FigureComponent::Curve*> result;
    for (auto* curve = figure.curves.get(); curve != nullptr; curve = curve->next.get())
        result.push_back (curve);
    return result;
}

// A workspace that counts how often its user-event handlers run, and its own notifications.
struct ProbeDesignComponent : public DesignComponent
{
    ProbeDesignComponent() { addListener (&listener); }

    void buttonClicked (juce::Button* b) override { ++handlerCalls; DesignComponent::buttonClicked (b); }
    void comboBoxChanged (juce::ComboBox* c) override { ++handlerCalls; DesignComponent::comboBoxChanged (c); }
    void labelTextChanged (juce::Label* l) override { ++handlerCalls; DesignComponent::labelTextChanged (l); }
    void sliderValueChanged (juce::Slider* s) override { ++handlerCalls; DesignComponent::sliderValueChanged (s); }

    // Replaces the coefficients by three taps; every recompute makes NFFT of them again.
    void markCoefficients() { filterData.coefficients = Matrix<double> (1, 3); }

    // True when a recompute ran since the last markCoefficients().
    bool recomputed() const { return filterData.coefficients.length() == NFFT; }

    int handlerCalls = 0;
    std::vector<int> log;
    RecordingListener listener { 1, log };
};

} // namespace guitest
