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
// Modifier keys still held when the keys are due are waited for this long,
// looked at this often.
constexpr auto kModifierWait = 1000ms;
constexpr int kModifierPollMs = 5;
// A field given the focus through accessibility has it at once in most
// toolkits; a browser hands it to its page a few milliseconds later.
constexpr auto kFieldWait = 200ms;

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

const char* FieldName(const std::optional<EFieldFocus>& field) {
    if (!field)
        return "not looked for";
    switch (*field) {
    case EFieldFocus::Moved:
        return "focused";
    case EFieldFocus::AlreadyFocused:
        return "had the focus";
    case EFieldFocus::NoField:
        return "not found";
    case EFieldFocus::NoAnswer:
        return "did not answer";
    }
    return "?";
}

} // namespace

SPasteStep CPasteSequence::Start(const SPasteRequest& request, Clock::time_point now) {
    m_request = request;
    m_rule = request.target ? m_rules.For(m_pDesktop->WindowClass(request.target))
                            : CPasteRules::Fallback();
    m_pDesktop->SetClipboardText(request.text, {m_rule.fillPrimary, m_bRestoreClipboard});
    m_started = now;
    m_bReactivated = false;
    m_field.reset();
    m_bFieldArrived = false;
    m_bFieldMissed = false;
    m_modifiersSince.reset();
    m_bModifiersReleased = false;
    if (!request.target)
        return Finish(EPasteOutcome::NoTarget, now);
    return {std::nullopt, kFirstPollMs};
}

SPasteStep CPasteSequence::Step(Clock::time_point now) {
    const unsigned long target = m_request.target;
    if (!m_pDesktop->WindowExists(target))
        return Finish(EPasteOutcome::TargetGone, now);
    if (!m_pDesktop->HasFocus(target)) {
        const auto waited = now - m_started;
        if (waited >= kGiveUpAfter)
            return Finish(EPasteOutcome::NoFocus, now);
        if (waited >= kReactivateAfter && !m_bReactivated) {
            m_bReactivated = true;
            m_pDesktop->Activate(target, 0);
        }
        return {std::nullopt, kPollMs};
    }
    // Within the window, the field clicked: looked for once the window has
    // the keyboard, so the menu never waited for it.
    if (!m_field) {
        m_field = m_pDesktop->FocusFieldAt(target, m_request.x, m_request.y);
        m_fieldAsked = now;
    }
    // A field given the focus is waited for, briefly: past that the keys go
    // where the program has put its focus.
    if (*m_field == EFieldFocus::Moved && !m_bFieldArrived) {
        m_bFieldArrived = m_pDesktop->FieldFocusArrived();
        if (!m_bFieldArrived && now - m_fieldAsked < kFieldWait)
            return {std::nullopt, kPollMs};
        m_bFieldMissed = !m_bFieldArrived;
        m_bFieldArrived = true;
    }
    if (m_pDesktop->ModifiersHeld()) {
        if (!m_modifiersSince)
            m_modifiersSince = now;
        if (now - *m_modifiersSince < kModifierWait)
            return {std::nullopt, kModifierPollMs};
        // Still held: let go of them rather than type a different chord.
        m_pDesktop->ReleaseModifiers();
        m_bModifiersReleased = true;
    }
    return Finish(m_pDesktop->SendPasteKeys(m_rule.chord) ? EPasteOutcome::Pasted
                                                          : EPasteOutcome::KeysFailed,
                  now);
}

SPasteStep CPasteSequence::Finish(EPasteOutcome outcome, Clock::time_point now) const {
    if (trace::Enabled()) {
        const long long waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - m_started).count();
        char line[300];
        std::snprintf(line, sizeof line,
                      "paste %s: window 0x%lx, waited %lld ms, %s, field %s%s, %s%s", Name(outcome),
                      m_request.target, waited, m_bReactivated ? "reactivated" : "not reactivated",
                      FieldName(m_field), m_bFieldMissed ? " (never arrived)" : "",
                      m_rule.chord.Format().c_str(),
                      m_bModifiersReleased ? ", held modifiers released" : "");
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
