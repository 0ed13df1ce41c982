#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Hands the program input that the X server has already delivered but that lies unread.

    On Linux the framework reads X events only when data arrives on the server connection. Each of
    its synchronous round trips (destroying a window, putting an image on the screen) reads whatever
    the server has sent meanwhile into Xlib's own queue, where a key press, a click, a focus change or
    the close button's message then waits until some later event happens to arrive: a key typed while
    the window repaints is lost until the mouse moves. This looks at that queue on every frame of the
    owner's display and, when it holds events, sends the owner's window an empty client message, whose
    arrival makes the framework read the whole queue. Elsewhere it does nothing.
*/
class PendingInputFlusher
{
public:
    /** Watches from now on, on the frames of the display that owner is shown on. */
    explicit PendingInputFlusher (juce::Component& owner);

private:
    void flushPendingInput();

    juce::Component& owner;
    juce::VBlankAttachment frames;

    JUCE_DECLARE_NON_COPYABLE (PendingInputFlusher)
};
