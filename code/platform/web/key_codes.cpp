// KeyboardEvent.code names to virtual-key codes. Letters, digits, F-keys and the numeric pad are
// computed from their names; the rest are one table.
#include "platform/web/key_codes.h"

#include <cstdlib>
#include <cstring>

#include "platform/portable/win32_api.h"

namespace portable {
namespace {

struct NamedKey {
    const char* code;
    int virtualKey;
};

constexpr NamedKey NamedKeys[] = {
    {"Backspace", VK_BACK},
    {"Tab", VK_TAB},
    {"Enter", VK_RETURN},
    {"Pause", VK_PAUSE},
    {"CapsLock", VK_CAPITAL},
    {"Escape", VK_ESCAPE},
    {"Space", VK_SPACE},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"End", VK_END},
    {"Home", VK_HOME},
    {"ArrowLeft", VK_LEFT},
    {"ArrowUp", VK_UP},
    {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"MetaLeft", VK_LWIN},
    {"MetaRight", VK_RWIN},
    {"OSLeft", VK_LWIN},  // older browsers' names for the Windows keys
    {"OSRight", VK_RWIN},
    {"NumpadMultiply", VK_MULTIPLY},
    {"NumpadAdd", VK_ADD},
    {"NumpadSubtract", VK_SUBTRACT},
    {"NumpadDecimal", VK_DECIMAL},
    {"NumpadDivide", VK_DIVIDE},
    {"ShiftLeft", VK_LSHIFT},
    {"ShiftRight", VK_RSHIFT},
    {"ControlLeft", VK_LCONTROL},
    {"ControlRight", VK_RCONTROL},
    {"AltLeft", VK_LMENU},
    {"AltRight", VK_RMENU},
};

bool StartsWith(const char* text, const char* prefix, const char** rest) {
    size_t length = std::strlen(prefix);
    if (std::strncmp(text, prefix, length) != 0) {
        return false;
    }
    *rest = text + length;
    return true;
}

// The number that is all of `text` ("1" to "24"), or -1.
int WholeNumber(const char* text) {
    if (*text < '0' || *text > '9' || (text[0] == '0' && text[1] != '\0')) {
        return -1;
    }
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    return *end == '\0' && value <= 255 ? static_cast<int>(value) : -1;
}

// "KeyA".."KeyZ", "Digit0".."Digit9", "Numpad0".."Numpad9", "F1".."F24".
int NumberedKey(const char* code) {
    const char* rest = nullptr;
    if (StartsWith(code, "Key", &rest)) {
        return rest[0] >= 'A' && rest[0] <= 'Z' && rest[1] == '\0' ? rest[0] : 0;
    }
    if (StartsWith(code, "Digit", &rest)) {
        int digit = WholeNumber(rest);
        return digit >= 0 && digit <= 9 ? '0' + digit : 0;
    }
    if (StartsWith(code, "Numpad", &rest)) {
        int digit = WholeNumber(rest);
        return digit >= 0 && digit <= 9 ? VK_NUMPAD0 + digit : 0;
    }
    if (StartsWith(code, "F", &rest)) {
        int number = WholeNumber(rest);
        return number >= 1 && number <= 24 ? VK_F1 + number - 1 : 0;
    }
    return 0;
}

}  // namespace

int VirtualKeyFromCode(const char* code) {
    if (code == nullptr) {
        return 0;
    }
    for (const NamedKey& key : NamedKeys) {
        if (std::strcmp(code, key.code) == 0) {
            return key.virtualKey;
        }
    }
    return NumberedKey(code);
}

bool KeyScrollsPage(int virtualKey) {
    switch (virtualKey) {
        case VK_SPACE:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            return true;
        default:
            return false;
    }
}

}  // namespace portable
