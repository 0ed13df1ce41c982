/* Asks a top-level window to close the way a window manager's close button does: sends it the
   WM_DELETE_WINDOW client message. Used by the end-to-end test, where no window manager draws a
   close button.
     send-close --intern      creates the atoms of the window-manager protocols, as a window
                              manager would; run it before the program starts, which only looks
                              up these atoms and, where one is missing, gets X errors
     send-close <window id>   sends the close request */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf (stderr, "usage: %s <window id>\n", argv[0]);
        return 2;
    }

    Display* display = XOpenDisplay (NULL);
    if (display == NULL)
    {
        fprintf (stderr, "send-close: cannot open the display\n");
        return 1;
    }

    if (strcmp (argv[1], "--intern") == 0)
    {
        static const char* const names[] = {
            "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "WM_STATE", "WM_CHANGE_STATE",
            "_NET_WM_PING", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_WINDOW_TYPE",
            "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_FRAME_EXTENTS",
        };
        for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i)
            XInternAtom (display, names[i], False);
        XCloseDisplay (display);
        return 0;
    }

    Window window = (Window) strtoul (argv[1], NULL, 0);
    XEvent event;
    memset (&event, 0, sizeof (event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;

    XSendEvent (display, window, False, NoEventMask, &event);
    XSync (display, False);
    XCloseDisplay (display);
    return 0;
}
