#pragma once
// The user's settings, read in one step and written in one step.

#include "menu/PasteRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class wxConfigBase;

struct SSettings {
    // "Options"
    std::uint16_t m_wHotKeyModifiers = 0; // 1 Shift, 2 Ctrl, 4 Alt, 8 extended key
    std::uint16_t m_wHotKeyVK = 0;        // Windows virtual-key code; 0 means no hot key
    std::int32_t m_bSoundHook = 0;        // 1 plays the sounds on (de)activation
    std::string m_strStartFolder;         // where File > Open starts
    std::string m_strStartFile;           // library opened at start-up
    std::string m_strActivateWav;
    std::string m_strDeactivateWav;
    // "Settings"
    std::int32_t m_nShowTips = 1;   // 1 shows the Tip of the Day at start
    std::int32_t m_nCurrentTip = 0; // next tip to show
    // "Options" too: 1 gives the clipboard's earlier contents back after a paste.
    bool m_bRestoreClipboard = false;
    // "PasteKeys": the paste key by window class, the first match winning.
    std::vector<SPasteRule> m_pasteRules = CPasteRules::Defaults();
    // The stored table could not be read: it is left in the file, for the
    // user to mend, until a table is chosen in Options.
    bool m_bPasteKeysUnread = false;
    // "Options", kept last so that the fields above keep their order
    std::int32_t m_nUrlPollMinutes = 5; // how often a library from a URL is asked; 0 never
    bool m_bKeepInTray = false;         // "Options": closing the window leaves Tessary in the tray
    // "Settings": the notice about Wayland sessions is not shown again.
    bool m_bHideWaylandNotice = false;
};

// A window's rectangle in screen pixels, right and bottom excluded, as the
// stored position gives it.
struct CScreenRect {
    int m_nLeft = 0;
    int m_nTop = 0;
    int m_nRight = 0;
    int m_nBottom = 0;
};

// Reads and writes SSettings through a wxConfigBase (the XDG config file in the
// program; a temporary file in tests). A value that is missing or cannot be
// read gives its default; writing failures are silent.
class CSettingsStore {
public:
    static SSettings Load(wxConfigBase& config);
    static void Save(wxConfigBase& config, const SSettings& settings);

    // The main window's rectangle in the stored form "%04d %04d %04d %04d ".
    static std::string FormatPosition(int left, int top, int right, int bottom);
    // Reads the four numbers at offsets 0, 5, 10 and 15 the way atoi does,
    // never beyond the end of a shorter text; false when the text is empty or
    // a number does not fit an int.
    static bool ParsePosition(const std::string& text, int& left, int& top, int& right,
                              int& bottom);
    // The stored rectangle when the window may be put there: a positive size
    // no larger than the screens' bounding box, overlapping the primary
    // screen. Nothing gives the default placement.
    static std::optional<CScreenRect>
    UsablePosition(const std::string& text, const CScreenRect& primary, const CScreenRect& screens);
    static std::string ReadPosition(wxConfigBase& config);
    static void WritePosition(wxConfigBase& config, const std::string& position);
};

namespace settings_location {
// Makes the settings file (CSettingsFile) wxConfigBase's global object.
void InstallGlobalConfig();
// The user's XDG config folder: $XDG_CONFIG_HOME when it is absolute, else
// ~/.config.
std::string ConfigHome();
// Full path of the settings file: vendor "MorvekLtd", application "Tessary",
// in the user's XDG config folder.
std::string FilePath();
// What to tell the user about a settings file that could not be read at
// start, once; empty when there is nothing to tell. The config is installed
// before any window exists, so the application shows it later.
std::string TakeDamageNote();
} // namespace settings_location
