// The real game's backend on SDL's dummy video driver, which needs no display: its own row
// conversion against SDL's, the picture on the window surface (scaled too), keys, focus and close
// requests from SDL's events, a virtual game controller, and display modes through
// ChangeDisplaySettingsA.
#include "platform/sdl/sdl_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/app_window.h"
#include "platform/sdl/surface_rows.h"

namespace {

using portable::ConvertRowFast;

// Widths up to 64 pixels leave every remainder a loop of up to 16 pixels a step could have.
constexpr int WidestRow = 64;

// Bytes that differ in each channel of each pixel.
std::vector<uint8_t> SourceRow(int width) {
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (size_t i = 0; i < row.size(); ++i) {
        row[i] = static_cast<uint8_t>(i * 37 + 11);
    }
    return row;
}

TEST(SdlRowConversion, OurLoopsMatchSdlConvertPixelsByteForByte) {
    const Uint32 formats[] = {SDL_PIXELFORMAT_RGB888,   SDL_PIXELFORMAT_ARGB8888,
                              SDL_PIXELFORMAT_BGR888,   SDL_PIXELFORMAT_ABGR8888,
                              SDL_PIXELFORMAT_RGBA8888, SDL_PIXELFORMAT_BGRA8888,
                              SDL_PIXELFORMAT_RGB24,    SDL_PIXELFORMAT_RGB565};
    std::vector<Uint32> fast;
    for (Uint32 format : formats) {
        SCOPED_TRACE(SDL_GetPixelFormatName(format));
        size_t bytesPerPixel = SDL_BYTESPERPIXEL(format);
        for (int width = 0; width <= WidestRow; ++width) {
            std::vector<uint8_t> from = SourceRow(width);
            // A guard pixel past the row. All start zeroed: SDL leaves the padding byte of a
            // format without alpha as it finds it.
            std::vector<uint8_t> sdls((width + 1) * bytesPerPixel, 0);
            if (width > 0) {
                ASSERT_EQ(
                    SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_BGR24, from.data(), width * 3,
                                      format, sdls.data(), static_cast<int>(width * bytesPerPixel)),
                    0);
            }
            // What Present uses: our loop where there is one, SDL's converter for the rest.
            std::vector<uint8_t> presented(sdls.size(), 0);
            portable::ConvertRow(from.data(), format, presented.data(), width);
            EXPECT_EQ(presented, sdls) << width << " pixels presented";

            std::vector<uint8_t> ours(sdls.size(), 0);
            if (!ConvertRowFast(from.data(), format, ours.data(), width)) {
                EXPECT_EQ(ours, std::vector<uint8_t>(ours.size(), 0)) << "no loop, nothing written";
                continue;
            }
            if (width == 0) {
                fast.push_back(format);
            }
            EXPECT_EQ(ours, sdls) << width << " pixels";
        }
    }
    EXPECT_EQ(fast, (std::vector<Uint32>{SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ARGB8888}));
}

// A scaled window's rows: each pixel, whatever its size, repeated whole, none blended.
TEST(SdlRowConversion, WideningRepeatsEveryPixelWholeInPlace) {
    constexpr int Width = 5;
    const std::vector<uint8_t> pixels = SourceRow(2 * Width);  // bytes enough for 4-byte pixels
    for (int bytesPerPixel = 1; bytesPerPixel <= 4; ++bytesPerPixel) {
        for (int scale = 1; scale <= 3; ++scale) {
            std::vector<uint8_t> row(Width * bytesPerPixel * scale, 0);
            std::copy_n(pixels.begin(), Width * bytesPerPixel, row.begin());
            portable::WidenRow(row.data(), Width, bytesPerPixel, scale);
            for (int x = 0; x < Width * scale; ++x) {
                for (int b = 0; b < bytesPerPixel; ++b) {
                    EXPECT_EQ(row[x * bytesPerPixel + b], pixels[x / scale * bytesPerPixel + b])
                        << bytesPerPixel << " bytes, scale " << scale << ", pixel " << x;
                }
            }
        }
    }
}

class SdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_TRUE(backend.Start()) << backend.Error();
        InitAppWindow(&window);
    }
    void TearDown() override {
        if (window.created) {
            DestroyAppWindow(&window);
        }
    }

    static void Push(Uint32 type, SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = scancode;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void PushWindowEvent(SDL_WindowEventID what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = static_cast<Uint8>(what);
        event.window.windowID = SDL_GetWindowID(OnlyWindow());
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    // The backend's one window. SDL numbers its windows from 1 at each start.
    static SDL_Window* OnlyWindow() {
        for (Uint32 id = 1; id < 8; ++id) {
            if (SDL_Window* window = SDL_GetWindowFromID(id)) {
                return window;
            }
        }
        return nullptr;
    }
    // The next posted message after SDL's events are taken in, or WM_NULL (0).
    static MSG NextMessage() {
        MSG msg{};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            msg.message = 0;
        }
        return msg;
    }

    portable::SdlBackend backend{portable::ControlKeys{VK_SPACE, VK_ESCAPE, 0, 0}};
    portable::ScopedBackend installed{&backend};
    AppWindow window;
};

