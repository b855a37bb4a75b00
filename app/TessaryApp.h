#pragma once
// The application object: start-up in a fixed order and the run's services.

#include <wx/app.h>

#include <string>

class CTessaryDocManager;
class CMainFrame;

class CTessaryApp : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

    CTessaryDocManager* DocManager() const { return m_pDocManager; }
    CMainFrame* MainFrame() const;
    // The help book next to the program.
    const std::string& HelpFile() const { return m_strHelpFile; }

    // Command line of the GUI run: at most one library to open.
    std::string m_strFileToOpen;

private:
    CTessaryDocManager* m_pDocManager = nullptr;
    std::string m_strHelpFile;
};

wxDECLARE_APP(CTessaryApp);
