// The main window on the headless machine: placement, the class's life, and the procedure.
#include "platform/app_window.h"

#include <gtest/gtest.h>

#include "support/headless_test.h"

namespace {

class AppWindowTest : public HeadlessTest {
protected:
    void SetUp() override { InitAppWindow(&window); }
    void TearDown() override {
        if (window.created) {
            DestroyAppWindow(&window);
        }
    }

    // The next message PeekMessageA hands out, or WM_NULL (0) when there is none.
    UINT NextMessage(WPARAM* wParam = nullptr) {
        MSG msg = {};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            return 0;
        }
        if (wParam != nullptr) {
            *wParam = msg.wParam;
        }
        return msg.message;
    }

    AppWindow window;
    HINSTANCE instance = portable::ModuleInstance();
};

TEST(CentredWindowPosition, HalvesTheDifferenceDownwardAndNeverGoesNegative) {
    POINT centred = CentredWindowPosition(1024, 768, 518, 473);
    EXPECT_EQ(centred.x, 253);
    EXPECT_EQ(centred.y, 147);  // 295 halved downward
    POINT clamped = CentredWindowPosition(500, 473, 518, 473);
    EXPECT_EQ(clamped.x, 0);
    EXPECT_EQ(clamped.y, 0);
}

// Classic Windows metrics: a 3-pixel fixed frame or a 4-pixel sizing one, a 19-pixel caption
// and a 19-pixel menu bar above the client area.
TEST(AdjustWindowRect, AddsTheFrameTheCaptionAndTheMenuBar) {
    struct Case {
        DWORD style;
        BOOL menu;
        RECT expected;
    };
    for (Case c :
         {Case{WS_CAPTION, FALSE, {7, -2, 33, 23}}, Case{WS_CAPTION, TRUE, {7, -21, 33, 23}},
          Case{WS_CAPTION | WS_THICKFRAME, FALSE, {6, -3, 34, 24}},
          Case{0, TRUE, {10, 1, 30, 20}}}) {
        RECT rect = {10, 20, 30, 20};
        ASSERT_TRUE(AdjustWindowRect(&rect, c.style, c.menu));
        EXPECT_EQ(rect.left, c.expected.left) << c.style << " " << c.menu;
        EXPECT_EQ(rect.top, c.expected.top) << c.style << " " << c.menu;
        EXPECT_EQ(rect.right, c.expected.right) << c.style << " " << c.menu;
        EXPECT_EQ(rect.bottom, c.expected.bottom) << c.style << " " << c.menu;
    }
    EXPECT_FALSE(AdjustWindowRect(nullptr, WS_CAPTION, FALSE));
}

TEST_F(AppWindowTest, CreatesTaspoCentredWithA512By448ClientArea) {
    backend.SetDesktopMode({1024, 768, 32, 60});
    EXPECT_EQ(CreateAppWindow(&window, instance, 1024, 768), 0);
    EXPECT_TRUE(window.created);
    EXPECT_NE(window.handle, nullptr);
    EXPECT_NE(window.deviceContext, nullptr);
    EXPECT_EQ(ReleaseDC(window.handle, nullptr), 0) << "not the window's context";
    EXPECT_EQ(ReleaseDC(nullptr, window.deviceContext), 0) << "not a window";
    EXPECT_EQ(window.instance, instance);
    EXPECT_EQ(window.style, 0x00CA0000u);
    EXPECT_EQ(window.windowClass.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_EQ(window.windowClass.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(window.windowClass.lpfnWndProc, &AppWindowProc);
    EXPECT_STREQ(window.windowClass.lpszClassName, "Class1");

    const auto& shown = backend.Window();
    EXPECT_TRUE(shown.open);
    EXPECT_FALSE(shown.visible) << "created hidden; its owner shows it";
    EXPECT_EQ(shown.title, "Taspo");
    EXPECT_EQ(shown.width, 512);
    EXPECT_EQ(shown.height, 448);
    // The outer window (518 by 473 with our frame metrics) sits at (253, 147).
    EXPECT_EQ(shown.x, 253 + 3);
    EXPECT_EQ(shown.y, 147 + 22);

    char className[256];
    EXPECT_EQ(GetClassNameA(window.handle, className, sizeof(className)), 6);
    EXPECT_STREQ(className, "Class1");
}

TEST_F(AppWindowTest, SecondCreateChangesNothing) {
    ASSERT_EQ(CreateAppWindow(&window, instance, 1024, 768), 0);
    AppWindow before = window;
    EXPECT_EQ(CreateAppWindow(&window, instance, 640, 480), 1);
    EXPECT_EQ(window.handle, before.handle);
    EXPECT_EQ(window.deviceContext, before.deviceContext);
    EXPECT_EQ(backend.Window().x, 256);
}

TEST_F(AppWindowTest, DestroyReleasesEverythingAndKeepsTheOldHandles) {
    EXPECT_EQ(DestroyAppWindow(&window), 1) << "never created";
    ASSERT_EQ(CreateAppWindow(&window, instance, 1024, 768), 0);
    HWND handle = window.handle;
    EXPECT_TRUE(UpdateWindow(handle));
    EXPECT_EQ(DestroyAppWindow(&window), 0);
    EXPECT_FALSE(window.created);
    EXPECT_EQ(window.handle, handle);
    EXPECT_FALSE(backend.Window().open);
    EXPECT_EQ(GetClassNameA(handle, nullptr, 0), 0) << "the window is gone";
    EXPECT_FALSE(UpdateWindow(handle));
    // The class was unregistered, so it can be registered again.
    EXPECT_NE(RegisterClassExA(&window.windowClass), 0);
    EXPECT_TRUE(UnregisterClassA("Class1", instance));
    // Destroying sent WM_DESTROY, which posted one more quit.
    EXPECT_EQ(NextMessage(), static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(DestroyAppWindow(&window), 1);
}

TEST_F(AppWindowTest, CloseRequestPostsQuitAndLeavesTheWindow) {
    ASSERT_EQ(CreateAppWindow(&window, instance, 1024, 768), 0);
    ASSERT_TRUE(backend.PostWindowMessage(WM_CLOSE));
    MSG msg = {};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "filtered out";
    for (UINT remove : {PM_NOREMOVE, PM_REMOVE}) {  // a look first leaves the message queued
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, remove));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
    }
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    WPARAM exitCode = 99;
    EXPECT_EQ(NextMessage(&exitCode), static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(backend.Window().open);
    EXPECT_EQ(NextMessage(), 0u);
}

// Only SC_KEYMENU is swallowed: SC_CLOSE (Alt+F4, the close button) goes on to the default
// handling, which sends WM_CLOSE, and so still ends the game.
TEST_F(AppWindowTest, KeyboardMenuActivationIsSwallowedAndOtherSystemCommandsPassOn) {
    ASSERT_EQ(CreateAppWindow(&window, instance, 1024, 768), 0);
    EXPECT_EQ(AppWindowProc(window.handle, WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_EQ(AppWindowProc(window.handle, WM_SYSCOMMAND, SC_MINIMIZE, 0), 0);
    EXPECT_EQ(NextMessage(), 0u) << "neither posts anything";
    ASSERT_TRUE(backend.PostWindowMessage(WM_SYSCOMMAND, SC_CLOSE));
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(NextMessage(), static_cast<UINT>(WM_QUIT)) << "SC_CLOSE still closes";
    EXPECT_TRUE(backend.Window().open) << "closing is the frame loop's business";
    EXPECT_EQ(AppWindowProc(window.handle, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(NextMessage(), static_cast<UINT>(WM_QUIT));
}

}  // namespace
