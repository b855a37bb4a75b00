#include "app/MainFrame.h"

#include "app/HelpService.h"
#include "app/MessageBox.h"
#include "app/Settings.h"
#include "app/StatusText.h"
#include "app/TessaryDocManager.h"
#include "app/TrayIcon.h"
#include "dialogs/DlgAbout.h"
#include "dialogs/DlgExportFavorites.h"
#include "document/TessaryDoc.h"
#include "platform/Browser.h"
#include "platform/DesktopWindows.h"
#include "platform/KeyboardLocks.h"
#include "platform/WindowPlacement.h"
#include "res/CommandIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "view/TessaryView.h"

#include <wx/accel.h>
#include <wx/aui/auibar.h>
#include <wx/config.h>
#include <wx/cshelp.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/xrc/xmlres.h>

namespace {

constexpr int kMinWidth = 350;
constexpr int kMinHeight = 300;

constexpr const char* kIndicators[] = {"CAP", "NUM", "SCRL"};
constexpr int kIndicatorTimer = 1;
constexpr int kTrayTimer = 2;
// A hidden start waits this long for a notification area (at login the
// panel may come up after the programs started with the session).
constexpr int kTrayCheckMs = 500;
constexpr int kTrayChecks = 20;

} // namespace

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, msg::kAppTitle, wxDefaultPosition,
                       wxSize(640, 480), wxDEFAULT_FRAME_STYLE),
      m_pHelp(std::make_unique<CHelpService>(this)), m_indicatorTimer(this, kIndicatorTimer),
      m_trayTimer(this, kTrayTimer) {
    resources::Initialize();
    SetIcons(resources::AppIcon());
    SetMinSize(wxSize(kMinWidth, kMinHeight));
    m_auiManager.SetManagedWindow(this);
    if (wxMenuBar* bar = wxXmlResource::Get()->LoadMenuBar("IDR_MAINFRAME"))
        SetMenuBar(bar);
    CreateBars();
    SetAccelerators();
    if (wxMenuBar* bar = GetMenuBar()) {
        manager->FileHistoryUseMenu(bar->GetMenu(0));
        if (wxConfigBase* config = wxConfigBase::Get())
            manager->FileHistoryLoad(*config);
    }
    CStatusText::SetSink(
        [this](const std::string& text) { SetStatusText(wxString::FromUTF8(text)); });
    m_rcNormal = GetRect();

    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_SIZE, &CMainFrame::OnMoveOrSize, this);
    Bind(wxEVT_MOVE, &CMainFrame::OnMoveOrSize, this);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { UpdateIndicators(); }, kIndicatorTimer);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { WaitForTray(); }, kTrayTimer);
    Bind(wxEVT_MENU, &CMainFrame::OnExit, this, ids::ID_APP_EXIT);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { ShowFromOutside(); }, ids::ID_SHOW_WINDOW);
    Bind(wxEVT_MENU, &CMainFrame::OnViewStatusBar, this, ids::ID_VIEW_STATUS_BAR);
    Bind(wxEVT_UPDATE_UI, &CMainFrame::OnUpdateViewStatusBar, this, ids::ID_VIEW_STATUS_BAR);
    Bind(wxEVT_MENU, &CMainFrame::OnHelpTopics, this, ids::ID_HELP_TOPICS);
    Bind(wxEVT_MENU, &CMainFrame::OnTechSupport, this, ids::ID_TECH_SUPPORT);
    Bind(wxEVT_MENU, &CMainFrame::OnHelp, this, ids::ID_HELP);
    Bind(wxEVT_MENU, &CMainFrame::OnContextHelp, this, ids::ID_CONTEXT_HELP);
    Bind(wxEVT_HELP, &CMainFrame::OnHelpRequest, this);
    Bind(wxEVT_MENU, &CMainFrame::OnWebPage, this, ids::ID_HELP_FAQ);
    Bind(wxEVT_MENU, &CMainFrame::OnWebPage, this, ids::ID_HELP_EXAMPLES);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { CDlgAbout::Run(this); }, ids::ID_APP_ABOUT);
    Bind(
        wxEVT_MENU, [this](wxCommandEvent&) { RunExportFavorites(this); },
        ids::ID_EXPORT_FAVORITES);
    UpdateIndicators();
    m_indicatorTimer.Start(250);
    if (CTrayIcon::IsAvailable())
        m_pTray = std::make_unique<CTrayIcon>(this);
}

