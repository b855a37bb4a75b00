#include "view/TextUndo.h"

#include <gtest/gtest.h>

TEST(TextUndo, KeepsTheTextFromBeforeTheLatestAction) {
    CTextUndo undo;
    undo.Reset("Hello");
    EXPECT_FALSE(undo.CanUndo()) << "text set by the program is no change";

    undo.Changed("Hello!", false);
    EXPECT_TRUE(undo.CanUndo());
    EXPECT_EQ(undo.UndoText(), "Hello");
    undo.Changed("Hello!?", false);
    EXPECT_EQ(undo.UndoText(), "Hello!") << "one level only";

    // A paste over a selection: a deletion, then an insertion, one action.
    undo.Changed("", false);
    undo.Changed("Pasted", true);
    EXPECT_EQ(undo.UndoText(), "Hello!?");

    // Undoing is a change of its own, so undoing again redoes.
    undo.Changed(undo.UndoText(), false);
    EXPECT_EQ(undo.UndoText(), "Pasted");

    undo.Reset("Other");
    EXPECT_FALSE(undo.CanUndo());
    // A continuation without an action before it starts one.
    undo.Changed("Other text", true);
    EXPECT_EQ(undo.UndoText(), "Other");
}
