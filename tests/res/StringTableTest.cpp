// The string table's rules: the web pages on the maker's site, British
// entries that fall back or are missing. Prompts are checked as the
// toolbar's tooltips, status texts where they are shown.

#include "res/StringTable.h"
#include "res/CommandIds.h"

#include <gtest/gtest.h>

using T = CStringTable;

TEST(StringTable, PagesAndBritishFallbacks) {
    const auto us = EStringVariant::EnglishUS, uk = EStringVariant::EnglishUK;
    const std::string home = T::Load(strid::IDS_HOME_PAGE, us);
    EXPECT_TRUE(home.starts_with("https://") && home.ends_with("/") && T::Load(130, us).empty())
        << "a missing string is empty";
    EXPECT_EQ(T::Load(strid::IDS_EXAMPLES_PAGE, us), home + "tessary/examples.htm");
    for (int id : {128, 129, 131, 132, 133, 134, 61206, 61207, ids::ID_FILE_NEW})
        EXPECT_EQ(T::Load(id, uk), T::Load(id, us)) << id;
}
