#include "document/TessaryDoc.h"

#include "app/FilePrompt.h"
#include "app/MessageBox.h"
#include "app/NativePath.h"
#include "app/StatusText.h"
#include "dialogs/DlgOpenUrl.h"
#include "dialogs/DlgOptions.h"
#include "dialogs/DlgTipOfTheDay.h"
#include "library/UrlFetcher.h"
#include "library/UrlPollRequest.h"
#include "menu/PasteEngine.h"
#include "platform/GlobalHotKey.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"

#ifdef _WIN32
#include "library/WindowsText.h"

#include <io.h>
#endif

#include <wx/app.h>
#include <wx/config.h>
#include <wx/filename.h>
#include <wx/fswatcher.h>
#include <wx/utils.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

wxIMPLEMENT_DYNAMIC_CLASS(CTessaryDoc, wxDocument);

namespace {
wxString FileNameOf(const wxString& path) {
    return wxFileName(path).GetFullName();
}
// Windows reads a narrow name in the ANSI code page, which loses names
// outside it: the program's UTF-8 names go to the wide calls there.
bool IsRegularFile(const std::string& path) {
#ifdef _WIN32
    struct _stat64 st {};
    return ::_wstat64(windows_text::Wide(path).c_str(), &st) == 0 &&
           (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}
bool MayAccess(const std::string& path, int mode) {
#ifdef _WIN32
    return ::_waccess(windows_text::Wide(path).c_str(), mode) == 0;
#else
    return ::access(path.c_str(), mode) == 0;
#endif
}
} // namespace

CTessaryDoc::CTessaryDoc() {
    Bind(wxEVT_MENU, &CTessaryDoc::OnOpenUrl, this, ids::ID_OPEN_URL);
    Bind(wxEVT_MENU, &CTessaryDoc::OnReload, this, ids::ID_RELOAD);
    Bind(wxEVT_MENU, &CTessaryDoc::OnOptions, this, ids::ID_OPTIONS);
    Bind(wxEVT_MENU, &CTessaryDoc::OnTipOfTheDay, this, ids::ID_TIP_OF_THE_DAY);
    InitFollowing();
}

CTessaryDoc::~CTessaryDoc() {
    // Before anything it could report to is gone.
    m_pPoll.reset();
}

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
    FollowSource();
    return true;
}

bool CTessaryDoc::OnOpenDocument(const wxString& path) {
    // Started with a file named: the settings must still be read before they
    // are used or written back at close.
    if (!m_bSettingsLoaded)
        LoadSettings();
    const std::string file = native_path::FromWx(path);
    if (CUrlFetcher::IsUrl(file)) {
        if (!m_library.HasEngine() && !m_library.CreateEngine()) {
            CMessageBox::Show(msg::kNoParser);
            return false;
        }
        return OpenUrl(file);
    }
    if (!MayAccess(file, R_OK) || !IsRegularFile(file)) {
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
    SetTitle(FileNameOf(path));
    Modify(false);
    SetDocumentSaved(true);
    FollowSource();
    return true;
}

int CTessaryDoc::LoadXmlFile(const std::string& source) {
    wxBusyCursor wait;
    SXmlLoadResult detail;
    CSnippetLibrary::ELoadOutcome outcome = CSnippetLibrary::ELoadOutcome::NoEngine;
    if (!m_library.HasEngine()) {
    } else if (CUrlFetcher::IsUrl(source)) {
        // Fetched here for the validators that make the later asks cheap.
        const SFetchResult fetched = CUrlFetcher::Fetch(source);
        detail = {fetched.status, source + ": " + fetched.detail};
        outcome = fetched.status != EXmlLoadStatus::Ok
                      ? CSnippetLibrary::ELoadOutcome::Invalid
                      : m_library.LoadBytes(fetched.body, source, &detail);
        if (outcome == CSnippetLibrary::ELoadOutcome::Ok) {
            m_strStampSource = source;
            m_stamp = source_stamp::OfBytes(fetched.body);
            m_strEtag = fetched.etag;
            m_strLastModified = fetched.lastModified;
        }
    } else {
        outcome = m_library.Load(source, &detail);
        if (outcome == CSnippetLibrary::ELoadOutcome::Ok) {
            m_strStampSource = source;
            m_stamp = source_stamp::OfFile(source);
        }
    }
    switch (outcome) {
    case CSnippetLibrary::ELoadOutcome::Ok:
        // Told once the views are rebuilt, which clears the status bar.
        if (detail.replacedBytes > 0 && wxTheApp)
            wxTheApp->CallAfter([] { CStatusText::Set(msg::kBytesReplaced); });
#if defined(__GLIBC__)
        // The file's bytes, the engine's copy of them and the old library are
        // freed by then, but the allocator keeps part of such memory for the
        // process (a few megabytes with a large library).
        if (wxTheApp)
            wxTheApp->CallAfter([] { malloc_trim(0); });
#endif
        return 1;
    case CSnippetLibrary::ELoadOutcome::Invalid:
        CMessageBox::Show(msg::kLoadInvalid);
        return 0;
    case CSnippetLibrary::ELoadOutcome::WrongRoot:
        CMessageBox::Show(msg::kInvalidFile);
        return 0;
    case CSnippetLibrary::ELoadOutcome::NoEngine:
    case CSnippetLibrary::ELoadOutcome::EngineFailure:
        CMessageBox::Show(msg::kOoops);
        return 0;
    }
    return 0;
}

std::string CTessaryDoc::PathName() const {
    return native_path::FromWx(GetFilename());
}

void CTessaryDoc::SetPathName(const std::string& path) {
    SetFilename(native_path::ToWx(path), false);
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
    case EAnswer::Yes:
        return Save();
    case EAnswer::No:
        Modify(false);
        m_bChangesDiscarded = true;
        return true;
    default:
        return false;
    }
}

