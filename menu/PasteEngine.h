#pragma once
// Puts a snippet's text on the clipboard and has the clicked program paste it
// with Ctrl+V, once the menu has closed and that program has the keyboard
// focus. The wait runs on timers with the event loop going: the target asks
// this program for the clipboard's contents while it pastes.

#include <wx/timer.h>

#include <chrono>
#include <functional>
#include <string>

class CPasteEngine : public wxEvtHandler {
public:
    enum class Outcome { Pasted, TargetGone, NoFocus, NoTarget, KeysFailed };

    CPasteEngine();
    ~CPasteEngine() override;

    // A paste still waiting replaces nothing: the newer one wins.
    void Paste(const std::string& text, unsigned long target);
    bool IsPending() const { return m_timer.IsRunning(); }

    // Tests learn how each paste ended.
    void SetOutcomeSink(std::function<void(Outcome)> sink) { m_sink = std::move(sink); }

private:
    void OnTimer(wxTimerEvent& event);
    void Finish(Outcome outcome);

    wxTimer m_timer;
    unsigned long m_target = 0;
    std::chrono::steady_clock::time_point m_started;
    bool m_bReactivated = false;
    bool m_bFailureShown = false; // the status bar tells of the last paste's failure
    std::function<void(Outcome)> m_sink;
};