CMainFrame::~CMainFrame() {
    m_indicatorTimer.Stop();
    m_trayTimer.Stop();
    m_pTray.reset();
    CStatusText::SetSink(nullptr);
    m_pHelp.reset();
    m_auiManager.UnInit();
}

bool CMainFrame::CreateBars() {
    // The status bar has its own id, not the framework's, and no pane for
    // prompts: no menu help, toolbar help or idle text ever shows in it;
    // only SetStatusText writes pane 0.
    m_statusBar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, ids::IDW_STATUS_BAR);
    SetStatusBarPane(-1);
    int widths[4] = {-1, 0, 0, 0};
    for (int i = 0; i < 3; ++i)
        widths[i + 1] = m_statusBar->GetTextExtent(kIndicators[i]).x + 16;
    m_statusBar->SetStatusWidths(4, widths);

    m_toolBar = dynamic_cast<wxAuiToolBar*>(
        wxXmlResource::Get()->LoadObject(this, "IDR_MAINFRAME_TOOLBAR", "wxAuiToolBar"));
    if (!m_toolBar)
        return false;
    m_toolBar->SetId(ids::IDW_TOOLBAR);
    for (size_t i = 0; i < m_toolBar->GetToolCount(); ++i) {
        wxAuiToolBarItem* tool = m_toolBar->FindToolByIndex(static_cast<int>(i));
        if (tool->GetKind() == wxITEM_SEPARATOR)
            continue;
        // Tooltips are the short prompt texts; a prompt without one gives none.
        tool->SetShortHelp(wxString::FromUTF8(CStringTable::ShortPrompt(tool->GetId())));
        tool->SetLongHelp(wxString());
    }
    m_toolBar->Realize();
    // Docked at the top to start with; any side, or floating, at the user's will.
    m_auiManager.AddPane(m_toolBar, wxAuiPaneInfo().Name("toolbar").ToolbarPane().Top());
    m_auiManager.Update();
    return true;
}

void CMainFrame::SetAccelerators() {
    const wxAcceleratorEntry entries[] = {
        {wxACCEL_CTRL, 'C', ids::ID_EDIT_COPY},
        {wxACCEL_CTRL, WXK_INSERT, ids::ID_EDIT_COPY},
        {wxACCEL_CTRL, 'X', ids::ID_EDIT_CUT},
        {wxACCEL_SHIFT, WXK_DELETE, ids::ID_EDIT_CUT},
        {wxACCEL_CTRL, 'V', ids::ID_EDIT_PASTE},
        {wxACCEL_SHIFT, WXK_INSERT, ids::ID_EDIT_PASTE},
        {wxACCEL_CTRL, 'A', ids::ID_EDIT_SELECT_ALL},
        {wxACCEL_CTRL, 'Z', ids::ID_EDIT_UNDO},
        {wxACCEL_ALT, WXK_BACK, ids::ID_EDIT_UNDO},
        {wxACCEL_CTRL, 'O', ids::ID_FILE_OPEN},
        {wxACCEL_CTRL, 'N', ids::ID_ADD_MENU_ITEM},
        {wxACCEL_CTRL, 'R', ids::ID_REMOVE_MENU_ITEM},
        {wxACCEL_CTRL, 'S', ids::ID_FILE_SAVE},
        {wxACCEL_NORMAL, WXK_F1, ids::ID_HELP},
        {wxACCEL_SHIFT, WXK_F1, ids::ID_CONTEXT_HELP},
    };
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(entries)), entries));
}

void CMainFrame::SetStatusText(const wxString& text, int number) {
    if (!m_statusBar)
        return;
    m_statusBar->SetStatusText(text, number);
    m_statusBar->Update();
}

void CMainFrame::AddChild(wxWindowBase* child) {
    wxDocParentFrame::AddChild(child);
    // The child is still being made: take it into the layout once it is whole.
    if (!child->IsTopLevel())
        CallAfter(&CMainFrame::AdoptClientWindow);
}

