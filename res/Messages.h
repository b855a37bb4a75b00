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
inline constexpr const char* kCannotFind = "Cannot find \"%s\".";
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

// A library changed, or removed, by another program or on its server.
inline constexpr const char* kChangedElsewhere =
    "The library was changed by another program. Reload it (your changes are lost) or keep "
    "yours (the next save overwrites the other changes)?";
inline constexpr const char* kReloadButton = "Reload";
inline constexpr const char* kKeepMineButton = "Keep Mine";
inline constexpr const char* kReloadedChange =
    "The library was changed by another program and has been reloaded.";
inline constexpr const char* kKeptMine =
    "The library was changed by another program; yours is kept, and the next save overwrites "
    "the other changes.";
inline constexpr const char* kChangeNotLoaded =
    "The library was changed by another program, but the new version is not a Tessary library; "
    "it was not loaded.";
inline constexpr const char* kLibraryRemoved =
    "The library's file was removed by another program; the next save writes it again.";
inline constexpr const char* kServerSilent =
    "The library's server did not answer; the library stays as it is and is asked again later.";

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
#ifdef _WIN32
inline constexpr const char* kNoRunningProgram = "No running Tessary was found in this session.";
#else
inline constexpr const char* kNoRunningProgram = "No running Tessary was found on this display.";
#endif
// --toggle sent to a running program that did not take it in time.
inline constexpr const char* kRunningProgramNoAnswer = "The running Tessary does not answer.";
// A second start whose hand-over the running program did not confirm.
#ifdef _WIN32
inline constexpr const char* kRunningProgramSilent =
    "the Tessary running in this session does not answer; starting another one";
#else
inline constexpr const char* kRunningProgramSilent =
    "the Tessary running on this display does not answer; starting another one";
#endif

// The notification area, start at login and the desktop session.
inline constexpr const char* kTrayMenuOn = "Tessary: the snippet menu is on";
inline constexpr const char* kTrayMenuOff = "Tessary: the snippet menu is off";
// Followed by the file's path and the system's reason.
inline constexpr const char* kAutostartNotWritten =
    "Tessary cannot be set to start when you log in: %s could not be written (%s).";
inline constexpr const char* kAutostartNotRemoved =
    "Tessary is still set to start when you log in: %s could not be removed (%s).";
// Its line breaks are the ones shown.
inline constexpr const char* kWaylandNotice =
    "This is a Wayland session. Here the snippet menu opens only in programs\n"
    "that run through XWayland (older programs and many terminals). In programs\n"
    "that use Wayland directly (most GNOME and KDE applications, recent Firefox)\n"
    "a right-click shows their own menu, as without Tessary.\n\n"
    "For the snippet menu in every program, log out and choose an X11 session:\n"
    "on the login screen, click your name, then the gear button at the bottom,\n"
    "and choose \"GNOME on Xorg\" (on other desktops, the session named X11 or Xorg).";
inline constexpr const char* kDoNotShowAgain = "Do not show this again";

// The editor's handlers.
inline constexpr const char* kEngineFailure =
    "The XML engine reported an error; nothing was changed.";

// Prompts and refusals of the file prompts and dialogs.
inline constexpr const char* kSaveAsTitle = "Save As";
inline constexpr const char* kSaveFavoritesTitle = "Save Favourites File";
inline constexpr const char* kStartupFileTitle = "Startup File";
inline constexpr const char* kActivateWavTitle = "Menu activated .wav file";
inline constexpr const char* kDeactivateWavTitle = "Menu deactivated .wav file";
inline constexpr const char* kTooLong = "Please enter no more than %d characters.";
inline constexpr const char* kFailedToSave = "Failed to save document.";
inline constexpr const char* kCannotWriteFile = "Cannot write the file";
inline constexpr const char* kCannotCreateInFolder = "Cannot create a file in the folder";

