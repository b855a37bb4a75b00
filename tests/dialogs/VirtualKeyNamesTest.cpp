// The rules of the hot-key field's key tables: what a pressed key becomes in
// the stored pair, how a stored pair reads, and which keys may not be taken
// from every program.

#include "dialogs/VirtualKeyNames.h"
#include "platform/VirtualKeyCodes.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <map>
#include <vector>

using namespace vk;
using Names = CVirtualKeyNames;

TEST(VirtualKeyNames, NavigationKeysAreExtendedTheirKeypadTwinsNot) {
    const int twins[][3] = {
        {WXK_PAGEUP, WXK_NUMPAD_PAGEUP, VK_PRIOR},  {WXK_PAGEDOWN, WXK_NUMPAD_PAGEDOWN, VK_NEXT},
        {WXK_HOME, WXK_NUMPAD_HOME, VK_HOME},       {WXK_END, WXK_NUMPAD_END, VK_END},
        {WXK_LEFT, WXK_NUMPAD_LEFT, VK_LEFT},       {WXK_UP, WXK_NUMPAD_UP, VK_UP},
        {WXK_RIGHT, WXK_NUMPAD_RIGHT, VK_RIGHT},    {WXK_DOWN, WXK_NUMPAD_DOWN, VK_DOWN},
        {WXK_INSERT, WXK_NUMPAD_INSERT, VK_INSERT}, {WXK_DELETE, WXK_NUMPAD_DELETE, VK_DELETE}};
    for (const auto& [navigation, keypad, code] : twins) {
        const CVirtualKey vk{static_cast<std::uint16_t>(code), true};
        EXPECT_EQ(Names::FromWxKey(navigation), vk) << code;
        EXPECT_EQ(Names::FromWxKey(keypad), (CVirtualKey{vk.m_wVK, false})) << code;
    }
    // A PC keyboard reports its keypad Enter as an extended Enter.
    EXPECT_EQ(Names::FromWxKey(WXK_RETURN), (CVirtualKey{VK_RETURN, false}));
    EXPECT_EQ(Names::FromWxKey(WXK_NUMPAD_ENTER), (CVirtualKey{VK_RETURN, true}));
    EXPECT_EQ(Names::FromWxKey(WXK_NUMPAD_BEGIN), (CVirtualKey{VK_CLEAR, false}));
    EXPECT_EQ(Names::FromWxKey('k'), Names::FromWxKey('K'));
}

TEST(VirtualKeyNames, PairsReadAsTheFieldShowsThem) {
    const int ctrl = HOTKEYF_CONTROL, alt = HOTKEYF_ALT, shift = HOTKEYF_SHIFT, ext = HOTKEYF_EXT;
    // The extended flag names the key; it is no modifier. A code with no name
    // of ours still shows, apart from the others.
    const std::tuple<int, int, const char*> pairs[] = {
        {0, 0, "None"},
        {0, ctrl, "None"},
        {'K', ctrl | alt, "Ctrl + Alt + K"},
        {'K', alt | shift | ctrl, "Ctrl + Shift + Alt + K"},
        {VK_F24, alt, "Alt + F24"},
        {VK_PRIOR, ctrl | ext, "Ctrl + Page Up"},
        {VK_PRIOR, ctrl, "Ctrl + Num 9"},
        {VK_RETURN, ext | shift, "Shift + Num Enter"},
        {VK_OEM_7, ctrl, "Ctrl + '"},
        {0x92, 0, "Key 0x92"}};
    for (const auto& [code, flags, text] : pairs)
        EXPECT_EQ(Names::Describe(std::uint16_t(code), std::uint16_t(flags)), text);
}

TEST(VirtualKeyNames, EveryKeyTheFieldTakesHasItsOwnName) {
    // Two keys with one text would leave the user unable to tell which is stored.
    std::vector<int> keys = {WXK_PAGEUP, WXK_PAGEDOWN, WXK_HOME,   WXK_END,    WXK_LEFT,
                             WXK_UP,     WXK_RIGHT,    WXK_INSERT, WXK_DELETE, WXK_DOWN,
                             WXK_SPACE,  WXK_RETURN,   WXK_PAUSE,  WXK_PRINT,  WXK_MENU};
    for (char c : std::string(";=,-./`[\\]'0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
        keys.push_back(c);
    for (int k = WXK_F1; k <= WXK_F24; ++k)
        keys.push_back(k);
    for (int k = WXK_NUMPAD0; k <= WXK_NUMPAD_DIVIDE; ++k)
        keys.push_back(k);
    std::map<std::string, CVirtualKey> seen;
    for (int k : keys) {
        const auto key = Names::FromWxKey(k);
        if (!key)
            continue; // keypad keys without a code of their own, such as its F1
        const std::string name = Names::KeyName(key->m_wVK, key->m_bExtended);
        EXPECT_NE(name.rfind("Key 0x", 0), 0u) << k << " has no name";
        const auto [it, fresh] = seen.emplace(name, *key);
        // A keypad key with Num Lock off is the same key as with it on.
        const bool sameKey = name.rfind("Num ", 0) == 0 && !key->m_bExtended;
        EXPECT_TRUE(fresh || it->second == *key || sameKey) << name << " names two keys";
    }
    EXPECT_GE(seen.size(), 100u);
    for (int k : {WXK_SHIFT, WXK_CONTROL, WXK_ALT, WXK_WINDOWS_LEFT})
        EXPECT_FALSE(Names::FromWxKey(k).has_value()) << "modifier " << k;
}

TEST(VirtualKeyNames, KeysThatTypeTextNeedCtrlOrAlt) {
    const int keys[][2] = {
        {'A', 1},    {'Z', 1},     {'0', 1},        {'9', 1},         {' ', 1},
        {';', 1},    {'\'', 1},    {'<', 1},        {WXK_NUMPAD5, 1}, {WXK_NUMPAD_DIVIDE, 1},
        {WXK_F1, 0}, {WXK_F24, 0}, {WXK_PAGEUP, 0}, {WXK_ESCAPE, 0},  {WXK_NUMPAD_ENTER, 0}};
    for (const auto& [key, typing] : keys) {
        const std::uint16_t code = Names::FromWxKey(key)->m_wVK;
        EXPECT_EQ(Names::TakesTypingKey(code, 0), bool(typing)) << key;
        EXPECT_EQ(Names::TakesTypingKey(code, HOTKEYF_SHIFT), bool(typing)) << key;
        EXPECT_FALSE(Names::TakesTypingKey(code, HOTKEYF_CONTROL) ||
                     Names::TakesTypingKey(code, HOTKEYF_ALT))
            << key;
    }
}
