// The view's own duties: what a selection shows, the typed text written back
// into the library, the rebuild, files that need mending; and adding,
// removing and renaming items, through the commands and the keys.

#include "view/EditorFixture.h"

#include "view/ItemData.h"

namespace {

// Hand-written: CR LF line ends, an element without a header, a heading.
const char* kNotes = "<level0 header=\"Notes\">\r\n"
                     "<level1 header=\"Lines\"><![CDATA[one\r\ntwo]]></level1>\r\n"
                     "<level1><![CDATA[nameless]]></level1>\r\n"
                     "<level1 header=\"Group\"><level2 header=\"Inner\"/></level1>\r\n"
                     "</level0>";

class EditorView : public CEditorFixture {};
class EditorItems : public CEditorFixture {};

} // namespace

TEST_F(EditorView, ASelectionShowsItsTextAndTypingWritesItBackAsOneSection) {
    StartWith(kNotes);
    // The nameless snippet is left out of the snippet menu, with its markup
    // shown; an item whose element is gone empties the box, which keeps its state.
    Tree()->SetItemData(Item(""), new CItemData(77));
    std::string shown;
    for (const char* label : {"Inner", "", "Group", "Lines"}) {
        Select(label);
        shown += Shows() + "|";
    }
    EXPECT_EQ(shown, "Inner:  typing removable|:  typing|Group:  removable|"
                     "Lines: one\ntwo typing removable|");
    EXPECT_EQ(Messages(),
              (Strings{"<level1><![CDATA[nameless]]></level1>", "Error - id not found"}));
    EditText("Lines");
    EXPECT_FALSE(Doc()->IsModified());
    Type("3");
    EXPECT_TRUE(Doc()->IsModified());
    Press(WXK_RETURN);
    Type("four");
    EXPECT_TRUE(Has("<level1 header=\"Lines\" iid=\"1\"><![CDATA[one\ntwo3\nfour]]></level1>"));

    // A new document's root has no sub-items, so its text can be typed.
    Command(ids::ID_FILE_SAVE);
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Shows(), "New Document:  typing");
}

TEST_F(EditorView, ARootWithoutAHeaderCanBeMendedAndNamelessSnippetsAreToldOfOnce) {
    // Its tree and menu: tests/menu/HookMenuTest.cpp. Add works below it, and
    // the plain text is replaced by what is typed, not doubled.
    StartWith("<level0><level1 header=\"A\">a</level1></level0>");
    EditText("A");
    Type("b");
    Tree()->SelectItem(Tree()->GetRootItem());
    Add();
    EXPECT_EQ(Xml(), "<level0 iid=\"0\"><level1 header=\"A\" iid=\"1\"><![CDATA[ab]]></level1>"
                     "<level1 header=\"New Item\" iid=\"3\"/></level0>");
    EXPECT_TRUE(Messages().empty());
    Stop();
    StartWith("<level0 header=\"R\"><level1>a</level1><level1 header=\"\">b</level1>"
              "<level1>c</level1></level0>");
    EXPECT_EQ(Messages(), Strings{"3 items without a header were left out of the menu. The "
                                  "first one:\n<level1>a</level1>"});
}

TEST_F(EditorItems, AddNamesTheNewElementOneLevelBelowItsParentsName) {
    // The names themselves: tests/library/SnippetLibraryTest.cpp.
    StartWith("<level0 header=\"Root\"><level3 header=\"Deep\"/><level12 header=\"Twelve\"/>"
              "</level0>");
    for (const char* parent : {"Root", "Deep", "Twelve"}) {
        Select(parent);
        Add();
    }
    // Ids 0 to 2 from the rebuild; the counter was 3, so the adds take 4 to 6.
    EXPECT_EQ(Xml(), "<level0 header=\"Root\" iid=\"0\"><level3 header=\"Deep\" iid=\"1\">"
                     "<level4 header=\"New Item\" iid=\"5\"/></level3><level12 header=\"Twelve\" "
                     "iid=\"2\"><level13 header=\"New Item\" iid=\"6\"/></level12>"
                     "<level1 header=\"New Item\" iid=\"4\"/></level0>");
    // The new item is selected, and its text goes into its own new element.
    EXPECT_EQ(Shows(), "New Item:  typing removable");
    ASSERT_TRUE(FocusOn(Text()));
    Type("new");
    EXPECT_TRUE(Has("<level13 header=\"New Item\" iid=\"6\"><![CDATA[new]]></level13>"));
    // An item whose element cannot be found, once selected and at Add, adds
    // nothing and takes no id.
    Tree()->SetItemData(Item("Deep"), new CItemData(40));
    Select("Deep");
    Command(ids::ID_ADD_MENU_ITEM);
    EXPECT_EQ(Messages(), Strings(2, "Error - id not found"));
    EXPECT_EQ(Doc()->Library().NextItemId(), 6);
    // The save renumbers in document order.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Read(Doc()->PathName()),
              "<level0 header=\"Root\" iid=\"0\"><level3 header=\"Deep\" iid=\"1\">"
              "<level4 header=\"New Item\" iid=\"2\"/></level3><level12 header=\"Twelve\" "
              "iid=\"3\"><level13 header=\"New Item\" iid=\"4\"><![CDATA[new]]></level13>"
              "</level12><level1 header=\"New Item\" iid=\"5\"/></level0>");
}