void CMainFrame::AdoptClientWindow() {
    for (wxWindow* child : GetChildren()) {
        if (child->IsTopLevel() || IsOneOfBars(child) || child == m_toolBar ||
            child->IsBeingDeleted() || m_auiManager.GetPane(child).IsOk())
            continue;
        m_auiManager.AddPane(child, wxAuiPaneInfo().Name("form").CenterPane().PaneBorder(false));
        m_auiManager.Update();
        return;
    }
}

void CMainFrame::ActivateFrame() {
    AdoptClientWindow();
    if (!m_bFirstActivation)
        return;
    m_bFirstActivation = false;
    wxConfigBase* config = wxConfigBase::Get();
    if (!config)
        return;
    const wxRect screen = wxDisplay().GetGeometry();
    const CScreenRect primary{screen.GetLeft(), screen.GetTop(), screen.GetRight() + 1,
                              screen.GetBottom() + 1};
    wxRect all = screen;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i)
        all.Union(wxDisplay(i).GetGeometry());
    const CScreenRect screens{all.GetLeft(), all.GetTop(), all.GetRight() + 1, all.GetBottom() + 1};
    const std::optional<CScreenRect> stored =
        CSettingsStore::UsablePosition(CSettingsStore::ReadPosition(*config), primary, screens);
    if (!stored)
        return;
    const wxRect rect(stored->m_nLeft, stored->m_nTop, stored->m_nRight - stored->m_nLeft,
                      stored->m_nBottom - stored->m_nTop);
    if (IsMaximized())
        Maximize(false);
    SetSize(rect);
    m_rcNormal = rect;
    CWindowPlacement::KeepRequestedPosition(this, rect.GetPosition());
}

std::string CMainFrame::PositionText() const {
    const wxRect& r = m_rcNormal;
    return CSettingsStore::FormatPosition(r.GetLeft(), r.GetTop(), r.GetLeft() + r.GetWidth(),
                                          r.GetTop() + r.GetHeight());
}

void CMainFrame::OnMoveOrSize(wxEvent& event) {
    event.Skip();
    if (!IsShown())
        return;
    // A maximise arrives as a move, a resize and a change of state, in an
    // order that depends on the window manager: the rectangle is taken when
    // they have all been handled.
    if (!m_bRectPending) {
        m_bRectPending = true;
        CallAfter(&CMainFrame::TakeNormalRect);
    }
}

void CMainFrame::TakeNormalRect() {
    m_bRectPending = false;
    if (IsShown() && !IsMaximized() && !IsIconized() && !IsFullScreen())
        m_rcNormal = GetRect();
}

void CMainFrame::ShowMenuState(bool active) {
    SetIcons(resources::IconBundle(active ? "menu_active.svg" : "menu_inactive.svg"));
    if (m_pTray)
        m_pTray->ShowMenuState(active);
}

void CMainFrame::ShowFromOutside() {
    CWindowPlacement::BringForward(this);
}

void CMainFrame::StartHidden() {
    if (m_pTray)
        return; // never shown: the tray icon brings it
    m_nTrayChecks = 0;
    m_trayTimer.Start(kTrayCheckMs);
}

void CMainFrame::WaitForTray() {
    if (IsShown()) {
        m_trayTimer.Stop();
        return;
    }
    if (CTrayIcon::IsAvailable()) {
        m_trayTimer.Stop();
        m_pTray = std::make_unique<CTrayIcon>(this);
        auto* manager = static_cast<CTessaryDocManager*>(GetDocumentManager());
        CTessaryDoc* doc = manager ? manager->Document() : nullptr;
        auto* view = doc ? dynamic_cast<CTessaryView*>(doc->GetFirstView()) : nullptr;
        m_pTray->ShowMenuState(view && view->m_bMenuActive);
        return;
    }
    if (++m_nTrayChecks < kTrayChecks)
        return;
    // No notification area: a minimised window is the way back.
    m_trayTimer.Stop();
    Iconize(true);
    Show();
}

