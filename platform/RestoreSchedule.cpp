#include "platform/RestoreSchedule.h"

void CRestoreSchedule::Start(Clock::time_point now) {
    m_start = now;
    m_keys.reset();
    m_lastRequest.reset();
    m_nRequests = 0;
}

void CRestoreSchedule::KeysSent(Clock::time_point now) {
    if (!m_start)
        return;
    m_keys = now;
    // A second paste's keys before the first restore: its own read counts.
    m_lastRequest.reset();
    m_nRequests = 0;
}

void CRestoreSchedule::Requested(Clock::time_point now) {
    if (!m_start || !m_keys)
        return;
    m_lastRequest = now;
    ++m_nRequests;
}

CRestoreSchedule::Clock::time_point CRestoreSchedule::DueAt() const {
    if (m_lastRequest)
        return *m_lastRequest + kQuiet;
    if (m_keys)
        return *m_keys + kNoRequestAfterKeys;
    return m_start.value_or(Clock::time_point{}) + kNoKeys;
}
