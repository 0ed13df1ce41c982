#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <vector>

/** Repaints what a closed, hidden or moved window of the program uncovered on its other windows.

    The X server asks for that repaint with an Expose event, but on Linux the framework destroys a
    window with a synchronous round trip that reads the event into Xlib's queue, and it looks into
    that queue only when more data arrives on the connection (a mouse move, a key). Until then the
    image of a closed menu, drop-down list, dialog, message box or file chooser stays on the window
    below. This watches the program's windows on every frame of the owner's display and repaints the
    uncovered areas itself, whatever kind of window went away. */
class ClosedWindowRepainter
{
public:
    /** Watches from now on, on the frames of the display that owner is shown on. */
    explicit ClosedWindowRepainter (juce::Component& owner);

private:
    /** Compares the windows shown now with those of the last frame and repaints, on every window
        still shown, the screen area of each window that has gone or moved since. */
    void checkWindows();

    struct ShownWindow
    {
        juce::Component::SafePointer<juce::Component> window;
        juce::Rectangle<int> screenArea;
    };

    std::vector<ShownWindow> shown;
    juce::VBlankAttachment frames;

    JUCE_DECLARE_NON_COPYABLE (ClosedWindowRepainter)
};
