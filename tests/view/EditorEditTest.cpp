// Undo, Cut, Copy, Paste and Select All: enabled by the focused text entry,
// run from their keys, and reaching the library through the normal paths.

#include "view/EditorFixture.h"

#include <wx/clipbrd.h>

#include "support/XClient.h"

namespace {

// A program that takes the clipboard and then answers nothing, as a stopped
// one does; it counts the requests that reach it.
class CSilentClipboardOwner {
public:
    CSilentClipboardOwner() {
        Display* display = m_peer.Get();
        const Window window = XCreateSimpleWindow(display, m_peer.Root(), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False), window, CurrentTime);
        XSync(display, False);
    }
    int Requests() {
        while (XPending(m_peer.Get())) {
            XEvent event;
            XNextEvent(m_peer.Get(), &event);
            m_nRequests += event.type == SelectionRequest;
        }
        return m_nRequests;
    }

private:
    CXClient m_peer;
    int m_nRequests = 0;
};

constexpr int kEditCommands[] = {ids::ID_EDIT_UNDO, ids::ID_EDIT_CUT, ids::ID_EDIT_COPY,
                                 ids::ID_EDIT_PASTE, ids::ID_EDIT_SELECT_ALL};

class EditorEdit : public CEditorFixture {
protected:
    static void SetClipboard(const char* text) {
        ASSERT_TRUE(wxTheClipboard->Open());
        wxTheClipboard->SetData(new wxTextDataObject(text));
        wxTheClipboard->Close();
    }
    static void ClearClipboard() {
        ASSERT_TRUE(wxTheClipboard->Open());
        wxTheClipboard->Clear();
        wxTheClipboard->Close();
    }
    static std::string Clipboard() {
        wxTextDataObject data;
        if (!wxTheClipboard->Open())
            return "<closed>";
        const bool got = wxTheClipboard->GetData(data);
        wxTheClipboard->Close();
        return got ? data.GetText().utf8_string() : "<empty>";
    }
    std::pair<long, long> Selection(wxTextCtrl* edit) const {
        long from = 0, to = 0;
        edit->GetSelection(&from, &to);
        return {from, to};
    }
    // Paste follows the clipboard once its owner has answered.
    bool PasteBecomes(bool enabled) {
        return WaitFor([=, this] { return MenuEnabled(ids::ID_EDIT_PASTE) == enabled; });
    }
    // Ids of the enabled commands, as the menu shows them.
    std::vector<int> EnabledEditCommands() {
        std::vector<int> on;
        for (int id : kEditCommands)
            if (MenuEnabled(id))
                on.push_back(id);
        return on;
    }
};

} // namespace

TEST_F(EditorEdit, WithTheFocusInTheTreeAllFiveAreOffAndTheirKeysDoNothing) {
    StartWith(kMail);
    Select("Hello");
    SetClipboard("pasted");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    Type("x");
    ASSERT_EQ(Text()->GetValue(), "Hello therex");
    Text()->SetSelection(0, 5);
    ASSERT_TRUE(PasteBecomes(true));
    EXPECT_EQ(EnabledEditCommands(),
              std::vector<int>(std::begin(kEditCommands), std::end(kEditCommands)));

    ASSERT_TRUE(FocusOn(Tree()));
    EXPECT_TRUE(EnabledEditCommands().empty());
    EXPECT_FALSE(ToolEnabled(ids::ID_EDIT_CUT));
    EXPECT_FALSE(ToolEnabled(ids::ID_EDIT_COPY));
    EXPECT_FALSE(ToolEnabled(ids::ID_EDIT_PASTE));

    Doc()->Modify(false);
    const std::string xml = Xml();
    for (int key : {'C', 'X', 'V', 'A', 'Z'})
        Press(key, wxMOD_CONTROL);
    EXPECT_EQ(Xml(), xml);
    EXPECT_EQ(Text()->GetValue(), "Hello therex");
    EXPECT_EQ(Clipboard(), "pasted");
    EXPECT_EQ(Selected(), "Hello");
    EXPECT_EQ(TreeLabels().size(), 5u);
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(EditorEdit, InTheTextBoxTheyFollowSelectionClipboardAndText) {
    StartWith(kMail);
    Select("Hello");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    ClearClipboard();
    ASSERT_TRUE(PasteBecomes(false));
    // No selection, nothing to paste, nothing typed since the item was shown.
    EXPECT_EQ(EnabledEditCommands(), std::vector<int>{ids::ID_EDIT_SELECT_ALL});
    SetClipboard("Greetings!");
    EXPECT_TRUE(PasteBecomes(true));
    EXPECT_TRUE(ToolEnabled(ids::ID_EDIT_PASTE));

    // Select All takes everything and leaves the caret at the end.
    Press('A', wxMOD_CONTROL);
    EXPECT_EQ(Selection(Text()), std::make_pair(0L, 11L));
    EXPECT_EQ(Text()->GetInsertionPoint(), 11);
    EXPECT_TRUE(MenuEnabled(ids::ID_EDIT_CUT));
    EXPECT_TRUE(ToolEnabled(ids::ID_EDIT_COPY));
    Press('C', wxMOD_CONTROL);
    EXPECT_EQ(Clipboard(), "Hello there");

    // A paste over the selection is one change: Undo puts the old text back,
    // a second Undo the pasted one; each time the library follows.
    SetClipboard("Greetings!");
    Press('V', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return Text()->GetValue() == "Greetings!"; }));
    EXPECT_NE(Xml().find("<![CDATA[Greetings!]]>"), std::string::npos);
    EXPECT_TRUE(MenuEnabled(ids::ID_EDIT_UNDO));
    Press('Z', wxMOD_CONTROL);
    EXPECT_EQ(Text()->GetValue(), "Hello there");
    EXPECT_NE(Xml().find("<level2 header=\"Hello\" iid=\"2\"><![CDATA[Hello there]]></level2>"),
              std::string::npos)
        << Xml();
    Press(WXK_BACK, wxMOD_ALT);
    EXPECT_EQ(Text()->GetValue(), "Greetings!");
    EXPECT_NE(Xml().find("<![CDATA[Greetings!]]>"), std::string::npos);

    // Another item's text starts with nothing to undo; an empty box has
    // nothing to select.
    Select("Greetings");
    Command(ids::ID_ADD_MENU_ITEM);
    Tree()->EndEditLabel(Tree()->GetSelection(), true);
    ASSERT_TRUE(FocusOn(Text()));
    EXPECT_EQ(EnabledEditCommands(), std::vector<int>{ids::ID_EDIT_PASTE});
    Press('A', wxMOD_CONTROL);
    Press('Z', wxMOD_CONTROL);
    EXPECT_EQ(Text()->GetValue(), "");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorEdit, PasteIntoTheTextBoxWritesBack) {
    StartWith(kMail);
    Select("Sign-off");
    SetClipboard(", Anna");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    Press('V', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return Text()->GetValue() == "Regards, Anna"; }));
    EXPECT_NE(Xml().find("<level1 header=\"Sign-off\" iid=\"4\"><![CDATA[Regards, "
                         "Anna]]></level1>"),
              std::string::npos)
        << Xml();
    EXPECT_TRUE(Doc()->IsModified());
    Command(ids::ID_FILE_SAVE);
    EXPECT_NE(SavedBytes(Doc()->PathName()).find("<![CDATA[Regards, Anna]]>"), std::string::npos);
}

