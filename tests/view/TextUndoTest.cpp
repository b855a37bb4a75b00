// What Undo of the text box takes back: the latest run of typing or
// deleting, as an edit control's undo does.

#include "view/TextUndo.h"

#include <gtest/gtest.h>

#include <vector>

TEST(TextUndo, UndoTakesBackTheLatestRun) {
    // The text set by the program, the text after each change as the box
    // reports it ("+" first: the change continues the previous action, "!":
    // a command's change; "!" alone: Undo itself), and what Undo then puts back.
    const std::tuple<const char*, const char*, std::vector<std::string>, const char*> cases[] = {
        {"typing is one run", "Hello", {"Hello ", "Hello w", "Hello wo"}, "Hello"},
        {"Enter is typing too", "a", {"a\n", "a\nb"}, "a"},
        {"multi-byte letters", "a", {"a\xC3\xA9", "a\xC3\xA9\xC3\xA9", "a\xC3\xA9\xC3\xA9x"}, "a"},
        {"typing inside a row of the same letter", "Hello", {"Helllo", "Helpllo"}, "Hello"},
        {"the caret moved elsewhere", "ab", {"abX", "YabX"}, "abX"},
        {"Backspace is one run", "Hello", {"Hell", "Hel"}, "Hello"},
        {"Backspace inside a row of the same letter", "Hello", {"Helo", "Heo"}, "Hello"},
        {"Delete is one run", "Hello", {"ello", "llo"}, "Hello"},
        {"typing after a deletion", "Hello", {"Hell", "Hellx"}, "Hell"},
        {"deleting after typing", "Hel", {"Hell", "Hello", "Hell"}, "Hello"},
        {"a paste ends the run", "a", {"ab", "abXYZ"}, "ab"},
        {"typing after a paste", "a", {"aXYZ", "aXYZb"}, "aXYZ"},
        {"typing over a selection starts a run", "Hello", {"H", "+Hj", "Hja"}, "Hello"},
        {"a paste over a selection is one change", "Hello", {"", "+Pasted"}, "Hello"},
        {"a command's change stands alone", "ab", {"!abc", "abcd"}, "abc"},
        {"a continuation with no action before it", "Other", {"+Other text"}, "Other"},
        {"Undo is a change too", "Hello", {"Hello ", "Hello w", "Hello wo", "!"}, "Hello wo"},
        {"so undoing again redoes", "Hello", {"Hello ", "Hello w", "Hello wo", "!", "!"}, "Hello"},
        {"typing after Undo is new", "Hi", {"Hi w", "Hi wo", "!", "!", "Hi wox"}, "Hi wo"},
    };
    for (const auto& [name, start, steps, undone] : cases) {
        SCOPED_TRACE(name);
        CTextUndo undo;
        undo.Reset(start);
        EXPECT_FALSE(undo.CanUndo()) << "text set by the program is no change";
        for (const std::string& step : steps)
            if (step == "!")
                undo.Changed(undo.UndoText(), false, true);
            else // step[0] of an empty step is its terminating zero
                undo.Changed(step.substr(step[0] == '+' || step[0] == '!'), step[0] == '+',
                             step[0] == '!');
        EXPECT_TRUE(undo.CanUndo());
        EXPECT_EQ(undo.UndoText(), undone);
    }
}
