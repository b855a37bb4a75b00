#include "view/TextUndo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct SStep {
    const char* text;
    bool continuesAction = false;
    bool standsAlone = false;
};

struct SCase {
    const char* name;
    const char* start;
    std::vector<SStep> steps; // the text after each change, as the box reports it
    const char* undo;         // what Undo then puts back
};

const SCase kCases[] = {
    {"typing is one run", "Hello", {{"Hello "}, {"Hello w"}, {"Hello wo"}}, "Hello"},
    {"Enter is typing too", "a", {{"a\n"}, {"a\nb"}}, "a"},
    {"characters of several bytes",
     "a",
     {{"a\xC3\xA9"}, {"a\xC3\xA9\xC3\xA9"}, {"a\xC3\xA9\xC3\xA9x"}},
     "a"},
    {"typing inside a row of the same letter", "Hello", {{"Helllo"}, {"Helpllo"}}, "Hello"},
    {"the caret moved elsewhere", "ab", {{"abX"}, {"YabX"}}, "abX"},
    {"Backspace is one run", "Hello", {{"Hell"}, {"Hel"}}, "Hello"},
    {"Backspace inside a row of the same letter", "Hello", {{"Helo"}, {"Heo"}}, "Hello"},
    {"Delete is one run", "Hello", {{"ello"}, {"llo"}}, "Hello"},
    {"typing after a deletion", "Hello", {{"Hell"}, {"Hellx"}}, "Hell"},
    {"deleting after typing", "Hel", {{"Hell"}, {"Hello"}, {"Hell"}}, "Hello"},
    {"a paste ends the run", "a", {{"ab"}, {"abXYZ"}}, "ab"},
    {"typing after a paste", "a", {{"aXYZ"}, {"aXYZb"}}, "aXYZ"},
    {"typing over a selection starts a run", "Hello", {{"H"}, {"Hj", true}, {"Hja"}}, "Hello"},
    {"a paste over a selection is one change", "Hello", {{""}, {"Pasted", true}}, "Hello"},
    {"a command's change stands alone", "ab", {{"abc", false, true}, {"abcd"}}, "abc"},
    {"a continuation with no action before it", "Other", {{"Other text", true}}, "Other"},
};

} // namespace

TEST(TextUndo, UndoTakesBackTheLatestRun) {
    for (const SCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CTextUndo undo;
        undo.Reset(c.start);
        EXPECT_FALSE(undo.CanUndo()) << "text set by the program is no change";
        for (const SStep& step : c.steps)
            undo.Changed(step.text, step.continuesAction, step.standsAlone);
        EXPECT_TRUE(undo.CanUndo());
        EXPECT_EQ(undo.UndoText(), c.undo);
    }
}

TEST(TextUndo, UndoingIsAChangeOfItsOwnSoUndoingAgainRedoes) {
    CTextUndo undo;
    undo.Reset("Hello");
    for (const char* text : {"Hello ", "Hello w", "Hello wo"})
        undo.Changed(text, false);
    undo.Changed(undo.UndoText(), false, true);
    EXPECT_EQ(undo.UndoText(), "Hello wo");
    undo.Changed(undo.UndoText(), false, true);
    EXPECT_EQ(undo.UndoText(), "Hello");
    // Typing after an Undo starts afresh.
    undo.Changed("Hello wox", false);
    EXPECT_EQ(undo.UndoText(), "Hello wo");
}
