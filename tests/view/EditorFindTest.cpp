// The tree filled on demand, worked on where it was never expanded (Add,
// Remove, a rename of an item Find reached, the selection kept by a reload),
// and Find with Find Next: case, accents, CJK, wrap-around.

#include "view/EditorFixture.h"

#include "dialogs/DlgFind.h"

#include <wx/xrc/xmlres.h>

namespace {

const char* kNotes =
    "<level0 header=\"Notes\"><level1 header=\"Greetings\"><level2 header=\"Caf\xC3\xA9\">"
    "<![CDATA[Bonjour \xC3\xA0 tous]]></level2><level2 header=\"\xE6\x97\xA5\xE6\x9C\xAC\">"
    "<![CDATA[\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xAE\xE4\xBC\x9A\xE8\xAD\xB0]]></level2></level1>"
    "<level1 header=\"Closing\"><level2 header=\"Deep\"><level3 header=\"Inner\"><![CDATA[See "
    "you at the CAFE]]></level3></level2><level2 header=\"Later\"/></level1></level0>";

class EditorFind : public CEditorFixture {
protected:
    // Ctrl+F, or F3, then the text typed over what the dialog offers, then
    // Find Next or Cancel; what the form shows afterwards.
    std::string FindBy(int key, int modifiers, const std::string& text, int button = wxID_OK) {
        WithDialog<CDlgFind>(
            [&] { Press(key, modifiers); },
            [&](CDlgFind& d) {
                XRCCTRL(d, "IDC_FIND_TEXT", wxTextCtrl)->SetValue(wxString::FromUTF8(text));
                Click(d.FindWindow(button));
            });
        return Shows();
    }
    std::string Next() {
        Press(WXK_F3);
        return Shows();
    }
};

} // namespace

TEST_F(EditorFind, FindGoesThroughHeadersAndTextsInDocumentOrderIntoClosedBranches) {
    StartWith(kNotes, false);
    EXPECT_EQ(TreeLabels(), (Strings{"Notes", "  Greetings", "  Closing"}));
    // F3 with nothing looked for yet asks first; Cancel looks for nothing.
    EXPECT_EQ(FindBy(WXK_F3, wxMOD_NONE, "cafe", wxID_CANCEL), "Notes: ");
    EXPECT_EQ(View()->LastFind(), "");
    // Accents and case aside, headers and texts alike; into a branch never
    // opened, and round from the end to the start.
    EXPECT_EQ(FindBy(WXK_F3, wxMOD_NONE, "CAFE"),
              "Caf\xC3\xA9: Bonjour \xC3\xA0 tous typing removable");
    EXPECT_EQ(Next(), "Inner: See you at the CAFE typing removable");
    EXPECT_EQ(Next(), "Caf\xC3\xA9: Bonjour \xC3\xA0 tous typing removable");
    EXPECT_EQ(
        FindBy('F', wxMOD_CONTROL, "\xE6\x9D\xB1\xE4\xBA\xAC"),
        "\xE6\x97\xA5\xE6\x9C\xAC: \xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xAE\xE4\xBC\x9A\xE8\xAD\xB0 "
        "typing removable");
    EXPECT_TRUE(Messages().empty());
    // No match: said so, the selection stays.
    EXPECT_EQ(
        FindBy('F', wxMOD_CONTROL, "nowhere"),
        "\xE6\x97\xA5\xE6\x9C\xAC: \xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xAE\xE4\xBC\x9A\xE8\xAD\xB0 "
        "typing removable");
    EXPECT_EQ(Messages(), Strings{"Cannot find \"nowhere\"."});
    // From the text box too: the keys reach the menu, not the text.
    EditText("Caf\xC3\xA9");
    EXPECT_EQ(FindBy('F', wxMOD_CONTROL, "you"), "Inner: See you at the CAFE typing removable");
    EXPECT_EQ(Xml().find("Bonjour \xC3\xA0 tous]]>"), Xml().find("Bonjour"));

    // The item reached is the library's: renamed, its text typed.
    ASSERT_TRUE(View()->FindNext("inner"));
    Tree()->EditLabel(Tree()->GetSelection());
    ASSERT_TRUE(WaitFor("the label editor", [this] { return LabelEditor() != nullptr; }));
    Type("Soon");
    EndEditBy(WXK_RETURN);
    EXPECT_TRUE(Has("<level3 iid=\"6\" header=\"Soon\"><![CDATA[See you at the CAFE]]>"));
    // Find looks at the library as it stands: the new name, a typed text.
    EditText("Later");
    Type("xyzzy");
    ASSERT_TRUE(View()->FindNext("SOON"));
    EXPECT_EQ(Shows(), "Soon: See you at the CAFE typing removable");
    ASSERT_TRUE(View()->FindNext("XYZZY"));
    EXPECT_EQ(Shows(), "Later: xyzzy typing removable");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorFind, AddRemoveAndReloadWorkOnBranchesNeverExpanded) {
    StartWith(kNotes, false);
    // Add under a closed branch opens it first: its children once, then the new item.
    Select("Closing");
    Add();
    EXPECT_EQ(TreeLabels(), (Strings{"Notes", "  Greetings", "  Closing", "    Deep", "    Later",
                                     "    New Item"}));
    EXPECT_TRUE(Has("<level2 header=\"Later\" iid=\"7\"/><level2 header=\"New Item\" iid=\"9\"/>"));
    EXPECT_TRUE(View()->FindNext("new item") && Shows() == "New Item:  typing removable");
    // Remove takes a closed branch with everything below it, for Find too.
    EXPECT_TRUE(View()->FindNext("bonjour"));
    Select("Greetings");
    View()->RemoveSelectedItem();
    EXPECT_EQ(Xml().find("Bonjour"), std::string::npos);
    EXPECT_FALSE(View()->FindNext("bonjour"));
    EXPECT_EQ(Messages(), Strings{"Cannot find \"bonjour\"."});
    // Save and Reload keep the branches that were open; the selection, kept
    // by its labels as a change made elsewhere keeps it, is found again in a
    // branch the rebuilt tree had not opened.
    ASSERT_TRUE(View()->FindNext("cafe"));
    const Strings selected = View()->SelectedLabels();
    Tree()->Collapse(Item("Deep"));
    Command(ids::ID_FILE_SAVE);
    Command(ids::ID_RELOAD);
    EXPECT_EQ(TreeLabels(),
              (Strings{"Notes", "  Closing", "    Deep", "    Later", "    New Item"}));
    EXPECT_FALSE(Tree()->IsExpanded(Item("Deep")));
    View()->SelectLabels(selected);
    EXPECT_EQ(Shows(), "Inner: See you at the CAFE typing removable");
    // Changed on disk: what is still there opens again, the rest is passed over.
    Write("library.xml", "<level0 header=\"Notes\"><level1 header=\"Closing\"><level2 "
                         "header=\"Gone\"/></level1><level1 header=\"Deep\"/></level0>");
    Command(ids::ID_RELOAD);
    EXPECT_EQ(TreeLabels(), (Strings{"Notes", "  Closing", "    Gone", "  Deep"}));
    // Another file: nothing of the last one's open branches.
    Tree()->ExpandAll();
    ASSERT_TRUE(
        Manager()->CreateDocument(wxString::FromUTF8(Write("other.xml", kNotes)), wxDOC_SILENT));
    EXPECT_EQ(TreeLabels(), (Strings{"Notes", "  Greetings", "  Closing"}));
    EXPECT_FALSE(Tree()->IsExpanded(Tree()->GetRootItem()));
    EXPECT_TRUE(Messages().empty());
}
