#pragma once
// Texts of the snippet menu, the paste engine and activation.

namespace msg {
inline constexpr const char* kInvalidXmlStructure = "Invalid XML structure";
// Followed by the first item's markup.
inline constexpr const char* kMissingCaptions =
    "%lu items without a header were left out of the menu. The first one:\n";
inline constexpr const char* kHotKeyNoMainFrame = "Failed to set hot key as no MainFrame";
inline constexpr const char* kHotKeyNoView = "Failed to set hot key as no View";
inline constexpr const char* kHotKeyFailed = "Failed to set hot key";
inline constexpr const char* kUnsetHotKeyNoMainFrame = "Failed to unset hot key as no MainFrame";
inline constexpr const char* kUnsetHotKeyNoView = "Failed to unset hot key as no View";
inline constexpr const char* kUnsetHotKeyFailed = "Failed to unset hot key";
} // namespace msg
