#pragma once
// Between the keys wxWidgets reports, the Windows virtual-key codes the
// settings keep for the hot key, and the names the hot-key field shows.
// Window-free, so the tables are tested on their own.

#include <cstdint>
#include <optional>
#include <string>

struct SVirtualKey {
    std::uint16_t m_wVK = 0;
    bool m_bExtended = false; // HOTKEYF_EXT: the navigation key, not its keypad twin

    bool operator==(const SVirtualKey&) const = default;
};

class CVirtualKeyNames {
public:
    // The virtual key behind a key-down code (WXK_*, or a letter, digit or
    // punctuation character as the unshifted key gives it). Nothing for
    // modifiers and for keys that have no virtual-key code.
    static std::optional<SVirtualKey> FromWxKey(int wxKey);
    // Shift, Ctrl, Alt and the Super keys: held with a key, never one alone.
    static bool IsModifier(int wxKey);
    // The HOTKEYF flag a modifier key stands for, 0 for any other key.
    static std::uint16_t ModifierFlag(int wxKey);

    // "K", "F5", "Page Up", "Num 9", ";"; "Key 0x92" when the code has no name.
    static std::string KeyName(std::uint16_t vk, bool extended);
    // "Ctrl + Shift + Alt + " for the modifier flags that are set.
    static std::string ModifierPrefix(std::uint16_t flags);
    // The whole combination, "Ctrl + Alt + K"; "None" when vk is 0.
    static std::string Describe(std::uint16_t vk, std::uint16_t flags);

    // A key that types text (letter, digit, space, punctuation, keypad digit
    // or operator) without Ctrl or Alt: as a global hot key it would be taken
    // from every program. Function and navigation keys alone are not.
    static bool TakesTypingKey(std::uint16_t vk, std::uint16_t flags);
};
