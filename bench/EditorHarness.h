#pragma once
// The program's document manager, main frame, document and view, set up as
// the application does at start, for benchmarks that drive the real editor.
// Settings go to a file in the scratch folder; message boxes and file
// prompts are in test mode, so nothing ever waits for a person.

#include <string>

class CMainFrame;
class CTessaryDoc;
class CTessaryDocManager;
class CTessaryView;

class CEditorHarness {
public:
    // Needs a running wx (wxEntryStart) on an X display.
    bool Start();
    void Stop();

    CTessaryDoc* Doc() const;
    CTessaryView* View() const;
    CMainFrame* Frame() const { return m_pFrame; }

    // Loads the generated library of nItems items into the document and
    // rebuilds the view, unless that library is already shown.
    bool ShowLibrary(int nItems);

    // Runs pending events for a while, so the window is drawn and idle.
    static void Settle(int ms);

private:
    CTessaryDocManager* m_pManager = nullptr;
    CMainFrame* m_pFrame = nullptr;
    int m_nShown = -1;
};
