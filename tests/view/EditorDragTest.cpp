// Dragging a branch onto another item with the mouse: tree and library move
// together, ids travel with the items, refused drops change nothing, and the
// drag image stays above every window.

#include "view/EditorFixture.h"

#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/settings.h>

#include <cstdlib>

namespace {

const char* kLibrary = "<level0 header=\"Root\"><level1 header=\"A\">"
                       "<level2 header=\"A1\"><![CDATA[a1 text]]></level2>"
                       "<level2 header=\"A2\"><![CDATA[a2 text]]></level2></level1>"
                       "<level1 header=\"B\"><![CDATA[b text]]></level1></level0>";

// Whether the screen shows the drag image's grey text on its white band, and
// nothing of a red window beneath, just right of and below the pointer.
bool LabelShownAt(const wxPoint& pointer) {
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), pointer.x + 15,
                                                 pointer.y + 15, 12, 14);
    int grey = 0, red = 0;
    for (int y = 0; shot && y < gdk_pixbuf_get_height(shot); ++y)
        for (int x = 0; x < gdk_pixbuf_get_width(shot); ++x) {
            const guchar* p = gdk_pixbuf_get_pixels(shot) + y * gdk_pixbuf_get_rowstride(shot) +
                              x * gdk_pixbuf_get_n_channels(shot);
            red += p[0] > 200 && p[1] < 60 && p[2] < 60;
            grey += p[0] < 220 && std::abs(p[0] - p[1]) < 16 && std::abs(p[1] - p[2]) < 16;
        }
    if (shot)
        g_object_unref(shot);
    return grey > 0 && red == 0;
}

class EditorDrag : public CEditorFixture {
protected:
    void SetUp() override {
        CEditorFixture::SetUp();
        StartWith(kLibrary);
        m_strStart = Xml();
    }
    void ExpectUnchanged() {
        EXPECT_EQ(Xml(), m_strStart);
        EXPECT_EQ(TreeLabels(), (Strings{"Root", "  A", "    A1", "    A2", "  B"}));
        EXPECT_FALSE(Doc()->IsModified() || View()->IsDragging() || Tree()->HasCapture());
        EXPECT_FALSE(Tree()->GetItemBackgroundColour(Item("B")).IsOk()) << "no highlight left";
    }
    // Where a person points at an item: the middle of its label, on screen.
    wxPoint On(const std::string& label, wxPoint offset = {}) const {
        wxRect rc;
        EXPECT_TRUE(Tree()->GetBoundingRect(Item(label), rc, true)) << label;
        return Tree()->ClientToScreen(rc.GetPosition() + rc.GetSize() / 2 + offset);
    }
    wxPoint BelowItems() const {
        return Tree()->GetScreenRect().GetBottomLeft() + wxPoint(60, -10);
    }
    // The middle of an item's expander, found leftwards from its label.
    wxPoint OnExpander(const std::string& label) const {
        wxPoint at = Tree()->ScreenToClient(On(label));
        for (int flags = 0; at.x >= 0; --at.x)
            if (Tree()->HitTest(at, flags).IsOk() && (flags & wxTREE_HITTEST_ONITEMBUTTON))
                return Tree()->ClientToScreen(at);
        ADD_FAILURE() << "no expander left of " << label;
        return {};
    }
    // A red window of another program, beside the main window.
    wxFrame* Other() {
        auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(820, 100), wxSize(300, 200));
        other->SetBackgroundColour(*wxRED);
        other->Show();
        EXPECT_TRUE(WaitFor("the other window", [other] { return other->IsShownOnScreen(); }));
        return other;
    }

    std::string m_strStart;
};

} // namespace

