#pragma once
// Every fixed text the program shows the user: message boxes, status texts
// and prompts. Header-only, so that window-free code can use it too.

namespace msg {

// Program-wide.
inline constexpr const char* kAppTitle = "Tessary";
inline constexpr const char* kLoadInvalid = "Failed to load document because the XML was invalid.";
inline constexpr const char* kOoops = "Ooops";
inline constexpr const char* kNoParser = "Could not start MSXML Parser";
inline constexpr const char* kInvalidFileStatus = "Invalid file";
inline constexpr const char* kInvalidFile = "The current file is not a valid Tessary file";
inline constexpr const char* kIdNotFound = "Error - id not found";
inline constexpr const char* kNoNodeSelected = "Errpr - no node selected to add text to";
inline constexpr const char* kCannotRemoveRoot = "Cannot remove node since it has no parent";
inline constexpr const char* kFailedToOpen = "Failed to open document.";
inline constexpr const char* kSaveChanges = "Save changes to %s?";
inline constexpr const char* kOpenXmlTitle = "Open XML File";
inline constexpr const char* kNewDocumentHeader = "New Document";
inline constexpr const char* kNewItemHeader = "New Item";
inline constexpr const char* kUntitled = "Untitled";
inline constexpr const char* kHotKeyTypingKey =
    "%s cannot be the hot key: it would be taken from typing in every program. "
    "Add Ctrl or Alt, or choose a function key.";
inline constexpr const char* kReplaceExisting = "%s already exists.\nDo you want to replace it?";
inline constexpr const char* kNotARegularFile = "not a regular file";
inline constexpr const char* kOldContentNotRestored =
    "Its old content could not be put back either; check the file.";
inline constexpr const char* kNoLibraryToSave =
    "The XML engine did not start, so there is no library to save.";
inline constexpr const char* kBytesReplaced =
    "Some bytes of the file were not valid UTF-8; they show as \xEF\xBF\xBD and are saved so.";
inline constexpr const char* kSettingsMovedAside =
    "The settings file %s could not be read. It was moved to %s, and the default settings apply.";
inline constexpr const char* kSettingsLeftAlone =
    "The settings file %s could not be read or moved aside. The default settings apply, and the "
    "file is not written over.";

// The snippet menu, the paste engine and activation.
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
// The status bar when a chosen snippet could not be pasted.
inline constexpr const char* kPasteNoFocus = "The snippet is on the clipboard; the window did not "
                                             "take the keyboard, so it was not pasted.";
inline constexpr const char* kPasteTargetGone =
    "The snippet is on the clipboard; the window closed before it could be pasted.";
inline constexpr const char* kPasteKeysFailed =
    "The snippet is on the clipboard; Ctrl+V could not be typed, so it was not pasted.";
// Why the snippet menu could not be switched on, and why --toggle failed.
inline constexpr const char* kHookRefused = "Another program holds the right mouse button, so "
                                            "the snippet menu cannot be activated.";
inline constexpr const char* kHookNoDisplay =
    "The X display cannot be reached, so the snippet menu cannot be activated.";
inline constexpr const char* kHookNoClient =
    "The snippet menu cannot be activated before the main window exists.";
inline constexpr const char* kHookFailed = "The snippet menu cannot be activated.";
inline constexpr const char* kNoDisplay = "The X display cannot be reached.";
inline constexpr const char* kNoRunningProgram = "No running Tessary was found on this display.";

// The editor's handlers.
inline constexpr const char* kEngineFailure =
    "The XML engine reported an error; nothing was changed.";

} // namespace msg
