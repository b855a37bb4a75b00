// Following the open library's source: the file's folder is watched for
// changes made by other programs, a URL's server is asked now and then with
// a conditional request, and either change is reloaded, or asked about when
// the library has changes of its own.

#include "document/TessaryDoc.h"

#include "app/MessageBox.h"
#include "app/NativePath.h"
#include "app/StatusText.h"
#include "library/LibrarySource.h"
#include "library/UrlFetcher.h"
#include "library/UrlPollRequest.h"
#include "res/Messages.h"
#include "view/TessaryView.h"

#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/fswatcher.h>
#include <wx/log.h>

#include <optional>

namespace {
// Writers save in bursts (truncate, write, write, rename): the file is read
// once they have been quiet this long.
constexpr int kSettleMs = 250;
std::chrono::milliseconds s_pollInterval{0};
} // namespace

void CTessaryDoc::InitFollowing() {
    m_settleTimer.SetOwner(this);
    m_pollTimer.SetOwner(this);
    // Told apart by the timer itself, not by an id: the frame hands the
    // document its own events too, its timers' among them.
    Bind(wxEVT_TIMER, [this](wxTimerEvent& event) {
        if (&event.GetTimer() == &m_settleTimer)
            CheckFile();
        else if (&event.GetTimer() == &m_pollTimer)
            PollUrl();
        else
            event.Skip();
    });
    Bind(wxEVT_FSWATCHER, &CTessaryDoc::OnFileSystemEvent, this);
}

void CTessaryDoc::SetPollInterval(std::chrono::milliseconds interval) {
    s_pollInterval = interval;
}

bool CTessaryDoc::IsWatchingFile() const {
    return m_pWatcher && !m_strWatchedFile.empty() && !m_strWatchedFolder.empty();
}

bool CTessaryDoc::IsPolling() const {
    return m_pPoll && !m_pPoll->Finished();
}

void CTessaryDoc::FollowSource() {
    const std::string path = PathName();
    ++m_nFollowGeneration;
    m_pPoll.reset();
    m_pollTimer.Stop();
    m_settleTimer.Stop();
    m_bFileRemoved = false;
    m_strWatchedFile.clear();
    m_strPolledUrl.clear();
    if (path != m_strStampSource) {
        m_strStampSource.clear();
        m_stamp = {};
        m_strEtag.clear();
        m_strLastModified.clear();
    }
    if (path.empty())
        return;
    if (CUrlFetcher::IsUrl(path)) {
        m_strPolledUrl = path;
        const std::chrono::milliseconds interval =
            s_pollInterval.count() > 0 ? s_pollInterval
                                       : std::chrono::minutes(m_settings.m_nUrlPollMinutes);
        if (interval.count() > 0)
            m_pollTimer.Start(static_cast<int>(std::min<long long>(interval.count(), 1LL << 30)));
        return;
    }
    m_strWatchedFile = path;
    if (m_strStampSource != path) {
        m_strStampSource = path;
        m_stamp = source_stamp::OfFile(path);
    }
    WatchFolder();
}

void CTessaryDoc::WatchFolder() {
    if (m_strWatchedFile.empty())
        return;
    const std::string folder = wxPathOnly(native_path::ToWx(m_strWatchedFile)).utf8_string();
    if (m_pWatcher && folder == m_strWatchedFolder)
        return;
    wxLogNull quiet; // a folder that cannot be watched is only not followed
    if (!m_pWatcher) {
        // The watcher registers with the active event loop; at start-up the
        // library is opened before the main loop runs. GTK's sources belong
        // to the main context, so a loop made active for the moment will do.
        std::unique_ptr<wxEventLoopBase> loop;
        std::optional<wxEventLoopActivator> active;
        if (!wxEventLoopBase::GetActive()) {
            loop = std::make_unique<wxEventLoop>();
            active.emplace(loop.get());
        }
        m_pWatcher = std::make_unique<wxFileSystemWatcher>();
        m_pWatcher->SetOwner(this);
    }
    m_pWatcher->RemoveAll();
    m_strWatchedFolder.clear();
    // The folder, not the file: an atomic save renames another file over it.
    if (m_pWatcher->Add(wxFileName::DirName(wxString::FromUTF8(folder)),
                        wxFSW_EVENT_CREATE | wxFSW_EVENT_DELETE | wxFSW_EVENT_RENAME |
                            wxFSW_EVENT_MODIFY | wxFSW_EVENT_ATTRIB | wxFSW_EVENT_WARNING |
                            wxFSW_EVENT_ERROR))
        m_strWatchedFolder = folder;
}

