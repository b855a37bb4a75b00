// The rules of the hot-key field's key tables: what a pressed key becomes in
// the stored pair, how a stored pair reads, and which keys may not be taken
// from every program.

#include "dialogs/VirtualKeyNames.h"
#include "platform/VirtualKeyCodes.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

#include <map>
#include <numeric>
#include <vector>

using namespace vk;
using Names = CVirtualKeyNames;

TEST(VirtualKeyNames, PressedKeysReadBackAsTheFieldShowsThem) {
    // Navigation keys are extended, their keypad twins not; a PC keyboard
    // reports its keypad Enter as an extended Enter; a letter is one key
    // whatever its case.
    std::string names;
    for (int key :
         std::initializer_list<int>{WXK_PAGEUP, WXK_NUMPAD_PAGEUP, WXK_HOME, WXK_NUMPAD_HOME,
                                    WXK_DELETE, WXK_NUMPAD_DELETE, WXK_RETURN, WXK_NUMPAD_ENTER,
                                    WXK_NUMPAD_BEGIN, 'k', 'K', ';', '\'', WXK_F24}) {
        const std::optional<SVirtualKey> vk = Names::FromWxKey(key);
        names += Names::Describe(vk->m_wVK, vk->m_bExtended ? HOTKEYF_EXT : 0) + "|";
    }
    EXPECT_EQ(names, "Page Up|Num 9|Home|Num 7|Delete|Num Del|Enter|Num Enter|Num 5|K|K|;|'|F24|");
    // Modifiers in a fixed order; the extended flag names the key and is no
    // modifier; a code with no name of ours still shows, apart from the others.
    EXPECT_EQ(Names::Describe(0, HOTKEYF_CONTROL) + "|" +
                  Names::Describe('K', HOTKEYF_ALT | HOTKEYF_SHIFT | HOTKEYF_CONTROL) + "|" +
                  Names::Describe(VK_PRIOR, HOTKEYF_CONTROL | HOTKEYF_EXT) + "|" +
                  Names::Describe(0x92, 0),
              "None|Ctrl + Shift + Alt + K|Ctrl + Page Up|Key 0x92");
}

TEST(VirtualKeyNames, EveryKeyTheFieldTakesHasItsOwnName) {
    // Two keys with one text would leave the user unable to tell which is
    // stored. Every character and every special key code is tried.
    std::vector<int> keys(WXK_SPECIAL20);
    std::iota(keys.begin(), keys.end(), 0);
    std::map<std::string, SVirtualKey> seen;
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
    // Alone, with Shift, with Ctrl, with Alt: 1 where the key types text.
    std::string typing;
    for (int key : std::initializer_list<int>{'A', 'Z', '0', '9', ' ', ';', int('\''), '<',
                                              WXK_NUMPAD5, WXK_NUMPAD_DIVIDE, WXK_F1, WXK_F24,
                                              WXK_PAGEUP, WXK_ESCAPE, WXK_NUMPAD_ENTER}) {
        const std::uint16_t code = Names::FromWxKey(key)->m_wVK;
        for (std::uint16_t modifiers :
             {std::uint16_t(0), HOTKEYF_SHIFT, HOTKEYF_CONTROL, HOTKEYF_ALT})
            typing += Names::TakesTypingKey(code, modifiers) ? "1" : "0";
        typing += " ";
    }
    EXPECT_EQ(typing,
              "1100 1100 1100 1100 1100 1100 1100 1100 1100 1100 0000 0000 0000 0000 0000 ");
    EXPECT_FALSE(Names::TakesTypingKey(0, 0));
}
