#pragma once
// The program's one top-level window: menu, dockable toolbar and status bar
// around the editor form.

#include <wx/aui/framemanager.h>
#include <wx/docview.h>
#include <wx/timer.h>

#include <memory>
#include <string>

class CHelpService;
class CTrayIcon;
class wxAuiToolBar;
class wxDocManager;
class wxHelpEvent;
class wxStatusBar;

class CMainFrame : public wxDocParentFrame {
public:
    explicit CMainFrame(wxDocManager* manager);
    ~CMainFrame() override;

    // The status bar's first pane; the only writer of it.
    void SetStatusText(const wxString& text, int number = 0) override;

    // Applies the stored window position once, before the window first shows.
    void ActivateFrame();

    // The window's normal rectangle (left, top, right, bottom) in stored form.
    std::string PositionText() const;

    wxAuiToolBar* ToolBar() const { return m_toolBar; }
    wxStatusBar* StatusBar() const { return m_statusBar; }
    wxAuiManager& DockManager() { return m_auiManager; }
    CHelpService& Help() { return *m_pHelp; }

    // The snippet menu's state in the window's icon and the tray icon.
    void ShowMenuState(bool active);
    // The window shown, de-iconified and brought forward, as asked by a
    // second start or the tray.
    void ShowFromOutside();
    // A start with --tray: hidden with the tray icon where the desktop has a
    // notification area (one that comes up within a few seconds, as at
    // login, counts), minimised where it has none.
    void StartHidden();
    CTrayIcon* TrayIcon() const { return m_pTray.get(); }

    // The editor form is made by the view as a plain child of the frame; it
    // becomes the centre pane that the toolbar docks around.
    void AddChild(wxWindowBase* child) override;
    void AdoptClientWindow();

#ifdef __WXMSW__
    bool MSWTranslateMessage(WXMSG* msg) override;
#endif

private:
    bool CreateBars();
    void SetAccelerators();
    void UpdateIndicators();
    void OnClose(wxCloseEvent& event);
    // The window's close hides it instead: the option is on, the snippet
    // menu is active and the tray icon is there to bring it back.
    bool HidesOnClose() const;
    void WaitForTray();
    void OnExit(wxCommandEvent& event);
    void OnViewStatusBar(wxCommandEvent& event);
    void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
    void OnHelpTopics(wxCommandEvent& event);
    void OnTechSupport(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnContextHelp(wxCommandEvent& event);
    void OnHelpRequest(wxHelpEvent& event);
    void OnWebPage(wxCommandEvent& event);
    void OnMoveOrSize(wxEvent& event);
    void TakeNormalRect();

    wxAuiManager m_auiManager;
    wxAuiToolBar* m_toolBar = nullptr;
    wxStatusBar* m_statusBar = nullptr;
    std::unique_ptr<CHelpService> m_pHelp;
    bool m_bFirstActivation = true;
    wxRect m_rcNormal;           // last rectangle while neither maximised nor minimised
    bool m_bRectPending = false; // moved or resized; taken once the events settle
    wxTimer m_indicatorTimer;
    std::unique_ptr<CTrayIcon> m_pTray; // none without a notification area
    bool m_bExiting = false;            // Exit chosen: the close ends the program
    wxTimer m_trayTimer;                // a hidden start waiting for the tray
    int m_nTrayChecks = 0;
};