TEST_F(EditorDrag, RefusedDropsChangeNothing) {
    const std::pair<wxPoint, std::vector<wxPoint>> refused[] = {
        {On("A"), {On("A", {8, 2}), On("A", {2, 0})}}, // onto itself
        {On("A"), {On("A2")}},                         // onto its own sub-item
        {On("Root"), {On("B")}},                       // the root, above everything
        {On("B"), {On("B", {0, 60}), BelowItems()}},   // never over an item
        {BelowItems(), {On("B")}},                     // pressed below the items
        {OnExpander("A"), {On("B")}}};                 // pressed on an expander
    for (const auto& [from, path] : refused) {
        // Another item selected: the drag must not take it instead.
        Select("A1");
        Drag(from, path);
        ExpectUnchanged();
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorDrag, ADropMovesTheBranchWithItsIdsAndTexts) {
    // Onto its own parent: to the end of it. The copy is selected and still
    // reaches its element.
    Drag(On("A1"), {On("A2"), On("A")});
    EXPECT_TRUE(Has("<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]></level2><level2 "
                    "header=\"A1\" iid=\"2\"><![CDATA[a1 text]]></level2></level1>"));
    EXPECT_EQ(Shows() + std::to_string(View()->ItemId(Tree()->GetSelection())),
              "A1: a1 text typing removable2");
    EXPECT_TRUE(Doc()->IsModified());
    // Onto a snippet: it becomes a heading that keeps its text.
    Drag(On("A"), {On("B")});
    EXPECT_TRUE(Has("<level1 header=\"B\" iid=\"4\"><![CDATA[b text]]><level1 header=\"A\""));
    EXPECT_EQ(TreeLabels(), (Strings{"Root", "  B", "    A", "      A2", "      A1"}));
    EXPECT_TRUE(Tree()->IsExpanded(Item("B")) && Shows() == "A:  removable");
    Select("B");
    EXPECT_EQ(Shows(), "B:  removable");
    // A moved element keeps its name, so one added below it follows that name.
    Tree()->ExpandAll();
    Drag(On("A2"), {On("B"), On("Root")});
    Add();
    EXPECT_TRUE(Has("<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]><level3 header=\"New "
                    "Item\" iid=\"6\"/></level2></level0>"));
    // Released away from the tree: dropped on the last item passed over,
    // which stays highlighted meanwhile.
    const wxPoint away = Frame()->GetScreenRect().GetTopRight() + wxPoint(60, 80);
    Drag(On("A1"), {On("New Item"), Text()->GetScreenRect().GetBottomRight(), away}, [this] {
        EXPECT_EQ(Tree()->GetItemBackgroundColour(Item("New Item")),
                  wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
    });
    EXPECT_TRUE(Has("<level3 header=\"New Item\" iid=\"6\"><level2 header=\"A1\" iid=\"2\">"));
    EXPECT_FALSE(Tree()->GetItemBackgroundColour(Item("New Item")).IsOk()) << "highlight removed";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorDrag, ADragEndsWithoutAChangeWhenItsCaptureOrItsItemsGoAway) {
    // Another window takes the pointer while the button is still held: the
    // old grab is found broken with the next event from the server.
    wxFrame* other = Other();
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    Drag(On("A1"), {On("B")}, [&] {
        ASSERT_TRUE(View()->IsDragging());
        ASSERT_EQ(gdk_seat_grab(seat, gtk_widget_get_window(other->GetHandle()),
                                GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr, nullptr, nullptr,
                                nullptr),
                  GDK_GRAB_SUCCESS);
        m_sim.MouseMove(On("A"));
        EXPECT_TRUE(WaitFor("the end of the drag", [this] { return !View()->IsDragging(); }));
        gdk_seat_ungrab(seat);
    });
    other->Destroy();
    ExpectUnchanged();
    // Ctrl+S with the button held: the save rebuilds the tree under the drag.
    Drag(On("A1"), {On("B")}, [this] {
        ASSERT_TRUE(View()->IsDragging());
        Press('S', wxMOD_CONTROL);
        EXPECT_FALSE(View()->IsDragging());
    });
    ExpectUnchanged();
    EXPECT_EQ(Shows(), "Root: ");
}

TEST_F(EditorDrag, TheDragImageFollowsThePointerAboveEveryWindow) {
    wxFrame* other = Other();
    const wxPoint over = other->GetScreenRect().GetPosition() + wxPoint(60, 60);
    const wxPoint inTree = BelowItems();
    Drag(On("A1"), {over}, [&] {
        // Over another program's window, then over the tree itself.
        EXPECT_TRUE(WaitFor("the image over the other window", [&] { return LabelShownAt(over); }));
        m_sim.MouseMove(inTree);
        EXPECT_TRUE(WaitFor("the image over the tree", [&] { return LabelShownAt(inTree); }));
    });
    other->Destroy();
    EXPECT_FALSE(LabelShownAt(inTree)) << "gone with the drop";
}

TEST_F(EditorDrag, ABranchNeverExpandedDroppedOnAnotherShowsWhatTheLibraryHolds) {
    Stop();
    StartWith("<level0 header=\"Root\"><level1 header=\"A\"><level2 header=\"A1\"><level3 "
              "header=\"Deep\"><![CDATA[deep]]></level3></level2><level2 header=\"A2\"><![CDATA["
              "a2]]></level2></level1><level1 header=\"B\"><level2 header=\"B1\"><![CDATA[b1]]>"
              "</level2></level1></level0>",
              false);
    EXPECT_EQ(TreeLabels(), (Strings{"Root", "  A", "  B"}));
    Tree()->Expand(Tree()->GetRootItem());
    Drag(On("A"), {On("B")});
    // The target opens with its own child; the moved branch comes closed and
    // brings all of its items once opened, each reaching its element.
    EXPECT_EQ(TreeLabels(), (Strings{"Root", "  B", "    B1", "    A"}));
    Tree()->ExpandAll();
    const Strings all{"Root", "  B", "    B1", "    A", "      A1", "        Deep", "      A2"};
    EXPECT_EQ(TreeLabels(), all);
    Select("Deep");
    EXPECT_EQ(Shows(), "Deep: deep typing removable");
    // The save numbers the ids in document order and keeps the open branches.
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Read(Doc()->PathName()),
              "<level0 header=\"Root\" iid=\"0\"><level1 header=\"B\" iid=\"1\"><level2 "
              "header=\"B1\" iid=\"2\"><![CDATA[b1]]></level2><level1 header=\"A\" iid=\"3\">"
              "<level2 header=\"A1\" iid=\"4\"><level3 header=\"Deep\" iid=\"5\"><![CDATA["
              "deep]]></level3></level2><level2 header=\"A2\" iid=\"6\"><![CDATA[a2]]></level2>"
              "</level1></level1></level0>");
    EXPECT_EQ(TreeLabels(), all);
    EXPECT_TRUE(Messages().empty());
}