TEST_F(SdlBackendTest, PresentPutsTheBottomUpPictureOnTheWindowSurfaceTheRightWayUp) {
    constexpr int Width = 7;  // 21 bytes a row, padded to 24
    constexpr int Height = 3;
    constexpr int Stride = 24;
    std::vector<uint8_t> bytes(Stride * Height);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 13 + 5);
    }
    portable::ClientPixels pixels{bytes.data(), Width, Height, Stride};
    ASSERT_TRUE(backend.OpenWindow(nullptr, "rows", 0, 0, Width, Height));
    backend.Present(pixels);

    ASSERT_NE(OnlyWindow(), nullptr);
    SDL_Surface* surface = SDL_GetWindowSurface(OnlyWindow());
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->format->format, SDL_PIXELFORMAT_RGB888);
    for (int y = 0; y < Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(surface->pixels) +
                                                            y * surface->pitch);
        for (int x = 0; x < Width; ++x) {
            EXPECT_EQ(row[x], pixels.Pixel(x, y)) << x << "," << y;
        }
    }
}

// A frame smaller than the window lands centred on black; a larger one is cut to the window. At
// scale 2 the window is twice as wide and high about the same centre, and the frame's every pixel
// a 2 by 2 square of its colour.
TEST_F(SdlBackendTest, FramesLandCentredOnBlackAreCutToTheWindowAndScaledInSquares) {
    backend.Present({nullptr, 4, 2, 12});  // no window yet: nothing to draw on
    // Two rows of four pixels, bottom-up, 12 bytes a row: colour = 0x2Y80XY at column X, row Y.
    std::vector<uint8_t> bytes(2 * 12);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            bytes[(1 - y) * 12 + 3 * x] = static_cast<uint8_t>(0x10 * x + y + 1);  // blue
            bytes[(1 - y) * 12 + 3 * x + 1] = 0x80;                                // green
            bytes[(1 - y) * 12 + 3 * x + 2] = static_cast<uint8_t>(0x20 + y);      // red
        }
    }
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        backend.SetWindowScale(scale);
        ASSERT_TRUE(backend.OpenWindow(nullptr, "t", 20, 10, 8, 6));
        int x0 = 0, y0 = 0;
        SDL_GetWindowPosition(OnlyWindow(), &x0, &y0);
        EXPECT_EQ(x0, 20 - 4 * (scale - 1));
        EXPECT_EQ(y0, 10 - 3 * (scale - 1));
        SDL_Surface* surface = SDL_GetWindowSurface(OnlyWindow());
        ASSERT_NE(surface, nullptr);
        ASSERT_EQ(surface->w, 8 * scale);
        ASSERT_EQ(surface->h, 6 * scale);
        auto pixel = [surface](int x, int y) {
            const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
            return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
        };
        SDL_FillRect(surface, nullptr, 0xFFFFFF);
        backend.Present({bytes.data(), 4, 2, 12});
        for (int y = 0; y < surface->h; ++y) {
            for (int x = 0; x < surface->w; ++x) {
                int fx = x / scale - 2;  // the frame's pixel this one shows
                int fy = y / scale - 2;
                bool inside = fx >= 0 && fx < 4 && fy >= 0 && fy < 2;
                uint32_t expected =
                    inside ? (0x20u + fy) << 16 | 0x8000u | (0x10u * fx + fy + 1) : 0;
                EXPECT_EQ(pixel(x, y), expected) << x << "," << y;
            }
        }
        // As high as the window but narrower: borders left and right only.
        std::vector<uint8_t> tall(6 * 12, 0x50);
        SDL_FillRect(surface, nullptr, 0xFFFFFF);
        backend.Present({tall.data(), 4, 6, 12});
        EXPECT_EQ(pixel(2 * scale - 1, 0), 0u);
        EXPECT_EQ(pixel(2 * scale, 0), 0x505050u);
        EXPECT_EQ(pixel(6 * scale, 6 * scale - 1), 0u);
        if (scale == 2) {
            // Too wide to be doubled (a full-screen surface is the mode's size, whatever the
            // window's scale): shown at the largest scale that fits, never below 1.
            std::vector<uint8_t> wide(4 * 32, 0x60);
            SDL_FillRect(surface, nullptr, 0xFFFFFF);
            backend.Present({wide.data(), 10, 4, 32});
            int left = (surface->w - 10) / 2;
            int top = (surface->h - 4) / 2;
            EXPECT_EQ(pixel(left - 1, top), 0u);
            EXPECT_EQ(pixel(left, top), 0x606060u);
            EXPECT_EQ(pixel(left + 9, top + 3), 0x606060u);
            EXPECT_EQ(pixel(left + 10, top + 3), 0u);
            EXPECT_EQ(pixel(left, top + 4), 0u);
        }
        // Larger than the window even unscaled: the top-left part, with no border to draw.
        std::vector<uint8_t> large(20 * 60, 0x40);
        backend.Present({large.data(), 20, 20, 60});
        EXPECT_EQ(pixel(0, 0), 0x404040u);
        EXPECT_EQ(pixel(surface->w - 1, surface->h - 1), 0x404040u);
    }
}

