// A small X11 client for the real-window tests: finds a window by its title, measures it, waits
// for a pixel colour, saves a screenshot and sends the close request a window manager would.
//   x11_probe find <title> <timeout-ms>              prints the window id
//   x11_probe size <window>                          prints "<width> <height>"
//   x11_probe wait <window> <x> <y> <rrggbb> <ms>    until the pixel is that colour
//   x11_probe wait-not <window> <x> <y> <rrggbb> <ms>  until it is any other colour
//   x11_probe shot <window> <file.ppm>
//   x11_probe close <window>                         WM_PROTOCOLS / WM_DELETE_WINDOW
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

Window FindByTitle(Display* display, Window root, const char* title) {
    char* name = nullptr;
    if (XFetchName(display, root, &name) != 0 && name != nullptr) {
        bool match = std::strcmp(name, title) == 0;
        XFree(name);
        if (match) {
            return root;
        }
    }
    Window rootReturn, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) != 0) {
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            found = FindByTitle(display, children[i], title);
        }
        XFree(children);
    }
    return found;
}

// The colour 0xRRGGBB at (x, y) of the window, or -1 when it cannot be read.
long PixelAt(Display* display, Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return -1;
    }
    long colour = static_cast<long>(XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    return colour;
}

bool WaitForPixel(Display* display, Window window, int x, int y, long colour, bool equal,
                  int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    long seen = -1;
    do {
        seen = PixelAt(display, window, x, y);
        if (seen >= 0 && (seen == colour) == equal) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (Clock::now() < deadline);
    std::fprintf(stderr, "x11_probe: pixel (%d, %d) stayed %06lx\n", x, y, seen);
    return false;
}

bool SaveShot(Display* display, Window window, const char* path) {
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    XImage* image =
        XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    FILE* file = image != nullptr ? std::fopen(path, "wb") : nullptr;
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", attributes.width, attributes.height);
    for (int y = 0; y < attributes.height; ++y) {
        for (int x = 0; x < attributes.width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                    static_cast<unsigned char>(pixel >> 8),
                                    static_cast<unsigned char>(pixel)};
            std::fwrite(rgb, 1, 3, file);
        }
    }
    XDestroyImage(image);
    return std::fclose(file) == 0;
}

void SendClose(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

int Usage() {
    std::fputs("usage: x11_probe find|size|wait|wait-not|shot|close ...\n", stderr);
    return 2;
}

}  // namespace

static int Run(Display* display, int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "find" && argc == 4) {
        auto deadline = Clock::now() + std::chrono::milliseconds(std::atoi(argv[3]));
        do {
            Window found = FindByTitle(display, DefaultRootWindow(display), argv[2]);
            if (found != 0) {
                std::printf("%lu\n", found);
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (Clock::now() < deadline);
        return 1;
    }
    if (argc < 3) {
        return Usage();
    }
    Window window = std::strtoul(argv[2], nullptr, 0);
    if (command == "size") {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, window, &attributes);
        std::printf("%d %d\n", attributes.width, attributes.height);
        return 0;
    }
    if ((command == "wait" || command == "wait-not") && argc == 7) {
        long colour = std::strtol(argv[5], nullptr, 16);
        return WaitForPixel(display, window, std::atoi(argv[3]), std::atoi(argv[4]), colour,
                            command == "wait", std::atoi(argv[6]))
                   ? 0
                   : 1;
    }
    if (command == "shot" && argc == 4) {
        return SaveShot(display, window, argv[3]) ? 0 : 1;
    }
    if (command == "close") {
        SendClose(display, window);
        return 0;
    }
    return Usage();
}

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x11_probe: cannot open the display\n", stderr);
        return 1;
    }
    int result = Run(display, argc, argv);
    XCloseDisplay(display);
    return result;
}
