#pragma once
// Dialog 137, Tools > Options: start-up file and folder, the activation
// sounds, the global hot key and how pastes are made.

#include "menu/PasteRules.h"

#include <wx/dialog.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CHotKeyCtrl;
class CTessaryDoc;
class wxButton;
class wxCheckBox;
class wxSpinCtrl;
class wxTextCtrl;
struct SSettings;

namespace options_ids {
constexpr int IDC_SOUND_HOOK = 1003;
constexpr int IDC_START_FOLDER = 1004;
constexpr int IDC_HOTKEY = 1007;
constexpr int IDC_BROWSE_START_FILE = 1009;
constexpr int IDC_BROWSE_ACTIVATE = 1010;
constexpr int IDC_BROWSE_DEACTIVATE = 1011;
constexpr int IDC_START_FILE = 1012;
constexpr int IDC_ACTIVATE_WAV = 1032;
constexpr int IDC_DEACTIVATE_WAV = 1033;
constexpr int IDC_RESTORE_CLIPBOARD = 1040;
constexpr int IDC_PASTE_KEYS = 1041;
constexpr int IDC_URL_POLL_MINUTES = 1042;
constexpr int IDC_KEEP_IN_TRAY = 1043;
constexpr int IDC_START_AT_LOGIN = 1044;
} // namespace options_ids

class CDlgOptions : public wxDialog {
public:
    // The longest sound path the settings take.
    static constexpr size_t kMaxWavPath = 255;

    explicit CDlgOptions(wxWindow* parent);

    // The settings' values, before the dialog is shown and after OK.
    void LoadFrom(const SSettings& settings);
    // Copies back in the command's order: Modifiers, VKCode, SoundHook, the
    // two sounds, StartFile, the start folder, then the paste settings.
    void StoreInto(SSettings& settings) const;

    bool TransferDataToWindow() override;
    bool TransferDataFromWindow() override;

    std::string m_strStartFile;
    std::uint16_t m_wHotKeyVK = 0;
    std::uint16_t m_wHotKeyModifiers = 0;
    std::int32_t m_bSoundHook = 0;
    std::string m_strStartFolder;
    std::string m_strActivateWav;
    std::string m_strDeactivateWav;
    bool m_bRestoreClipboard = false;
    std::vector<SPasteRule> m_pasteRules;
    bool m_bPasteKeysUnread = false;
    std::int32_t m_nUrlPollMinutes = 5;
    bool m_bKeepInTray = false;
    // Not a stored setting: whether the autostart entry exists, read each
    // time the dialog opens, and written or removed by OK.
    bool m_bStartAtLogin = false;

    CHotKeyCtrl* m_pHotKey = nullptr;
    wxCheckBox* m_pRestoreClipboard = nullptr;
    wxCheckBox* m_pSound = nullptr;
    wxTextCtrl* m_pEditStartFile = nullptr;
    wxTextCtrl* m_pEditStartFolder = nullptr;
    wxTextCtrl* m_pEditActivateWav = nullptr;
    wxTextCtrl* m_pEditDeactivateWav = nullptr;
    wxButton* m_pBrowseActivate = nullptr;
    wxButton* m_pBrowseDeactivate = nullptr;
    wxSpinCtrl* m_pUrlPollMinutes = nullptr;
    wxCheckBox* m_pKeepInTray = nullptr;
    wxCheckBox* m_pStartAtLogin = nullptr;

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnSoundClicked(wxCommandEvent& event);
    void OnBrowseStartFile(wxCommandEvent& event);
    void OnBrowseActivate(wxCommandEvent& event);
    void OnBrowseDeactivate(wxCommandEvent& event);
    void OnPasteKeys(wxCommandEvent& event);
    // The sound fields and their Browse buttons follow the check box.
    void UpdateSoundControls();
    // Takes a sound path from its field; false after the message, with the
    // focus on the field, when the path is too long.
    bool TakeWavPath(wxTextCtrl* edit, std::string& path);
    // Writes or removes the autostart entry when the box was changed; false
    // after the message when that fails.
    bool ApplyStartAtLogin(bool wanted);
};

// The Options command: shows the dialog on the settings; on OK releases the
// hot key, stores the values and registers the key again. Cancel changes
// nothing. True when the dialog ended with OK.
bool RunOptionsDialog(wxWindow* parent, SSettings& settings,
                      const std::function<void()>& unsetHotKey,
                      const std::function<void()>& setHotKey);
// The same on the document's settings and its hot key.
bool RunOptionsDialog(wxWindow* parent, CTessaryDoc& doc);
