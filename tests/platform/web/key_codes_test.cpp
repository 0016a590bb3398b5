// The web backend's reading of KeyboardEvent.code: the keys a game asks for by virtual-key code
// land on the physical keys with those names, and names we do not know stay unknown.
#include "platform/portable/web/key_codes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/portable/win32_api.h"

namespace {

using portable::VirtualKeyFromCode;

TEST(WebKeyCodes, TheGamesKeysLettersDigitsAndFunctionKeysMapByName) {
    EXPECT_EQ(VirtualKeyFromCode("Space"), VK_SPACE);
    EXPECT_EQ(VirtualKeyFromCode("Escape"), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromCode("Enter"), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromCode("KeyA"), 'A');
    EXPECT_EQ(VirtualKeyFromCode("KeyZ"), 'Z');
    EXPECT_EQ(VirtualKeyFromCode("Digit0"), '0');
    EXPECT_EQ(VirtualKeyFromCode("Digit9"), '9');
    EXPECT_EQ(VirtualKeyFromCode("Numpad0"), VK_NUMPAD0);
    EXPECT_EQ(VirtualKeyFromCode("Numpad9"), VK_NUMPAD0 + 9);
    EXPECT_EQ(VirtualKeyFromCode("F1"), VK_F1);
    EXPECT_EQ(VirtualKeyFromCode("F12"), VK_F1 + 11);
    EXPECT_EQ(VirtualKeyFromCode("F24"), VK_F24);
    EXPECT_EQ(VirtualKeyFromCode("ArrowLeft"), VK_LEFT);
    EXPECT_EQ(VirtualKeyFromCode("ArrowDown"), VK_DOWN);
    EXPECT_EQ(VirtualKeyFromCode("ShiftRight"), VK_RSHIFT);
    EXPECT_EQ(VirtualKeyFromCode("AltLeft"), VK_LMENU);
    EXPECT_EQ(VirtualKeyFromCode("MetaLeft"), VK_LWIN);
    EXPECT_EQ(VirtualKeyFromCode("OSLeft"), VK_LWIN);
}

TEST(WebKeyCodes, NamesNearAKnownOneAndOutOfRangeNumbersAreUnknown) {
    for (const char* code : {"",
                             "Key",
                             "KeyAA",
                             "Keya",
                             "Key1",
                             "Digit",
                             "Digit10",
                             "Digit01",
                             "Digit-1",
                             "Numpad10",
                             "NumpadEnter2",
                             "F",
                             "F0",
                             "F25",
                             "F01",
                             "Fn",
                             "F1 ",
                             "space",
                             "Spac",
                             "SpaceBar",
                             "Unidentified",
                             "IntlBackslash",
                             "ShiftLeftX"}) {
        EXPECT_EQ(VirtualKeyFromCode(code), 0) << '"' << code << '"';
    }
    EXPECT_EQ(VirtualKeyFromCode(nullptr), 0);
}

// Every name we know, found by trying the browser's names: no two land on one virtual key except
// the two spellings of the Windows keys, and the side-neutral modifiers are never named.
TEST(WebKeyCodes, NoTwoNamesShareAKeyAndNeutralModifiersAreNeverNamed) {
    std::vector<std::string> codes = {"Backspace",     "Tab",
                                      "Enter",         "Pause",
                                      "CapsLock",      "Escape",
                                      "Space",         "PageUp",
                                      "PageDown",      "End",
                                      "Home",          "ArrowLeft",
                                      "ArrowUp",       "ArrowRight",
                                      "ArrowDown",     "Insert",
                                      "Delete",        "MetaLeft",
                                      "MetaRight",     "NumpadMultiply",
                                      "NumpadAdd",     "NumpadSubtract",
                                      "NumpadDecimal", "NumpadDivide",
                                      "ShiftLeft",     "ShiftRight",
                                      "ControlLeft",   "ControlRight",
                                      "AltLeft",       "AltRight"};
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        codes.push_back(std::string("Key") + letter);
    }
    for (int digit = 0; digit <= 9; ++digit) {
        codes.push_back("Digit" + std::to_string(digit));
        codes.push_back("Numpad" + std::to_string(digit));
    }
    for (int number = 1; number <= 24; ++number) {
        codes.push_back("F" + std::to_string(number));
    }
    std::map<int, std::string> seen;
    for (const std::string& code : codes) {
        int key = VirtualKeyFromCode(code.c_str());
        ASSERT_GT(key, 0) << code;
        ASSERT_LT(key, 256) << code;
        EXPECT_NE(key, VK_SHIFT) << code;
        EXPECT_NE(key, VK_CONTROL) << code;
        EXPECT_NE(key, VK_MENU) << code;
        auto [where, added] = seen.emplace(key, code);
        EXPECT_TRUE(added) << code << " and " << where->second;
    }
    EXPECT_EQ(seen.size(), codes.size());
}

TEST(WebKeyCodes, OnlyTheScrollingKeysAreKeptFromThePage) {
    for (int key :
         {VK_SPACE, VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
        EXPECT_TRUE(portable::KeyScrollsPage(key)) << key;
    }
    for (int key : {0, VK_ESCAPE, VK_RETURN, VK_TAB, VK_BACK, VK_F1 + 4, int{'R'}, VK_LCONTROL}) {
        EXPECT_FALSE(portable::KeyScrollsPage(key)) << key;
    }
}

}  // namespace
