// The view's part of the snippet menu: activation by command, hot key and
// command 1000, and the menu shown at a right-click in another program.

#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/TrayIcon.h"
#include "document/TessaryDoc.h"
#include "menu/HookMenu.h"
#include "menu/PasteEngine.h"
#include "platform/DesktopWindows.h"
#include "platform/HookClient.h"
#include "platform/MenuKeyPacer.h"
#include "platform/Sound.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "res/Resources.h"
#include "view/SnippetFinder.h"
#include "view/TessaryView.h"

#include <wx/frame.h>
#include <wx/menu.h>

namespace {

constexpr unsigned kActivateBeepHz = 700;
constexpr unsigned kDeactivateBeepHz = 400;
constexpr unsigned kBeepMs = 50;

} // namespace

void CTessaryView::BindMenuCommands() {
    Bind(wxEVT_MENU, &CTessaryView::OnActivateMenuCmd, this, ids::ID_ACTIVATE_MENU);
    Bind(wxEVT_MENU, &CTessaryView::OnDeactivateMenuCmd, this, ids::ID_DEACTIVATE_MENU);
    Bind(wxEVT_MENU, &CTessaryView::OnToggleMenuCmd, this, ids::ID_TOGGLE_MENU);
    Bind(wxEVT_UPDATE_UI, &CTessaryView::OnUpdateActivateMenu, this, ids::ID_ACTIVATE_MENU);
    Bind(wxEVT_UPDATE_UI, &CTessaryView::OnUpdateDeactivateMenu, this, ids::ID_DEACTIVATE_MENU);

    m_pHookClient = std::make_unique<CHookClient>();
}

void CTessaryView::DetachHook() {
    // The grab would go on swallowing right-clicks with nobody to report to.
    if (m_pHookClient) {
        m_pHookClient->Stop();
        m_pHookClient->Detach();
    }
    if (m_pMenuHost) {
        m_pMenuHost->Destroy();
        m_pMenuHost = nullptr;
    }
}

bool CTessaryView::StartHook() {
    // The reports go to the view's top-level window. It is attached at the
    // first activation, once shown: realising the frame earlier would place
    // it before the window manager decorates it.
    if (!m_bHookAttached)
        m_bHookAttached = m_pHookClient->Attach(
            GetFrame(), [this](const SHookClick& click) { OnCopyData(click); });
    std::string error;
    if (m_pHookClient->Start(error))
        return true;
    // Showing the activated state now would promise menus that never come.
    CMessageBox::Show(error.empty() ? msg::kHookFailed : error);
    return false;
}

void CTessaryView::OnActivateMenu() {
    if (!StartHook())
        return;
    const SSettings& settings = GetDocument()->Settings();
    if (settings.m_bSoundHook == 1)
        sound::PlayFile(settings.m_strActivateWav);
    ShowActivatedState();
}

void CTessaryView::OnDeactivateMenu() {
    m_pHookClient->Stop();
    const SSettings& settings = GetDocument()->Settings();
    if (settings.m_bSoundHook == 1)
        sound::PlayFile(settings.m_strDeactivateWav);
    ShowDeactivatedState();
}

void CTessaryView::OnHotKey() {
    if (!m_bMenuActive)
        OnActivateMenu();
    else
        OnDeactivateMenu();
}

void CTessaryView::OnToggleMenu() {
    const SSettings& settings = GetDocument()->Settings();
    if (!m_bMenuActive) {
        if (!StartHook())
            return;
        if (settings.m_bSoundHook == 1)
            sound::Beep(kActivateBeepHz, kBeepMs);
        ShowActivatedState();
    } else {
        m_pHookClient->Stop();
        if (settings.m_bSoundHook == 1)
            sound::Beep(kDeactivateBeepHz, kBeepMs);
        ShowDeactivatedState();
    }
}

void CTessaryView::ShowActivatedState() {
    CTessaryDoc* doc = GetDocument();
    doc->m_bCanActivate = false;
    doc->m_bCanDeactivate = true;
    SetStateIcon(true);
    m_bMenuActive = true;
}

void CTessaryView::ShowDeactivatedState() {
    CTessaryDoc* doc = GetDocument();
    doc->m_bCanActivate = true;
    doc->m_bCanDeactivate = false;
    SetStateIcon(false);
    m_bMenuActive = false;
}

