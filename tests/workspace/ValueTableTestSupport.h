#pragma once

#include "workspace/ValueTableComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

namespace talvo::test
{
/** Records every table that announced a change. */
struct RecordingTableListener : public ValueTableComponent::Listener
{
    void valueTableChanged (ValueTableComponent* table) override { calls.push_back (table); }

    std::vector<ValueTableComponent*> calls;
};

/** Runs the message loop long enough for pending asynchronous updates to arrive. */
inline void runMessageLoop (int milliseconds = 50)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

/** Edits a label as a user would: opens its editor, types the text and presses return or escape. */
inline void typeIntoLabel (juce::Label& label, const juce::String& text, bool pressEscape = false)
{
    label.showEditor();
    auto* editor = label.getCurrentTextEditor();

    if (editor == nullptr)
        return;

    // Without a window on the desktop the editor has no keyboard focus, and a text-change message
    // would then count as focus loss and commit at once; so the text is put in silently.
    editor->setText (text, false);
    editor->keyPressed (juce::KeyPress (pressEscape ? juce::KeyPress::escapeKey : juce::KeyPress::returnKey));
    runMessageLoop (20);
}

/** A mouse press on a component at its centre with the given modifier keys. */
inline juce::MouseEvent makeMouseDown (juce::Component& component, juce::ModifierKeys mods)
{
    const auto centre = component.getLocalBounds().getCentre().toFloat();
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), centre, mods,
                             juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY, &component, &component, now, centre, now, 1, false);
}
} // namespace talvo::test
