#include "app/TessaryApp.h"

#include "app/InstallPaths.h"
#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/NativePath.h"
#include "app/SessionNotice.h"
#include "app/Settings.h"
#include "app/TessaryDocManager.h"
#include "dialogs/DlgTipOfTheDay.h"
#include "document/TessaryDoc.h"
#include "platform/CommandChannel.h"
#include "platform/WindowPlacement.h"
#include "res/CommandIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "view/TessaryView.h"

#include <wx/config.h>
#include <wx/dialog.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stdpaths.h>

#include <cstdlib>
#include <utility>

namespace {
// A failed internal check is reported on stderr; a modal box would stop the
// user's work for something they cannot act on.
void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    fprintf(stderr, "tessary: internal check failed at %s:%d in %s: %s %s\n",
            file.utf8_str().data(), line, func.utf8_str().data(), cond.utf8_str().data(),
            msg.utf8_str().data());
}
} // namespace

CTessaryApp::CTessaryApp() = default;

CTessaryApp::~CTessaryApp() = default;

bool CTessaryApp::OnInit() {
#ifdef __WXGTK__
    if (m_bUnsetGdkGl)
        unsetenv("GDK_GL");
#endif
    wxSetAssertHandler(ReportAssert);
    SetAppName("Tessary");
    SetVendorName("MorvekLtd");
    SetAppDisplayName(msg::kAppTitle);

    // Settings live in the user's XDG config folder.
    settings_location::InstallGlobalConfig();
    CStringTable::SetVariant(CStringTable::SystemVariant());
    wxInitAllImageHandlers();
    if (!resources::Initialize()) {
        fprintf(stderr, "tessary: the program's resources could not be loaded\n");
        return false;
    }

    m_pDocManager = new CTessaryDocManager;
    // The help book: next to the program in a build folder, in the
    // prefix's share/tessary once installed.
    const wxString exeDir = wxPathOnly(wxStandardPaths::Get().GetExecutablePath());
    m_strHelpFile = install_paths::HelpBook(exeDir.utf8_string());

    new wxDocTemplate(m_pDocManager, "XML", "*.xml", wxString(), "xml", "Tessary.Document",
                      "Tessary View", CLASSINFO(CTessaryDoc), CLASSINFO(CTessaryView));

    auto* frame = new CMainFrame(m_pDocManager);
    SetTopWindow(frame);

    wxDocument* doc =
        m_strFileToOpen.empty()
            ? m_pDocManager->CreateDocument(wxString(), wxDOC_NEW)
            : m_pDocManager->CreateDocument(native_path::ToWx(m_strFileToOpen), wxDOC_SILENT);
    if (!doc) {
        frame->Destroy();
        return false;
    }
    frame->ActivateFrame();
    if (m_bStartInTray) {
        // Hidden: the tray icon brings the window (a minimised window where
        // there is no tray), and the tip waits for the window to show.
        frame->StartHidden();
        CallAfter([this] { ShowStartupNotes(false); });
        CWindowPlacement::CallWhenMapped(frame, [this, frame] {
            if (CTessaryDoc* tessaryDoc = m_pDocManager ? m_pDocManager->Document() : nullptr)
                ShowStartupTip(frame, tessaryDoc->Settings());
        });
    } else {
        frame->Show();
        // Once the window manager has put the main window up: shown earlier,
        // the notes could end up beneath it.
        CWindowPlacement::CallWhenMapped(frame, [this] { ShowStartupNotes(true); });
    }
    ListenForCommands();
    // Queued on the frame: dropped if the frame is gone first.
    if (m_bStartActive)
        frame->CallAfter([frame] {
            wxCommandEvent command(wxEVT_MENU, ids::ID_ACTIVATE_MENU);
            frame->GetEventHandler()->ProcessEvent(command);
        });
    return true;
}

void CTessaryApp::ShowStartupNotes(bool withTip) {
    if (const std::string note = settings_location::TakeDamageNote(); !note.empty())
        CMessageBox::Show(note);
    CTessaryDoc* doc = m_pDocManager ? m_pDocManager->Document() : nullptr;
    if (!doc)
        return;
    // Kept at once: the program may run for days before it is closed.
    if (session_notice::ShowIfWayland(doc->Settings()))
        doc->SaveSettings();
    if (withTip)
        if (CMainFrame* frame = MainFrame())
            ShowStartupTip(frame, doc->Settings());
}

void CTessaryApp::ListenForCommands() {
    m_openTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OpenFromOutside(); });
    m_pCommands = std::make_unique<CCommandReceiver>();
    // A second copy of the program leaves the channel to the first.
    m_pCommands->Listen([this](int commandId, const std::string& argument) {
        OnCommandFromOutside(commandId, argument);
    });
}

void CTessaryApp::OnCommandFromOutside(int commandId, const std::string& argument) {
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    const auto send = [frame](int id) {
        wxCommandEvent command(wxEVT_MENU, id);
        frame->GetEventHandler()->ProcessEvent(command);
    };
    if (commandId == ids::ID_OPEN_FROM_OUTSIDE) {
        if (argument.empty())
            return;
        frame->ShowFromOutside();
        m_strPendingOpen = argument;
        OpenFromOutside();
        return;
    }
    if (commandId == ids::ID_SHOW_WINDOW) {
        // A second start's options: --activate switches the menu on if it is
        // off; --tray leaves the window where it is.
        auto* view = m_pDocManager && m_pDocManager->Document()
                         ? dynamic_cast<CTessaryView*>(m_pDocManager->Document()->GetFirstView())
                         : nullptr;
        if (argument.find("--activate") != std::string::npos && view && !view->m_bMenuActive)
            send(ids::ID_ACTIVATE_MENU);
        if (argument.find("--tray") == std::string::npos)
            frame->ShowFromOutside();
        return;
    }
    send(commandId);
}

void CTessaryApp::OpenFromOutside() {
    if (m_strPendingOpen.empty() || !m_pDocManager)
        return;
    bool busy = false;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
            busy = true;
    CTessaryDoc* doc = m_pDocManager->Document();
    if (auto* view = doc ? dynamic_cast<CTessaryView*>(doc->GetFirstView()) : nullptr)
        busy = busy || view->IsMenuShown();
    if (busy) {
        // Asked again once the user is done with the dialog or the menu.
        m_openTimer.StartOnce(300);
        return;
    }
    const std::string path = std::exchange(m_strPendingOpen, std::string());
    // As File > Open: the save question for a library with changes first.
    m_pDocManager->CreateDocument(native_path::ToWx(path), wxDOC_SILENT);
}

int CTessaryApp::OnExit() {
    m_openTimer.Stop();
    m_pCommands.reset();
    delete m_pDocManager;
    m_pDocManager = nullptr;
    delete wxConfigBase::Set(nullptr);
    return wxApp::OnExit();
}

CMainFrame* CTessaryApp::MainFrame() const {
    return dynamic_cast<CMainFrame*>(GetTopWindow());
}
