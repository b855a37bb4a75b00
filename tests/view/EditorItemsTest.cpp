// Adding, removing and renaming items: tree and library change together,
// through the menu command and through the keys a person presses.

#include "view/EditorFixture.h"

#include "view/ItemData.h"

namespace {

const char* kLevels = "<level0 header=\"Root\">"
                      "<level3 header=\"Deep\"/>"
                      "<title header=\"Title\"/>"
                      "<level12 header=\"Twelve\"/>"
                      "</level0>";

class EditorItems : public CEditorFixture {};

} // namespace

TEST_F(EditorItems, AddNamesTheNewElementOneLevelBelowItsParentsName) {
    StartWith(kLevels);
    for (const char* parent : {"Root", "Deep", "Title", "Twelve"}) {
        Select(parent);
        Command(ids::ID_ADD_MENU_ITEM);
        ASSERT_NE(LabelEditor(), nullptr) << "the new label is being edited";
        Tree()->EndEditLabel(Tree()->GetSelection(), true);
        Settle(20);
    }
    // Ids 0 to 3 from the rebuild; the counter was 4, so the adds take 5 to 8.
    EXPECT_EQ(Xml(),
              "<level0 header=\"Root\" iid=\"0\">"
              "<level3 header=\"Deep\" iid=\"1\"><level4 header=\"New Item\" iid=\"6\"/></level3>"
              "<title header=\"Title\" iid=\"2\"><level1 header=\"New Item\" iid=\"7\"/></title>"
              "<level12 header=\"Twelve\" iid=\"3\">"
              "<level13 header=\"New Item\" iid=\"8\"/></level12>"
              "<level1 header=\"New Item\" iid=\"5\"/>"
              "</level0>");
    EXPECT_EQ(TreeLabels(),
              (std::vector<std::string>{"Root", "  Deep", "    New Item", "  Title", "    New Item",
                                        "  Twelve", "    New Item", "  New Item"}));
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_TRUE(Messages().empty());

    // The save renumbers in document order; the names stay.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(
        SavedBytes(Doc()->PathName()),
        "<level0 header=\"Root\" iid=\"0\">"
        "<level3 header=\"Deep\" iid=\"1\"><level4 header=\"New Item\" iid=\"2\"/></level3>"
        "<title header=\"Title\" iid=\"3\"><level1 header=\"New Item\" iid=\"4\"/></title>"
        "<level12 header=\"Twelve\" iid=\"5\"><level13 header=\"New Item\" iid=\"6\"/></level12>"
        "<level1 header=\"New Item\" iid=\"7\"/>"
        "</level0>");
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(EditorItems, AddTakesIdsFromTheCounterAndAMissUsesNone) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Doc()->Library().NextItemId(), 1);
    Command(ids::ID_ADD_MENU_ITEM);
    Tree()->EndEditLabel(Tree()->GetSelection(), true);
    EXPECT_EQ(Xml(), "<level0 header=\"New Document\" iid=\"0\">"
                     "<level1 header=\"New Item\" iid=\"2\"/></level0>");
    // The new item is selected: an empty, enabled text box, and removable.
    EXPECT_EQ(Tree()->GetItemText(Tree()->GetSelection()), "New Item");
    EXPECT_TRUE(Text()->IsEnabled());
    EXPECT_TRUE(Doc()->m_bCanRemove);

    Select("New Document");
    Command(ids::ID_ADD_MENU_ITEM);
    Tree()->EndEditLabel(Tree()->GetSelection(), true);
    EXPECT_EQ(Xml(), "<level0 header=\"New Document\" iid=\"0\">"
                     "<level1 header=\"New Item\" iid=\"2\"/>"
                     "<level1 header=\"New Item\" iid=\"3\"/></level0>");
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"New Document", "  New Item", "  New Item"}));
    wxTreeItemIdValue cookie;
    const wxTreeItemId first = Tree()->GetFirstChild(Tree()->GetRootItem(), cookie);
    EXPECT_EQ(View()->ItemId(first), 2);
    EXPECT_EQ(View()->ItemId(Tree()->GetNextChild(Tree()->GetRootItem(), cookie)), 3);

    // An item whose element cannot be found adds nothing and takes no id.
    Tree()->SetItemData(first, new CItemData(40));
    Tree()->SelectItem(first);
    Messages();
    Command(ids::ID_ADD_MENU_ITEM);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error - id not found"});
    EXPECT_EQ(Doc()->Library().NextItemId(), 3);
    EXPECT_EQ(Tree()->GetChildrenCount(first), 0u);
}

