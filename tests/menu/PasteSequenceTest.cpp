// The paste's decisions on a fake desktop, with time given to it: every way a
// paste ends, when the window is looked at, asked again and given up, the
// field under the click, held modifiers, the keys and selections each program
// gets, what the user is told, and the trace line each paste leaves.

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
    const char* m_pszCalls;                      // what the desktop was asked to do
    int m_nModifiersUpAt = -1;                   // a held modifier let go then; -1 not held
    EFieldFocus m_eField = EFieldFocus::NoField; // what the field lookup answers
    int m_nFieldArrivesAt = 0;                   // when a moved field shows the focus; -1 never
};

// Steps a paste as the engine's timer does, at the times the steps ask for;
// the time it ended.
std::pair<O, int> Drive(CPasteSequence& paste, CFakeDesktop& desktop, const SCase& c,
                        Clock::time_point start) {
    desktop.m_bModifiersHeld = c.m_nModifiersUpAt != -1;
    desktop.m_eField = c.m_eField;
    SPasteStep step = paste.Start({"text", c.m_nTarget, 40, 50}, start);
    int ms = 0;
    while (!step.outcome) {
        ms += step.pollMs;
        desktop.m_nFocus = c.m_nFocusAt >= 0 && ms >= c.m_nFocusAt ? 7 : desktop.m_nFocus;
        if (c.m_nGoneAt >= 0 && ms >= c.m_nGoneAt)
            desktop.m_windows.clear();
        if (c.m_nModifiersUpAt >= 0 && ms >= c.m_nModifiersUpAt)
            desktop.m_bModifiersHeld = false;
        desktop.m_bFieldArrived = c.m_nFieldArrivesAt >= 0 && ms >= c.m_nFieldArrivesAt;
        step = paste.Step(start + std::chrono::milliseconds(ms));
    }
    return {*step.outcome, ms};
}

} // namespace

TEST(PasteSequence, EveryOutcomeAtItsTimeToldAndTracedAndTheNewestPasteWins) {
    constexpr auto moved = EFieldFocus::Moved;
    constexpr auto noAnswer = EFieldFocus::NoAnswer;
    const SCase cases[] = {
        // No window clicked; focus at the first look, 1 ms on; gone by then;
        // the keys cannot be typed.
        {0, -1, -1, false, true, O::NoTarget, 0, "clipboard"},
        {7, 0, -1, false, true, O::Pasted, 1, "clipboard field 7@40,50 keys Ctrl+V"},
        {7, -1, 0, false, true, O::TargetGone, 1, "clipboard"},
        {7, 0, -1, false, false, O::KeysFailed, 1, "clipboard field 7@40,50 keys Ctrl+V"},
        // The focus comes late: looked at every 2 ms; asked again once, at
        // 150 ms; never: given up at 1.5 s; the window closes meanwhile. The
        // field is looked for only once the window has the keyboard.
        {7, 100, -1, false, true, O::Pasted, 101, "clipboard field 7@40,50 keys Ctrl+V", -1, moved},
        {7, -1, -1, true, true, O::Pasted, 153, "clipboard activate 7 field 7@40,50 keys Ctrl+V",
         -1, noAnswer},
        {7, -1, -1, false, true, O::NoFocus, 1501, "clipboard activate 7"},
        {7, -1, 500, false, true, O::TargetGone, 501, "clipboard activate 7"},
        // A modifier still held is waited for, every 5 ms, the field looked
        // for once; held past a second, it is let go of first.
        {7, 0, -1, false, true, O::Pasted, 21, "clipboard field 7@40,50 keys Ctrl+V", 20},
        {7, 0, -1, false, true, O::Pasted, 1001, "clipboard field 7@40,50 release keys Ctrl+V", -2},
        // A browser shows the focus in the field a moment later: waited for,
        // up to 200 ms, then the keys go anyway.
        {7, 0, -1, false, true, O::Pasted, 21, "clipboard field 7@40,50 keys Ctrl+V", -1, moved,
         20},
        {7, 0, -1, false, true, O::Pasted, 201, "clipboard field 7@40,50 keys Ctrl+V", -1, moved,
         -1},
    };
    const char* fields[] = {"not found", "focused", "had the focus", "did not answer"};
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
        const auto has = [&](const char* call) {
            return desktop.m_strCalls.find(call) != std::string::npos;
        };
        const int field = c.m_eField == moved ? 1 : c.m_eField == noAnswer ? 3 : 0;
        EXPECT_EQ(trace, "window 0x" + std::to_string(c.m_nTarget) + ", waited " +
                             std::to_string(c.m_nDoneAt) + " ms, " +
                             (has("activate") ? "" : "not ") + "reactivated, field " +
                             (has("field") ? fields[field] : "not looked for") +
                             (c.m_nFieldArrivesAt < 0 ? " (never arrived)" : "") + ", Ctrl+V" +
                             (has("release") ? ", held modifiers released" : "") + "\n");
    }
    trace::SetSink(nullptr);
    // What the status bar says of each: nothing of a paste made or not asked for.
    std::string texts;
    for (const O outcome : {O::Pasted, O::NoTarget, O::TargetGone, O::NoFocus, O::KeysFailed})
        texts += (PasteFailureText(outcome) ? PasteFailureText(outcome) : std::string("-")) + "|";
    EXPECT_EQ(texts, "-|-|" + std::string(msg::kPasteTargetGone) + "|" + msg::kPasteNoFocus + "|" +
                         msg::kPasteKeysFailed + "|");

    // A newer paste replaces one waiting, and starts afresh: its modifiers
    // and its field are its own.
    CFakeDesktop desktop;
    desktop.m_windows = {7, 8};
    CPasteSequence paste(desktop);
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(paste.Start({"first", 8, 1, 2}, start).outcome);
    EXPECT_FALSE(paste.Step(start + std::chrono::milliseconds(200)).outcome);
    // Asked again 150 ms after its own start, and the first window is left alone.
    desktop.m_bFocusOnActivate = true;
    EXPECT_EQ(Drive(paste, desktop, {7, -1, -1, true, true, O::Pasted, 0, ""},
                    start + std::chrono::milliseconds(200)),
              std::pair(O::Pasted, 153));
    EXPECT_EQ(desktop.m_strCalls,
              "clipboard activate 8 clipboard activate 7 field 7@40,50 keys Ctrl+V");
}

