#pragma once
// Puts a snippet's text on the clipboard and has the clicked program paste it
// with Ctrl+V, once the menu has closed and that program has the keyboard
// focus. The decisions are the paste sequence's; this drives it on a timer
// with the event loop going (the target asks this program for the
// clipboard's contents while it pastes), and tells a paste not made in the
// status bar.

#include "menu/PasteSequence.h"

#include <wx/timer.h>

#include <functional>
#include <memory>
#include <string>

class CPasteEngine : public wxEvtHandler {
public:
    explicit CPasteEngine(std::unique_ptr<CDesktop> desktop);
    ~CPasteEngine() override;

    // A paste still waiting replaces nothing: the newer one wins.
    void Paste(const SPasteRequest& request);
    bool IsPending() const { return m_timer.IsRunning(); }

    // The desktop the pastes go to; the view brings the clicked window
    // forward through it.
    CDesktop& Desktop() { return *m_pDesktop; }

    // Which keys paste in which program, and whether the clipboard's earlier
    // contents come back after a paste: from the settings.
    void SetRules(CPasteRules rules);
    void SetRestoreClipboard(bool restore);

    // Tests: another desktop (a fake), and how each paste ended.
    void SetDesktop(std::unique_ptr<CDesktop> desktop);
    void SetOutcomeSink(std::function<void(EPasteOutcome)> sink) { m_sink = std::move(sink); }

private:
    void OnTimer(wxTimerEvent& event);
    void Follow(const SPasteStep& step);

    std::unique_ptr<CDesktop> m_pDesktop;
    CPasteSequence m_sequence;
    CPasteRules m_rules;
    bool m_bRestoreClipboard = false;
    wxTimer m_timer;
    bool m_bFailureShown = false; // the status bar tells of the last paste's failure
    std::function<void(EPasteOutcome)> m_sink;
};
