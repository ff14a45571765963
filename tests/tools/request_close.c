/* Asks a window to close as a window manager's close box does: a WM_DELETE_WINDOW message of the
   WM_PROTOCOLS kind sent to the window. The virtual X server of the screen tests runs no window manager,
   and the toolkit offers its windows for closing only when these two names already exist on the server when
   it starts: "request_close --prepare" makes them, as a window manager does when it starts (on a server
   that is not reset when its last client leaves). */
#include <X11/Xlib.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: request_close WINDOW_ID | --prepare\n");
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
    if (strcmp(argv[1], "--prepare") == 0)
    {
        XCloseDisplay(display);
        return 0;
    }
    const Window window = (Window)strtoul(argv[1], NULL, 0);
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)deleteWindow;
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return sent != 0 ? 0 : 1;
}
