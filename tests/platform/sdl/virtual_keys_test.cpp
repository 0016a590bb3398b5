// The SDL backend's reading of Windows virtual-key codes: the keys a game asks for land on the
// physical keys with those names.
#include "platform/sdl/virtual_keys.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/portable/win32_api.h"

namespace {

class VirtualKeys : public ::testing::Test {
protected:
    void SetUp() override { portable::BuildScancodeTable(table); }
    SDL_Scancode table[256];
};

TEST_F(VirtualKeys, LettersDigitsAndTheGamesKeysMapByName) {
    EXPECT_EQ(table[VK_SPACE], SDL_SCANCODE_SPACE);
    EXPECT_EQ(table[VK_ESCAPE], SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(table[VK_RETURN], SDL_SCANCODE_RETURN);
    EXPECT_EQ(table['A'], SDL_SCANCODE_A);
    EXPECT_EQ(table['Z'], SDL_SCANCODE_Z);
    EXPECT_EQ(table['0'], SDL_SCANCODE_0) << "SDL numbers its digit row 1 to 9, then 0";
    EXPECT_EQ(table['1'], SDL_SCANCODE_1);
    EXPECT_EQ(table['9'], SDL_SCANCODE_9);
    EXPECT_EQ(table[VK_LEFT], SDL_SCANCODE_LEFT);
    EXPECT_EQ(table[VK_DOWN], SDL_SCANCODE_DOWN);
    EXPECT_EQ(table[VK_F1], SDL_SCANCODE_F1);
    EXPECT_EQ(table[VK_F1 + 11], SDL_SCANCODE_F12);
    EXPECT_EQ(table[VK_F1 + 12], SDL_SCANCODE_F13);
    EXPECT_EQ(table[VK_F24], SDL_SCANCODE_F24);
    EXPECT_EQ(table[VK_NUMPAD0], SDL_SCANCODE_KP_0);
    EXPECT_EQ(table[VK_NUMPAD0 + 9], SDL_SCANCODE_KP_9);
    EXPECT_EQ(table[VK_RSHIFT], SDL_SCANCODE_RSHIFT);
    EXPECT_EQ(table[VK_LMENU], SDL_SCANCODE_LALT);
}

// The side-neutral modifiers stay unknown too: the layer asks for their two sides instead.
TEST_F(VirtualKeys, NoTwoCodesShareAPhysicalKeyAndUnknownCodesStayUnknown) {
    std::set<SDL_Scancode> seen;
    for (int code = 0; code < 256; ++code) {
        if (table[code] != SDL_SCANCODE_UNKNOWN) {
            EXPECT_TRUE(seen.insert(table[code]).second) << "code " << code;
        }
    }
    for (int code : {0, 0xFF, VK_SHIFT, VK_CONTROL, VK_MENU}) {
        EXPECT_EQ(table[code], SDL_SCANCODE_UNKNOWN) << "code " << code;
    }
    // Letters, digits, F1 to F24, the keypad's digits and every other key the table names.
    EXPECT_EQ(seen.size(), 26u + 10 + 24 + 10 + 30);
}

}  // namespace
