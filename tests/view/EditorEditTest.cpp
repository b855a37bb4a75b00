// Undo, Cut, Copy, Paste and Select All: enabled by the focused text entry,
// run from their keys, and reaching the library through the normal paths.

#include "view/EditorFixture.h"

#include <wx/clipbrd.h>

#include "support/XClient.h"

namespace {

class EditorEdit : public CEditorFixture {
protected:
    void SetUp() override {
        CEditorFixture::SetUp();
        StartWith(kMail);
    }
    static void SetClipboard(const char* text) {
        ASSERT_TRUE(wxTheClipboard->Open());
        if (text)
            wxTheClipboard->SetData(new wxTextDataObject(text));
        else
            wxTheClipboard->Clear();
        wxTheClipboard->Close();
    }
    static std::string Clipboard() {
        wxTextDataObject data;
        const bool got = wxTheClipboard->Open() && wxTheClipboard->GetData(data);
        wxTheClipboard->Close();
        return got ? data.GetText().utf8_string() : "<empty>";
    }
    static std::string Selection(wxTextCtrl* edit) {
        long from = 0, to = 0;
        edit->GetSelection(&from, &to);
        return std::to_string(from) + "-" + std::to_string(to);
    }
    // The edit commands the menu shows enabled.
    std::string Edits() {
        const int commands[] = {ids::ID_EDIT_UNDO, ids::ID_EDIT_CUT, ids::ID_EDIT_COPY,
                                ids::ID_EDIT_PASTE, ids::ID_EDIT_SELECT_ALL};
        const char* names[] = {"Undo", "Cut", "Copy", "Paste", "All"};
        std::string on;
        for (int i = 0; i < 5; ++i)
            on += MenuEnabled(commands[i]) ? std::string(on.empty() ? "" : " ") + names[i] : "";
        return on;
    }
    // Paste follows the clipboard once its owner has answered.
    bool EditsAre(const std::string& names) {
        return WaitFor(names.c_str(), [&] { return Edits() == names; });
    }
};

} // namespace

TEST_F(EditorEdit, WithTheFocusInTheTreeAllFiveAreOffAndTheirKeysDoNothing) {
    SetClipboard("pasted");
    EditText("Hello");
    Type("x");
    Text()->SetSelection(0, 5);
    ASSERT_TRUE(EditsAre("Undo Cut Copy Paste All"));
    ASSERT_TRUE(FocusOn(Tree()));
    EXPECT_EQ(Edits(), "");
    EXPECT_FALSE(ToolEnabled(ids::ID_EDIT_CUT) || ToolEnabled(ids::ID_EDIT_COPY) ||
                 ToolEnabled(ids::ID_EDIT_PASTE));
    Doc()->Modify(false);
    const std::string xml = Xml();
    for (int key : {'C', 'X', 'V', 'A', 'Z'})
        Press(key, wxMOD_CONTROL);
    EXPECT_TRUE(Xml() == xml && Text()->GetValue() == "Hello therex" && !Doc()->IsModified());
    EXPECT_EQ(Clipboard(), "pasted");
    EXPECT_EQ(TreeLabels().size(), 5u);
}

