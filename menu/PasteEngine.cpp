#include "menu/PasteEngine.h"

#include "app/StatusText.h"
#include "platform/DesktopWindows.h"
#include "res/Messages.h"

namespace {

using namespace std::chrono_literals;
// How often the focus is looked at while waiting for it.
constexpr int kPollMs = 2;
// A window manager that has not handed the focus over by then is asked again.
constexpr auto kReactivateAfter = 150ms;
// Past this the target is taken as unwilling: nothing is typed anywhere else.
constexpr auto kGiveUpAfter = 1500ms;

// What the user is told when the keys were not sent; the text is on the
// clipboard all the same, to be pasted by hand.
const char* FailureText(CPasteEngine::Outcome outcome) {
    switch (outcome) {
    case CPasteEngine::Outcome::NoFocus:
        return msg::kPasteNoFocus;
    case CPasteEngine::Outcome::TargetGone:
        return msg::kPasteTargetGone;
    case CPasteEngine::Outcome::KeysFailed:
        return msg::kPasteKeysFailed;
    default:
        return nullptr;
    }
}

} // namespace

CPasteEngine::CPasteEngine() : m_timer(this) {
    Bind(wxEVT_TIMER, &CPasteEngine::OnTimer, this);
}

CPasteEngine::~CPasteEngine() {
    m_timer.Stop();
}

void CPasteEngine::Paste(const std::string& text, unsigned long target) {
    m_timer.Stop();
    if (m_bFailureShown) {
        m_bFailureShown = false;
        CStatusText::Set("");
    }
    // The clipboard is taken even when the keys cannot be sent, so the text
    // can still be pasted by hand.
    desktop::SetClipboardText(text);
    m_target = target;
    if (!target) {
        Finish(Outcome::NoTarget);
        return;
    }
    m_started = std::chrono::steady_clock::now();
    m_bReactivated = false;
    // The menu's grab is released once control is back in the event loop.
    m_timer.StartOnce(1);
}

void CPasteEngine::OnTimer(wxTimerEvent&) {
    if (!desktop::WindowExists(m_target)) {
        Finish(Outcome::TargetGone);
        return;
    }
    if (desktop::HasFocus(m_target)) {
        Finish(desktop::SendCtrlV() ? Outcome::Pasted : Outcome::KeysFailed);
        return;
    }
    const auto waited = std::chrono::steady_clock::now() - m_started;
    if (waited >= kGiveUpAfter) {
        Finish(Outcome::NoFocus);
        return;
    }
    if (waited >= kReactivateAfter && !m_bReactivated) {
        m_bReactivated = true;
        desktop::ActivateWindow(m_target, 0);
    }
    m_timer.StartOnce(kPollMs);
}

void CPasteEngine::Finish(Outcome outcome) {
    if (const char* text = FailureText(outcome)) {
        CStatusText::Set(text);
        m_bFailureShown = true;
    }
    if (m_sink)
        m_sink(outcome);
}
