// The one X11 client of the real-window tests, for the native game, the game under Wine and the
// unpacked package alike: finds a window by its title, measures it, waits for a pixel colour, for
// a picture centred in it or for a screenshot scaled up, saves a screenshot and sends the close
// request a window manager would.
//   x11_probe find <title> <timeout-ms>                  prints the window id, once it is
//                                                        viewable
//   x11_probe size <window>                              prints "<width> <height>"
//   x11_probe wait <window> <x> <y> <rrggbb> <ms>        until the pixel is that colour
//   x11_probe wait-not <window> <x> <y> <rrggbb> <ms>    until it is any other colour, which it
//                                                        prints
//   x11_probe wait-image <window> <file.bmp> <rrggbb> <ms>
//       until the window's centre shows the 24-bit BMP, its magenta pixels as <rrggbb>; prints
//       the milliseconds it waited
//   x11_probe shot <window> <file.ppm>
//   x11_probe wait-shot <window> <file.ppm> <scale> <ms>
//       until the whole window is the picture of a shot, each of its pixels a scale by scale
//       square
//   x11_probe close <window>                             WM_PROTOCOLS / WM_DELETE_WINDOW
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned long KeyColour = 0xFF00FF;  // the game's transparent colour

// A picture as 0xRRGGBB values, rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;
};

// True once the window is mapped and all its parents are: a window can have its title before
// that, and a window that is not viewable can be neither read nor given the focus.
bool Viewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           attributes.map_state == IsViewable;
}

Window FindByTitle(Display* display, Window root, const char* title) {
    char* name = nullptr;
    if (XFetchName(display, root, &name) != 0 && name != nullptr) {
        bool match = std::strcmp(name, title) == 0;
        XFree(name);
        if (match && Viewable(display, root)) {
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

// The window's pixels in the rectangle, or an empty picture when they cannot be read.
Picture Grab(Display* display, Window window, int x, int y, int width, int height) {
    Picture picture;
    XImage* image = XGetImage(display, window, x, y, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return picture;
    }
    picture.width = width;
    picture.height = height;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            picture.pixels.push_back(XGetPixel(image, column, row) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return picture;
}

Picture GrabWhole(Display* display, Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0) {
        return Picture{};
    }
    return Grab(display, window, 0, 0, attributes.width, attributes.height);
}

unsigned ReadLittle(const std::string& bytes, size_t at, int count) {
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// An uncompressed 24-bit BMP, bottom-up or top-down; false with a reason on stderr otherwise.
bool LoadBmp(const char* path, Picture& picture) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto refuse = [path](const char* reason) {
        std::fprintf(stderr, "x11_probe: %s: %s\n", path, reason);
        return false;
    };
    if (!file.is_open() && bytes.empty()) {
        return refuse("cannot read it");
    }
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) {
        return refuse("not a BMP file");
    }
    if (ReadLittle(bytes, 28, 2) != 24 || ReadLittle(bytes, 30, 4) != 0) {
        return refuse("not an uncompressed 24-bit BMP");
    }
    int width = static_cast<int>(ReadLittle(bytes, 18, 4));
    int height = static_cast<int>(ReadLittle(bytes, 22, 4));
    bool topDown = height < 0;
    height = topDown ? -height : height;
    size_t offset = ReadLittle(bytes, 10, 4);
    size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (width <= 0 || height == 0 || width > 4096 || height > 4096 ||
        offset + stride * height > bytes.size()) {
        return refuse("its size does not match its pixels");
    }
    picture = Picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        size_t row = offset + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            picture.pixels.push_back(ReadLittle(bytes, row + 3 * x, 3));
        }
    }
    return true;
}

// How many pixels of the window's centre differ from the picture, whose key-coloured pixels
// should show `background`; -1 when the window cannot be read.
long CentredDifference(Display* display, Window window, const Picture& picture,
                       unsigned long background) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.width < picture.width || attributes.height < picture.height) {
        return -1;
    }
    Picture seen = Grab(display, window, (attributes.width - picture.width) / 2,
                        (attributes.height - picture.height) / 2, picture.width, picture.height);
    if (seen.pixels.size() != picture.pixels.size()) {
        return -1;
    }
    long differing = 0;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        unsigned long expected = picture.pixels[i] == KeyColour ? background : picture.pixels[i];
        differing += seen.pixels[i] != expected ? 1 : 0;
    }
    return differing;
}

bool WaitForPixel(Display* display, Window window, int x, int y, unsigned long colour, bool equal,
                  int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    long seen = -1;
    do {
        Picture pixel = Grab(display, window, x, y, 1, 1);
        seen = pixel.pixels.empty() ? -1 : static_cast<long>(pixel.pixels[0]);
        if (seen >= 0 && (static_cast<unsigned long>(seen) == colour) == equal) {
            if (!equal) {
                std::printf("%06lx\n", seen);
            }
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (Clock::now() < deadline);
    std::fprintf(stderr, "x11_probe: pixel (%d, %d) stayed %06lx\n", x, y, seen);
    return false;
}

// A P6 picture with 255 levels, as SaveShot writes it; false with a reason on stderr otherwise.
bool LoadPpm(const char* path, Picture& picture) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, levels = 0;
    file >> magic >> width >> height >> levels;
    file.get();  // the one space between the header and the pixels
    if (!file || magic != "P6" || levels != 255 || width <= 0 || height <= 0 || width > 8192 ||
        height > 8192) {
        std::fprintf(stderr, "x11_probe: %s: not a shot of ours\n", path);
        return false;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    if (!file.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()))) {
        std::fprintf(stderr, "x11_probe: %s: its pixels are cut short\n", path);
        return false;
    }
    picture = Picture{width, height, {}};
    for (size_t i = 0; i < rgb.size(); i += 3) {
        picture.pixels.push_back(static_cast<unsigned long>(rgb[i]) << 16 | rgb[i + 1] << 8 |
                                 rgb[i + 2]);
    }
    return true;
}