TEST_F(EditorEdit, InTheTextBoxTheyFollowSelectionClipboardAndText) {
    EditText("Hello");
    // No selection, nothing to paste, nothing typed since the item was shown.
    SetClipboard(nullptr);
    EXPECT_TRUE(EditsAre("All"));
    SetClipboard("Greetings!");
    EXPECT_TRUE(EditsAre("Paste All") && ToolEnabled(ids::ID_EDIT_PASTE));
    // Select All takes everything and leaves the caret at the end.
    Press('A', wxMOD_CONTROL);
    EXPECT_EQ(Selection(Text()) + " " + std::to_string(Text()->GetInsertionPoint()), "0-11 11");
    EXPECT_EQ(Edits(), "Cut Copy Paste All");
    EXPECT_TRUE(ToolEnabled(ids::ID_EDIT_COPY));
    Press('C', wxMOD_CONTROL);
    EXPECT_EQ(Clipboard(), "Hello there");
    // A paste over the selection is one change: Undo puts the old text back,
    // a second Undo the pasted one; each time the library follows.
    SetClipboard("Greetings!");
    Press('V', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor("the paste", [this] { return Text()->GetValue() == "Greetings!"; }));
    EXPECT_TRUE(Has("<level2 header=\"Hello\" iid=\"2\"><![CDATA[Greetings!]]></level2>"));
    EXPECT_EQ(Edits(), "Undo Paste All");
    Press('Z', wxMOD_CONTROL);
    EXPECT_TRUE(Has("<level2 header=\"Hello\" iid=\"2\"><![CDATA[Hello there]]></level2>"));
    Press(WXK_BACK, wxMOD_ALT);
    EXPECT_TRUE(Has("<![CDATA[Greetings!]]>"));
    // Another item's text starts with nothing to undo; an empty box has
    // nothing to select.
    Select("Greetings");
    Add();
    ASSERT_TRUE(FocusOn(Text()));
    EXPECT_EQ(Edits(), "Paste");
    Press('A', wxMOD_CONTROL);
    Press('Z', wxMOD_CONTROL);
    EXPECT_TRUE(Text()->IsEmpty() && Messages().empty());
    // Undo takes back the whole run of typing, typed one key at a time.
    for (const char* key : {"H", "e", "y"})
        Type(key);
    Press('Z', wxMOD_CONTROL);
    EXPECT_TRUE(Text()->IsEmpty() && Xml().find("Hey") == std::string::npos);
}

TEST_F(EditorEdit, InTheLabelEditorTheyActOnTheLabel) {
    EditText("Hi");
    Type("x"); // something the text box could undo
    EditLabel("Hi");
    SetClipboard("clip");
    // The label starts selected; Undo follows the text box but acts in the label.
    EXPECT_TRUE(EditsAre("Undo Cut Copy Paste All"));
    Press('Z', wxMOD_CONTROL);
    Press('X', wxMOD_CONTROL);
    EXPECT_EQ(Clipboard(), "Hi");
    Type("Oh ");
    Press('V', wxMOD_CONTROL);
    ASSERT_TRUE(WaitFor("the paste", [this] { return LabelEditor()->GetValue() == "Oh Hi"; }));
    Press('A', wxMOD_CONTROL);
    EXPECT_EQ(Selection(LabelEditor()) + " " + Selection(Text()), "0-5 3-3");
    EndEditBy(WXK_RETURN);
    EXPECT_TRUE(Has("<level2 iid=\"3\" header=\"Oh Hi\"><![CDATA[Hix]]></level2>"));
}

TEST_F(EditorEdit, AClipboardOwnerThatNeverAnswersHoldsNothingUp) {
    EditText("Hello");
    // A program that takes the clipboard and then answers nothing, as a
    // stopped one does; the requests that reach it are counted.
    CXClient peer;
    Display* x = peer.Get();
    XSetSelectionOwner(x, XInternAtom(x, "CLIPBOARD", False),
                       XCreateSimpleWindow(x, peer.Root(), 0, 0, 1, 1, 0, 0, 0), CurrentTime);
    XSync(x, False);
    int asked = 0;
    const auto requests = [&] {
        for (XEvent event; XPending(x);)
            asked += XNextEvent(x, &event) == 0 && event.type == SelectionRequest;
        return asked;
    };
    // Asked once, when it takes the clipboard; the Paste rule, which runs at
    // every idle time, never asks again.
    ASSERT_TRUE(WaitFor("the one request", [&] { return requests() == 1; }));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(MenuEnabled(ids::ID_EDIT_PASTE));
    Type("x");
    EXPECT_EQ(Text()->GetValue(), "Hello therex");
    EXPECT_EQ(requests(), 1);
}
