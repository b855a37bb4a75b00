#pragma once
// Tessary's icon in the desktop's notification area: it shows whether the
// snippet menu is on, a click switches the menu as command 1000 does, and
// its menu activates or deactivates, shows the window, opens Options or
// exits. Every command goes to the main frame, as the frame's own menu sends
// it.

#include <wx/taskbar.h>

class wxMenu;
class wxWindow;

class CTrayIcon : public wxTaskBarIcon {
public:
    explicit CTrayIcon(wxWindow* target);

    // A notification area runs on the display (on X11, a system tray
    // manager owns its selection).
    static bool IsAvailable();

    // The icon and tooltip of the snippet menu's state.
    void ShowMenuState(bool active);
    bool MenuActive() const { return m_bMenuActive; }
    // The icon's menu at the pointer, as a right-click on the icon opens it;
    // returns when it has closed.
    void ShowMenu();

protected:
    wxMenu* CreatePopupMenu() override;

private:
    void OnClick(wxTaskBarIconEvent& event);
    void OnMenu(wxCommandEvent& event);
    void Send(int commandId);

    wxWindow* m_pTarget;
    bool m_bMenuActive = false;
};