TEST(PasteSequence, EachProgramGetsItsOwnPasteKeysAndSelections) {
    CFakeDesktop desktop;
    desktop.m_windows = {1, 2, 3, 4, 5, 6};
#ifdef _WIN32
    // Program file name and window class, as Windows gives them.
    desktop.m_classes = {
        {1, {"mintty", "mintty"}},
        {2, {"putty", "PuTTY"}},
        {3, {"emacs", "Emacs"}},
#else
    desktop.m_classes = {{1, {"xterm", "XTerm"}},
                         {2, {"gnome-terminal-server", "Gnome-terminal"}},
                         {3, {"emacs", "Emacs"}},
#endif
        {4, {"mousepad", "Mousepad"}},
        {5, {"Navigator", "firefox"}}
    };
    const auto paste = [&](CPasteSequence& sequence, unsigned long window) {
        desktop.m_strCalls.clear();
        desktop.m_nFocus = window;
        sequence.Start({"snippet", window, 0, 0}, Clock::now());
        sequence.Step(Clock::now());
        return desktop.m_strCalls.substr(0, desktop.m_strCalls.find(" field")) +
               desktop.m_strCalls.substr(desktop.m_strCalls.find(" keys")) +
               (desktop.m_fill.restorePrevious ? " restore" : "");
    };
    CPasteSequence sequence(desktop);
    std::string got;
    for (unsigned long window = 1; window <= 6; ++window)
        got += paste(sequence, window) + "|";
        // A window without a class (6) gets Ctrl+V.
#ifdef _WIN32
    // Windows has no PRIMARY; its terminals that would type Ctrl+V take Shift+Insert.
    EXPECT_EQ(got, "clipboard keys Shift+Insert|clipboard keys Shift+Insert|"
#else
    // xterm pastes PRIMARY.
    EXPECT_EQ(got, "clipboard+primary keys Shift+Insert|clipboard keys Ctrl+Shift+V|"
#endif
                   "clipboard keys Ctrl+Y|clipboard keys Ctrl+V|clipboard keys Ctrl+V|"
                   "clipboard keys Ctrl+V|");
    // The user's own table and the restoring of the clipboard.
    sequence.SetRules(CPasteRules({{"mouse*", *SKeyChord::Parse("alt+insert"), true}}));
    sequence.SetRestoreClipboard(true);
    EXPECT_EQ(paste(sequence, 4) + "|" + paste(sequence, 1),
              "clipboard+primary keys Alt+Insert restore|clipboard keys Ctrl+V restore");
}

TEST(PasteRules, PatternsMatchWholeNamesIgnoringCaseAndHostilePatternsStayCheap) {
    struct {
        const char* pattern;
        const char* text;
        bool match;
    } const cases[] = {
        {"xterm", "XTerm", true},
        {"xterm", "uxterm", false},
        {"gnome-terminal*", "gnome-terminal-server", true},
        {"*wezterm*", "org.wezfurlong.wezterm", true},
        {"st", "st-256color", false},
        {"s?", "st", true},
        {"?", "", false},
        {"*", "", true},
        {"", "", true},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "aXbYcd", false},
        {"*.*", "com.gexperts.Tilix", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CPasteRules::Matches(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;
    // Many stars against a long miss: linear, not exponential.
    EXPECT_FALSE(CPasteRules::Matches(std::string(200, '*') + "b", std::string(5000, 'a')));
    // The first matching row wins; instance or class may match.
    const CPasteRules rules({{"foo", *SKeyChord::Parse("F1"), false},
                             {"Bar", *SKeyChord::Parse("F2"), false},
                             {"*", *SKeyChord::Parse("F3"), false}});
    EXPECT_EQ(rules.For({"x", "BAR"}).chord.key, "F2");
    EXPECT_EQ(rules.For({"foo", "bar"}).chord.key, "F1");
    EXPECT_EQ(rules.For({"", ""}).chord.key, "F3");
}

TEST(KeyChord, WrittenFormsReadBackAndNonsenseIsRefused) {
    for (const char* text : {"Ctrl+V", "Ctrl+Shift+V", "Shift+Insert", "Ctrl+Alt+Super+F12", "Y"})
        EXPECT_EQ(SKeyChord::Parse(text)->Format(), text);
    EXPECT_EQ(SKeyChord::Parse(" shift + ctrl + v ")->Format(), "Ctrl+Shift+V");
    EXPECT_EQ(SKeyChord::Parse("control+insert")->Format(), "Ctrl+Insert");
    for (const char* bad :
         {"", "Ctrl+", "+V", "Ctrl+Ctrl+V", "Hyper+V", "Ctrl+V+", "Ctrl+Page Up", "Ctrl+\xc3\xa9"})
        EXPECT_FALSE(SKeyChord::Parse(bad)) << bad;
}
