// The web backend's reading of KeyboardEvent.code: the keys a game asks for by virtual-key code
// land on the physical keys with those names, and names we do not know stay unknown.
#include "platform/web/key_codes.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/portable/win32_api.h"

namespace {

using portable::VirtualKeyFromCode;

// The browser's names for the keys other than letters, digits and F-keys.
constexpr const char* NamedKeys =
    "Backspace Tab Enter Pause CapsLock Escape Space PageUp PageDown End Home ArrowLeft ArrowUp "
    "ArrowRight ArrowDown Insert Delete MetaLeft MetaRight NumpadMultiply NumpadAdd "
    "NumpadSubtract NumpadDecimal NumpadDivide ShiftLeft ShiftRight ControlLeft ControlRight "
    "AltLeft AltRight";

std::vector<std::string> Words(const char* text) {
    std::vector<std::string> words;
    std::istringstream stream(text);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

// Letters, digits, the numeric pad's digits and F1 to F24, each with the key its name numbers.
std::map<std::string, int> NumberedKeys() {
    std::map<std::string, int> keys;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        keys[std::string("Key") + letter] = letter;
    }
    for (int digit = 0; digit <= 9; ++digit) {
        keys["Digit" + std::to_string(digit)] = '0' + digit;
        keys["Numpad" + std::to_string(digit)] = VK_NUMPAD0 + digit;
    }
    for (int number = 1; number <= 24; ++number) {
        keys["F" + std::to_string(number)] = VK_F1 + number - 1;
    }
    return keys;
}

TEST(WebKeyCodes, TheGamesKeysAndEveryNumberedKeyMapByName) {
    EXPECT_EQ(VirtualKeyFromCode("Space"), VK_SPACE);
    EXPECT_EQ(VirtualKeyFromCode("Escape"), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromCode("Enter"), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromCode("ArrowLeft"), VK_LEFT);
    EXPECT_EQ(VirtualKeyFromCode("ArrowDown"), VK_DOWN);
    EXPECT_EQ(VirtualKeyFromCode("ShiftRight"), VK_RSHIFT);
    EXPECT_EQ(VirtualKeyFromCode("AltLeft"), VK_LMENU);
    EXPECT_EQ(VirtualKeyFromCode("MetaLeft"), VK_LWIN);
    EXPECT_EQ(VirtualKeyFromCode("OSLeft"), VK_LWIN);
    for (const auto& [code, key] : NumberedKeys()) {
        EXPECT_EQ(VirtualKeyFromCode(code.c_str()), key) << code;
    }
}

TEST(WebKeyCodes, NamesNearAKnownOneAndOutOfRangeNumbersAreUnknown) {
    for (const std::string& code :
         Words("Key KeyAA Keya Key1 Digit Digit10 Digit01 Digit-1 Numpad10 NumpadEnter2 F F0 F25 "
               "F01 Fn space Spac SpaceBar Unidentified IntlBackslash ShiftLeftX")) {
        EXPECT_EQ(VirtualKeyFromCode(code.c_str()), 0) << code;
    }
    for (const char* code : {"", "F1 ", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(VirtualKeyFromCode(code), 0) << (code ? code : "null");
    }
}

// Every name we know: no two land on one virtual key except the two spellings of the Windows
// keys, and the side-neutral modifiers are never named.
TEST(WebKeyCodes, NoTwoNamesShareAKeyAndNeutralModifiersAreNeverNamed) {
    std::vector<std::string> codes = Words(NamedKeys);
    for (const auto& numbered : NumberedKeys()) {
        codes.push_back(numbered.first);
    }
    std::map<int, std::string> seen;
    for (const std::string& code : codes) {
        int key = VirtualKeyFromCode(code.c_str());
        EXPECT_TRUE(key > 0 && key < 256 && key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU)
            << code << " gives " << key;
        auto [where, added] = seen.emplace(key, code);
        EXPECT_TRUE(added) << code << " and " << where->second;
    }
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
