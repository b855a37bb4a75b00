#pragma once
// When the clipboard's earlier contents may come back after a paste: once the
// target has read the snippet and gone quiet, or after a while when it never
// asks. Only time, no display, so the rules are tested on their own.
//
// The target reads the snippet after the paste keys; a clipboard manager
// reads it as soon as it appears, often before the target has the focus. So
// only the requests after the keys count, and the wait for a read runs from
// the keys; a paste that never sends them gives back after a longer while.

#include <chrono>
#include <optional>

class CRestoreSchedule {
public:
    using Clock = std::chrono::steady_clock;

    // No request after the last one for this long: the target has what it
    // wanted (a target reads each target it wants within a few milliseconds).
    static constexpr auto kQuiet = std::chrono::milliseconds(300);
    // The keys went and nothing asked: the target pastes from elsewhere (a
    // terminal pasting PRIMARY) or not at all.
    static constexpr auto kNoRequestAfterKeys = std::chrono::milliseconds(2000);
    // No keys at all: the paste waits up to 1.5 s for the focus and 1 s for
    // held modifiers before giving up, so by then it never will.
    static constexpr auto kNoKeys = std::chrono::milliseconds(4000);

    // A snippet was put on the clipboard: a new wait (a second paste restarts it).
    void Start(Clock::time_point now);
    void Stop() { m_start.reset(); }
    bool Running() const { return m_start.has_value(); }

    void KeysSent(Clock::time_point now);
    // Someone asked for the snippet's data; counts only after the keys.
    void Requested(Clock::time_point now);

    // The moment the restore is due (only while running).
    Clock::time_point DueAt() const;
    bool Due(Clock::time_point now) const { return Running() && now >= DueAt(); }
    // Requests counted so far, for the trace.
    int Requests() const { return m_nRequests; }

private:
    std::optional<Clock::time_point> m_start;
    std::optional<Clock::time_point> m_keys;
    std::optional<Clock::time_point> m_lastRequest;
    int m_nRequests = 0;
};
