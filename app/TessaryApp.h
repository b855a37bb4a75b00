#pragma once
// The application object: start-up in a fixed order and the run's services.

#include <wx/app.h>

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

    // Command line of the GUI run: at most one library to open.
    std::string m_strFileToOpen;
    // GDK_GL was set by main for GTK's start only.
    bool m_bUnsetGdkGl = false;

private:
    // Commands sent from outside, such as `tessary --toggle`.
    void ListenForCommands();

    CTessaryDocManager* m_pDocManager = nullptr;
    std::unique_ptr<CCommandReceiver> m_pCommands;
    std::string m_strHelpFile;
};

wxDECLARE_APP(CTessaryApp);
