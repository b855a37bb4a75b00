#include "menu/PasteEngine.h"

#include "app/StatusText.h"

CPasteEngine::CPasteEngine(std::unique_ptr<CDesktop> desktop)
    : m_pDesktop(std::move(desktop)), m_sequence(*m_pDesktop), m_timer(this) {
    Bind(wxEVT_TIMER, &CPasteEngine::OnTimer, this);
}

CPasteEngine::~CPasteEngine() {
    m_timer.Stop();
}

void CPasteEngine::SetDesktop(std::unique_ptr<CDesktop> desktop) {
    m_timer.Stop();
    m_pDesktop = std::move(desktop);
    m_sequence = CPasteSequence(*m_pDesktop);
    m_sequence.SetRules(m_rules);
    m_sequence.SetRestoreClipboard(m_bRestoreClipboard);
}

void CPasteEngine::SetRules(CPasteRules rules) {
    m_rules = rules;
    m_sequence.SetRules(std::move(rules));
}

void CPasteEngine::SetRestoreClipboard(bool restore) {
    m_bRestoreClipboard = restore;
    m_sequence.SetRestoreClipboard(restore);
}

void CPasteEngine::Paste(const SPasteRequest& request) {
    m_timer.Stop();
    if (m_bFailureShown) {
        m_bFailureShown = false;
        CStatusText::Set("");
    }
    Follow(m_sequence.Start(request, CPasteSequence::Clock::now()));
}

void CPasteEngine::OnTimer(wxTimerEvent&) {
    Follow(m_sequence.Step(CPasteSequence::Clock::now()));
}

void CPasteEngine::Follow(const SPasteStep& step) {
    if (!step.outcome) {
        m_timer.StartOnce(step.pollMs);
        return;
    }
    if (const char* text = PasteFailureText(*step.outcome)) {
        CStatusText::Set(text);
        m_bFailureShown = true;
    }
    if (m_sink)
        m_sink(*step.outcome);
}
