#include "dialogs/DlgOptions.h"

#include "app/Autostart.h"
#include "app/FilePrompt.h"
#include "app/MessageBox.h"
#include "app/Settings.h"
#include "dialogs/DlgPasteKeys.h"
#include "dialogs/HotKeyCtrl.h"
#include "document/TessaryDoc.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/spinctrl.h>
#include <wx/stdpaths.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <cctype>
#include <optional>

using namespace options_ids;

namespace {

void RegisterResources() {
    static bool done = false;
    if (done)
        return;
    done = true;
    const std::pair<const char*, int> names[] = {
        {"IDD_OPTIONS", ids::IDD_OPTIONS},
        {"IDC_SOUND_HOOK", IDC_SOUND_HOOK},
        {"IDC_START_FOLDER", IDC_START_FOLDER},
        {"IDC_HOTKEY", IDC_HOTKEY},
        {"IDC_BROWSE_START_FILE", IDC_BROWSE_START_FILE},
        {"IDC_BROWSE_ACTIVATE", IDC_BROWSE_ACTIVATE},
        {"IDC_BROWSE_DEACTIVATE", IDC_BROWSE_DEACTIVATE},
        {"IDC_START_FILE", IDC_START_FILE},
        {"IDC_ACTIVATE_WAV", IDC_ACTIVATE_WAV},
        {"IDC_DEACTIVATE_WAV", IDC_DEACTIVATE_WAV},
        {"IDC_RESTORE_CLIPBOARD", IDC_RESTORE_CLIPBOARD},
        {"IDC_PASTE_KEYS", IDC_PASTE_KEYS},
        {"IDC_URL_POLL_MINUTES", IDC_URL_POLL_MINUTES},
        {"IDC_KEEP_IN_TRAY", IDC_KEEP_IN_TRAY},
        {"IDC_START_AT_LOGIN", IDC_START_AT_LOGIN},
    };
    for (const auto& [name, id] : names)
        wxXmlResource::GetXRCID(name, id);
    CHotKeyCtrl::RegisterXmlHandler();
}

template <class T> T* Control(wxWindow* dialog, int id) {
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

std::string Text(const wxTextCtrl* edit) {
    return edit ? edit->GetValue().utf8_string() : std::string();
}

void SetText(wxTextCtrl* edit, const std::string& text) {
    if (edit)
        edit->ChangeValue(wxString::FromUTF8(text));
}

// The open dialog of the three Browse buttons. GTK's filters match case, so
// the upper-case spelling is listed too: sound files often carry it.
std::optional<std::string> AskFile(const char* title, const char* extension) {
    SFilePromptRequest request;
    request.title = title;
    const std::string ext = extension;
    std::string upper = ext;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    request.wildcard = "(*." + ext + ")|*." + ext + ";*." + upper;
    return CFilePrompt::Ask(request);
}

} // namespace

CDlgOptions::CDlgOptions(wxWindow* parent) {
    RegisterResources();
    resources::Initialize();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_OPTIONS");
    m_pHotKey = Control<CHotKeyCtrl>(this, IDC_HOTKEY);
    m_pSound = Control<wxCheckBox>(this, IDC_SOUND_HOOK);
    m_pEditStartFile = Control<wxTextCtrl>(this, IDC_START_FILE);
    m_pEditStartFolder = Control<wxTextCtrl>(this, IDC_START_FOLDER);
    m_pEditActivateWav = Control<wxTextCtrl>(this, IDC_ACTIVATE_WAV);
    m_pEditDeactivateWav = Control<wxTextCtrl>(this, IDC_DEACTIVATE_WAV);
    m_pBrowseActivate = Control<wxButton>(this, IDC_BROWSE_ACTIVATE);
    m_pBrowseDeactivate = Control<wxButton>(this, IDC_BROWSE_DEACTIVATE);
    m_pRestoreClipboard = Control<wxCheckBox>(this, IDC_RESTORE_CLIPBOARD);
    m_pUrlPollMinutes = Control<wxSpinCtrl>(this, IDC_URL_POLL_MINUTES);
    m_pKeepInTray = Control<wxCheckBox>(this, IDC_KEEP_IN_TRAY);
    m_pStartAtLogin = Control<wxCheckBox>(this, IDC_START_AT_LOGIN);

    Bind(wxEVT_INIT_DIALOG, &CDlgOptions::OnInitDialog, this);
    Bind(wxEVT_BUTTON, &CDlgOptions::OnOK, this, wxID_OK);
    Bind(wxEVT_CHECKBOX, &CDlgOptions::OnSoundClicked, this, IDC_SOUND_HOOK);
    Bind(wxEVT_BUTTON, &CDlgOptions::OnBrowseStartFile, this, IDC_BROWSE_START_FILE);
    Bind(wxEVT_BUTTON, &CDlgOptions::OnBrowseActivate, this, IDC_BROWSE_ACTIVATE);
    Bind(wxEVT_BUTTON, &CDlgOptions::OnBrowseDeactivate, this, IDC_BROWSE_DEACTIVATE);
    Bind(wxEVT_BUTTON, &CDlgOptions::OnPasteKeys, this, IDC_PASTE_KEYS);

    SetClientSize(ConvertDialogToPixels(wxSize(212, 442)));
    CentreOnParent();
}

void CDlgOptions::LoadFrom(const SSettings& s) {
    m_bSoundHook = s.m_bSoundHook;
    m_strActivateWav = s.m_strActivateWav;
    m_strDeactivateWav = s.m_strDeactivateWav;
    m_wHotKeyVK = s.m_wHotKeyVK;
    m_wHotKeyModifiers = s.m_wHotKeyModifiers;
    m_strStartFile = s.m_strStartFile;
    m_strStartFolder = s.m_strStartFolder;
    m_bRestoreClipboard = s.m_bRestoreClipboard;
    m_pasteRules = s.m_pasteRules;
    m_bPasteKeysUnread = s.m_bPasteKeysUnread;
    m_nUrlPollMinutes = s.m_nUrlPollMinutes;
    m_bKeepInTray = s.m_bKeepInTray;
    m_bStartAtLogin = autostart::IsOn();
}

void CDlgOptions::StoreInto(SSettings& s) const {
    s.m_wHotKeyModifiers = m_wHotKeyModifiers;
    s.m_wHotKeyVK = m_wHotKeyVK;
    s.m_bSoundHook = m_bSoundHook;
    s.m_strActivateWav = m_strActivateWav;
    s.m_strDeactivateWav = m_strDeactivateWav;
    s.m_strStartFile = m_strStartFile;
    s.m_strStartFolder = m_strStartFolder;
    s.m_bRestoreClipboard = m_bRestoreClipboard;
    s.m_pasteRules = m_pasteRules;
    s.m_bPasteKeysUnread = m_bPasteKeysUnread;
    s.m_nUrlPollMinutes = m_nUrlPollMinutes;
    s.m_bKeepInTray = m_bKeepInTray;
}

bool CDlgOptions::TransferDataToWindow() {
    // Ticked only for the value at which the sounds play.
    if (m_pSound)
        m_pSound->SetValue(m_bSoundHook == 1);
    if (m_pRestoreClipboard)
        m_pRestoreClipboard->SetValue(m_bRestoreClipboard);
    SetText(m_pEditStartFolder, m_strStartFolder);
    SetText(m_pEditStartFile, m_strStartFile);
    SetText(m_pEditActivateWav, m_strActivateWav);
    SetText(m_pEditDeactivateWav, m_strDeactivateWav);
    if (m_pUrlPollMinutes)
        m_pUrlPollMinutes->SetValue(m_nUrlPollMinutes);
    if (m_pKeepInTray)
        m_pKeepInTray->SetValue(m_bKeepInTray);
    if (m_pStartAtLogin)
        m_pStartAtLogin->SetValue(m_bStartAtLogin);
    return true;
}

bool CDlgOptions::TransferDataFromWindow() {
    m_bSoundHook = m_pSound && m_pSound->GetValue() ? 1 : 0;
    m_bRestoreClipboard = m_pRestoreClipboard && m_pRestoreClipboard->GetValue();
    m_strStartFolder = Text(m_pEditStartFolder);
    m_strStartFile = Text(m_pEditStartFile);
    if (m_pUrlPollMinutes)
        m_nUrlPollMinutes = m_pUrlPollMinutes->GetValue();
    m_bKeepInTray = m_pKeepInTray && m_pKeepInTray->GetValue();
    return TakeWavPath(m_pEditActivateWav, m_strActivateWav) &&
           TakeWavPath(m_pEditDeactivateWav, m_strDeactivateWav) &&
           ApplyStartAtLogin(m_pStartAtLogin && m_pStartAtLogin->GetValue());
}

bool CDlgOptions::ApplyStartAtLogin(bool wanted) {
    // Compared with the file as it is now: it may have been removed or
    // written by hand while the dialog was open.
    if (wanted == autostart::IsOn()) {
        m_bStartAtLogin = wanted;
        return true;
    }
    const SAtomicWriteResult result =
        wanted ? autostart::TurnOn(wxStandardPaths::Get().GetExecutablePath().utf8_string())
               : autostart::TurnOff();
    if (!result.ok) {
        CMessageBox::Show(
            wxString::Format(wanted ? msg::kAutostartNotWritten : msg::kAutostartNotRemoved,
                             wxString::FromUTF8(autostart::EntryPath()),
                             wxString::FromUTF8(result.error))
                .utf8_string());
        if (m_pStartAtLogin)
            m_pStartAtLogin->SetFocus();
        return false;
    }
    m_bStartAtLogin = wanted;
    return true;
}

bool CDlgOptions::TakeWavPath(wxTextCtrl* edit, std::string& path) {
    if (!edit)
        return true;
    // Counted in characters, not bytes: a path in any script gets the same room.
    if (edit->GetValue().length() > kMaxWavPath) {
        CMessageBox::Show(wxString::Format(msg::kTooLong, int(kMaxWavPath)).utf8_string());
        edit->SetFocus();
        edit->SelectAll();
        return false;
    }
    path = Text(edit);
    return true;
}

void CDlgOptions::OnInitDialog(wxInitDialogEvent&) {
    TransferDataToWindow();
    // The first field, as in every dialog: left to the toolkit, the focus
    // went to a Browse button and a few Tabs reached the hot-key field.
    if (m_pEditStartFile)
        m_pEditStartFile->SetFocus();
    if (m_pHotKey)
        m_pHotKey->SetHotKey(m_wHotKeyVK, m_wHotKeyModifiers);
    UpdateSoundControls();
}

void CDlgOptions::OnOK(wxCommandEvent&) {
    if (m_pHotKey) {
        m_wHotKeyVK = m_pHotKey->GetVirtualKey();
        m_wHotKeyModifiers = m_pHotKey->GetModifiers();
    }
    if (Validate() && TransferDataFromWindow())
        EndDialog(wxID_OK);
}

void CDlgOptions::OnSoundClicked(wxCommandEvent&) {
    UpdateSoundControls();
}

void CDlgOptions::UpdateSoundControls() {
    const bool on = m_pSound && m_pSound->GetValue();
    for (wxWindow* w : std::initializer_list<wxWindow*>{m_pEditActivateWav, m_pEditDeactivateWav,
                                                        m_pBrowseActivate, m_pBrowseDeactivate})
        if (w)
            w->Enable(on);
}

void CDlgOptions::OnBrowseStartFile(wxCommandEvent&) {
    if (const auto path = AskFile(msg::kStartupFileTitle, "xml")) {
        m_strStartFile = *path;
        SetText(m_pEditStartFile, *path);
    }
}

void CDlgOptions::OnBrowseActivate(wxCommandEvent&) {
    if (const auto path = AskFile(msg::kActivateWavTitle, "wav")) {
        m_strActivateWav = *path;
        SetText(m_pEditActivateWav, *path);
    }
}

void CDlgOptions::OnBrowseDeactivate(wxCommandEvent&) {
    if (const auto path = AskFile(msg::kDeactivateWavTitle, "wav")) {
        m_strDeactivateWav = *path;
        SetText(m_pEditDeactivateWav, *path);
    }
}

void CDlgOptions::OnPasteKeys(wxCommandEvent&) {
    // Kept by Cancel in Options too: the dialog's own copy until OK there.
    if (CDlgPasteKeys::Run(this, m_pasteRules))
        m_bPasteKeysUnread = false;
}

bool RunOptionsDialog(wxWindow* parent, SSettings& settings,
                      const std::function<void()>& unsetHotKey,
                      const std::function<void()>& setHotKey) {
    CDlgOptions dialog(parent);
    dialog.LoadFrom(settings);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    // Released before the new values go in, so a key that fails to register
    // leaves none registered.
    unsetHotKey();
    dialog.StoreInto(settings);
    setHotKey();
    return true;
}

bool RunOptionsDialog(wxWindow* parent, CTessaryDoc& doc) {
    if (!RunOptionsDialog(
            parent, doc.Settings(), [&doc] { doc.UnsetHotKey(); }, [&doc] { doc.SetHotKey(); }))
        return false;
    doc.ApplyPasteSettings();
    return true;
}
