// The SDL backend on SDL's dummy video driver, which needs no display: one 1024x768 32-bit mode,
// window surfaces in memory. What the game sees through it: frames, modes, close requests.
#include "platform/portable/sdl/sdl_backend.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class SdlBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_TRUE(sdl.Start()) << sdl.Error();
    }
    void TearDown() override { unsetenv("SDL_VIDEODRIVER"); }

    // The backend's window: SDL numbers windows from 1, and the backend keeps at most one.
    static SDL_Window* OnlyWindow() {
        for (Uint32 id = 1; id < 1000; ++id) {
            if (SDL_Window* window = SDL_GetWindowFromID(id)) {
                return window;
            }
        }
        return nullptr;
    }

    static uint32_t SurfacePixel(int x, int y) {
        SDL_Surface* surface = SDL_GetWindowSurface(OnlyWindow());
        const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
    }

    static DEVMODEA Request(DWORD fields, DWORD width, DWORD height, DWORD bits, DWORD rate) {
        DEVMODEA mode = {};
        mode.dmFields = fields;
        mode.dmPelsWidth = width;
        mode.dmPelsHeight = height;
        mode.dmBitsPerPel = bits;
        mode.dmDisplayFrequency = rate;
        return mode;
    }

    portable::SdlBackend sdl;
};

TEST_F(SdlBackendTest, FramesLandCentredUprightOnBlackAndAreCutToTheWindow) {
    sdl.Present({nullptr, 4, 2, 12});  // no window yet: nothing to draw on
    ASSERT_TRUE(sdl.OpenWindow(nullptr, "t", 0, 0, 8, 6));
    // Two rows of four pixels, bottom-up, 12 bytes a row: colour = 0x0000XY at column X, row Y.
    std::vector<uint8_t> bytes(2 * 12);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            bytes[(1 - y) * 12 + 3 * x] = static_cast<uint8_t>(0x10 * x + y + 1);  // blue
            bytes[(1 - y) * 12 + 3 * x + 1] = 0x80;                                // green
            bytes[(1 - y) * 12 + 3 * x + 2] = static_cast<uint8_t>(0x20 + y);      // red
        }
    }
    SDL_FillRect(SDL_GetWindowSurface(OnlyWindow()), nullptr, 0xFFFFFF);
    sdl.Present({bytes.data(), 4, 2, 12});
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 2 && y < 4;
            uint32_t expected =
                inside ? (0x20u + (y - 2)) << 16 | 0x8000u | (0x10u * (x - 2) + (y - 2) + 1) : 0;
            EXPECT_EQ(SurfacePixel(x, y), expected) << x << "," << y;
        }
    }
    // As high as the window but narrower: borders left and right only.
    std::vector<uint8_t> tall(6 * 12, 0x50);
    SDL_FillRect(SDL_GetWindowSurface(OnlyWindow()), nullptr, 0xFFFFFF);
    sdl.Present({tall.data(), 4, 6, 12});
    EXPECT_EQ(SurfacePixel(1, 0), 0u);
    EXPECT_EQ(SurfacePixel(2, 0), 0x505050u);
    EXPECT_EQ(SurfacePixel(6, 5), 0u);
    // Larger than the window: the top-left part, with no border to draw.
    std::vector<uint8_t> large(10 * 32, 0x40);
    sdl.Present({large.data(), 10, 10, 32});
    EXPECT_EQ(SurfacePixel(0, 0), 0x404040u);
    EXPECT_EQ(SurfacePixel(7, 5), 0x404040u);
}

TEST_F(SdlBackendTest, ModesMatchWhatTheRequestNamesAndFullScreenFollowsTheWindow) {
    portable::DisplayMode desktop = {};
    ASSERT_TRUE(sdl.DesktopMode(&desktop));
    EXPECT_EQ(desktop.width, 1024);
    EXPECT_EQ(desktop.height, 768);
    EXPECT_EQ(desktop.bitsPerPixel, 32);
    const DWORD all = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
    DEVMODEA exact = Request(all, 1024, 768, 32, 75);  // a mode without a rate takes any
    DEVMODEA bitsOnly = Request(DM_BITSPERPEL, 0, 0, 32, 0);
    for (const DEVMODEA& bad : {Request(all, 1024, 767, 32, 60), Request(all, 1023, 768, 32, 60),
                                Request(DM_BITSPERPEL, 0, 0, 16, 0)}) {
        EXPECT_EQ(sdl.ChangeMode(&bad, 0), DISP_CHANGE_BADMODE);
    }
    EXPECT_EQ(sdl.ChangeMode(&exact, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(sdl.OpenWindow(nullptr, "t", 0, 0, 8, 6));
    EXPECT_EQ(SDL_GetWindowFlags(OnlyWindow()) & SDL_WINDOW_FULLSCREEN, 0u) << "only a test";

    EXPECT_EQ(sdl.ChangeMode(&bitsOnly, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_NE(SDL_GetWindowFlags(OnlyWindow()) & SDL_WINDOW_FULLSCREEN, 0u);
    ASSERT_TRUE(sdl.OpenWindow(nullptr, "t", 0, 0, 8, 6));  // a new window keeps the mode
    EXPECT_NE(SDL_GetWindowFlags(OnlyWindow()) & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(sdl.ChangeMode(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(SDL_GetWindowFlags(OnlyWindow()) & SDL_WINDOW_FULLSCREEN, 0u);
    sdl.CloseWindow();
    EXPECT_EQ(OnlyWindow(), nullptr);
}

TEST_F(SdlBackendTest, AQuitFromSdlBecomesWmCloseForTheWindowAndKeysOutOfRangeAreUp) {
    portable::ScopedBackend installed{&sdl};
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = portable::ModuleInstance();
    windowClass.lpszClassName = "SdlTest";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "SdlTest", "t", 0, 0, 0, 8, 6, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(msg.hwnd, window);
    DestroyWindow(window);

    for (int key : {-1, 256, VK_SPACE, VK_SHIFT, VK_CONTROL, VK_MENU}) {
        EXPECT_FALSE(sdl.IsKeyDown(key)) << key;
    }
    // SDL has no ExecutablePath of its own: the real machine's answer, /proc/self/exe.
    char path[4096];
    ASSERT_TRUE(sdl.ExecutablePath(path, sizeof(path)));
    EXPECT_EQ(path[0], '/');
    EXPECT_EQ(access(path, X_OK), 0) << path;
    EXPECT_FALSE(sdl.ExecutablePath(path, static_cast<uint32_t>(std::strlen(path)))) << "cut";
    EXPECT_FALSE(sdl.ExecutablePath(path, 1));
    SDL_SetError("no such mode");
    EXPECT_STREQ(sdl.Error(), "no such mode");
    int64_t before = sdl.Counter();
    SDL_Delay(2);
    EXPECT_GT(sdl.Counter(), before);
    EXPECT_GT(sdl.CounterFrequency(), 1000);
}

}  // namespace
