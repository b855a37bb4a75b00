// The virtual-key table as a whole: every code either names a real keysym or
// nothing, no two keys collide, the extended bit picks between the navigation
// keys and their keypad twins, and the modifier flags become X masks.

#include "platform/VirtualKeys.h"
#include "platform/VirtualKeyCodes.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

// After GoogleTest: Xlib's macros (None, Bool) clash with its names.
#include <X11/X.h>
#include <X11/Xlib.h>

namespace {

std::string Name(unsigned long keysym) {
    const char* name = XKeysymToString(keysym);
    return name ? name : "";
}

// Codes whose key is the navigation key when extended and a keypad key when not.
const std::map<std::uint16_t, std::pair<std::string, std::string>> kTwins = {
    {vk::VK_RETURN, {"KP_Enter", "Return"}},  {vk::VK_CLEAR, {"Clear", "KP_Begin"}},
    {vk::VK_PRIOR, {"Prior", "KP_Prior"}},    {vk::VK_NEXT, {"Next", "KP_Next"}},
    {vk::VK_END, {"End", "KP_End"}},          {vk::VK_HOME, {"Home", "KP_Home"}},
    {vk::VK_LEFT, {"Left", "KP_Left"}},       {vk::VK_UP, {"Up", "KP_Up"}},
    {vk::VK_RIGHT, {"Right", "KP_Right"}},    {vk::VK_DOWN, {"Down", "KP_Down"}},
    {vk::VK_INSERT, {"Insert", "KP_Insert"}}, {vk::VK_DELETE, {"Delete", "KP_Delete"}},
};

} // namespace

TEST(VirtualKeys, EveryCodeNamesOneKeyOfItsOwnOrNone) {
    std::map<unsigned long, std::uint16_t> plain;
    std::set<unsigned long> extendedOnly;
    for (unsigned code = 0x01; code <= 0xFE; ++code) {
        for (const bool extended : {false, true}) {
            const unsigned long keysym = KeysymForVirtualKey(code, extended);
            if (keysym == 0)
                continue;
            // A keysym the X library knows by name, and only by that one.
            const std::string name = Name(keysym);
            ASSERT_FALSE(name.empty()) << std::hex << code;
            EXPECT_EQ(XStringToKeysym(name.c_str()), keysym) << name;
            if (extended && keysym != KeysymForVirtualKey(code, false))
                extendedOnly.insert(keysym);
        }
        const unsigned long keysym = KeysymForVirtualKey(code, false);
        if (keysym == 0)
            continue;
        const auto [it, fresh] = plain.emplace(keysym, code);
        // Print and Print Screen are the one key X knows as Print.
        if (!fresh) {
            EXPECT_TRUE(it->second == vk::VK_PRINT && code == vk::VK_SNAPSHOT)
                << std::hex << it->second << " and " << code << " give " << Name(keysym);
        }
    }
    // The extended keys are other keys than any plain code's.
    for (const unsigned long keysym : extendedOnly)
        EXPECT_EQ(plain.count(keysym), 0u) << Name(keysym);
    EXPECT_EQ(extendedOnly.size(), kTwins.size());

    // No key: mouse buttons, modifiers on their own, unassigned codes.
    for (const unsigned code : {0x00, 0x01, 0x02, 0x04, 0x05, 0x06, 0x07, 0x10, 0x11, 0x12, 0x88,
                                0x8F, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xFF})
        for (const bool extended : {false, true})
            EXPECT_EQ(KeysymForVirtualKey(code, extended), 0u) << std::hex << code;
}

TEST(VirtualKeys, ExtendedBitChoosesNavigationKeyOverKeypadKey) {
    for (const auto& [code, names] : kTwins) {
        EXPECT_EQ(Name(KeysymForVirtualKey(code, true)), names.first);
        EXPECT_EQ(Name(KeysymForVirtualKey(code, false)), names.second);
    }
    // Elsewhere the bit changes nothing: a stored Ctrl+/ on the keypad comes
    // with it, a letter without.
    for (unsigned code = 0x01; code <= 0xFE; ++code) {
        if (!kTwins.count(code)) {
            EXPECT_EQ(KeysymForVirtualKey(code, true), KeysymForVirtualKey(code, false))
                << std::hex << code;
        }
    }
}

TEST(VirtualKeys, LettersDigitsFunctionKeysKeypadAndUsPunctuation) {
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(Name(KeysymForVirtualKey(vk::VK_A + i, false)), std::string(1, 'a' + i));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(Name(KeysymForVirtualKey(vk::VK_0 + i, false)), std::to_string(i));
        EXPECT_EQ(Name(KeysymForVirtualKey(vk::VK_NUMPAD0 + i, false)), "KP_" + std::to_string(i));
    }
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(Name(KeysymForVirtualKey(vk::VK_F1 + i, false)), "F" + std::to_string(i + 1));
    EXPECT_EQ(KeysymForVirtualKey(vk::VK_F24 + 1, false), 0u);

    // Keysyms of printable ASCII are the characters themselves.
    const std::map<std::uint16_t, char> keys = {
        {vk::VK_SPACE, ' '},     {vk::VK_OEM_1, ';'},     {vk::VK_OEM_PLUS, '='},
        {vk::VK_OEM_COMMA, ','}, {vk::VK_OEM_MINUS, '-'}, {vk::VK_OEM_PERIOD, '.'},
        {vk::VK_OEM_2, '/'},     {vk::VK_OEM_3, '`'},     {vk::VK_OEM_4, '['},
        {vk::VK_OEM_5, '\\'},    {vk::VK_OEM_6, ']'},     {vk::VK_OEM_7, '\''},
        {vk::VK_OEM_102, '<'},
    };
    for (const auto& [code, ch] : keys)
        for (const bool extended : {false, true})
            EXPECT_EQ(KeysymForVirtualKey(code, extended), static_cast<unsigned long>(ch))
                << std::hex << code;
}

TEST(VirtualKeys, HotKeyFlagsBecomeModifierMasks) {
    EXPECT_EQ(ModifierMaskForHotKeyFlags(0), 0u);
    EXPECT_EQ(ModifierMaskForHotKeyFlags(vk::HOTKEYF_SHIFT), unsigned{ShiftMask});
    EXPECT_EQ(ModifierMaskForHotKeyFlags(vk::HOTKEYF_CONTROL), unsigned{ControlMask});
    EXPECT_EQ(ModifierMaskForHotKeyFlags(vk::HOTKEYF_ALT), unsigned{Mod1Mask});
    EXPECT_EQ(ModifierMaskForHotKeyFlags(vk::HOTKEYF_CONTROL | vk::HOTKEYF_ALT),
              unsigned{ControlMask | Mod1Mask});
    // The extended bit and unknown bits add no modifier.
    EXPECT_EQ(ModifierMaskForHotKeyFlags(vk::HOTKEYF_EXT), 0u);
    EXPECT_EQ(ModifierMaskForHotKeyFlags(0x0F), unsigned{ShiftMask | ControlMask | Mod1Mask});
    EXPECT_EQ(ModifierMaskForHotKeyFlags(0xFFF0), 0u);
}
