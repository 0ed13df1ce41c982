// The framework's X11 declarations (its window system, its Xlib entry points) come with Xlib's own.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "app/PendingInputFlusher.h"

PendingInputFlusher::PendingInputFlusher (juce::Component& ownerToWatch)
    : owner (ownerToWatch), frames (&ownerToWatch, [this] { flushPendingInput(); })
{
}

void PendingInputFlusher::flushPendingInput()
{
   #if JUCE_LINUX || JUCE_BSD
    auto* peer = owner.getPeer();
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();

    if (peer == nullptr || windowSystem == nullptr || windowSystem->getDisplay() == nullptr)
        return;

    auto* display = windowSystem->getDisplay();
    auto* x11 = juce::X11Symbols::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock lock;

    // Only what Xlib has read already: this asks the server nothing.
    if (x11->xEventsQueued (display, QueuedAlready) == 0)
        return;

    // A message of no type, which the framework passes over once it has read it.
    XEvent nudge {};
    nudge.xclient.type = ClientMessage;
    nudge.xclient.display = display;
    nudge.xclient.window = (::Window) peer->getNativeHandle();
    nudge.xclient.format = 32;
    x11->xSendEvent (display, nudge.xclient.window, False, NoEventMask, &nudge);
    x11->xFlush (display);
   #endif
}
