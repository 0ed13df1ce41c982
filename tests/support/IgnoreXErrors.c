/* Kept apart from JUCE's headers: Xlib's macros clash with JUCE names. */
#include <X11/Xlib.h>

#include "IgnoreXErrors.h"

static int ignoreError (Display* display, XErrorEvent* event)
{
    (void) display;
    (void) event;
    return 0;
}

void talvoIgnoreXErrors (void)
{
    XSetErrorHandler (ignoreError);
}
