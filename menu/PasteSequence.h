#pragma once
// How one paste of a chosen snippet goes, decided on the time it is given and
// on what the desktop answers, without a window or a timer of its own: the
// text goes on the clipboard, then the clicked window is watched until it has
// the keyboard focus; the field under the click gets the focus within it,
// modifier keys the user still holds are waited for, and the window's paste
// keys are typed. A window manager that has not handed the focus over after a
// while is asked once more; past the limit the window is taken as unwilling,
// and nothing is typed anywhere else.

#include "menu/PasteRules.h"
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

// One paste: the text, the window clicked (0 for none) and the screen point
// of the click.
struct SPasteRequest {
    std::string text;
    unsigned long target = 0;
    int x = 0;
    int y = 0;
};

class CPasteSequence {
public:
    using Clock = std::chrono::steady_clock;

    explicit CPasteSequence(CDesktop& desktop) : m_pDesktop(&desktop) {}

    void SetRules(CPasteRules rules) { m_rules = std::move(rules); }
    void SetRestoreClipboard(bool restore) { m_bRestoreClipboard = restore; }

    // Puts the text on the clipboard (also when it cannot be pasted, so that
    // it can be pasted by hand) and begins the paste into the target,
    // forgetting a paste still waiting.
    SPasteStep Start(const SPasteRequest& request, Clock::time_point now);
    SPasteStep Step(Clock::time_point now);

    bool Reactivated() const { return m_bReactivated; }

private:
    SPasteStep Finish(EPasteOutcome outcome, Clock::time_point now) const;

    CDesktop* m_pDesktop;
    CPasteRules m_rules;
    bool m_bRestoreClipboard = false;

    SPasteRequest m_request;
    SPasteRule m_rule;
    Clock::time_point m_started;
    bool m_bReactivated = false;
    std::optional<EFieldFocus> m_field; // once looked for
    Clock::time_point m_fieldAsked;
    bool m_bFieldArrived = false;
    bool m_bFieldMissed = false;                       // the focus never showed in the field
    std::optional<Clock::time_point> m_modifiersSince; // first seen held
    bool m_bModifiersReleased = false;
};

// What the status bar says of a paste that ended so; null for none to tell.
const char* PasteFailureText(EPasteOutcome outcome);
