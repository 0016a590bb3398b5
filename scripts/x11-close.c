/* Asks an X11 window to close the way a window manager's close button does: a WM_PROTOCOLS
 * client message carrying WM_DELETE_WINDOW. xdotool has no such command, and a key sent to close
 * a window can stay held for the next program.
 *
 * Usage: x11-close <window-id>    (decimal or 0x hex, as xdotool and xwininfo print it) */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: x11-close <window-id>\n");
        return 2;
    }
    char* end = NULL;
    Window window = (Window)strtoul(argv[1], &end, 0);
    if (*argv[1] == '\0' || *end != '\0') {
        fprintf(stderr, "x11-close: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11-close: cannot open display %s\n", XDisplayName(NULL));
        return 1;
    }
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    if (!sent) {
        fprintf(stderr, "x11-close: could not send to window %s\n", argv[1]);
        return 1;
    }
    return 0;
}
