#pragma once
// The program's one top-level window: menu, toolbar and status bar around the
// editor form.

#include <wx/docview.h>
#include <wx/timer.h>

#include <string>

class wxDocManager;
class wxStatusBar;
class wxToolBar;

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

    wxToolBar* ToolBar() const { return m_toolBar; }
    wxStatusBar* StatusBar() const { return m_statusBar; }

private:
    bool CreateBars();
    void SetAccelerators();
    void OnClose(wxCloseEvent& event);
    void OnExit(wxCommandEvent& event);
    void OnViewStatusBar(wxCommandEvent& event);
    void OnUpdateViewStatusBar(wxUpdateUIEvent& event);
    void OnNotAvailable(wxCommandEvent& event);
    void OnMoveOrSize(wxEvent& event);
    void OnIndicatorTimer(wxTimerEvent& event);

    wxToolBar* m_toolBar = nullptr;
    wxStatusBar* m_statusBar = nullptr;
    bool m_bFirstActivation = true;
    wxRect m_rcNormal; // last rectangle while neither maximised nor minimised
    wxTimer m_indicatorTimer;

    wxDECLARE_EVENT_TABLE();
};
