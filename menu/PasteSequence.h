#pragma once
// How one paste of a chosen snippet goes, decided on the time it is given and
// on what the desktop answers, without a window or a timer of its own: the
// text goes on the clipboard, then the clicked window is watched until it has
// the keyboard focus, when Ctrl+V is typed. A window manager that has not
// handed the focus over after a while is asked once more; past the limit the
// window is taken as unwilling, and nothing is typed anywhere else.

#include "platform/Desktop.h"

#include <chrono>
#include <optional>
#include <string>

enum class EPasteOutcome { Pasted, TargetGone, NoFocus, NoTarget, KeysFailed };

// What a step leaves to the caller: to step again after pollMs, or, with
// outcome set, nothing more: the paste is over.
struct SPasteStep {
    std::optional<EPasteOutcome> outcome;
    int pollMs = 0;
};

class CPasteSequence {
public:
    using Clock = std::chrono::steady_clock;

    explicit CPasteSequence(CDesktop& desktop) : m_pDesktop(&desktop) {}

    // Puts text on the clipboard (also when it cannot be pasted, so that it
    // can be pasted by hand) and begins the paste into target, forgetting a
    // paste still waiting.
    SPasteStep Start(const std::string& text, unsigned long target, Clock::time_point now);
    SPasteStep Step(Clock::time_point now);

    bool Reactivated() const { return m_bReactivated; }

private:
    SPasteStep Finish(EPasteOutcome outcome, Clock::time_point now) const;

    CDesktop* m_pDesktop;
    unsigned long m_nTarget = 0;
    Clock::time_point m_started;
    bool m_bReactivated = false;
};

// What the status bar says of a paste that ended so; null for none to tell.
const char* PasteFailureText(EPasteOutcome outcome);