TEST_F(EditorEdit, InTheLabelEditorTheyActOnTheLabel) {
    StartWith(kMail);
    // Something the text box could undo.
    Select("Hi");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    Type("x");
    ASSERT_EQ(Text()->GetValue(), "Hix");

    Tree()->EditLabel(Item("Hi"));
    ASSERT_TRUE(
        WaitFor([this] { return LabelEditor() && wxWindow::FindFocus() == LabelEditor(); }));
    SetClipboard("clip");
    ASSERT_TRUE(PasteBecomes(true));
    // The label starts selected.
    EXPECT_EQ(EnabledEditCommands(),
              std::vector<int>(std::begin(kEditCommands), std::end(kEditCommands)));
    // Undo follows the text box but acts in the focused label editor.
    Press('Z', wxMOD_CONTROL);
    EXPECT_EQ(Text()->GetValue(), "Hix");

    Press('X', wxMOD_CONTROL);
    EXPECT_EQ(LabelEditor()->GetValue(), "");
    EXPECT_EQ(Clipboard(), "Hi");
    EXPECT_FALSE(MenuEnabled(ids::ID_EDIT_COPY));
    EXPECT_FALSE(MenuEnabled(ids::ID_EDIT_SELECT_ALL));
    EXPECT_TRUE(PasteBecomes(true));

    Type("Oh ");
    Press('V', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor()->GetValue() == "Oh Hi"; }));
    Press('A', wxMOD_CONTROL);
    EXPECT_EQ(Selection(LabelEditor()), std::make_pair(0L, 5L));
    EXPECT_EQ(Selection(Text()), std::make_pair(3L, 3L)) << "the text box is left alone";
    Press(WXK_RETURN);
    ASSERT_TRUE(WaitFor([this] { return LabelEditor() == nullptr; }));
    EXPECT_NE(Xml().find("<level2 iid=\"3\" header=\"Oh Hi\"><![CDATA[Hix]]></level2>"),
              std::string::npos)
        << Xml();
    EXPECT_EQ(Text()->GetValue(), "Hix");
}

TEST_F(EditorEdit, UndoTakesBackTheWholeRunOfTyping) {
    StartWith(kMail);
    Select("Hello");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    // One key at a time, as a person types.
    for (const char* key : {" ", "y", "o", "u"})
        Type(key);
    Press('Z', wxMOD_CONTROL);
    EXPECT_EQ(Text()->GetValue(), "Hello there");
    EXPECT_NE(Xml().find("<![CDATA[Hello there]]>"), std::string::npos) << Xml();
}

TEST_F(EditorEdit, AClipboardOwnerThatNeverAnswersHoldsNothingUp) {
    StartWith(kMail);
    Select("Hello");
    ASSERT_TRUE(FocusOn(Text()));
    Text()->SetInsertionPointEnd();
    CSilentClipboardOwner owner;
    // Asked once, when it takes the clipboard; the Paste rule, which runs at
    // every idle time, never asks again.
    ASSERT_TRUE(WaitFor([&] { return owner.Requests() == 1; }));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(MenuEnabled(ids::ID_EDIT_PASTE));
    Type("x");
    EXPECT_EQ(Text()->GetValue(), "Hello therex");
    EXPECT_EQ(owner.Requests(), 1);
}
