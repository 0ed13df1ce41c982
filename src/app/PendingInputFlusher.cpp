// The framework's X11 declarations (its window system, its Xlib entry points) come with Xlib's own.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "app/PendingInputFlusher.h"

#if JUCE_LINUX || JUCE_BSD
 // The framework's entry for running the handler of one of the file descriptors its loop waits on.
 #include <juce_events/native/juce_linux_EventLoopInternal.h>

namespace
{
::Display* xDisplay()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    return windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;
}

void readXConnection()
{
    if (auto* display = xDisplay())
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (
            juce::X11Symbols::getInstance()->xConnectionNumber (display));
}
} // namespace
#endif

PendingInputFlusher::PendingInputFlusher (juce::Component& owner)
    : frames (&owner, [this] { flushPendingInput(); })
{
}

void PendingInputFlusher::flushPendingInput()
{
   #if JUCE_LINUX || JUCE_BSD
    auto* display = xDisplay();

    if (display == nullptr)
        return;

    {
        juce::XWindowSystemUtilities::ScopedXLock lock;

        // Only what Xlib has read already: this asks the server nothing.
        if (juce::X11Symbols::getInstance()->xEventsQueued (display, QueuedAlready) == 0)
            return;
    }

    // From the message loop, where the framework runs this reader itself, and not inside the frame
    // callback of the owner's window, which the events may delete or hold in a modal loop.
    juce::MessageManager::callAsync (readXConnection);
   #endif
}
