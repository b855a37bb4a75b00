#pragma once
// The application object: start-up in a fixed order and the run's services.

#include <wx/app.h>
#include <wx/timer.h>

#include <memory>
#include <string>

class CCommandReceiver;
class CTessaryDocManager;
class CMainFrame;

class CTessaryApp : public wxApp {
public:
    CTessaryApp();
    ~CTessaryApp() override;
    bool OnInit() override;
    int OnExit() override;

    CTessaryDocManager* DocManager() const { return m_pDocManager; }
    CMainFrame* MainFrame() const;
    // The help book next to the program.
    const std::string& HelpFile() const { return m_strHelpFile; }

    // Command line of the GUI run: at most one library to open, and how
    // to start.
    std::string m_strFileToOpen;
    // GDK_GL was set by main for GTK's start only.
    bool m_bUnsetGdkGl = false;
    bool m_bStartInTray = false;
    bool m_bStartActive = false;

private:
    // Commands sent from outside, such as `tessary --toggle` and a second
    // start's command line.
    void ListenForCommands();
    void OnCommandFromOutside(int commandId, const std::string& argument);
    // A library named by a second start; waits while a modal dialog or the
    // snippet menu is open, so nothing is replaced under it.
    void OpenFromOutside();
    // The notes shown once at start: a damaged settings file, the Wayland
    // session; with the tip of the day when the window is shown.
    void ShowStartupNotes(bool withTip);

    CTessaryDocManager* m_pDocManager = nullptr;
    std::unique_ptr<CCommandReceiver> m_pCommands;
    std::string m_strHelpFile;
    std::string m_strPendingOpen; // the last library named from outside, not yet opened
    wxTimer m_openTimer;
};

wxDECLARE_APP(CTessaryApp);
