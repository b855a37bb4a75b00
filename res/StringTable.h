#pragma once
// The program's string table: command prompts in an en-US and an en-GB
// variant, and the status, progress and web-page strings.

#include <string>

enum class StringVariant { EnglishUS, EnglishUK };

namespace strid {
constexpr int IDR_MAINFRAME = 128; // document template string
constexpr int IDS_HOME_PAGE = 129;
constexpr int IDS_CONSTRUCTING_TREE = 131;
constexpr int IDS_EXPORTING_FAVORITES = 132;
constexpr int IDS_FAQ_PAGE = 133;
constexpr int IDS_EXAMPLES_PAGE = 134;
constexpr int IDS_LOADING_DOCUMENT = 61206;
constexpr int IDS_CONSTRUCTING_MENU = 61207;
} // namespace strid

class CStringTable {
public:
    // The variant for the user's language (en-GB for a British English locale).
    static StringVariant SystemVariant();
    static void SetVariant(StringVariant variant);
    static StringVariant Variant();

    // The string with that id in the current variant; empty when missing.
    static std::string Load(int id);
    static std::string Load(int id, StringVariant variant);

    // The two halves of a command prompt "long\nshort". A prompt without "\n"
    // has no short text, so its toolbar button gets no tooltip.
    static std::string LongPrompt(int id);
    static std::string ShortPrompt(int id);
};

// Fixed user-facing texts used by several places.
namespace msg {
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
} // namespace msg
