/* Plays the window manager's part for the screen tests, whose virtual X server runs none:
     request_close WINDOW_ID          asks a window to close, as a close box does: a WM_DELETE_WINDOW message;
     request_close --focus WINDOW_ID  gives a window the keyboard, as a window manager does for a window it
                                      activates: a WM_TAKE_FOCUS message;
     request_close --prepare          makes the names of these messages on the server.
   The toolkit offers its windows for closing and focusing only when these names already exist on the server
   when it starts: "--prepare" makes them, as a window manager does when it starts (on a server that is not
   reset when its last client leaves). */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    const int focus = argc == 3 && strcmp(argv[1], "--focus") == 0;
    if (argc != 2 && !focus)
    {
        fprintf(stderr, "usage: request_close [--focus] WINDOW_ID | --prepare\n");
        return 64;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL)
    {
        fprintf(stderr, "request_close: cannot open the display\n");
        return 1;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const Atom takeFocus = XInternAtom(display, "WM_TAKE_FOCUS", False);
    if (strcmp(argv[1], "--prepare") == 0)
    {
        XCloseDisplay(display);
        return 0;
    }
    const Window window = (Window)strtoul(argv[focus ? 2 : 1], NULL, 0);
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)(focus ? takeFocus : deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
