#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Hands the program input that the X server has already delivered but that lies unread.

    On Linux the framework reads X events only when data arrives on the server connection. Each of
    its synchronous round trips (destroying a window, putting an image on the screen) reads whatever
    the server has sent meanwhile into Xlib's own queue, where it then waits until some later event
    happens to arrive: a key typed while the window repaints, a click, the close button's message, or
    the Expose event that asks to repaint what a closed menu, list, dialog, message box or file
    chooser uncovered. On every frame of the owner's display this looks at that queue, which asks the
    server nothing, and when it holds events it runs the framework's own reader of the connection,
    as if new data had arrived. Elsewhere it does nothing.
*/
class PendingInputFlusher
{
public:
    /** Watches from now on, on the frames of the display that owner is shown on. */
    explicit PendingInputFlusher (juce::Component& owner);

private:
    void flushPendingInput();

    juce::VBlankAttachment frames;

    JUCE_DECLARE_NON_COPYABLE (PendingInputFlusher)
};