void CTessaryView::ShowHookState() {
    // A running hook goes on taking right-clicks, now with the menu of the
    // new library: the window shows it on, and the next switch turns it off.
    if (m_pHookClient && m_pHookClient->IsStarted())
        ShowActivatedState();
    else
        ShowDeactivatedState();
}

void CTessaryView::SetStateIcon(bool active) {
    if (auto* main = dynamic_cast<CMainFrame*>(GetFrame()))
        main->ShowMenuState(active);
    else if (auto* frame = dynamic_cast<wxFrame*>(GetFrame()))
        frame->SetIcons(resources::IconBundle(active ? "menu_active.svg" : "menu_inactive.svg"));
}

void CTessaryView::OnActivateMenuCmd(wxCommandEvent&) {
    OnActivateMenu();
}

void CTessaryView::OnDeactivateMenuCmd(wxCommandEvent&) {
    OnDeactivateMenu();
}

void CTessaryView::OnToggleMenuCmd(wxCommandEvent&) {
    OnToggleMenu();
}

void CTessaryView::OnUpdateActivateMenu(wxUpdateUIEvent& event) {
    event.Enable(GetDocument()->m_bCanActivate);
}

void CTessaryView::OnUpdateDeactivateMenu(wxUpdateUIEvent& event) {
    event.Enable(GetDocument()->m_bCanDeactivate);
}

void CTessaryView::OnCopyData(const SHookClick& click) {
    // One menu at a time; a report queued while one is open is dropped.
    if (m_bInMenu)
        return;
    // The right button is ours everywhere while the menu is active, on our
    // own tray icon too: there it opens the icon's menu.
    if (auto* main = dynamic_cast<CMainFrame*>(GetFrame());
        main && main->TrayIcon() && desktop::IsOwnTrayIconAt(click.x, click.y)) {
        m_bInMenu = true;
        main->TrayIcon()->ShowMenu();
        m_bInMenu = false;
        return;
    }
    CTessaryDoc* doc = GetDocument();
    // A click right after a menu closed can land on the one-pixel window the
    // menu opened on, which sits at the same point: the window beneath is
    // the one clicked last time, and the one to bring forward.
    CDesktop& desktop = doc->PasteEngine().Desktop();
    if (!desktop.IsOwnPopup(click.target)) {
        doc->m_hTargetWnd = click.target;
        doc->m_nTargetX = click.x;
        doc->m_nTargetY = click.y;
    }
    desktop.Activate(doc->m_hTargetWnd, click.time);

    wxMenu* popup = m_pHookMenu->HookPopup();
    if (!popup)
        return;
    // The menu opens on a one-pixel window at the point, which the window
    // manager neither decorates nor focuses: the main window may be
    // minimised, hidden or behind others.
    if (!m_pMenuHost) {
        m_pMenuHost = new CSnippetFinder(GetFrame());
        // The chosen command travels the view's routing, through the document.
        m_pMenuHost->Bind(wxEVT_MENU, [this](wxCommandEvent& event) { ProcessEvent(event); });
    }
    m_pMenuHost->PlaceAt(click.x, click.y);
    const unsigned long target = doc->m_hTargetWnd;
    desktop::TakeKeyboardForMenu(m_pMenuHost);
    m_bInMenu = true;
    CMenuKeyPacer::SetTypeToFind([this](const std::string& typed) { StartFind(typed); });
    m_pMenuHost->PopupMenu(popup, 0, 0);
    desktop::ReturnKeyboardAfterMenu(target);
    CMenuKeyPacer::SetTypeToFind(nullptr);
    // A search started in the menu goes on; the next menu waits for its end.
    if (m_pMenuHost && m_pMenuHost->IsFinding())
        return;
    m_bInMenu = false;
    if (m_pMenuHost)
        m_pMenuHost->Hide();
}

void CTessaryView::StartFind(const std::string& typed) {
    if (!m_pMenuHost)
        return;
    const auto choose = [this](int entry) {
        // As a choice in the menu: the same paste, target and point.
        try {
            GetDocument()->PasteSnippet(m_pHookMenu->Model().At(entry).element);
        } catch (...) {
            // An engine failure while reading the text: nothing is pasted.
        }
    };
    m_pMenuHost->Find(m_pHookMenu->Search(), typed, choose, [this] { m_bInMenu = false; });
}
