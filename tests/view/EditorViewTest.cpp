// The view's own duties: what a selection shows, the typed text written back
// into the library, the rebuild, and files that need mending.

#include "view/EditorFixture.h"

#include "menu/HookMenu.h"
#include "view/ItemData.h"

namespace {

// Hand-written: CR LF line ends, an element without a header, a heading.
const char* kNotes = "<level0 header=\"Notes\">\r\n"
                     "<level1 header=\"Lines\"><![CDATA[one\r\ntwo]]></level1>\r\n"
                     "<level1><![CDATA[nameless]]></level1>\r\n"
                     "<level1 header=\"Group\"><level2 header=\"Inner\"/></level1>\r\n"
                     "</level0>";

class EditorView : public CEditorFixture {};

} // namespace

TEST_F(EditorView, ASelectionShowsItsTextAndTypingWritesItBackAsOneSection) {
    StartWith(kNotes);
    // The nameless snippet is left out of the snippet menu, with its markup shown.
    EXPECT_EQ(Messages(), std::vector<std::string>{"<level1><![CDATA[nameless]]></level1>"});
    EXPECT_EQ(TreeLabels(),
              (std::vector<std::string>{"Notes", "  Lines", "  ", "  Group", "    Inner"}));
    Select("Group");
    EXPECT_FALSE(Text()->IsEnabled());
    EXPECT_TRUE(Doc()->m_bCanRemove);
    // An item whose element is gone: the box empties and keeps its state.
    Tree()->SetItemData(Item(""), new CItemData(77));
    Select("");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error - id not found"});
    EXPECT_FALSE(Text()->IsEnabled() || Doc()->m_bCanRemove || Doc()->IsModified());

    Select("Lines");
    EXPECT_TRUE(Text()->IsEnabled());
    EXPECT_EQ(Text()->GetValue(), "one\ntwo");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    Type("3");
    EXPECT_TRUE(Doc()->IsModified());
    Press(WXK_RETURN);
    Type("four");
    EXPECT_TRUE(Has("<level1 header=\"Lines\" iid=\"1\"><![CDATA[one\ntwo3\nfour]]></level1>"));
    // What XML cannot carry is stored as a replacement character, so the
    // file can always be read back.
    Text()->SetValue("bell\a");
    EXPECT_TRUE(Has("<![CDATA[bell\xEF\xBF\xBD]]>"));
    Select("Group");
    EXPECT_EQ(Text()->GetValue(), "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorView, EveryRebuildSelectsTheRootAfresh) {
    StartWith(kNotes);
    const wxSize size = Frame()->GetSize();
    Select("Inner");
    ASSERT_TRUE(Doc()->m_bCanRemove && Text()->IsEnabled());
    // The save rebuilds: the root, a heading, is shown as such.
    Doc()->Modify(true);
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Selected(), "Notes");
    EXPECT_FALSE(Doc()->m_bCanRemove || Text()->IsEnabled());
    EXPECT_FALSE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM));
    // A new document's root has no sub-items: its text can be typed.
    Command(ids::ID_FILE_NEW);
    EXPECT_TRUE(Text()->IsEnabled());
    EXPECT_FALSE(Doc()->m_bCanRemove);
    EXPECT_EQ(Frame()->GetSize(), size) << "the window keeps the size the user gave it";
}

TEST_F(EditorView, ARootWithoutAHeaderCanBeMended) {
    StartWith("<level0><level1 header=\"A\">a</level1></level0>");
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"", "  A"}));
    // The snippet menu leaves the nameless branch out: only its fixed commands.
    EXPECT_EQ(View()->HookMenu().HookPopup()->GetMenuItemCount(), 3u);
    // The plain text is replaced by what is typed, not doubled.
    Select("A");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    Type("b");
    Tree()->SelectItem(Tree()->GetRootItem());
    Add();
    EXPECT_EQ(Xml(), "<level0 iid=\"0\"><level1 header=\"A\" iid=\"1\"><![CDATA[ab]]></level1>"
                     "<level1 header=\"New Item\" iid=\"3\"/></level0>");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorView, SnippetsWithoutAHeaderAreToldOfInOneMessage) {
    StartWith("<level0 header=\"R\"><level1>a</level1><level1 header=\"\">b</level1>"
              "<level1>c</level1></level0>");
    EXPECT_EQ(Messages(), std::vector<std::string>{"3 items without a header were left out of the "
                                                   "menu. The first one:\n<level1>a</level1>"});
}