TEST_F(SdlBackendTest, KeysFocusAndCloseRequestsFollowSdlEvents) {
    ASSERT_EQ(CreateAppWindow(&window, portable::ModuleInstance(), 1024, 768), 0);
    ShowWindow(window.handle, SW_SHOW);
    EXPECT_EQ(GetFocus(), nullptr) << "not before the desktop gives it";

    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Push(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    Push(SDL_KEYDOWN, SDL_SCANCODE_KP_9);
    Push(SDL_KEYDOWN, SDL_SCANCODE_APPLICATION);  // no virtual key of ours
    EXPECT_EQ(NextMessage().message, 0u);
    EXPECT_EQ(GetFocus(), window.handle);
    for (int key = 0; key < 256; ++key) {
        bool down = key == VK_SPACE || key == VK_NUMPAD0 + 9;
        EXPECT_EQ(GetAsyncKeyState(key) != 0, down) << key;
    }
    EXPECT_FALSE(backend.IsKeyDown(-1));
    EXPECT_FALSE(backend.IsKeyDown(256));

    Push(SDL_KEYUP, SDL_SCANCODE_SPACE);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(NextMessage().message, 0u);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);
    EXPECT_NE(GetAsyncKeyState(VK_NUMPAD0 + 9), 0);

    // The window's close button, then the desktop's quit (a session ending): both ask to close.
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    Push(SDL_QUIT);
    for (int request = 0; request < 2; ++request) {
        MSG msg = NextMessage();
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
        EXPECT_EQ(msg.hwnd, window.handle);
    }
    EXPECT_EQ(NextMessage().message, 0u);

    ASSERT_EQ(DestroyAppWindow(&window), 0);
    Push(SDL_QUIT);
    EXPECT_EQ(NextMessage().message, static_cast<UINT>(WM_QUIT)) << "no window left to ask";
}

