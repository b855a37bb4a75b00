// Adding, removing and renaming items: tree and library change together,
// through the commands and through the keys a person presses.

#include "view/EditorFixture.h"

#include "view/ItemData.h"

namespace {

class EditorItems : public CEditorFixture {
protected:
    // Ctrl+N on the selection: the new item's label is being edited.
    void AddByKey() {
        Press('N', wxMOD_CONTROL);
        ASSERT_TRUE(WaitFor("the label editor", [this] { return LabelEditor() != nullptr; }));
    }
    void EndEditBy(int key) {
        Press(key);
        ASSERT_TRUE(WaitFor("the end of the edit", [this] { return LabelEditor() == nullptr; }));
    }
    void Rename(const std::string& label) {
        Tree()->EditLabel(Item(label));
        ASSERT_TRUE(WaitFor("the label editor", [this] {
            return LabelEditor() && wxWindow::FindFocus() == LabelEditor();
        }));
    }
};

} // namespace

TEST_F(EditorItems, AddNamesTheNewElementOneLevelBelowItsParentsName) {
    StartWith("<level0 header=\"Root\"><level3 header=\"Deep\"/><title header=\"Title\"/>"
              "<level12 header=\"Twelve\"/></level0>");
    for (const char* parent : {"Root", "Deep", "Title", "Twelve"}) {
        Select(parent);
        Add();
    }
    // Ids 0 to 3 from the rebuild; the counter was 4, so the adds take 5 to 8.
    EXPECT_EQ(Xml(),
              "<level0 header=\"Root\" iid=\"0\">"
              "<level3 header=\"Deep\" iid=\"1\"><level4 header=\"New Item\" iid=\"6\"/></level3>"
              "<title header=\"Title\" iid=\"2\"><level1 header=\"New Item\" iid=\"7\"/></title>"
              "<level12 header=\"Twelve\" iid=\"3\"><level13 header=\"New Item\" iid=\"8\"/>"
              "</level12><level1 header=\"New Item\" iid=\"5\"/></level0>");
    // The new item is selected: an empty, enabled text box, and removable.
    EXPECT_EQ(Selected(), "New Item");
    EXPECT_TRUE(Text()->IsEnabled() && Text()->IsEmpty() && Doc()->m_bCanRemove);
    // Its text goes into its own new element.
    ASSERT_TRUE(FocusOn(Text()));
    Type("new");
    EXPECT_TRUE(Has("<level13 header=\"New Item\" iid=\"8\"><![CDATA[new]]></level13>"));
    // An item whose element cannot be found adds nothing and takes no id.
    Tree()->SetItemData(Item("Deep"), new CItemData(40));
    Select("Deep");
    Messages();
    Command(ids::ID_ADD_MENU_ITEM);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error - id not found"});
    EXPECT_EQ(Doc()->Library().NextItemId(), 8);

    // The save renumbers in document order; the names stay.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(
        Read(Doc()->PathName()),
        "<level0 header=\"Root\" iid=\"0\">"
        "<level3 header=\"Deep\" iid=\"1\"><level4 header=\"New Item\" iid=\"2\"/></level3>"
        "<title header=\"Title\" iid=\"3\"><level1 header=\"New Item\" iid=\"4\"/></title>"
        "<level12 header=\"Twelve\" iid=\"5\"><level13 header=\"New Item\" iid=\"6\">"
        "<![CDATA[new]]></level13></level12><level1 header=\"New Item\" iid=\"7\"/></level0>");
}

