#include "app/TessaryApp.h"

#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/NativePath.h"
#include "app/Settings.h"
#include "app/TessaryDocManager.h"
#include "dialogs/DlgTipOfTheDay.h"
#include "document/TessaryDoc.h"
#include "platform/CommandChannel.h"
#include "platform/WindowPlacement.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "view/TessaryView.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stdpaths.h>

#include <cstdlib>

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
    // The help book sits next to the program.
    const wxString exeDir = wxPathOnly(wxStandardPaths::Get().GetExecutablePath());
    m_strHelpFile = (exeDir + "/help/tessary.hhp").utf8_string();

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
    frame->Show();
    ListenForCommands();
    // Once the window manager has put the main window up, a settings file
    // found damaged and the tip of the day over it; shown earlier, they could
    // end up beneath the main window.
    CWindowPlacement::CallWhenMapped(frame, [this, frame] {
        if (const std::string note = settings_location::TakeDamageNote(); !note.empty())
            CMessageBox::Show(note);
        if (CTessaryDoc* tessaryDoc = m_pDocManager ? m_pDocManager->Document() : nullptr)
            ShowStartupTip(frame, tessaryDoc->Settings());
    });
    return true;
}

void CTessaryApp::ListenForCommands() {
    m_pCommands = std::make_unique<CCommandReceiver>();
    // A second copy of the program leaves the channel to the first.
    m_pCommands->Listen([this](int commandId) {
        if (wxWindow* frame = GetTopWindow()) {
            wxCommandEvent command(wxEVT_MENU, commandId);
            frame->GetEventHandler()->ProcessEvent(command);
        }
    });
}

int CTessaryApp::OnExit() {
    m_pCommands.reset();
    delete m_pDocManager;
    m_pDocManager = nullptr;
    delete wxConfigBase::Set(nullptr);
    return wxApp::OnExit();
}

CMainFrame* CTessaryApp::MainFrame() const {
    return dynamic_cast<CMainFrame*>(GetTopWindow());
}