void CTessaryDoc::OnFileSystemEvent(wxFileSystemWatcherEvent& event) {
    if (m_strWatchedFile.empty())
        return;
    const wxString name = wxFileName(wxString::FromUTF8(m_strWatchedFile)).GetFullName();
    const int type = event.GetChangeType();
    // Lost events (an overflow) may have been ours: look again.
    if ((type & (wxFSW_EVENT_WARNING | wxFSW_EVENT_ERROR)) ||
        event.GetPath().GetFullName() == name ||
        ((type & wxFSW_EVENT_RENAME) && event.GetNewPath().GetFullName() == name))
        m_settleTimer.StartOnce(kSettleMs);
}

void CTessaryDoc::CheckFile() {
    if (m_strWatchedFile.empty())
        return;
    if (m_bAskingAboutChange) {
        m_settleTimer.StartOnce(kSettleMs); // once the question is answered
        return;
    }
    const SSourceStamp now = source_stamp::OfFile(m_strWatchedFile, m_stamp);
    if (now.SameContent(m_stamp)) {
        m_stamp = now; // a touch: the new time spares the next read
        return;
    }
    if (!now.exists) {
        m_stamp = now;
        m_bFileRemoved = true;
        CStatusText::Set(msg::kLibraryRemoved);
        return;
    }
    m_bFileRemoved = false;
    std::string bytes;
    library_source::Read(m_strWatchedFile, bytes);
    TakeOutsideChange(now, bytes);
}

void CTessaryDoc::PollUrl() {
    if (m_strPolledUrl.empty() || IsPolling())
        return;
    SFetchOptions options;
    options.ifNoneMatch = m_strEtag;
    options.ifModifiedSince = m_strLastModified;
    const unsigned generation = m_nFollowGeneration;
    m_pPoll.reset();
    // The answer comes back to the GUI thread; the library is never touched
    // from the request's own.
    m_pPoll = std::make_unique<CUrlPollRequest>(
        m_strPolledUrl, options, [this, generation](const SFetchResult& answer) {
            CallAfter([this, generation, answer] { OnPollAnswer(answer, generation); });
        });
}

void CTessaryDoc::OnPollAnswer(const SFetchResult& answer, unsigned generation) {
    if (generation != m_nFollowGeneration)
        return;
    if (answer.status != EXmlLoadStatus::Ok) {
        CStatusText::Set(msg::kServerSilent);
        return;
    }
    if (answer.notModified) {
        // A server may send fresh validators with its 304.
        if (!answer.etag.empty())
            m_strEtag = answer.etag;
        if (!answer.lastModified.empty())
            m_strLastModified = answer.lastModified;
        return;
    }
    m_strEtag = answer.etag;
    m_strLastModified = answer.lastModified;
    const SSourceStamp now = source_stamp::OfBytes(answer.body);
    if (!now.SameContent(m_stamp))
        TakeOutsideChange(now, answer.body);
}

void CTessaryDoc::TakeOutsideChange(const SSourceStamp& now, const std::string& bytes) {
    // Whatever happens next, this version is not told about again.
    m_stamp = now;
    CSnippetLibrary candidate;
    if (bytes.empty() || !candidate.CreateEngine() ||
        candidate.LoadBytes(bytes, m_strStampSource) != CSnippetLibrary::ELoadOutcome::Ok) {
        CStatusText::Set(msg::kChangeNotLoaded);
        return;
    }
    if (IsModified()) {
        m_bAskingAboutChange = true;
        const EAnswer answer =
            CMessageBox::AskYesNo(msg::kChangedElsewhere, msg::kReloadButton, msg::kKeepMineButton);
        m_bAskingAboutChange = false;
        if (answer != EAnswer::Yes) {
            CStatusText::Set(msg::kKeptMine);
            return;
        }
    }
    auto* view = dynamic_cast<CTessaryView*>(GetFirstView());
    const std::vector<std::string> selected =
        view ? view->SelectedLabels() : std::vector<std::string>{};
    if (m_library.LoadBytes(bytes, m_strStampSource) != CSnippetLibrary::ELoadOutcome::Ok) {
        CStatusText::Set(msg::kChangeNotLoaded);
        return;
    }
    Modify(false);
    RebuildViews();
    if (view)
        view->SelectLabels(selected);
    CStatusText::Set(msg::kReloadedChange);
}