TEST_F(EditorItems, KeysAddItemsAndEnterOrEscapeEndTheLabelEdit) {
    StartWith(kMail);
    const std::string path = Doc()->PathName();
    Select("Sign-off");
    ASSERT_TRUE(FocusOn(Tree()));

    // Ctrl+N adds under the selection; it never starts a new document.
    Press('N', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() != nullptr; }));
    EXPECT_EQ(Doc()->PathName(), path);
    EXPECT_EQ(TreeLabels().size(), 6u);
    EXPECT_EQ(wxWindow::FindFocus(), LabelEditor());
    Type("Ignored");
    Press(WXK_ESCAPE);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() == nullptr; }));
    EXPECT_EQ(Selected(), "New Item");
    EXPECT_NE(Xml().find("<level2 header=\"New Item\" iid=\"6\"/></level1></level0>"),
              std::string::npos)
        << Xml();

    // Enter stores what was typed, in tree and library alike.
    Press('N', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() != nullptr; }));
    Type("Thanks");
    Press(WXK_RETURN);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() == nullptr; }));
    EXPECT_EQ(Selected(), "Thanks");
    // A new header replaces the old attribute at the end of the list.
    EXPECT_NE(Xml().find("<level2 header=\"New Item\" iid=\"6\"><level3 iid=\"7\" "
                         "header=\"Thanks\"/></level2>"),
              std::string::npos)
        << Xml();
    EXPECT_EQ(TreeLabels(),
              (std::vector<std::string>{"Mail", "  Greetings", "    Hello", "    Hi", "  Sign-off",
                                        "    New Item", "      Thanks"}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorItems, RemoveIsDisabledForTheRootAndTakesAFirstLevelBranch) {
    StartWith(kMail);
    EXPECT_EQ(Selected(), "Mail");
    EXPECT_FALSE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM));
    EXPECT_FALSE(ToolEnabled(ids::ID_REMOVE_MENU_ITEM));
    EXPECT_TRUE(MenuEnabled(ids::ID_ADD_MENU_ITEM));

    // Ctrl+R on the root does nothing at all.
    const std::string before = Xml();
    Press('R', wxMOD_CONTROL);
    EXPECT_EQ(Xml(), before);
    EXPECT_EQ(TreeLabels().size(), 5u);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_TRUE(Messages().empty());

    // Run anyway, the command refuses the root but marks the document.
    View()->RemoveSelectedItem();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Cannot remove node since it has no parent"});
    EXPECT_EQ(Xml(), before);
    EXPECT_TRUE(Doc()->IsModified());
    Doc()->Modify(false);

    Select("Greetings");
    EXPECT_TRUE(MenuEnabled(ids::ID_REMOVE_MENU_ITEM));
    EXPECT_TRUE(ToolEnabled(ids::ID_REMOVE_MENU_ITEM));
    ASSERT_TRUE(FocusOn(Tree()));
    Press('R', wxMOD_CONTROL);
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Mail", "  Sign-off"}));
    EXPECT_EQ(Xml(), "<level0 header=\"Mail\" iid=\"0\">"
                     "<level1 header=\"Sign-off\" iid=\"4\"><![CDATA[Regards]]></level1>"
                     "</level0>");
    EXPECT_TRUE(Doc()->IsModified());
    // The tree picks the next item, and the view follows it.
    EXPECT_TRUE(WaitFor([this] { return Selected() == "Sign-off"; }));
    EXPECT_EQ(Text()->GetValue(), "Regards");
    EXPECT_TRUE(Doc()->m_bCanRemove);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorItems, RenameStoresTheHeaderAndACancelChangesNothing) {
    StartWith(kMail);
    const wxTreeItemId root = Tree()->GetRootItem();

    // The root can be renamed too.
    Tree()->EditLabel(root);
    ASSERT_TRUE(WaitFor([this] { return wxWindow::FindFocus() == LabelEditor(); }));
    Type("Letters");
    Press(WXK_RETURN);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() == nullptr; }));
    EXPECT_EQ(Tree()->GetItemText(root), "Letters");
    EXPECT_EQ(Xml().rfind("<level0 iid=\"0\" header=\"Letters\">", 0), 0u) << Xml();
    EXPECT_TRUE(Doc()->IsModified());

    // An empty header is a header.
    Select("Hi");
    Tree()->EditLabel(Item("Hi"));
    ASSERT_TRUE(WaitFor([this] { return wxWindow::FindFocus() == LabelEditor(); }));
    Press(WXK_BACK);
    Press(WXK_RETURN);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() == nullptr; }));
    EXPECT_NE(Xml().find("<level2 iid=\"3\" header=\"\"><![CDATA[Hi]]></level2>"),
              std::string::npos)
        << Xml();
    EXPECT_EQ(TreeLabels()[3], "    ");

    // Escape after typing: label, library and modified flag stay as they were.
    Command(ids::ID_FILE_SAVE);
    // The snippet menu leaves the nameless item out and says so.
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"<level2 iid=\"3\" header=\"\"><![CDATA[Hi]]></level2>"});
    const std::string saved = Xml();
    Tree()->EditLabel(Item("Sign-off"));
    ASSERT_TRUE(WaitFor([this] { return wxWindow::FindFocus() == LabelEditor(); }));
    Type("Bye");
    Press(WXK_ESCAPE);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() == nullptr; }));
    EXPECT_TRUE(Item("Sign-off").IsOk());
    EXPECT_EQ(Xml(), saved);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorItems, ASaveOrReloadDuringALabelEditTakesTheTypedName) {
    StartWith(kMail);
    const std::string path = Doc()->PathName();
    Select("Sign-off");
    ASSERT_TRUE(FocusOn(Tree()));
    // Ctrl+S while the new label is edited: the typed name is what is saved,
    // and the Enter that follows has no item left to rename.
    Press('N', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() != nullptr; }));
    Type("Thanks");
    Press('S', wxMOD_CONTROL);
    Press(WXK_RETURN);
    EXPECT_NE(SavedBytes(path).find("header=\"Thanks\""), std::string::npos) << SavedBytes(path);
    EXPECT_FALSE(Doc()->IsModified());

    // A reload drops the edit with the library it belonged to.
    const std::string saved = Xml();
    Press('N', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() != nullptr; }));
    Type("Gone");
    Command(ids::ID_RELOAD);
    Press(WXK_RETURN);
    EXPECT_EQ(Xml(), saved);
    EXPECT_TRUE(Messages().empty());
}
