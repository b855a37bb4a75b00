#include "menu/PasteSequence.h"

#include "platform/Trace.h"
#include "res/Messages.h"

#include <cstdio>

namespace {

using namespace std::chrono_literals;
// The menu's grab is released once control is back in the event loop.
constexpr int kFirstPollMs = 1;
// How often the focus is looked at while waiting for it.
constexpr int kPollMs = 2;
// A window manager that has not handed the focus over by then is asked again.
constexpr auto kReactivateAfter = 150ms;
// Past this the target is taken as unwilling: nothing is typed anywhere else.
constexpr auto kGiveUpAfter = 1500ms;

const char* Name(EPasteOutcome outcome) {
    switch (outcome) {
    case EPasteOutcome::Pasted:
        return "pasted";
    case EPasteOutcome::TargetGone:
        return "not pasted, the window closed";
    case EPasteOutcome::NoFocus:
        return "not pasted, the window never took the keyboard";
    case EPasteOutcome::NoTarget:
        return "on the clipboard only, no window was clicked";
    case EPasteOutcome::KeysFailed:
        return "not pasted, Ctrl+V could not be typed";
    }
    return "?";
}

} // namespace

SPasteStep CPasteSequence::Start(const std::string& text, unsigned long target,
                                 Clock::time_point now) {
    m_pDesktop->SetClipboardText(text);
    m_nTarget = target;
    m_started = now;
    m_bReactivated = false;
    if (!target)
        return Finish(EPasteOutcome::NoTarget, now);
    return {std::nullopt, kFirstPollMs};
}

SPasteStep CPasteSequence::Step(Clock::time_point now) {
    if (!m_pDesktop->WindowExists(m_nTarget))
        return Finish(EPasteOutcome::TargetGone, now);
    if (m_pDesktop->HasFocus(m_nTarget))
        return Finish(
            m_pDesktop->SendPasteKeys() ? EPasteOutcome::Pasted : EPasteOutcome::KeysFailed, now);
    const auto waited = now - m_started;
    if (waited >= kGiveUpAfter)
        return Finish(EPasteOutcome::NoFocus, now);
    if (waited >= kReactivateAfter && !m_bReactivated) {
        m_bReactivated = true;
        m_pDesktop->Activate(m_nTarget, 0);
    }
    return {std::nullopt, kPollMs};
}

SPasteStep CPasteSequence::Finish(EPasteOutcome outcome, Clock::time_point now) const {
    if (trace::Enabled()) {
        const long long waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - m_started).count();
        char line[200];
        std::snprintf(line, sizeof line, "paste %s: window 0x%lx, waited %lld ms, %s",
                      Name(outcome), m_nTarget, waited,
                      m_bReactivated ? "reactivated" : "not reactivated");
        trace::Line(line);
    }
    return {outcome, 0};
}

const char* PasteFailureText(EPasteOutcome outcome) {
    switch (outcome) {
    case EPasteOutcome::NoFocus:
        return msg::kPasteNoFocus;
    case EPasteOutcome::TargetGone:
        return msg::kPasteTargetGone;
    case EPasteOutcome::KeysFailed:
        return msg::kPasteKeysFailed;
    default:
        return nullptr;
    }
}