// The paste keys of Options.
inline constexpr const char* kPasteKeysProgram = "Program (window class)";
inline constexpr const char* kPasteKeysKey = "Paste key";
inline constexpr const char* kPasteKeysPrimary = "Also fills PRIMARY";
inline constexpr const char* kPasteKeysYes = "Yes";
#ifdef _WIN32
inline constexpr const char* kPasteKeyNoProgram =
    "Enter the program's file name or window class, for example mintty, or *term* for every "
    "name holding \"term\".";
#else
inline constexpr const char* kPasteKeyNoProgram =
    "Enter the program's window class, for example xterm, or *term* for every name holding "
    "\"term\".";
#endif
inline constexpr const char* kPasteKeyBadProgram =
    "The window class cannot hold \"|\" or control characters.";
inline constexpr const char* kPasteKeyNoKey =
    "Enter the key that pastes in this program, for example Ctrl+Shift+V or Shift+Insert.";
// Followed by the key as typed.
inline constexpr const char* kPasteKeyNotAKey =
    "\"%s\" is not a key. Write the modifiers (Ctrl, Shift, Alt, Super) and then the key, joined "
    "by +, for example Ctrl+Shift+V or Shift+Insert.";
#ifdef _WIN32
inline constexpr const char* kPasteKeyUnknownKey =
    "The keyboard has no key named \"%s\". Key names are written like these: V, Insert, F5, "
    "Page_Up.";
#else
inline constexpr const char* kPasteKeyUnknownKey =
    "The keyboard has no key named \"%s\". Key names are written as X names them: V, Insert, "
    "F5, Page_Up.";
#endif

// The Favorites export.
inline constexpr const char* kCannotOpenExport = "Could not open XML file";
inline constexpr const char* kFavoritesNotFound = "Favorites folder not found\n";
inline constexpr const char* kCannotWriteExport = "Could not write XML file";

// Tip of the Day, in order; the line breaks are the only ones shown.
inline constexpr const char* kTip0 =
    "Help can be obtained at any time by pressing F1,\r\nor by selecting Help Topics from "
    "the Help\r\nmenu.";
inline constexpr const char* kTip1 =
    "You can activate and deactivate the Tessary\r\nmenu with one key combination by "
    "setting a hot\r\nkey in the Options screen available from the\r\nTools menu.";
inline constexpr const char* kTip2 =
    "Newly added menu items are only shown in the\r\nTessary menu after you have saved the "
    "file.";
inline constexpr const char* kTip3 =
    "You can restructure a Tessary menu by\r\ndragging and dropping menu items.";
inline constexpr const char* kTip4 =
    "You can set a file to be opened when the\r\napplication is first started by setting "
    "the file\r\nin the Options screen available from the\r\nTools menu.";
inline constexpr const char* kTip5 =
    "You can convert your favorites from Internet\r\nExplorer for use in Tessary by "
    "selecting Export\r\nFavorites to XML available from the Tools\r\nmenu.";
inline constexpr const char* kTip6 =
    "You can reset any changes made to the state of\r\nthe last file save by selecting "
    "Reload\r\navailable from the File menu.";
inline constexpr const char* kTip7 =
    "You can download example Tessary files from\r\nthe web by selecting Example Files on "
    "the\r\nWeb available from the Help menu.";
inline constexpr const char* kTip8 =
    "Place Tessary files on a network drive to allow\r\nall users to use a common Tessary "
    "menu.";

// The command line.
inline constexpr const char* kUsage =
    "Usage: tessary [--tray] [--activate] [--] [FILE]\n"
    "Keep a library of text snippets and paste them into any program\n"
    "from a right-click menu.\n\n"
    "  FILE        snippet library (XML) to open instead of a new one; with\n"
    "              Tessary already running, it is opened there\n"
    "  --tray      start hidden in the notification area (minimised where\n"
    "              the desktop has none)\n"
    "  --activate  start with the snippet menu activated\n"
    "  --toggle    switch the snippet menu of the running Tessary on or off\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "  --          end of the options: a FILE beginning with - follows\n";

} // namespace msg
