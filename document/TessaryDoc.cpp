#include "document/TessaryDoc.h"

#include "app/FilePrompt.h"
#include "app/MessageBox.h"
#include "app/StatusText.h"
#include "dialogs/DlgOpenUrl.h"
#include "dialogs/DlgOptions.h"
#include "dialogs/DlgTipOfTheDay.h"
#include "menu/PasteEngine.h"
#include "platform/GlobalHotKey.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <unistd.h>

wxIMPLEMENT_DYNAMIC_CLASS(CTessaryDoc, wxDocument);

wxBEGIN_EVENT_TABLE(CTessaryDoc, wxDocument) EVT_MENU(ids::ID_OPEN_URL, CTessaryDoc::OnOpenUrl)
    EVT_MENU(ids::ID_RELOAD, CTessaryDoc::OnReload)
        EVT_MENU(ids::ID_OPTIONS, CTessaryDoc::OnOptions)
            EVT_MENU(ids::ID_TIP_OF_THE_DAY, CTessaryDoc::OnTipOfTheDay) wxEND_EVENT_TABLE()

                namespace {
    std::string FileNameOf(const std::string& path) {
        return wxFileName(wxString::FromUTF8(path)).GetFullName().utf8_string();
    }
} // namespace

CTessaryDoc::CTessaryDoc() = default;

CTessaryDoc::~CTessaryDoc() = default;

bool CTessaryDoc::OnNewDocument() {
    Modify(false);
    SetDocumentSaved(false);
    SetTitle(msg::kUntitled);
    SetFilename(wxString(), true);

    // Without an engine there is nothing to build on; say so once and stop
    // there rather than cycling through New again.
    if (!m_library.CreateEngine() && !m_bEngineFailureShown) {
        m_bEngineFailureShown = true;
        CMessageBox::Show(msg::kNoParser);
    }
    LoadSettings();
    return true;
}

bool CTessaryDoc::OnOpenDocument(const wxString& path) {
    // Started with a file named: the settings must still be read before they
    // are used or written back at close.
    if (!m_bSettingsLoaded)
        LoadSettings();
    const std::string file = path.utf8_string();
    if (::access(file.c_str(), R_OK) != 0 || wxDirExists(path)) {
        CMessageBox::Show(msg::kFailedToOpen);
        return false;
    }
    if (!m_library.HasEngine() && !m_library.CreateEngine()) {
        CMessageBox::Show(msg::kNoParser);
        return false;
    }
    CStatusText::Set(CStringTable::Load(strid::IDS_LOADING_DOCUMENT));
    if (!LoadXmlFile(file)) {
        CStatusText::Set("");
        return false;
    }
    SetFilename(path, false);
    SetTitle(wxString::FromUTF8(FileNameOf(file)));
    Modify(false);
    SetDocumentSaved(true);
    return true;
}

int CTessaryDoc::LoadXmlFile(const std::string& source) {
    wxBusyCursor wait;
    XmlLoadResult detail;
    switch (m_library.Load(source, &detail)) {
    case CSnippetLibrary::LoadOutcome::Ok:
        // Told once the views are rebuilt, which clears the status bar.
        if (detail.replacedBytes > 0 && wxTheApp)
            wxTheApp->CallAfter([] { CStatusText::Set(msg::kBytesReplaced); });
        return 1;
    case CSnippetLibrary::LoadOutcome::Invalid:
        CMessageBox::Show(msg::kLoadInvalid);
        return 0;
    case CSnippetLibrary::LoadOutcome::WrongRoot:
        CMessageBox::Show(msg::kInvalidFile);
        return 0;
    case CSnippetLibrary::LoadOutcome::NoEngine:
    case CSnippetLibrary::LoadOutcome::EngineFailure:
        CMessageBox::Show(msg::kOoops);
        return 0;
    }
    return 0;
}

void CTessaryDoc::SetPathName(const std::string& path) {
    SetFilename(wxString::FromUTF8(path), false);
}

void CTessaryDoc::RebuildViews() {
    if (GetFirstView()) {
        UpdateAllViews();
        return;
    }
    try {
        m_library.EnsureRoot();
        m_library.NumberItems();
    } catch (const CXmlError&) {
    }
}

