#pragma once
// Stored hot keys are Windows virtual-key codes with HOTKEYF flags; the X
// server wants keysyms and modifier masks. Our own table between the two.

#include <cstdint>

// The keysym of the key a Windows keyboard reports as `vk`; `extended` picks
// the navigation key over its keypad twin (Insert, not KP_Insert). 0 when the
// code names no key that can serve as a hot key (mouse buttons, modifiers).
unsigned long KeysymForVirtualKey(std::uint16_t vk, bool extended);

// X modifier mask for HOTKEYF_SHIFT, _CONTROL and _ALT; HOTKEYF_EXT adds none.
unsigned ModifierMaskForHotKeyFlags(std::uint16_t flags);