bool CTessaryDoc::CanWriteInPlace(const std::string& path) const {
    // A URL, a missing file or a read-only one: ask for a name as Save As does.
    return !path.empty() && IsRegularFile(path) && MayAccess(path, W_OK);
}

bool CTessaryDoc::Save() {
    const std::string path = PathName();
    // A followed file removed elsewhere is written again where it was.
    const bool removed = m_bFileRemoved && path == m_strWatchedFile;
    if (!CanWriteInPlace(path) && !removed)
        return SaveAs();
    return OnSaveDocument(GetFilename());
}

bool CTessaryDoc::SaveAs() {
    SFilePromptRequest request;
    request.title = msg::kSaveAsTitle;
    request.wildcard = file_filters::kXmlDocument;
    request.defaultExtension = "xml";
    request.save = true;
    if (IsRegularFile(PathName())) {
        request.directory = wxPathOnly(GetFilename()).utf8_string();
        request.defaultName = FileNameOf(GetFilename()).utf8_string();
    } else {
        // "Untitled.xml": the name suggested is the name that is written.
        wxFileName suggested(GetTitle());
        if (!suggested.HasExt())
            suggested.SetExt(request.defaultExtension);
        request.defaultName = suggested.GetFullName().utf8_string();
    }
    const auto chosen = CFilePrompt::Ask(request);
    if (!chosen)
        return false;
    const std::string& path = *chosen;
    return OnSaveDocument(wxString::FromUTF8(path));
}

bool CTessaryDoc::OnSaveDocument(const wxString& path) {
    // The file always carries ids 0 to n-1 in document order.
    RebuildViews();
    const SAtomicWriteResult result = m_library.SaveTo(native_path::FromWx(path));
    if (!result.ok) {
        // The old file is untouched and the changes stay marked unsaved.
        CMessageBox::Show(std::string(msg::kFailedToSave) + "\n" + result.error);
        return false;
    }
    Modify(false);
    SetDocumentSaved(true);
    // Our own write is the new state of the file, never an outside change.
    m_strStampSource = native_path::FromWx(path);
    m_stamp = source_stamp::OfFile(m_strStampSource);
    // Title and recent files follow the file written, also when it was the
    // start file or a Save As.
    SetTitle(FileNameOf(path));
    SetFilename(path, true);
    if (GetDocumentManager())
        GetDocumentManager()->AddFileToHistory(path);
    FollowSource();
    return true;
}

void CTessaryDoc::Reload() {
    const std::string path = PathName();
    if (path.empty())
        return;
    if (LoadXmlFile(path))
        FollowSource();
    RebuildViews();
}

bool CTessaryDoc::OpenUrl(const std::string& url) {
    CStatusText::Set(CStringTable::Load(strid::IDS_LOADING_DOCUMENT));
    if (!LoadXmlFile(url))
        return false;
    TakeUrlAsName(url);
    FollowSource();
    RebuildViews();
    return true;
}

void CTessaryDoc::TakeUrlAsName(const std::string& url) {
    // The library shown is the server's copy: nothing to save yet, and Save
    // goes to Save As since no file is named.
    Modify(false);
    SetDocumentSaved(false);
    SetTitle(wxString::FromUTF8(CUrlFetcher::DisplayName(url)));
    SetFilename(native_path::ToWx(url), true);
    if (GetDocumentManager())
        GetDocumentManager()->AddFileToHistory(native_path::ToWx(url));
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
        FollowSource();
        RebuildViews();
    } else {
        CStatusText::Set("");
    }
}

void CTessaryDoc::LoadSettings() {
    if (wxConfigBase* config = wxConfigBase::Get())
        m_settings = CSettingsStore::Load(*config);
    m_bSettingsLoaded = true;
    ApplyPasteSettings();
}

void CTessaryDoc::SaveSettings() {
    if (wxConfigBase* config = wxConfigBase::Get())
        CSettingsStore::Save(*config, m_settings);
}

void CTessaryDoc::OnOpenUrl(wxCommandEvent&) {
    std::string url;
    if (!CDlgOpenUrl::Run(GetDocumentWindow(), url))
        return;
    // The library from the web takes the place of the one shown: its unsaved
    // changes get the save question first, and stay if the load fails.
    const bool modified = IsModified();
    if (modified && !OnSaveModified())
        return;
    if (!OpenUrl(url) && modified && m_bChangesDiscarded) {
        m_bChangesDiscarded = false;
        Modify(true);
    }
}

void CTessaryDoc::OnReload(wxCommandEvent&) {
    Reload();
}

void CTessaryDoc::OnOptions(wxCommandEvent&) {
    if (RunOptionsDialog(wxTheApp->GetTopWindow(), *this))
        FollowSource(); // the interval of the asks may have changed
}

void CTessaryDoc::OnTipOfTheDay(wxCommandEvent&) {
    RunTipOfTheDay(wxTheApp->GetTopWindow(), m_settings);
}
