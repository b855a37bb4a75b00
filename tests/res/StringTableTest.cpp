// The string table's rules: the title first in the document string, the web
// pages on the maker's site, British entries that fall back or are missing,
// and prompts split into status text and tooltip, for folded command ids too.

#include "res/StringTable.h"
#include "res/CommandIds.h"

#include <gtest/gtest.h>

using namespace ids;
using T = CStringTable;

TEST(StringTable, VariantsPagesAndPrompts) {
    const auto us = EStringVariant::EnglishUS, uk = EStringVariant::EnglishUK;
    const std::string home = T::Load(strid::IDS_HOME_PAGE, us);
    EXPECT_TRUE(T::Load(strid::IDR_MAINFRAME, us).starts_with("Tessary\n") &&
                home.starts_with("https://") && home.ends_with("/") && T::Load(130, us).empty())
        << "a missing string is empty";
    EXPECT_EQ(T::Load(strid::IDS_EXAMPLES_PAGE, us), home + "tessary/examples.htm");
    // The status texts are checked where they are shown.
    for (int id : {128, 129, 131, 132, 133, 134, 61206, 61207, ID_FILE_NEW})
        EXPECT_EQ(T::Load(id, uk), T::Load(id, us)) << id;
    // Status text and tooltip of each command, in each variant.
    std::string prompts;
    for (EStringVariant variant : {us, uk}) {
        T::SetVariant(variant);
        for (int id : {ID_ADD_MENU_ITEM, ID_EDIT_PASTE, ID_OPEN_URL, ID_RELOAD})
            prompts += T::LongPrompt(id) + "/" + T::ShortPrompt(id) + "|";
    }
    T::SetVariant(us);
    EXPECT_EQ(prompts,
              "Add a new menu item/Add menu item|Insert Clipboard contents/Paste|Open an XML file "
              "from the web/|Reload from the current file/Reload|Add a new item/|Insert Clipboard "
              "contents/Paste|/|Reload document/Reload|");
}