// How many of the window's pixels differ from the picture with each of its pixels a square of
// `scale`; -1 when the window is not that size or cannot be read.
long ScaledDifference(Display* display, Window window, const Picture& picture, int scale) {
    Picture seen = GrabWhole(display, window);
    if (seen.width != picture.width * scale || seen.height != picture.height * scale) {
        return -1;
    }
    long differing = 0;
    for (int y = 0; y < seen.height; ++y) {
        for (int x = 0; x < seen.width; ++x) {
            unsigned long expected = picture.pixels[(y / scale) * picture.width + x / scale];
            differing += seen.pixels[static_cast<size_t>(y) * seen.width + x] != expected ? 1 : 0;
        }
    }
    return differing;
}

// Asks `difference` until it is 0 or the time is up: the milliseconds waited, or -1 with the
// last difference in `last`.
template <typename Difference>
long WaitForNoDifference(Difference difference, int timeoutMs, long* last) {
    auto start = Clock::now();
    auto deadline = start + std::chrono::milliseconds(timeoutMs);
    do {
        *last = difference();
        if (*last == 0) {
            return static_cast<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                    .count());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (Clock::now() < deadline);
    return -1;
}

bool WaitForImage(Display* display, Window window, const char* path, unsigned long background,
                  int timeoutMs) {
    Picture picture;
    if (!LoadBmp(path, picture)) {
        return false;
    }
    long differing = -1;
    long waited =
        WaitForNoDifference([&] { return CentredDifference(display, window, picture, background); },
                            timeoutMs, &differing);
    if (waited >= 0) {
        std::printf("%ld\n", waited);
        return true;
    }
    std::fprintf(stderr, "x11_probe: the centre never showed %s (%ld pixels differed last)\n", path,
                 differing);
    return false;
}

bool WaitForShot(Display* display, Window window, const char* path, int scale, int timeoutMs) {
    Picture picture;
    if (!LoadPpm(path, picture) || scale < 1) {
        return false;
    }
    long differing = -1;
    if (WaitForNoDifference([&] { return ScaledDifference(display, window, picture, scale); },
                            timeoutMs, &differing) >= 0) {
        return true;
    }
    std::fprintf(stderr,
                 "x11_probe: the window never showed %s in squares of %d (%ld pixels differed "
                 "last; -1: not its size)\n",
                 path, scale, differing);
    return false;
}

bool SaveShot(Display* display, Window window, const char* path) {
    Picture shot = GrabWhole(display, window);
    FILE* file = shot.pixels.empty() ? nullptr : std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "x11_probe: cannot save the window to %s\n", path);
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", shot.width, shot.height);
    for (unsigned long pixel : shot.pixels) {
        unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                static_cast<unsigned char>(pixel >> 8),
                                static_cast<unsigned char>(pixel)};
        std::fwrite(rgb, 1, 3, file);
    }
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
    std::fputs("usage: x11_probe find|size|wait|wait-not|wait-image|wait-shot|shot|close ...\n",
               stderr);
    return 2;
}

int Find(Display* display, const char* title, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        Window found = FindByTitle(display, DefaultRootWindow(display), title);
        if (found != 0) {
            std::printf("%lu\n", found);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (Clock::now() < deadline);
    std::fprintf(stderr, "x11_probe: no window titled \"%s\"\n", title);
    return 1;
}

int Run(Display* display, int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "find" && argc == 4) {
        return Find(display, argv[2], std::atoi(argv[3]));
    }
    if (argc < 3) {
        return Usage();
    }
    Window window = std::strtoul(argv[2], nullptr, 0);
    if (command == "size" && argc == 3) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, window, &attributes) == 0) {
            std::fputs("x11_probe: no such window\n", stderr);
            return 1;
        }
        std::printf("%d %d\n", attributes.width, attributes.height);
        return 0;
    }
    if ((command == "wait" || command == "wait-not") && argc == 7) {
        unsigned long colour = std::strtoul(argv[5], nullptr, 16);
        return WaitForPixel(display, window, std::atoi(argv[3]), std::atoi(argv[4]), colour,
                            command == "wait", std::atoi(argv[6]))
                   ? 0
                   : 1;
    }
    if (command == "wait-image" && argc == 6) {
        return WaitForImage(display, window, argv[3], std::strtoul(argv[4], nullptr, 16),
                            std::atoi(argv[5]))
                   ? 0
                   : 1;
    }
    if (command == "wait-shot" && argc == 6) {
        return WaitForShot(display, window, argv[3], std::atoi(argv[4]), std::atoi(argv[5])) ? 0
                                                                                             : 1;
    }
    if (command == "shot" && argc == 4) {
        return SaveShot(display, window, argv[3]) ? 0 : 1;
    }
    if (command == "close" && argc == 3) {
        SendClose(display, window);
        return 0;
    }
    return Usage();
}

// A window that went away between two calls is an answer ("not found", "stayed"), not a crash.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x11_probe: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(IgnoreXErrors);
    int result = Run(display, argc, argv);
    XCloseDisplay(display);
    return result;
}
