#include "app/MainFrame.h"

#include "app/MessageBox.h"
#include "app/Settings.h"
#include "app/StatusText.h"
#include "app/TessaryDocManager.h"
#include "document/TessaryDoc.h"
#include "res/CommandIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "view/TessaryView.h"

#include <wx/accel.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame) EVT_MENU(ids::ID_APP_EXIT, CMainFrame::OnExit)
    EVT_MENU(ids::ID_VIEW_STATUS_BAR, CMainFrame::OnViewStatusBar)
        EVT_UPDATE_UI(ids::ID_VIEW_STATUS_BAR, CMainFrame::OnUpdateViewStatusBar)
            EVT_MENU(ids::ID_APP_ABOUT, CMainFrame::OnNotAvailable)
                EVT_MENU(ids::ID_EXPORT_FAVORITES, CMainFrame::OnNotAvailable) wxEND_EVENT_TABLE()

                    namespace {
    constexpr int kMinWidth = 350;
    constexpr int kMinHeight = 300;
} // namespace

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocParentFrame(manager, nullptr, wxID_ANY, msg::kAppTitle, wxDefaultPosition,
                       wxSize(640, 480), wxDEFAULT_FRAME_STYLE),
      m_indicatorTimer(this) {
    resources::Initialize();
    SetIcons(resources::AppIcon());
    SetMinSize(wxSize(kMinWidth, kMinHeight));
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
    // Bound after the base class's own close handler, so this one runs first
    // and keeps the order: settings, position, then the save question.
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_SIZE, &CMainFrame::OnMoveOrSize, this);
    Bind(wxEVT_MOVE, &CMainFrame::OnMoveOrSize, this);
    Bind(wxEVT_TIMER, &CMainFrame::OnIndicatorTimer, this);
    m_indicatorTimer.Start(250);
}

CMainFrame::~CMainFrame() {
    CStatusText::SetSink(nullptr);
}

bool CMainFrame::CreateBars() {
    // The status bar has its own id, not the framework's: no menu prompts
    // and no idle text ever show in it; only SetStatusText writes pane 0.
    m_statusBar = CreateStatusBar(4, wxSTB_DEFAULT_STYLE, ids::IDW_STATUS_BAR);
    const int widths[] = {-1, 50, 50, 50};
    m_statusBar->SetStatusWidths(4, widths);
    SetStatusBarPane(-1);

    m_toolBar = wxXmlResource::Get()->LoadToolBar(this, "IDR_MAINFRAME_TOOLBAR");
    if (!m_toolBar)
        return false;
    m_toolBar->SetId(ids::IDW_TOOLBAR);
    for (size_t i = 0; i < m_toolBar->GetToolsCount(); ++i) {
        const wxToolBarToolBase* tool = m_toolBar->GetToolByPos(static_cast<int>(i));
        if (tool->IsSeparator())
            continue;
        // Tooltips are the short prompt texts; a prompt without one gives none.
        m_toolBar->SetToolShortHelp(tool->GetId(),
                                    wxString::FromUTF8(CStringTable::ShortPrompt(tool->GetId())));
    }
    SetToolBar(m_toolBar);
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
    };
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(entries)), entries));
}

void CMainFrame::SetStatusText(const wxString& text, int number) {
    if (!m_statusBar)
        return;
    m_statusBar->SetStatusText(text, number);
    m_statusBar->Update();
}

void CMainFrame::ActivateFrame() {
    if (!m_bFirstActivation)
        return;
    m_bFirstActivation = false;
    wxConfigBase* config = wxConfigBase::Get();
    if (!config)
        return;
    int left = 0, top = 0, right = 0, bottom = 0;
    if (!CSettingsStore::ParsePosition(CSettingsStore::ReadPosition(*config), left, top, right,
                                       bottom))
        return;
    const wxRect rect(wxPoint(left, top), wxPoint(right - 1, bottom - 1));
    // Only where it overlaps the primary screen; otherwise the default place.
    const wxRect screen = wxDisplay(0u).GetGeometry();
    if (rect.GetWidth() <= 0 || rect.GetHeight() <= 0 || !rect.Intersects(screen))
        return;
    SetSize(rect);
    m_rcNormal = rect;
}

std::string CMainFrame::PositionText() const {
    const wxRect& r = m_rcNormal;
    return CSettingsStore::FormatPosition(r.GetLeft(), r.GetTop(), r.GetLeft() + r.GetWidth(),
                                          r.GetTop() + r.GetHeight());
}

void CMainFrame::OnMoveOrSize(wxEvent& event) {
    event.Skip();
    if (IsShown() && !IsMaximized() && !IsIconized() && !IsFullScreen())
        m_rcNormal = GetRect();
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    auto* manager = static_cast<CTessaryDocManager*>(GetDocumentManager());
    CTessaryDoc* doc = manager ? manager->Document() : nullptr;
    // Settings and position are written before the save question, and stay
    // written if the user cancels it.
    if (doc)
        if (auto* view = dynamic_cast<CTessaryView*>(doc->GetFirstView()))
            view->OnCloseView();
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
    Destroy();
}

void CMainFrame::OnExit(wxCommandEvent&) {
    Close();
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

void CMainFrame::OnNotAvailable(wxCommandEvent&) {
    CMessageBox::Show("This command is not available yet.");
}

void CMainFrame::OnIndicatorTimer(wxTimerEvent&) {
    if (!m_statusBar || !m_statusBar->IsShown())
        return;
    const auto show = [this](int pane, wxKeyCode key, const char* text) {
        const wxString want = wxGetKeyState(key) ? text : "";
        if (m_statusBar->GetStatusText(pane) != want)
            m_statusBar->SetStatusText(want, pane);
    };
    show(1, WXK_CAPITAL, "CAP");
    show(2, WXK_NUMLOCK, "NUM");
    show(3, WXK_SCROLL, "SCRL");
}