bool CMainFrame::HidesOnClose() const {
    auto* manager = static_cast<CTessaryDocManager*>(GetDocumentManager());
    CTessaryDoc* doc = manager ? manager->Document() : nullptr;
    return !m_bExiting && doc && doc->Settings().m_bKeepInTray && m_pTray &&
           m_pTray->MenuActive() && CTrayIcon::IsAvailable();
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    if (event.CanVeto() && HidesOnClose()) {
        if (m_bRectPending)
            TakeNormalRect();
        Hide();
        event.Veto();
        return;
    }
    auto* manager = static_cast<CTessaryDocManager*>(GetDocumentManager());
    CTessaryDoc* doc = manager ? manager->Document() : nullptr;
    // Settings and position are written before the save question, and stay
    // written if the user cancels it.
    if (doc)
        if (auto* view = dynamic_cast<CTessaryView*>(doc->GetFirstView()))
            view->OnCloseView();
    if (m_bRectPending)
        TakeNormalRect();
    if (wxConfigBase* config = wxConfigBase::Get())
        CSettingsStore::WritePosition(*config, PositionText());
    if (doc && event.CanVeto() && !doc->OnSaveModified()) {
        event.Veto();
        return;
    }
    if (manager) {
        if (wxConfigBase* config = wxConfigBase::Get())
            manager->FileHistorySave(*config);
        if (doc)
            doc->Modify(false);
        manager->Clear(true);
    }
    m_indicatorTimer.Stop();
    m_trayTimer.Stop();
    m_pTray.reset();
    m_pHelp->Close();
    Destroy();
}

void CMainFrame::OnExit(wxCommandEvent&) {
    // The normal close, settings and save question included; a Cancel there
    // keeps the program running, in the tray if it was there.
    m_bExiting = true;
    Close();
    m_bExiting = false;
}

void CMainFrame::OnViewStatusBar(wxCommandEvent&) {
    if (!m_statusBar)
        return;
    m_statusBar->Show(!m_statusBar->IsShown());
    SendSizeEvent();
}

void CMainFrame::OnUpdateViewStatusBar(wxUpdateUIEvent& event) {
    event.Check(m_statusBar && m_statusBar->IsShown());
}

void CMainFrame::OnHelpTopics(wxCommandEvent&) {
    m_pHelp->ShowContents();
}

void CMainFrame::OnTechSupport(wxCommandEvent&) {
    m_pHelp->ShowContext(ids::HELP_CONTEXT_TECH_SUPPORT);
}

void CMainFrame::OnHelp(wxCommandEvent&) {
    m_pHelp->ShowContext(0);
}

void CMainFrame::OnContextHelp(wxCommandEvent&) {
    // Waits for the click on a window, which then asks for its help.
    wxContextHelp help(this);
}

#ifdef __WXMSW__
bool CMainFrame::MSWTranslateMessage(WXMSG* msg) {
    // F1 is the Help accelerator; Windows' own help request for the same
    // press would ask for help a second time, for whichever window has focus.
    if (desktop::IsHelpKeyEcho(msg))
        return true;
    return wxDocParentFrame::MSWTranslateMessage(msg);
}
#endif

void CMainFrame::OnHelpRequest(wxHelpEvent& event) {
    int id = event.GetId();
    // A click on the toolbar asks about the button under the pointer.
    if (m_toolBar && event.GetEventObject() == m_toolBar) {
        const wxPoint at = m_toolBar->ScreenToClient(event.GetPosition());
        wxAuiToolBarItem* tool = m_toolBar->FindToolByPosition(at.x, at.y);
        if (tool && tool->GetKind() != wxITEM_SEPARATOR)
            id = tool->GetId();
    }
    m_pHelp->ShowContextHelp(id);
}

void CMainFrame::OnWebPage(wxCommandEvent& event) {
    const int string =
        event.GetId() == ids::ID_HELP_FAQ ? strid::IDS_FAQ_PAGE : strid::IDS_EXAMPLES_PAGE;
    CBrowser::Open(CStringTable::Load(string));
}

void CMainFrame::UpdateIndicators() {
    if (!m_statusBar || !m_statusBar->IsShown())
        return;
    const CLockStates locks = CKeyboardLocks::Query();
    const bool on[] = {locks.m_bCaps, locks.m_bNum, locks.m_bScroll};
    for (int i = 0; i < 3; ++i) {
        const wxString want = on[i] ? kIndicators[i] : "";
        if (m_statusBar->GetStatusText(i + 1) != want)
            m_statusBar->SetStatusText(want, i + 1);
    }
}