bool CTessaryDoc::OnSaveModified() {
    m_bChangesDiscarded = false;
    if (!IsModified())
        return true;
    const wxString question =
        wxString::Format(wxString::FromUTF8(msg::kSaveChanges), GetUserReadableName());
    switch (CMessageBox::AskYesNoCancel(question.utf8_string())) {
    case Answer::Yes:
        return Save();
    case Answer::No:
        Modify(false);
        m_bChangesDiscarded = true;
        return true;
    default:
        return false;
    }
}

bool CTessaryDoc::CanWriteInPlace(const std::string& path) const {
    // A URL, a missing file or a read-only one: ask for a name as Save As does.
    return !path.empty() && wxFileExists(wxString::FromUTF8(path)) &&
           ::access(path.c_str(), W_OK) == 0;
}

bool CTessaryDoc::Save() {
    const std::string path = PathName();
    if (!CanWriteInPlace(path))
        return SaveAs();
    return OnSaveDocument(wxString::FromUTF8(path));
}

bool CTessaryDoc::SaveAs() {
    FilePromptRequest request;
    request.title = "Save As";
    request.wildcard = "XML (*.xml)|*.xml";
    request.save = true;
    const std::string current = PathName();
    if (!current.empty() && wxFileExists(wxString::FromUTF8(current))) {
        request.directory = wxPathOnly(wxString::FromUTF8(current)).utf8_string();
        request.defaultName = FileNameOf(current);
    } else {
        request.defaultName = GetTitle().utf8_string();
    }
    auto chosen = CFilePrompt::Ask(request);
    if (!chosen)
        return false;
    std::string path = *chosen;
    if (wxFileName(wxString::FromUTF8(path)).GetExt().empty())
        path += ".xml";
    if (!OnSaveDocument(wxString::FromUTF8(path)))
        return false;
    SetTitle(wxString::FromUTF8(FileNameOf(path)));
    SetFilename(wxString::FromUTF8(path), true);
    if (GetDocumentManager())
        GetDocumentManager()->AddFileToHistory(wxString::FromUTF8(path));
    return true;
}

bool CTessaryDoc::OnSaveDocument(const wxString& path) {
    // The file always carries ids 0 to n-1 in document order.
    RebuildViews();
    const AtomicWriteResult result = m_library.SaveTo(path.utf8_string());
    if (!result.ok) {
        // The old file is untouched and the changes stay marked unsaved.
        CMessageBox::Show("Failed to save document.\n" + result.error);
        return false;
    }
    Modify(false);
    SetFilename(path, false);
    SetDocumentSaved(true);
    return true;
}

void CTessaryDoc::Reload() {
    const std::string path = PathName();
    if (path.empty())
        return;
    LoadXmlFile(path);
    RebuildViews();
}

bool CTessaryDoc::OpenUrl(const std::string& url) {
    CStatusText::Set(CStringTable::Load(strid::IDS_LOADING_DOCUMENT));
    if (!LoadXmlFile(url))
        return false;
    SetPathName(url);
    RebuildViews();
    return true;
}

void CTessaryDoc::LoadStartFile() {
    if (m_bStartFilePending != 1)
        return;
    m_bStartFilePending = 0;
    if (m_settings.m_strStartFile.empty())
        return;
    CStatusText::Set(CStringTable::Load(strid::IDS_LOADING_DOCUMENT));
    if (LoadXmlFile(m_settings.m_strStartFile)) {
        SetPathName(m_settings.m_strStartFile);
        RebuildViews();
    } else {
        CStatusText::Set("");
    }
}

void CTessaryDoc::LoadSettings() {
    if (wxConfigBase* config = wxConfigBase::Get())
        m_settings = CSettingsStore::Load(*config);
    m_bSettingsLoaded = true;
}

void CTessaryDoc::SaveSettings() {
    if (wxConfigBase* config = wxConfigBase::Get())
        CSettingsStore::Save(*config, m_settings);
}

void CTessaryDoc::OnOpenUrl(wxCommandEvent&) {
    std::string url;
    if (CDlgOpenUrl::Run(GetDocumentWindow(), url))
        OpenUrl(url);
}

void CTessaryDoc::OnReload(wxCommandEvent&) {
    Reload();
}

void CTessaryDoc::OnOptions(wxCommandEvent&) {
    RunOptionsDialog(wxTheApp->GetTopWindow(), *this);
}

void CTessaryDoc::OnTipOfTheDay(wxCommandEvent&) {
    RunTipOfTheDay(wxTheApp->GetTopWindow(), m_settings);
}
