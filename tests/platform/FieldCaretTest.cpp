// Where the caret goes in a field focused by a right-click: at the clicked
// character, or the selection kept when the click fell inside it.

#include "platform/FieldCaret.h"

#include <gtest/gtest.h>

TEST(FieldCaret, AClickInsideTheSelectionKeepsItElsewhereTheCaretGoesThere) {
    struct {
        SFieldPoint point;
        bool keep;
        int offset;
    } const cases[] = {
        {{5, 0, 0}, false, 5},   // no selection
        {{5, 2, 8}, true, -1},   // inside
        {{2, 2, 8}, true, -1},   // on its first character
        {{8, 2, 8}, true, -1},   // just after its last: the last half-character
        {{9, 2, 8}, false, 9},   // past it
        {{1, 2, 8}, false, 1},   // before it
        {{-1, 2, 8}, false, -1}, // the point's character unknown: the toolkit's caret
        {{-1, 0, 0}, false, -1}, {{3, 8, 2}, false, 3}, // a reversed range is no selection
    };
    for (const auto& c : cases) {
        const SFieldCaret caret = CaretFor(c.point);
        EXPECT_EQ(std::pair(caret.keepSelection, caret.offset), std::pair(c.keep, c.offset))
            << c.point.offset << " in " << c.point.selectionStart << ".." << c.point.selectionEnd;
    }
}
