// The program's strings: status and progress texts, web pages, and the
// command prompts whose short halves become tooltips, in both variants.

#include "res/StringTable.h"
#include "res/CommandIds.h"

#include <gtest/gtest.h>

namespace {
constexpr auto US = StringVariant::EnglishUS;
constexpr auto UK = StringVariant::EnglishUK;
} // namespace

TEST(StringTable, ProgramStringsAndPages) {
    const std::string doc = CStringTable::Load(strid::IDR_MAINFRAME, US);
    EXPECT_EQ(doc.substr(0, doc.find('\n')), "Tessary") << "the application title comes first";
    EXPECT_EQ(CStringTable::Load(131, US), "Constructing tree...");
    EXPECT_EQ(CStringTable::Load(132, US), "Exporting favorites...");
    EXPECT_EQ(CStringTable::Load(61206, US), "Loading document...");
    EXPECT_EQ(CStringTable::Load(61207, US), "Constructing menu...");

    const std::string home = CStringTable::Load(strid::IDS_HOME_PAGE, US);
    const std::string faq = CStringTable::Load(strid::IDS_FAQ_PAGE, US);
    const std::string examples = CStringTable::Load(strid::IDS_EXAMPLES_PAGE, US);
    ASSERT_TRUE(home.ends_with("/"));
    EXPECT_TRUE(home.starts_with("https://"));
    // Both pages lie on the maker's site.
    EXPECT_EQ(faq, home + "tessary/faq.htm");
    EXPECT_EQ(examples, home + "tessary/examples.htm");

    // These read alike in both variants.
    for (int id : {128, 129, 131, 132, 133, 134, 61206, 61207})
        EXPECT_EQ(CStringTable::Load(id, UK), CStringTable::Load(id, US)) << id;
    EXPECT_EQ(CStringTable::Load(130, US), "") << "a missing string is empty";
}

TEST(StringTable, PromptsSplitIntoStatusTextAndTooltip) {
    CStringTable::SetVariant(US);
    EXPECT_EQ(CStringTable::LongPrompt(ids::ID_ADD_MENU_ITEM), "Add a new menu item");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_ADD_MENU_ITEM), "Add menu item");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_ACTIVATE_MENU), "Activate the right-click menu");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_DEACTIVATE_MENU),
              "Deactivate the right-click menu");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_REMOVE_MENU_ITEM),
              "Remove menu item and all sub-items");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_RELOAD), "Reload");
    // Standard commands arrive folded and find their prompts all the same.
    EXPECT_EQ(CStringTable::Load(ids::ID_FILE_NEW), "Create a new document\nNew");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_EDIT_PASTE), "Paste");
    // A prompt without a short half gives no tooltip.
    EXPECT_EQ(CStringTable::LongPrompt(ids::ID_OPEN_URL), "Open an XML file from the web");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_OPEN_URL), "");
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_EXPORT_FAVORITES), "");

    CStringTable::SetVariant(UK);
    EXPECT_EQ(CStringTable::Load(ids::ID_ACTIVATE_MENU), "Activate menu");
    EXPECT_EQ(CStringTable::Load(ids::ID_DEACTIVATE_MENU), "Deactivate menu");
    EXPECT_EQ(CStringTable::Load(ids::ID_ADD_MENU_ITEM), "Add a new item");
    EXPECT_EQ(CStringTable::Load(ids::ID_REMOVE_MENU_ITEM), "Remove item(s)");
    for (int id : {ids::ID_ACTIVATE_MENU, ids::ID_DEACTIVATE_MENU, ids::ID_ADD_MENU_ITEM,
                   ids::ID_REMOVE_MENU_ITEM})
        EXPECT_EQ(CStringTable::ShortPrompt(id), "") << id;
    EXPECT_EQ(CStringTable::Load(ids::ID_RELOAD), "Reload document\nReload");
    EXPECT_EQ(CStringTable::Load(ids::ID_OPEN_URL), "") << "no British entry";
    EXPECT_EQ(CStringTable::ShortPrompt(ids::ID_FILE_SAVE), "Save");
    CStringTable::SetVariant(US);
}
