#pragma once
// The program's windows with a library loaded, every item expanded, the frame
// on top with the keyboard focus in the tree, and the means to find the
// items where a person sees them.

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
    void StartWith(const std::string& xml) {
        CSettingsStore::WritePosition(*wxConfigBase::Get(), "0060 0060 0760 0560 ");
        StartShown(Write("library.xml", xml));
        ASSERT_TRUE(WaitFor("the window's place",
                            [this] { return Frame()->GetRect() == wxRect(60, 60, 700, 500); }));
        Tree()->ExpandAll();
        ASSERT_TRUE(FocusOn(Tree()));
        // Out of the way, so no hovering plays a part.
        m_sim.MouseMove(Frame()->GetScreenRect().GetBottomRight() + wxPoint(40, 40));
    }

    // The library as it stands, with the ids it holds now (no renumbering).
    std::string Xml() const { return Doc()->Library().Serialize(); }
    ::testing::AssertionResult Has(const std::string& part) const {
        const std::string xml = Xml();
        if (xml.find(part) != std::string::npos)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << xml;
    }

    // First item with that label in pre-order.
    wxTreeItemId Item(const std::string& label, wxTreeItemId from = {}) const {
        from = from.IsOk() ? from : Tree()->GetRootItem();
        if (Tree()->GetItemText(from).utf8_string() == label)
            return from;
        wxTreeItemIdValue cookie;
        for (auto c = Tree()->GetFirstChild(from, cookie); c.IsOk();
             c = Tree()->GetNextChild(from, cookie))
            if (const wxTreeItemId found = Item(label, c); found.IsOk())
                return found;
        return {};
    }
    std::string Selected() const {
        return Tree()->GetItemText(Tree()->GetSelection()).utf8_string();
    }
    void Select(const std::string& label) { Tree()->SelectItem(Item(label)); }
    // What the form shows for the selection: "label: text", the text box
    // open for typing or not, the item removable or not.
    std::string Shows() const {
        return Selected() + ": " + Text()->GetValue().utf8_string() +
               (Text()->IsEnabled() ? " typing" : "") + (Doc()->m_bCanRemove ? " removable" : "");
    }
    wxTextCtrl* LabelEditor() const { return Tree()->GetEditControl(); }
    // Runs Add on the selection and takes the new item's name as it stands.
    void Add() {
        Command(ids::ID_ADD_MENU_ITEM);
        Tree()->EndEditLabel(Tree()->GetSelection(), true);
    }

    // Where a person points at an item: the middle of its label, on screen.
    wxPoint OnItem(const std::string& label) const {
        wxRect rc;
        EXPECT_TRUE(Tree()->GetBoundingRect(Item(label), rc, true)) << label;
        return Tree()->ClientToScreen(rc.GetPosition() + rc.GetSize() / 2);
    }
    wxPoint BelowItems() const {
        const wxRect rc = Tree()->GetScreenRect();
        return wxPoint(rc.x + rc.width / 2, rc.GetBottom() - 10);
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
