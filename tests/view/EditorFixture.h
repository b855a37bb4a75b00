#pragma once
// The program's windows with a library loaded, every item expanded (or, for
// the tree filled on demand, only the root's children in the tree), the frame
// on top with the keyboard focus in the tree, and the means to find the
// items and read what the form shows.

#include "res/CommandIds.h"
#include "support/AppFixture.h"

#include <wx/aui/auibar.h>
#include <wx/config.h>
#include <wx/menu.h>

// A small library with a heading, two snippets below it and one beside it.
inline const char* kMail = "<level0 header=\"Mail\"><level1 header=\"Greetings\">"
                           "<level2 header=\"Hello\"><![CDATA[Hello there]]></level2>"
                           "<level2 header=\"Hi\"><![CDATA[Hi]]></level2></level1>"
                           "<level1 header=\"Sign-off\"><![CDATA[Regards]]></level1></level0>";

class CEditorFixture : public CAppFixture {
protected:
    void StartWith(const std::string& xml, bool expandAll = true) {
        CSettingsStore::WritePosition(*wxConfigBase::Get(), "0060 0060 0760 0560 ");
        StartShown(Write("library.xml", xml));
        ASSERT_TRUE(Placed(wxRect(60, 60, 700, 500)));
        if (expandAll)
            Tree()->ExpandAll();
        ASSERT_TRUE(FocusOn(Tree()));
        // Out of the way, so no hovering plays a part.
        m_sim.MouseMove(Frame()->GetScreenRect().GetBottomRight() + wxPoint(40, 40));
    }

    // The library as it stands, with the ids it holds now (no renumbering).
    std::string Xml() const { return Doc()->Library().Serialize(); }
    ::testing::AssertionResult Has(const std::string& part) const {
        return Xml().find(part) != std::string::npos ? ::testing::AssertionSuccess()
                                                     : ::testing::AssertionFailure() << Xml();
    }
    // First item with that label in pre-order.
    wxTreeItemId Item(const std::string& label, wxTreeItemId at = {}) const {
        at = at.IsOk() ? at : Tree()->GetRootItem();
        wxTreeItemIdValue cookie;
        wxTreeItemId found = Tree()->GetItemText(at).utf8_string() == label ? at : wxTreeItemId();
        for (auto c = Tree()->GetFirstChild(at, cookie); !found.IsOk() && c.IsOk();
             c = Tree()->GetNextChild(at, cookie))
            found = Item(label, c);
        return found;
    }
    void Select(const std::string& label) { Tree()->SelectItem(Item(label)); }
    // The text box of a snippet, focused, the caret at the end.
    void EditText(const std::string& label) {
        Select(label);
        ASSERT_TRUE(FocusOn(Text()));
        Text()->SetInsertionPointEnd();
    }
    wxTextCtrl* LabelEditor() const { return Tree()->GetEditControl(); }
    // Ctrl+N on the selection, or a rename: the label is being edited.
    void EditLabel(const std::string& label = {}) {
        if (label.empty())
            Press('N', wxMOD_CONTROL);
        else
            Tree()->EditLabel(Item(label));
        ASSERT_TRUE(WaitFor("the label editor", [this] {
            return LabelEditor() && wxWindow::FindFocus() == LabelEditor();
        }));
    }
    void EndEditBy(int key) {
        Press(key);
        ASSERT_TRUE(WaitFor("the end of the edit", [this] { return LabelEditor() == nullptr; }));
    }
    // What the form shows for the selection: "label: text", the text box
    // open for typing or not, the item removable or not.
    std::string Shows() const {
        return Tree()->GetItemText(Tree()->GetSelection()).utf8_string() + ": " +
               Text()->GetValue().utf8_string() + (Text()->IsEnabled() ? " typing" : "") +
               (Doc()->m_bCanRemove ? " removable" : "");
    }
    // Add on the selection, the new item's name taken as it stands.
    void Add() {
        Command(ids::ID_ADD_MENU_ITEM);
        Tree()->EndEditLabel(Tree()->GetSelection(), true);
    }
    // The enabled state menu bar and toolbar show, once asked.
    bool MenuEnabled(int id) {
        Frame()->UpdateWindowUI();
        return Frame()->GetMenuBar()->IsEnabled(id);
    }
    bool ToolEnabled(int id) {
        Frame()->ToolBar()->UpdateWindowUI(wxUPDATE_UI_FROMIDLE);
        return Frame()->ToolBar()->GetToolEnabled(id);
    }
};
