// The paste's decisions on a fake desktop, with time given to it: every way a
// paste ends, when the window is looked at, asked again and given up, what
// the user is told, and the trace line each paste leaves.

#include "menu/PasteSequence.h"
#include "platform/Trace.h"
#include "res/Messages.h"
#include "support/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

using Clock = CPasteSequence::Clock;
using O = EPasteOutcome;

struct SCase {
    unsigned long m_nTarget;   // 7 or none
    int m_nFocusAt, m_nGoneAt; // when 7 takes the keyboard, goes; ms from the start, -1 never
    bool m_bFocusOnActivate, m_bKeysWork;
    O m_eOutcome;
    int m_nDoneAt;
    const char* m_pszCalls; // what the desktop was asked to do
};

// Steps a paste as the engine's timer does, at the times the steps ask for;
// the time it ended.
std::pair<O, int> Drive(CPasteSequence& paste, CFakeDesktop& desktop, const SCase& c,
                        Clock::time_point start) {
    SPasteStep step = paste.Start("text", c.m_nTarget, start);
    int ms = 0;
    while (!step.outcome) {
        ms += step.pollMs;
        desktop.m_nFocus = c.m_nFocusAt >= 0 && ms >= c.m_nFocusAt ? 7 : desktop.m_nFocus;
        if (c.m_nGoneAt >= 0 && ms >= c.m_nGoneAt)
            desktop.m_windows.clear();
        step = paste.Step(start + std::chrono::milliseconds(ms));
    }
    return {*step.outcome, ms};
}

} // namespace

TEST(PasteSequence, EveryOutcomeAtItsTimeToldAndTracedAndTheNewestPasteWins) {
    const SCase cases[] = {
        // No window clicked; focus at the first look, 1 ms on; gone by then;
        // the keys cannot be typed.
        {0, -1, -1, false, true, O::NoTarget, 0, "clipboard"},
        {7, 0, -1, false, true, O::Pasted, 1, "clipboard keys"},
        {7, -1, 0, false, true, O::TargetGone, 1, "clipboard"},
        {7, 0, -1, false, false, O::KeysFailed, 1, "clipboard keys"},
        // The focus comes late: looked at every 2 ms; asked again once, at
        // 150 ms; never: given up at 1.5 s; the window closes meanwhile.
        {7, 100, -1, false, true, O::Pasted, 101, "clipboard keys"},
        {7, -1, -1, true, true, O::Pasted, 153, "clipboard activate 7 keys"},
        {7, -1, -1, false, true, O::NoFocus, 1501, "clipboard activate 7"},
        {7, -1, 500, false, true, O::TargetGone, 501, "clipboard activate 7"},
    };
    std::string trace; // each line from its window on
    trace::SetSink(
        [&](const std::string& line) { trace += line.substr(line.find(": ") + 2) + "\n"; });
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.m_pszCalls + (" at " + std::to_string(c.m_nDoneAt)));
        CFakeDesktop desktop;
        desktop.m_windows = {7};
        desktop.m_bFocusOnActivate = c.m_bFocusOnActivate;
        desktop.m_bKeysWork = c.m_bKeysWork;
        CPasteSequence paste(desktop);
        trace.clear();
        EXPECT_EQ(Drive(paste, desktop, c, Clock::now()), std::pair(c.m_eOutcome, c.m_nDoneAt));
        EXPECT_EQ(desktop.m_strCalls + ", " + desktop.m_strClipboard,
                  c.m_pszCalls + std::string(", text"));
        const bool again = desktop.m_strCalls.find("activate") != std::string::npos;
        EXPECT_EQ(trace, "window 0x" + std::to_string(c.m_nTarget) + ", waited " +
                             std::to_string(c.m_nDoneAt) + " ms, " + (again ? "" : "not ") +
                             "reactivated\n");
    }
    trace::SetSink(nullptr);
    // What the status bar says of each: nothing of a paste made or not asked for.
    std::string texts;
    for (const O outcome : {O::Pasted, O::NoTarget, O::TargetGone, O::NoFocus, O::KeysFailed})
        texts += (PasteFailureText(outcome) ? PasteFailureText(outcome) : std::string("-")) + "|";
    EXPECT_EQ(texts, "-|-|" + std::string(msg::kPasteTargetGone) + "|" + msg::kPasteNoFocus + "|" +
                         msg::kPasteKeysFailed + "|");

    // A newer paste replaces one waiting.
    CFakeDesktop desktop;
    desktop.m_windows = {7, 8};
    CPasteSequence paste(desktop);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(paste.Start("first", 8, start).outcome);
    EXPECT_FALSE(paste.Step(start + std::chrono::milliseconds(200)).outcome);
    // The newer paste starts afresh: asked again 150 ms after its own start,
    // and the first window is left alone.
    desktop.m_bFocusOnActivate = true;
    EXPECT_EQ(Drive(paste, desktop, {7, -1, -1, true, true, O::Pasted, 0, ""},
                    start + std::chrono::milliseconds(200)),
              std::pair(O::Pasted, 153));
    EXPECT_EQ(desktop.m_strCalls, "clipboard activate 8 clipboard activate 7 keys");
}
