// The key tables of the hot-key field: what a pressed key becomes in the
// stored pair, and how a stored pair reads.

#include "dialogs/VirtualKeyNames.h"
#include "platform/VirtualKeyCodes.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <map>
#include <vector>

using namespace vk;

namespace {
const int kNavigation[] = {WXK_PAGEUP, WXK_PAGEDOWN, WXK_HOME,   WXK_END,    WXK_LEFT,
                           WXK_UP,     WXK_RIGHT,    WXK_INSERT, WXK_DELETE, WXK_DOWN,
                           WXK_SPACE,  WXK_RETURN,   WXK_PAUSE,  WXK_PRINT,  WXK_MENU};
} // namespace

TEST(VirtualKeyNames, NavigationKeysAreExtendedTheirKeypadTwinsNot) {
    const int twins[][3] = {
        {WXK_PAGEUP, WXK_NUMPAD_PAGEUP, VK_PRIOR},  {WXK_PAGEDOWN, WXK_NUMPAD_PAGEDOWN, VK_NEXT},
        {WXK_HOME, WXK_NUMPAD_HOME, VK_HOME},       {WXK_END, WXK_NUMPAD_END, VK_END},
        {WXK_LEFT, WXK_NUMPAD_LEFT, VK_LEFT},       {WXK_UP, WXK_NUMPAD_UP, VK_UP},
        {WXK_RIGHT, WXK_NUMPAD_RIGHT, VK_RIGHT},    {WXK_DOWN, WXK_NUMPAD_DOWN, VK_DOWN},
        {WXK_INSERT, WXK_NUMPAD_INSERT, VK_INSERT}, {WXK_DELETE, WXK_NUMPAD_DELETE, VK_DELETE}};
    for (const auto& [navigation, keypad, code] : twins) {
        const CVirtualKey vk{static_cast<std::uint16_t>(code), true};
        EXPECT_EQ(CVirtualKeyNames::FromWxKey(navigation), vk) << code;
        EXPECT_EQ(CVirtualKeyNames::FromWxKey(keypad), (CVirtualKey{vk.m_wVK, false})) << code;
    }
    // A PC keyboard reports its keypad Enter as an extended Enter.
    EXPECT_EQ(CVirtualKeyNames::FromWxKey(WXK_RETURN), (CVirtualKey{VK_RETURN, false}));
    EXPECT_EQ(CVirtualKeyNames::FromWxKey(WXK_NUMPAD_ENTER), (CVirtualKey{VK_RETURN, true}));
    EXPECT_EQ(CVirtualKeyNames::FromWxKey(WXK_NUMPAD_BEGIN), (CVirtualKey{VK_CLEAR, false}));
    EXPECT_EQ(CVirtualKeyNames::FromWxKey('k'), CVirtualKeyNames::FromWxKey('K'));
}

TEST(VirtualKeyNames, PairsReadAsTheFieldShowsThem) {
    EXPECT_EQ(CVirtualKeyNames::Describe(0, 0), "None");
    EXPECT_EQ(CVirtualKeyNames::Describe(0, HOTKEYF_CONTROL), "None");
    EXPECT_EQ(CVirtualKeyNames::Describe('K', HOTKEYF_CONTROL | HOTKEYF_ALT), "Ctrl + Alt + K");
    EXPECT_EQ(CVirtualKeyNames::Describe('K', HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_CONTROL),
              "Ctrl + Shift + Alt + K");
    EXPECT_EQ(CVirtualKeyNames::Describe(VK_F24, HOTKEYF_ALT), "Alt + F24");
    // The extended flag names the key; it is no modifier.
    EXPECT_EQ(CVirtualKeyNames::Describe(VK_PRIOR, HOTKEYF_CONTROL | HOTKEYF_EXT),
              "Ctrl + Page Up");
    EXPECT_EQ(CVirtualKeyNames::Describe(VK_PRIOR, HOTKEYF_CONTROL), "Ctrl + Num 9");
    EXPECT_EQ(CVirtualKeyNames::Describe(VK_RETURN, HOTKEYF_EXT | HOTKEYF_SHIFT),
              "Shift + Num Enter");
    EXPECT_EQ(CVirtualKeyNames::Describe(VK_OEM_7, HOTKEYF_CONTROL), "Ctrl + '");
    // A code with no name of ours still shows, apart from the others.
    EXPECT_EQ(CVirtualKeyNames::Describe(0x92, 0), "Key 0x92");
    EXPECT_EQ(CVirtualKeyNames::ModifierPrefix(HOTKEYF_SHIFT | HOTKEYF_EXT), "Shift + ");
}

TEST(VirtualKeyNames, EveryKeyTheFieldTakesHasItsOwnName) {
    // Two keys with one text would leave the user unable to tell which is stored.
    std::vector<int> keys(std::begin(kNavigation), std::end(kNavigation));
    for (char c : std::string(";=,-./`[\\]'0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
        keys.push_back(c);
    for (int k = WXK_F1; k <= WXK_F24; ++k)
        keys.push_back(k);
    for (int k = WXK_NUMPAD0; k <= WXK_NUMPAD_DIVIDE; ++k)
        keys.push_back(k);
    std::map<std::string, CVirtualKey> seen;
    for (int k : keys) {
        const auto key = CVirtualKeyNames::FromWxKey(k);
        if (!key)
            continue; // keypad keys without a code of their own, such as its F1
        const std::string name = CVirtualKeyNames::KeyName(key->m_wVK, key->m_bExtended);
        EXPECT_NE(name.rfind("Key 0x", 0), 0u) << k << " has no name";
        const auto [it, fresh] = seen.emplace(name, *key);
        // A keypad key with Num Lock off is the same key as with it on.
        const bool sameKey = name.rfind("Num ", 0) == 0 && !key->m_bExtended;
        EXPECT_TRUE(fresh || it->second == *key || sameKey) << name << " names two keys";
    }
    EXPECT_GE(seen.size(), 100u);
    for (int k : {WXK_SHIFT, WXK_CONTROL, WXK_ALT, WXK_WINDOWS_LEFT})
        EXPECT_FALSE(CVirtualKeyNames::FromWxKey(k).has_value()) << "modifier " << k;
}
