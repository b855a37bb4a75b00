// The virtual-key table's rules: every code names a real keysym of its own or
// nothing, the extended bit picks between the navigation keys and their keypad
// twins, the code ranges of letters, digits and function keys, and the
// modifier flags as X masks.

#include "platform/VirtualKeys.h"
#include "platform/VirtualKeyCodes.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>

// After GoogleTest: Xlib's macros (None, Bool) clash with its names.
#include <X11/Xlib.h>

namespace {
std::string Name(unsigned code, bool extended) {
    const char* name = XKeysymToString(KeysymForVirtualKey(code, extended));
    return name ? name : "";
}
} // namespace

TEST(VirtualKeys, EveryCodeNamesOneKeyOfItsOwnOrNoneTheExtendedBitPicksTheTwin) {
    std::map<unsigned long, unsigned> keys; // the code of each keysym, extended ones above 0xFF
    int twins = 0;
    for (unsigned code = 0x01; code <= 0x1FE; ++code) {
        const bool extended = code > 0xFF;
        const unsigned long keysym = KeysymForVirtualKey(code & 0xFF, extended);
        // A keysym the X library knows by name, and only by that one.
        EXPECT_EQ(keysym ? XStringToKeysym(Name(code & 0xFF, extended).c_str()) : 0, keysym)
            << code;
        // The bit changes twelve keys: the key with it, KP_ and its name
        // without; Enter is the keypad's with the bit, and Clear's twin the
        // keypad's middle key.
        const std::string without = Name(code & 0xFF, false);
        if (extended && keysym != KeysymForVirtualKey(code & 0xFF, false)) {
            ++twins;
            const std::string pair = Name(code & 0xFF, true) + " " + without;
            EXPECT_TRUE(pair == "KP_Enter Return" || pair == "Clear KP_Begin" ||
                        without == "KP_" + Name(code & 0xFF, true))
                << pair;
        } else if (extended || !keysym) {
            continue;
        }
        // No two codes give one key, but Print and Print Screen are the one
        // key X knows as Print.
        const auto [it, fresh] = keys.emplace(keysym, code);
        EXPECT_TRUE(fresh || (it->second == vk::VK_PRINT && code == vk::VK_SNAPSHOT)) << code;
    }
    EXPECT_EQ(twins, 12);
}

TEST(VirtualKeys, CodeRangesPunctuationAndModifierFlags) {
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(Name(vk::VK_A + i, false), std::string(1, 'a' + i));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Name(vk::VK_0 + i, false) + Name(vk::VK_NUMPAD0 + i, false),
                  std::to_string(i) + "KP_" + std::to_string(i));
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(Name(vk::VK_F1 + i, false), i < 24 ? "F" + std::to_string(i + 1) : "");
    // Keysyms of printable ASCII are the characters themselves: space, then
    // the punctuation keys in code order.
    std::string typed;
    for (unsigned code = 0x01; code <= 0xFF; ++code)
        if (const unsigned long sym = KeysymForVirtualKey(code, false); sym > 0x1F && sym < 0x7F)
            typed += std::isalnum(int(sym)) ? "" : std::string(1, char(sym));
    EXPECT_EQ(typed, " ;=,-./`[\\]'<");
    // Shift, Control and Alt as Shift, Control and Mod1 (1, 4, 8); the
    // extended bit and unknown bits add no modifier.
    std::string masks;
    for (const unsigned flags : {0x01u, 0x02u, 0x04u, 0x08u, 0x0Fu, 0xFFF0u})
        masks += std::to_string(ModifierMaskForHotKeyFlags(flags)) + " ";
    EXPECT_EQ(masks, "1 4 8 0 13 0 ");
}
