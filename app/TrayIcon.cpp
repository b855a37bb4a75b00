#include "app/TrayIcon.h"

#include "res/CommandIds.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <wx/menu.h>
#include <wx/window.h>

#include <memory>

CTrayIcon::CTrayIcon(wxWindow* target) : m_pTarget(target) {
    Bind(wxEVT_TASKBAR_LEFT_DOWN, &CTrayIcon::OnClick, this);
    Bind(wxEVT_MENU, &CTrayIcon::OnMenu, this);
    ShowMenuState(false);
}

bool CTrayIcon::IsAvailable() {
    return wxTaskBarIcon::IsAvailable();
}

void CTrayIcon::ShowMenuState(bool active) {
    m_bMenuActive = active;
    const wxIconBundle icons =
        resources::IconBundle(active ? "menu_active.svg" : "menu_inactive.svg");
    SetIcon(icons.GetIcon(wxSize(48, 48)), active ? msg::kTrayMenuOn : msg::kTrayMenuOff);
}

wxMenu* CTrayIcon::CreatePopupMenu() {
    // Made anew for each showing (the base class deletes it): only the
    // switch that applies now.
    wxMenu* menu = resources::LoadPopup("IDR_TRAY_MENU");
    if (menu)
        menu->Destroy(m_bMenuActive ? ids::ID_ACTIVATE_MENU : ids::ID_DEACTIVATE_MENU);
    return menu;
}

void CTrayIcon::ShowMenu() {
    std::unique_ptr<wxMenu> menu(CreatePopupMenu());
    if (menu)
        PopupMenu(menu.get());
}

void CTrayIcon::OnClick(wxTaskBarIconEvent&) {
    Send(ids::ID_TOGGLE_MENU);
}

void CTrayIcon::OnMenu(wxCommandEvent& event) {
    Send(event.GetId());
}

void CTrayIcon::Send(int commandId) {
    // After the click or the menu has ended: a command may show a modal
    // dialog or close the frame, which must not run inside the tray's menu loop.
    wxWindow* target = m_pTarget;
    target->CallAfter([target, commandId] {
        wxCommandEvent command(wxEVT_MENU, commandId);
        target->GetEventHandler()->ProcessEvent(command);
    });
}
