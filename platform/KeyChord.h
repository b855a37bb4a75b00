#pragma once
// A key with its modifiers as a person writes it ("Ctrl+Shift+V",
// "Shift+Insert"): the paste key a program takes, stored in the settings and
// typed by the desktop. The key is a key name of the desktop's own (a letter,
// a digit, "Insert", "F5" ...); whether the keyboard has it is the desktop's
// question when it types it.

#include <optional>
#include <string>

struct SKeyChord {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool super = false;
    std::string key;

    // "Ctrl+Shift+V": modifiers in this order, then the key, its first letter
    // upper case.
    std::string Format() const;
    // The written form, modifiers in any order and case ("ctrl+v", "Shift + Insert");
    // nothing for an empty key, an unknown or repeated modifier, or a key
    // name that is not a plain word.
    static std::optional<SKeyChord> Parse(const std::string& text);

    bool operator==(const SKeyChord&) const = default;
};

// The text without the blanks at either end.
std::string TrimBlanks(const std::string& text);
