// The string table's rules: British entries fall back to the American ones,
// and a missing string is empty. Prompts are checked as the toolbar's
// tooltips, pages and status texts where they are used.

#include "res/StringTable.h"
#include "res/CommandIds.h"

#include <gtest/gtest.h>

TEST(StringTable, BritishEntriesFallBackAndMissingOnesAreEmpty) {
    const auto us = EStringVariant::EnglishUS, uk = EStringVariant::EnglishUK;
    for (int id : {128, 129, 130, 131, 132, 133, 134, 61206, 61207, ids::ID_FILE_NEW})
        EXPECT_EQ(CStringTable::Load(id, uk), CStringTable::Load(id, us)) << id;
    EXPECT_EQ(CStringTable::Load(130, us), "");
}
