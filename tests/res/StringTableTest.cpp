// The string table's rules: the title first in the document string, the web
// pages on the maker's site, British entries that fall back or are missing,
// and prompts split into status text and tooltip, for folded command ids too.

#include "res/StringTable.h"
#include "res/CommandIds.h"

#include <gtest/gtest.h>

using namespace ids;
using T = CStringTable;
constexpr auto US = StringVariant::EnglishUS, UK = StringVariant::EnglishUK;

TEST(StringTable, VariantsPagesAndPrompts) {
    const std::string doc = T::Load(strid::IDR_MAINFRAME, US),
                      home = T::Load(strid::IDS_HOME_PAGE, US);
    EXPECT_EQ(doc.substr(0, doc.find('\n')), "Tessary");
    EXPECT_TRUE(home.starts_with("https://") && home.ends_with("/")) << home;
    EXPECT_EQ(T::Load(strid::IDS_FAQ_PAGE, US), home + "tessary/faq.htm");
    EXPECT_EQ(T::Load(strid::IDS_EXAMPLES_PAGE, US), home + "tessary/examples.htm");
    for (int id : {128, 129, 131, 132, 133, 134, 61206, 61207, ID_FILE_NEW})
        EXPECT_EQ(T::Load(id, UK), T::Load(id, US)) << id;
    EXPECT_EQ(T::Load(130, US), "") << "a missing string is empty";

    const std::tuple<StringVariant, int, const char*, const char*> prompts[] = {
        {US, ID_ADD_MENU_ITEM, "Add a new menu item", "Add menu item"},
        {US, ID_DEACTIVATE_MENU, "Deactivate the right-click menu",
         "Deactivate the right-click menu"},
        {US, ID_EDIT_PASTE, "Insert Clipboard contents", "Paste"},
        {US, ID_OPEN_URL, "Open an XML file from the web", ""},
        {UK, ID_ADD_MENU_ITEM, "Add a new item", ""},
        {UK, ID_RELOAD, "Reload document", "Reload"},
        {UK, ID_OPEN_URL, "", ""}, // no British entry
        {UK, ID_FILE_SAVE, "Save the active document", "Save"},
    };
    for (const auto& [variant, id, status, tooltip] : prompts) {
        T::SetVariant(variant);
        EXPECT_EQ(T::LongPrompt(id), status) << id;
        EXPECT_EQ(T::ShortPrompt(id), tooltip) << id;
    }
    T::SetVariant(US);
}