TEST_F(EditorItems, KeysAddRenameAndRemoveItemsEnterStoresAndEscapeKeeps) {
    StartWith(kMail);
    const std::string path = Doc()->PathName(), before = Xml();
    // On the root Remove is off, and Ctrl+R does nothing; run anyway, the
    // command refuses it but marks the document.
    EXPECT_FALSE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM) || ToolEnabled(ids::ID_REMOVE_MENU_ITEM));
    Press('R', wxMOD_CONTROL);
    EXPECT_FALSE(Xml() != before || Doc()->IsModified());
    View()->RemoveSelectedItem();
    EXPECT_EQ(Messages(), Strings{"Cannot remove node since it has no parent"});
    EXPECT_TRUE(Doc()->IsModified() && Xml() == before);

    // Ctrl+N adds under the selection, never a new document; Escape keeps
    // the new item's name, Enter stores the typed one as a header put last;
    // the root can be renamed too; an empty header is a header.
    Select("Hello");
    const std::tuple<const char*, const char*, int> edits[] = {
        {"", "Ignored", WXK_ESCAPE}, {"", "Thanks", WXK_RETURN}, {"Mail", "Letters", WXK_RETURN}};
    for (const auto& [label, typed, key] : edits) {
        EditLabel(label);
        Type(typed);
        EndEditBy(key);
    }
    EditLabel("Hi");
    Press(WXK_BACK);
    EndEditBy(WXK_RETURN);
    EXPECT_EQ(Doc()->PathName(), path);
    EXPECT_TRUE(Has("<level0 iid=\"0\" header=\"Letters\">"));
    EXPECT_TRUE(Has("<level2 iid=\"3\" header=\"\"><![CDATA[Hi]]></level2>"));
    EXPECT_TRUE(Has("<level3 header=\"New Item\" iid=\"6\"><level4 iid=\"7\" "
                    "header=\"Thanks\"/></level3></level2>"));
    // The tree shows the headers as the library keeps them.
    EXPECT_EQ(TreeLabels(), (Strings{"Letters", "  Greetings", "    Hello", "      New Item",
                                     "        Thanks", "    ", "  Sign-off"}));
    // Escape after typing: label, library and modified flag stay as they were.
    Command(ids::ID_FILE_SAVE);
    Messages();
    const std::string saved = Xml();
    EditLabel("Sign-off");
    Type("Bye");
    EndEditBy(WXK_ESCAPE);
    EXPECT_TRUE(Xml() == saved && Item("Sign-off").IsOk() && !Doc()->IsModified());

    // Ctrl+R takes a branch; the tree picks the next item, the view follows.
    Tree()->ExpandAll();
    Select("Greetings");
    EXPECT_TRUE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM) && ToolEnabled(ids::ID_REMOVE_MENU_ITEM));
    Press('R', wxMOD_CONTROL);
    EXPECT_EQ(TreeLabels(), (Strings{"Letters", "  Sign-off"}));
    EXPECT_TRUE(WaitFor("the next item",
                        [this] { return Shows() == "Sign-off: Regards typing removable"; }));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorItems, ASaveOrReloadDuringALabelEditTakesTheTypedName) {
    StartWith(kMail);
    Select("Sign-off");
    // Ctrl+S while the new label is edited: the typed name is what is saved,
    // and the Enter that follows has no item left to rename.
    EditLabel();
    Type("Thanks");
    Press('S', wxMOD_CONTROL);
    Press(WXK_RETURN);
    EXPECT_NE(Read(Doc()->PathName()).find("header=\"Thanks\""), std::string::npos);
    EXPECT_FALSE(Doc()->IsModified());
    // A reload drops the edit with the library it belonged to.
    const std::string saved = Xml();
    EditLabel();
    Type("Gone");
    Command(ids::ID_RELOAD);
    Press(WXK_RETURN);
    EXPECT_EQ(Xml(), saved);
    EXPECT_TRUE(Messages().empty());
}
