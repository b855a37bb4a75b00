#pragma once
// Windows virtual-key codes and hot-key flags: the form in which the settings
// keep the hot key, so stored keys of every version stay valid.

#include <cstdint>

namespace vk {

// Flags of the stored hot key ("Modifiers").
constexpr std::uint16_t HOTKEYF_SHIFT = 0x01;
constexpr std::uint16_t HOTKEYF_CONTROL = 0x02;
constexpr std::uint16_t HOTKEYF_ALT = 0x04;
constexpr std::uint16_t HOTKEYF_EXT = 0x08; // the navigation key, not the keypad one

constexpr std::uint16_t VK_CANCEL = 0x03; // Ctrl+Break
constexpr std::uint16_t VK_BACK = 0x08;
constexpr std::uint16_t VK_TAB = 0x09;
constexpr std::uint16_t VK_CLEAR = 0x0C;
constexpr std::uint16_t VK_RETURN = 0x0D;
constexpr std::uint16_t VK_SHIFT = 0x10;
constexpr std::uint16_t VK_CONTROL = 0x11;
constexpr std::uint16_t VK_MENU = 0x12; // Alt
constexpr std::uint16_t VK_PAUSE = 0x13;
constexpr std::uint16_t VK_CAPITAL = 0x14;
constexpr std::uint16_t VK_ESCAPE = 0x1B;
constexpr std::uint16_t VK_SPACE = 0x20;
constexpr std::uint16_t VK_PRIOR = 0x21; // Page Up
constexpr std::uint16_t VK_NEXT = 0x22;  // Page Down
constexpr std::uint16_t VK_END = 0x23;
constexpr std::uint16_t VK_HOME = 0x24;
constexpr std::uint16_t VK_LEFT = 0x25;
constexpr std::uint16_t VK_UP = 0x26;
constexpr std::uint16_t VK_RIGHT = 0x27;
constexpr std::uint16_t VK_DOWN = 0x28;
constexpr std::uint16_t VK_SELECT = 0x29;
constexpr std::uint16_t VK_PRINT = 0x2A;
constexpr std::uint16_t VK_EXECUTE = 0x2B;
constexpr std::uint16_t VK_SNAPSHOT = 0x2C; // Print Screen
constexpr std::uint16_t VK_INSERT = 0x2D;
constexpr std::uint16_t VK_DELETE = 0x2E;
constexpr std::uint16_t VK_HELP = 0x2F;
constexpr std::uint16_t VK_0 = 0x30;
constexpr std::uint16_t VK_9 = 0x39;
constexpr std::uint16_t VK_A = 0x41;
constexpr std::uint16_t VK_Z = 0x5A;
constexpr std::uint16_t VK_LWIN = 0x5B;
constexpr std::uint16_t VK_RWIN = 0x5C;
constexpr std::uint16_t VK_APPS = 0x5D;
constexpr std::uint16_t VK_NUMPAD0 = 0x60;
constexpr std::uint16_t VK_NUMPAD9 = 0x69;
constexpr std::uint16_t VK_MULTIPLY = 0x6A;
constexpr std::uint16_t VK_ADD = 0x6B;
constexpr std::uint16_t VK_SEPARATOR = 0x6C;
constexpr std::uint16_t VK_SUBTRACT = 0x6D;
constexpr std::uint16_t VK_DECIMAL = 0x6E;
constexpr std::uint16_t VK_DIVIDE = 0x6F;
constexpr std::uint16_t VK_F1 = 0x70; // to VK_F24 = 0x87
constexpr std::uint16_t VK_F24 = 0x87;
constexpr std::uint16_t VK_NUMLOCK = 0x90;
constexpr std::uint16_t VK_SCROLL = 0x91;
constexpr std::uint16_t VK_OEM_1 = 0xBA;      // ;:
constexpr std::uint16_t VK_OEM_PLUS = 0xBB;   // =+
constexpr std::uint16_t VK_OEM_COMMA = 0xBC;  // ,<
constexpr std::uint16_t VK_OEM_MINUS = 0xBD;  // -_
constexpr std::uint16_t VK_OEM_PERIOD = 0xBE; // .>
constexpr std::uint16_t VK_OEM_2 = 0xBF;      // /?
constexpr std::uint16_t VK_OEM_3 = 0xC0;      // `~
constexpr std::uint16_t VK_OEM_4 = 0xDB;      // [{
constexpr std::uint16_t VK_OEM_5 = 0xDC;      // \|
constexpr std::uint16_t VK_OEM_6 = 0xDD;      // ]}
constexpr std::uint16_t VK_OEM_7 = 0xDE;      // '"
constexpr std::uint16_t VK_OEM_102 = 0xE2;    // <> of ISO keyboards

} // namespace vk