// The dummy display has one mode, 1024 by 768 at 32 bits and an unknown rate.
TEST_F(SdlBackendTest, ModesAreMatchedAgainstTheDisplaysWithLeftOutFieldsKeepingTheDesktops) {
    struct Case {
        DWORD fields;
        DWORD width, height, bits, rate;
        LONG result;
    } cases[] = {
        {DM_PELSWIDTH | DM_PELSHEIGHT, 1024, 768, 0, 0, DISP_CHANGE_SUCCESSFUL},
        {DM_PELSWIDTH | DM_PELSHEIGHT, 800, 600, 0, 0, DISP_CHANGE_BADMODE},
        {DM_PELSHEIGHT, 800, 768, 0, 0, DISP_CHANGE_SUCCESSFUL},
        {DM_PELSWIDTH, 1024, 600, 0, 0, DISP_CHANGE_SUCCESSFUL},
        {DM_PELSWIDTH, 800, 768, 0, 0, DISP_CHANGE_BADMODE},
        {DM_BITSPERPEL, 0, 0, 32, 0, DISP_CHANGE_SUCCESSFUL},
        {DM_BITSPERPEL, 0, 0, 24, 0, DISP_CHANGE_SUCCESSFUL},  // its format's colour bits
        {DM_BITSPERPEL, 0, 0, 16, 0, DISP_CHANGE_BADMODE},
        {0, 0, 0, 16, 0, DISP_CHANGE_SUCCESSFUL},
        {DM_DISPLAYFREQUENCY, 0, 0, 0, 75, DISP_CHANGE_SUCCESSFUL},  // any rate fits "unknown"
    };
    for (const Case& c : cases) {
        DEVMODEA mode{};
        mode.dmSize = sizeof(mode);
        mode.dmFields = c.fields;
        mode.dmPelsWidth = c.width;
        mode.dmPelsHeight = c.height;
        mode.dmBitsPerPel = c.bits;
        mode.dmDisplayFrequency = c.rate;
        EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_TEST | CDS_FULLSCREEN), c.result)
            << c.fields << ": " << c.width << "x" << c.height << "x" << c.bits << "@" << c.rate;
    }

    DEVMODEA desktop{};
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop));
    EXPECT_EQ(desktop.dmPelsWidth, 1024u);
    EXPECT_EQ(desktop.dmPelsHeight, 768u);
    EXPECT_EQ(desktop.dmBitsPerPel, 32u);
    // SDL sets a mode only for a full-screen window: the window made after the switch is one.
    EXPECT_EQ(ChangeDisplaySettingsA(&desktop, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(CreateAppWindow(&window, portable::ModuleInstance(), 1024, 768), 0);
    EXPECT_NE(SDL_GetWindowFlags(OnlyWindow()) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(SDL_GetWindowFlags(OnlyWindow()) & SDL_WINDOW_FULLSCREEN, 0u);
}

// SDL's virtual controller stands in for a pad: each of its buttons alone, then its A beside
// the space key, then the pad pulled out while A is held and another plugged in.
TEST_F(SdlBackendTest, APadsBottomButtonHoldsSpaceAndItsBackEscapeBesideTheKeyboard) {
    auto attach = [] {
        return SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                         SDL_CONTROLLER_BUTTON_MAX, 0);
    };
    int index = attach();
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);  // the test's hand on its buttons
    ASSERT_NE(stick, nullptr);
    auto press = [&stick](int button, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(stick, button, down ? 1 : 0), 0);
    };
    auto held = [this] {
        backend.PumpEvents();
        std::vector<int> keys;
        for (int key = 0; key < 256; ++key) {
            if (GetAsyncKeyState(key) != 0) {
                keys.push_back(key);
            }
        }
        return keys;
    };
    EXPECT_EQ(held(), std::vector<int>{});
    Push(SDL_CONTROLLERDEVICEADDED);  // told again about the pad already open (device 0)
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        press(button, true);
        std::vector<int> expected;
        if (button == SDL_CONTROLLER_BUTTON_A) {
            expected = {VK_SPACE};
        } else if (button == SDL_CONTROLLER_BUTTON_BACK) {
            expected = {VK_ESCAPE};
        }
        EXPECT_EQ(held(), expected)
            << SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button));
        press(button, false);
    }
    EXPECT_EQ(held(), std::vector<int>{});

    // Two sources of space: either one letting go leaves the other's press.
    press(SDL_CONTROLLER_BUTTON_A, true);
    Push(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
    press(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(held(), std::vector<int>{VK_SPACE}) << "the key still holds it";
    press(SDL_CONTROLLER_BUTTON_A, true);
    Push(SDL_KEYUP, SDL_SCANCODE_SPACE);
    EXPECT_EQ(held(), std::vector<int>{VK_SPACE}) << "the pad still holds it";

    // Pulled out mid-game: it lets go, and the backend's handles on it are closed.
    SDL_JoystickID gone = SDL_JoystickInstanceID(stick);
    SDL_JoystickClose(stick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    EXPECT_EQ(held(), std::vector<int>{});
    EXPECT_EQ(SDL_GameControllerFromInstanceID(gone), nullptr);

    index = attach();
    ASSERT_GE(index, 0) << SDL_GetError();
    stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    held();  // it arrives
    press(SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(held(), std::vector<int>{VK_ESCAPE});
    SDL_JoystickClose(stick);
}

// SDL has no ExecutablePath of its own: the real machine's answer, /proc/self/exe.
TEST_F(SdlBackendTest, TheRealExecutablePathTheCounterAndSdlsReason) {
    char path[4096];
    ASSERT_TRUE(backend.ExecutablePath(path, sizeof(path)));
    EXPECT_EQ(path[0], '/');
    EXPECT_EQ(access(path, X_OK), 0) << path;
    EXPECT_FALSE(backend.ExecutablePath(path, static_cast<uint32_t>(std::strlen(path)))) << "cut";
    EXPECT_FALSE(backend.ExecutablePath(path, 1));
    SDL_SetError("no such mode");
    EXPECT_STREQ(backend.Error(), "no such mode");
    int64_t before = backend.Counter();
    SDL_Delay(2);
    EXPECT_GT(backend.Counter(), before);
    EXPECT_GT(backend.CounterFrequency(), 1000);
}

}  // namespace
