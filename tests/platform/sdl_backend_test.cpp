// The real game's backend on SDL's dummy video driver, which needs no display: its own row
// conversion against SDL's, the picture on the window surface, keys, focus and close requests
// from SDL's events, and display modes through ChangeDisplaySettingsA.
#include "platform/portable/sdl/sdl_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/app_window.h"
#include "platform/portable/sdl/surface_rows.h"

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
    // The backend's window: SDL numbers its windows from 1 at each start.
    static SDL_Window* OnlyWindow() { return SDL_GetWindowFromID(1); }
    // The next posted message after SDL's events are taken in, or WM_NULL (0).
    static MSG NextMessage() {
        MSG msg{};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            msg.message = 0;
        }
        return msg;
    }

    portable::SdlBackend backend;
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

// A frame smaller than the window lands centred on black; a larger one is cut to the window.
TEST_F(SdlBackendTest, FramesLandCentredOnBlackAndAreCutToTheWindow) {
    backend.Present({nullptr, 4, 2, 12});  // no window yet: nothing to draw on
    ASSERT_TRUE(backend.OpenWindow(nullptr, "t", 0, 0, 8, 6));
    SDL_Surface* surface = SDL_GetWindowSurface(OnlyWindow());
    ASSERT_NE(surface, nullptr);
    auto pixel = [surface](int x, int y) {
        const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    };
    // Two rows of four pixels, bottom-up, 12 bytes a row: colour = 0x2Y80XY at column X, row Y.
    std::vector<uint8_t> bytes(2 * 12);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            bytes[(1 - y) * 12 + 3 * x] = static_cast<uint8_t>(0x10 * x + y + 1);  // blue
            bytes[(1 - y) * 12 + 3 * x + 1] = 0x80;                                // green
            bytes[(1 - y) * 12 + 3 * x + 2] = static_cast<uint8_t>(0x20 + y);      // red
        }
    }
    SDL_FillRect(surface, nullptr, 0xFFFFFF);
    backend.Present({bytes.data(), 4, 2, 12});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 2 && y < 4;
            uint32_t expected =
                inside ? (0x20u + (y - 2)) << 16 | 0x8000u | (0x10u * (x - 2) + (y - 2) + 1) : 0;
            EXPECT_EQ(pixel(x, y), expected) << x << "," << y;
        }
    }
    // As high as the window but narrower: borders left and right only.
    std::vector<uint8_t> tall(6 * 12, 0x50);
    SDL_FillRect(surface, nullptr, 0xFFFFFF);
    backend.Present({tall.data(), 4, 6, 12});
    EXPECT_EQ(pixel(1, 0), 0u);
    EXPECT_EQ(pixel(2, 0), 0x505050u);
    EXPECT_EQ(pixel(6, 5), 0u);
    // Larger than the window: the top-left part, with no border to draw.
    std::vector<uint8_t> large(10 * 32, 0x40);
    backend.Present({large.data(), 10, 10, 32});
    EXPECT_EQ(pixel(0, 0), 0x404040u);
    EXPECT_EQ(pixel(7, 5), 0x404040u);
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
