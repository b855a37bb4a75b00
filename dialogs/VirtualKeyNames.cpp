#include "dialogs/VirtualKeyNames.h"

#include "platform/VirtualKeyCodes.h"

#include <wx/defs.h>

#include <cstdio>

using namespace vk;

namespace {

struct WxToVk {
    int wxKey;
    std::uint16_t vk;
    bool extended;
};

// Keys whose code says nothing about the character they type. The navigation
// block carries the extended flag; its keypad twins (Num Lock off) do not.
// Keypad Enter and "/" are extended keys on a PC keyboard, so they carry it too.
constexpr WxToVk kNamedKeys[] = {
    {WXK_BACK, VK_BACK, false},
    {WXK_TAB, VK_TAB, false},
    {WXK_RETURN, VK_RETURN, false},
    {WXK_ESCAPE, VK_ESCAPE, false},
    {WXK_SPACE, VK_SPACE, false},
    {WXK_DELETE, VK_DELETE, true},
    {WXK_INSERT, VK_INSERT, true},
    {WXK_HOME, VK_HOME, true},
    {WXK_END, VK_END, true},
    {WXK_PAGEUP, VK_PRIOR, true},
    {WXK_PAGEDOWN, VK_NEXT, true},
    {WXK_LEFT, VK_LEFT, true},
    {WXK_UP, VK_UP, true},
    {WXK_RIGHT, VK_RIGHT, true},
    {WXK_DOWN, VK_DOWN, true},
    {WXK_CLEAR, VK_CLEAR, true},
    {WXK_PAUSE, VK_PAUSE, false},
    {WXK_CAPITAL, VK_CAPITAL, false},
    {WXK_NUMLOCK, VK_NUMLOCK, true},
    {WXK_SCROLL, VK_SCROLL, false},
    {WXK_SELECT, VK_SELECT, false},
    {WXK_PRINT, VK_SNAPSHOT, false},
    {WXK_SNAPSHOT, VK_SNAPSHOT, false},
    {WXK_HELP, VK_HELP, false},
    {WXK_MENU, VK_APPS, true},
    {WXK_WINDOWS_MENU, VK_APPS, true},
    {WXK_NUMPAD_ENTER, VK_RETURN, true},
    {WXK_NUMPAD_SPACE, VK_SPACE, false},
    {WXK_NUMPAD_TAB, VK_TAB, false},
    {WXK_NUMPAD_HOME, VK_HOME, false},
    {WXK_NUMPAD_END, VK_END, false},
    {WXK_NUMPAD_PAGEUP, VK_PRIOR, false},
    {WXK_NUMPAD_PAGEDOWN, VK_NEXT, false},
    {WXK_NUMPAD_LEFT, VK_LEFT, false},
    {WXK_NUMPAD_UP, VK_UP, false},
    {WXK_NUMPAD_RIGHT, VK_RIGHT, false},
    {WXK_NUMPAD_DOWN, VK_DOWN, false},
    {WXK_NUMPAD_BEGIN, VK_CLEAR, false},
    {WXK_NUMPAD_INSERT, VK_INSERT, false},
    {WXK_NUMPAD_DELETE, VK_DELETE, false},
    {WXK_NUMPAD_MULTIPLY, VK_MULTIPLY, false},
    {WXK_NUMPAD_ADD, VK_ADD, false},
    {WXK_NUMPAD_SEPARATOR, VK_SEPARATOR, false},
    {WXK_NUMPAD_SUBTRACT, VK_SUBTRACT, false},
    {WXK_NUMPAD_DECIMAL, VK_DECIMAL, false},
    {WXK_NUMPAD_DIVIDE, VK_DIVIDE, true},
    {WXK_MULTIPLY, VK_MULTIPLY, false},
    {WXK_ADD, VK_ADD, false},
    {WXK_SEPARATOR, VK_SEPARATOR, false},
    {WXK_SUBTRACT, VK_SUBTRACT, false},
    {WXK_DECIMAL, VK_DECIMAL, false},
    {WXK_DIVIDE, VK_DIVIDE, true},
};

// Punctuation by the character of the unshifted key on a US keyboard, the
// layout the OEM codes are named after.
struct CharToVk {
    char ch;
    std::uint16_t vk;
    const char* name;
};
constexpr CharToVk kPunctuation[] = {
    {';', VK_OEM_1, ";"},     {'=', VK_OEM_PLUS, "="},   {',', VK_OEM_COMMA, ","},
    {'-', VK_OEM_MINUS, "-"}, {'.', VK_OEM_PERIOD, "."}, {'/', VK_OEM_2, "/"},
    {'`', VK_OEM_3, "`"},     {'[', VK_OEM_4, "["},      {'\\', VK_OEM_5, "\\"},
    {']', VK_OEM_6, "]"},     {'\'', VK_OEM_7, "'"},     {'<', VK_OEM_102, "<"},
};

// Codes that exist as a navigation key and as a keypad key (Num Lock off).
struct TwinName {
    std::uint16_t vk;
    const char* extended;
    const char* keypad;
};
constexpr TwinName kTwins[] = {
    {VK_RETURN, "Num Enter", "Enter"}, {VK_CLEAR, "Clear", "Num 5"},
    {VK_PRIOR, "Page Up", "Num 9"},    {VK_NEXT, "Page Down", "Num 3"},
    {VK_END, "End", "Num 1"},          {VK_HOME, "Home", "Num 7"},
    {VK_LEFT, "Left", "Num 4"},        {VK_UP, "Up", "Num 8"},
    {VK_RIGHT, "Right", "Num 6"},      {VK_DOWN, "Down", "Num 2"},
    {VK_INSERT, "Insert", "Num 0"},    {VK_DELETE, "Delete", "Num Del"},
};

struct VkName {
    std::uint16_t vk;
    const char* name;
};
constexpr VkName kNames[] = {
    {VK_BACK, "Backspace"},
    {VK_TAB, "Tab"},
    {VK_PAUSE, "Pause"},
    {VK_CAPITAL, "Caps Lock"},
    {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Space"},
    {VK_SELECT, "Select"},
    {VK_PRINT, "Print"},
    {VK_SNAPSHOT, "Print Screen"},
    {VK_HELP, "Help"},
    {VK_LWIN, "Left Super"},
    {VK_RWIN, "Right Super"},
    {VK_APPS, "Menu"},
    {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},
    {VK_SEPARATOR, "Num Separator"},
    {VK_SUBTRACT, "Num -"},
    {VK_DECIMAL, "Num ."},
    {VK_DIVIDE, "Num /"},
    {VK_NUMLOCK, "Num Lock"},
    {VK_SCROLL, "Scroll Lock"},
};

} // namespace

std::optional<SVirtualKey> CVirtualKeyNames::FromWxKey(int wxKey) {
    if (wxKey >= 'a' && wxKey <= 'z')
        wxKey -= 'a' - 'A';
    if ((wxKey >= 'A' && wxKey <= 'Z') || (wxKey >= '0' && wxKey <= '9'))
        return SVirtualKey{static_cast<std::uint16_t>(wxKey), false};
    if (wxKey >= WXK_F1 && wxKey <= WXK_F24)
        return SVirtualKey{static_cast<std::uint16_t>(VK_F1 + (wxKey - WXK_F1)), false};
    if (wxKey >= WXK_NUMPAD0 && wxKey <= WXK_NUMPAD9)
        return SVirtualKey{static_cast<std::uint16_t>(VK_NUMPAD0 + (wxKey - WXK_NUMPAD0)), false};
    for (const WxToVk& k : kNamedKeys)
        if (k.wxKey == wxKey)
            return SVirtualKey{k.vk, k.extended};
    for (const CharToVk& p : kPunctuation)
        if (p.ch == wxKey)
            return SVirtualKey{p.vk, false};
    return std::nullopt;
}

bool CVirtualKeyNames::IsModifier(int wxKey) {
    return ModifierFlag(wxKey) != 0 || wxKey == WXK_WINDOWS_LEFT || wxKey == WXK_WINDOWS_RIGHT;
}

std::uint16_t CVirtualKeyNames::ModifierFlag(int wxKey) {
    switch (wxKey) {
    case WXK_SHIFT:
        return HOTKEYF_SHIFT;
    case WXK_CONTROL:
        return HOTKEYF_CONTROL;
    case WXK_ALT:
        return HOTKEYF_ALT;
    default:
        return 0;
    }
}

std::string CVirtualKeyNames::KeyName(std::uint16_t code, bool extended) {
    if ((code >= VK_A && code < VK_A + 26) || (code >= VK_0 && code < VK_0 + 10))
        return std::string(1, static_cast<char>(code));
    if (code >= VK_NUMPAD0 && code < VK_NUMPAD0 + 10)
        return "Num " + std::to_string(code - VK_NUMPAD0);
    if (code >= VK_F1 && code <= VK_F24)
        return "F" + std::to_string(code - VK_F1 + 1);
    for (const TwinName& t : kTwins)
        if (t.vk == code)
            return extended ? t.extended : t.keypad;
    for (const VkName& n : kNames)
        if (n.vk == code)
            return n.name;
    for (const CharToVk& p : kPunctuation)
        if (p.vk == code)
            return p.name;
    char text[16];
    std::snprintf(text, sizeof text, "Key 0x%02X", static_cast<unsigned>(code));
    return text;
}

std::string CVirtualKeyNames::ModifierPrefix(std::uint16_t flags) {
    std::string out;
    if (flags & HOTKEYF_CONTROL)
        out += "Ctrl + ";
    if (flags & HOTKEYF_SHIFT)
        out += "Shift + ";
    if (flags & HOTKEYF_ALT)
        out += "Alt + ";
    return out;
}

std::string CVirtualKeyNames::Describe(std::uint16_t code, std::uint16_t flags) {
    if (code == 0)
        return "None";
    return ModifierPrefix(flags) + KeyName(code, (flags & HOTKEYF_EXT) != 0);
}

bool CVirtualKeyNames::TakesTypingKey(std::uint16_t code, std::uint16_t flags) {
    if (code == 0 || (flags & (HOTKEYF_CONTROL | HOTKEYF_ALT)) != 0)
        return false;
    return code == VK_SPACE || (code >= VK_0 && code < VK_0 + 10) ||
           (code >= VK_A && code < VK_A + 26) || (code >= VK_NUMPAD0 && code <= VK_DIVIDE) ||
           (code >= VK_OEM_1 && code <= VK_OEM_3) || (code >= VK_OEM_4 && code <= VK_OEM_7) ||
           code == VK_OEM_102;
}
