// One key sequence through every backend of the build, read back with GetAsyncKeyState: all of
// them answer alike, and Shift, Control and Alt are down while either side of them is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/web/input_queue.h"
#include "platform/web/key_codes.h"

namespace {

// A physical key as each machine names it.
struct Key {
    const char* browserCode;
    SDL_Scancode scancode;
    int virtualKey;
};

const Key LeftShift{"ShiftLeft", SDL_SCANCODE_LSHIFT, VK_LSHIFT};
const Key RightShift{"ShiftRight", SDL_SCANCODE_RSHIFT, VK_RSHIFT};
const Key LeftControl{"ControlLeft", SDL_SCANCODE_LCTRL, VK_LCONTROL};
const Key RightControl{"ControlRight", SDL_SCANCODE_RCTRL, VK_RCONTROL};
const Key LeftAlt{"AltLeft", SDL_SCANCODE_LALT, VK_LMENU};
const Key RightAlt{"AltRight", SDL_SCANCODE_RALT, VK_RMENU};
const Key LetterA{"KeyA", SDL_SCANCODE_A, 'A'};

// A press or release, and every probed code down after it.
struct Step {
    Key key;
    bool down;
    std::vector<int> held;
};

const std::vector<Step> Sequence = {
    {LeftShift, true, {VK_SHIFT, VK_LSHIFT}},
    {RightShift, true, {VK_SHIFT, VK_LSHIFT, VK_RSHIFT}},
    {LeftShift, false, {VK_SHIFT, VK_RSHIFT}},
    {RightControl, true, {VK_SHIFT, VK_RSHIFT, VK_CONTROL, VK_RCONTROL}},
    {RightShift, false, {VK_CONTROL, VK_RCONTROL}},
    {LeftAlt, true, {VK_CONTROL, VK_RCONTROL, VK_MENU, VK_LMENU}},
    {RightControl, false, {VK_MENU, VK_LMENU}},
    {LetterA, true, {VK_MENU, VK_LMENU, 'A'}},
    {LeftAlt, false, {'A'}},
    {LeftControl, true, {'A', VK_CONTROL, VK_LCONTROL}},
    {RightAlt, true, {'A', VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU}},
    {LeftControl, false, {'A', VK_MENU, VK_RMENU}},
    {RightAlt, false, {'A'}},
    {LetterA, false, {}},
};

const int Probes[] = {VK_SHIFT,    VK_LSHIFT, VK_RSHIFT, VK_CONTROL, VK_LCONTROL,
                      VK_RCONTROL, VK_MENU,   VK_LMENU,  VK_RMENU,   'A'};

// A machine and the way a key reaches it; the next PeekMessageA takes it in.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    virtual portable::Backend& Machine() = 0;
    virtual void Set(const Key& key, bool down) = 0;
};

class HeadlessKeyboard : public Keyboard {
public:
    portable::Backend& Machine() override { return backend_; }
    void Set(const Key& key, bool down) override { backend_.SetKeyDown(key.virtualKey, down); }

private:
    portable::HeadlessBackend backend_;
};

// The browser's key events through the web backend's input queue, wired as WebBackend wires it.
class BrowserKeyboard : public Keyboard, portable::HeadlessBackend {
public:
    portable::Backend& Machine() override { return *this; }
    void Set(const Key& key, bool down) override {
        int virtualKey = portable::VirtualKeyFromCode(key.browserCode);
        queue_.Push({down ? portable::InputKind::KeyDown : portable::InputKind::KeyUp, virtualKey});
    }
    void PumpEvents() override { queue_.Apply(); }
    bool IsKeyDown(int virtualKey) override { return queue_.IsKeyDown(virtualKey); }

private:
    portable::InputQueue queue_;
};

// SDL on its dummy video driver, which needs no display; keys come as the desktop's events do.
class SdlKeyboard : public Keyboard {
public:
    SdlKeyboard() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        started = backend_.Start();
    }
    portable::Backend& Machine() override { return backend_; }
    void Set(const Key& key, bool down) override {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = key.scancode;
        SDL_PushEvent(&event);
    }
    bool started = false;

private:
    portable::SdlBackend backend_{portable::ControlKeys{VK_SPACE, VK_ESCAPE, 0, 0}};
};

TEST(BackendKeys, EveryBackendAnswersTheSameSequenceAlike) {
    HeadlessKeyboard headless;
    BrowserKeyboard browser;
    SdlKeyboard sdl;
    ASSERT_TRUE(sdl.started) << SDL_GetError();
    struct {
        const char* name;
        Keyboard* keyboard;
    } machines[] = {{"headless", &headless}, {"browser", &browser}, {"SDL", &sdl}};
    for (const auto& [name, keyboard] : machines) {
        SCOPED_TRACE(name);
        portable::ScopedBackend installed(&keyboard->Machine());
        for (size_t step = 0; step < Sequence.size(); ++step) {
            keyboard->Set(Sequence[step].key, Sequence[step].down);
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
            const std::vector<int>& held = Sequence[step].held;
            for (int probe : Probes) {
                bool expected = std::find(held.begin(), held.end(), probe) != held.end();
                EXPECT_EQ(GetAsyncKeyState(probe) != 0, expected)
                    << "step " << step << ", code 0x" << std::hex << probe;
            }
        }
    }
}

}  // namespace
