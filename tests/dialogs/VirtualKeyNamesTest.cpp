// The rules of the hot-key field's key tables: what a pressed key becomes in
// the stored pair, how a stored pair reads, and which keys may not be taken
// from every program.

#include "dialogs/VirtualKeyNames.h"
#include "platform/VirtualKeyCodes.h"

#include <gtest/gtest.h>
#include <wx/defs.h>

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
