// CPasteKeys on Windows: the chord through SendInput. A key name is a
// character of the keyboard layout (VkKeyScanW) or one of the named keys
// below; no scratch key is needed, the layout either has the key or not.

#include "platform/PasteKeys.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <vector>

namespace {

struct SNamedKey {
    const char* name;
    WORD vk;
};

// The names people write in a paste key, X11's spellings among them.
constexpr SNamedKey kNamedKeys[] = {
    {"Insert", VK_INSERT},  {"Delete", VK_DELETE}, {"Home", VK_HOME}, {"End", VK_END},
    {"Prior", VK_PRIOR},    {"Page_Up", VK_PRIOR}, {"Next", VK_NEXT}, {"Page_Down", VK_NEXT},
    {"Left", VK_LEFT},      {"Right", VK_RIGHT},   {"Up", VK_UP},     {"Down", VK_DOWN},
    {"Return", VK_RETURN},  {"Enter", VK_RETURN},  {"Tab", VK_TAB},   {"Space", VK_SPACE},
    {"BackSpace", VK_BACK}, {"Escape", VK_ESCAPE}, {"Menu", VK_APPS},
};

// A key that Windows sends with the extended flag, as the keyboard does.
bool IsExtended(WORD vk) {
    switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// The modifiers one by one, left and right: a key-up for one not held does
// no harm, but only those held are let go.
constexpr WORD kModifierKeys[] = {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL,
                                  VK_LMENU,  VK_RMENU,  VK_LWIN,     VK_RWIN};

} // namespace

CPasteKeys::~CPasteKeys() = default;

bool CPasteKeys::Send(const SKeyChord& chord) {
    const auto vk = static_cast<WORD>(KeySymOf(chord.key));
    if (!vk)
        return false;
    std::vector<INPUT> inputs;
    std::vector<WORD> modifiers;
    if (chord.ctrl)
        modifiers.push_back(VK_CONTROL);
    if (chord.shift)
        modifiers.push_back(VK_SHIFT);
    if (chord.alt)
        modifiers.push_back(VK_MENU);
    if (chord.super)
        modifiers.push_back(VK_LWIN);
    for (WORD modifier : modifiers)
        inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        inputs.push_back(KeyInput(*it, true));
    // All or nothing: another program's input blocked is a chord not typed.
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

bool CPasteKeys::ModifiersHeld() {
    for (WORD key : kModifierKeys)
        if (GetAsyncKeyState(key) & 0x8000)
            return true;
    return false;
}

void CPasteKeys::ReleaseModifiers() {
    std::vector<INPUT> inputs;
    for (WORD key : kModifierKeys)
        if (GetAsyncKeyState(key) & 0x8000)
            inputs.push_back(KeyInput(key, true));
    if (!inputs.empty())
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The virtual-key code of a key name, 0 when the keyboard has no such key.
unsigned long CPasteKeys::KeySymOf(const std::string& name) {
    if (name.size() == 1) {
        const auto c = static_cast<unsigned char>(name[0]);
        if (c >= 0x80)
            return 0;
        // Letters by their lower case, as the layout types them unshifted.
        const SHORT scan = VkKeyScanW(static_cast<wchar_t>(std::tolower(c)));
        return scan == -1 ? 0 : static_cast<unsigned long>(LOBYTE(scan));
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        char* end = nullptr;
        const long n = std::strtol(name.c_str() + 1, &end, 10);
        if (*end == '\0' && n >= 1 && n <= 24)
            return VK_F1 + static_cast<unsigned long>(n - 1);
    }
    for (const SNamedKey& key : kNamedKeys)
        if (_stricmp(key.name, name.c_str()) == 0)
            return key.vk;
    return 0;
}