TEST_F(EditorItems, KeysAddAndRenameItemsEnterStoresAndEscapeKeeps) {
    StartWith(kMail);
    const std::string path = Doc()->PathName();
    Select("Sign-off");
    // Ctrl+N adds under the selection; it never starts a new document.
    AddByKey();
    EXPECT_EQ(Doc()->PathName(), path);
    EXPECT_EQ(wxWindow::FindFocus(), LabelEditor());
    Type("Ignored");
    EndEditBy(WXK_ESCAPE);
    EXPECT_EQ(Selected(), "New Item");
    AddByKey();
    Type("Thanks");
    EndEditBy(WXK_RETURN);
    // A new header replaces the old attribute at the end of the list.
    EXPECT_TRUE(Has("<level2 header=\"New Item\" iid=\"6\"><level3 iid=\"7\" "
                    "header=\"Thanks\"/></level2></level1></level0>"));
    EXPECT_EQ(Selected(), "Thanks");

    // The root can be renamed too; an empty header is a header.
    Rename("Mail");
    Type("Letters");
    EndEditBy(WXK_RETURN);
    EXPECT_EQ(Xml().rfind("<level0 iid=\"0\" header=\"Letters\">", 0), 0u) << Xml();
    Rename("Hi");
    Press(WXK_BACK);
    EndEditBy(WXK_RETURN);
    EXPECT_TRUE(Has("<level2 iid=\"3\" header=\"\"><![CDATA[Hi]]></level2>"));
    EXPECT_EQ(TreeLabels()[3], "    ");
    // Saved, the snippet menu leaves the nameless item out and says so.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"<level2 iid=\"3\" header=\"\"><![CDATA[Hi]]></level2>"});
    // Escape after typing: label, library and modified flag stay as they were.
    const std::string saved = Xml();
    Rename("Sign-off");
    Type("Bye");
    EndEditBy(WXK_ESCAPE);
    EXPECT_TRUE(Item("Sign-off").IsOk());
    EXPECT_EQ(Xml(), saved);
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(EditorItems, RemoveIsOffForTheRootAndTakesABranch) {
    StartWith(kMail);
    EXPECT_FALSE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM) || ToolEnabled(ids::ID_REMOVE_MENU_ITEM));
    EXPECT_TRUE(MenuEnabled(ids::ID_ADD_MENU_ITEM));
    const std::string before = Xml();
    Press('R', wxMOD_CONTROL);
    EXPECT_EQ(Xml(), before);
    EXPECT_FALSE(Doc()->IsModified());
    // Run anyway, the command refuses the root but marks the document.
    View()->RemoveSelectedItem();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot remove node since it has no parent"});
    EXPECT_EQ(Xml(), before);
    EXPECT_TRUE(Doc()->IsModified());

    Select("Greetings");
    EXPECT_TRUE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM) && ToolEnabled(ids::ID_REMOVE_MENU_ITEM));
    Press('R', wxMOD_CONTROL);
    EXPECT_EQ(Xml(), "<level0 header=\"Mail\" iid=\"0\">"
                     "<level1 header=\"Sign-off\" iid=\"4\"><![CDATA[Regards]]></level1></level0>");
    // The tree picks the next item, and the view follows it.
    EXPECT_TRUE(WaitFor("the next item", [this] { return Text()->GetValue() == "Regards"; }));
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Mail", "  Sign-off"}));
    EXPECT_TRUE(Doc()->m_bCanRemove);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorItems, ASaveOrReloadDuringALabelEditTakesTheTypedName) {
    StartWith(kMail);
    Select("Sign-off");
    // Ctrl+S while the new label is edited: the typed name is what is saved,
    // and the Enter that follows has no item left to rename.
    AddByKey();
    Type("Thanks");
    Press('S', wxMOD_CONTROL);
    Press(WXK_RETURN);
    EXPECT_NE(Read(Doc()->PathName()).find("header=\"Thanks\""), std::string::npos);
    EXPECT_FALSE(Doc()->IsModified());
    // A reload drops the edit with the library it belonged to.
    const std::string saved = Xml();
    AddByKey();
    Type("Gone");
    Command(ids::ID_RELOAD);
    Press(WXK_RETURN);
    EXPECT_EQ(Xml(), saved);
    EXPECT_TRUE(Messages().empty());
}
