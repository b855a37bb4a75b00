#pragma once
// The program's windows with a library loaded, and the means to act on the
// editor as a person does: real pointer and key events through XTest.

#include "res/CommandIds.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"
#include "view/EditCommands.h"

#include <wx/aui/auibar.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <functional>
#include <string>
#include <vector>

// A small library with a heading, two snippets below it and one beside it.
inline const char* kMail = "<level0 header=\"Mail\">"
                           "<level1 header=\"Greetings\">"
                           "<level2 header=\"Hello\"><![CDATA[Hello there]]></level2>"
                           "<level2 header=\"Hi\"><![CDATA[Hi]]></level2>"
                           "</level1>"
                           "<level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>"
                           "</level0>";

class CEditorFixture : public CAppFixture {
protected:
    // Starts with the library, every item expanded, the frame on top with the
    // keyboard focus in the tree.
    void StartWith(const std::string& xml) {
        ASSERT_TRUE(Start(Write("library.xml", xml)));
        Frame()->SetSize(60, 60, 700, 500);
        Tree()->ExpandAll();
        Frame()->Raise();
        ASSERT_TRUE(WaitFor([this] { return Frame()->IsActive(); }));
        ASSERT_TRUE(FocusOn(Tree()));
        // Out of the way, so no hovering plays a part.
        wxUIActionSimulator().MouseMove(Frame()->GetScreenRect().GetBottomRight() +
                                        wxPoint(40, 40));
        Settle();
    }

    wxTreeCtrl* Tree() const { return View()->Tree(); }
    wxTextCtrl* Text() const { return View()->Text(); }
    CEditCommands& Edit() const { return View()->EditCommands(); }
    // The library as it stands, with the ids it holds now (no renumbering).
    std::string Xml() const { return Doc()->Library().Serialize(); }

    // First item with that label in pre-order.
    wxTreeItemId Item(const std::string& label) const {
        for (wxTreeItemId it = Tree()->GetRootItem(); it.IsOk(); it = Next(it))
            if (Tree()->GetItemText(it).utf8_string() == label)
                return it;
        return {};
    }
    wxTreeItemId Next(const wxTreeItemId& item) const {
        wxTreeItemIdValue cookie;
        const wxTreeItemId child = Tree()->GetFirstChild(item, cookie);
        if (child.IsOk())
            return child;
        for (wxTreeItemId up = item; up.IsOk(); up = Tree()->GetItemParent(up)) {
            const wxTreeItemId sibling = Tree()->GetNextSibling(up);
            if (sibling.IsOk())
                return sibling;
        }
        return {};
    }
    std::string Selected() const {
        const wxTreeItemId sel = Tree()->GetSelection();
        return sel.IsOk() ? Tree()->GetItemText(sel).utf8_string() : "<none>";
    }
    void Select(const std::string& label) {
        const wxTreeItemId item = Item(label);
        ASSERT_TRUE(item.IsOk()) << label;
        Tree()->SelectItem(item);
        Settle(20);
    }

    bool FocusOn(wxWindow* window) {
        window->SetFocus();
        return WaitFor([window] { return wxWindow::FindFocus() == window; });
    }
    wxTextCtrl* LabelEditor() const { return Tree()->GetEditControl(); }

    // A key as the keyboard gives it, with its modifiers.
    void Press(int key, int modifiers = wxMOD_NONE) {
        wxUIActionSimulator().Char(key, modifiers);
        Settle(60);
    }
    void Type(const char* text) {
        wxUIActionSimulator().Text(text);
        Settle(60);
    }

    // Where a person points at an item: the middle of its label, on screen.
    wxPoint OnItem(const std::string& label) const {
        wxRect rc;
        EXPECT_TRUE(Tree()->GetBoundingRect(Item(label), rc, true)) << label;
        return Tree()->ClientToScreen(rc.GetPosition() + wxPoint(rc.width / 2, rc.height / 2));
    }
    // Below the last item, still in the tree.
    wxPoint BelowItems() const {
        const wxRect rc = Tree()->GetScreenRect();
        return wxPoint(rc.x + rc.width / 2, rc.GetBottom() - 10);
    }

    // Presses on `from`, moves along `path` in small steps with the button
    // held, runs `held`, then releases where the path ends.
    void Drag(const wxPoint& from, const std::vector<wxPoint>& path,
              const std::function<void()>& held = {}) {
        wxUIActionSimulator sim;
        sim.MouseMove(from);
        Settle(60);
        sim.MouseDown();
        Settle(60);
        wxPoint at = from;
        for (const wxPoint& to : path) {
            constexpr int kSteps = 6;
            for (int i = 1; i <= kSteps; ++i) {
                sim.MouseMove(at + (to - at) * i / kSteps);
                Settle(30);
            }
            at = to;
        }
        if (held)
            held();
        sim.MouseUp();
        WaitFor([this] { return !View()->IsDragging(); });
        Settle(100);
    }

    // The enabled state the menu bar and the toolbar show for a command,
    // after the frame has asked the update handlers.
    bool MenuEnabled(int id) {
        Frame()->UpdateWindowUI();
        return Frame()->GetMenuBar()->IsEnabled(id);
    }
    bool ToolEnabled(int id) {
        auto* bar = Frame()->ToolBar();
        bar->UpdateWindowUI(wxUPDATE_UI_FROMIDLE);
        return bar->GetToolEnabled(id);
    }
};
