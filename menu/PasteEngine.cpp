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
}

void CPasteEngine::Paste(const std::string& text, unsigned long target) {
    m_timer.Stop();
    if (m_bFailureShown) {
        m_bFailureShown = false;
        CStatusText::Set("");
    }
    Follow(m_sequence.Start(text, target, CPasteSequence::Clock::now()));
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
