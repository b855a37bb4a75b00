// Dragging a branch onto another item with the mouse: tree and library move
// together, ids travel with the items, refused drops change nothing.

#include "view/EditorFixture.h"

#include <gtk/gtk.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include <cstdlib>

namespace {

const char* kLibrary = "<level0 header=\"Root\">"
                       "<level1 header=\"A\">"
                       "<level2 header=\"A1\"><![CDATA[a1 text]]></level2>"
                       "<level2 header=\"A2\"><![CDATA[a2 text]]></level2>"
                       "</level1>"
                       "<level1 header=\"B\"><![CDATA[b text]]></level1>"
                       "</level0>";

const char* kNumbered = "<level0 header=\"Root\" iid=\"0\">"
                        "<level1 header=\"A\" iid=\"1\">"
                        "<level2 header=\"A1\" iid=\"2\"><![CDATA[a1 text]]></level2>"
                        "<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]></level2>"
                        "</level1>"
                        "<level1 header=\"B\" iid=\"4\"><![CDATA[b text]]></level1>"
                        "</level0>";

const std::vector<std::string> kTree = {"Root", "  A", "    A1", "    A2", "  B"};

// Whether the screen shows the drag image's grey text on its white band, and
// nothing of a red window beneath, just right of and below the pointer.
bool LabelShownAt(const wxPoint& pointer) {
    GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), pointer.x + 15,
                                                 pointer.y + 15, 12, 14);
    if (!shot)
        return false;
    const int channels = gdk_pixbuf_get_n_channels(shot);
    const int stride = gdk_pixbuf_get_rowstride(shot);
    const guchar* pixels = gdk_pixbuf_get_pixels(shot);
    int grey = 0;
    int red = 0;
    for (int y = 0; y < gdk_pixbuf_get_height(shot); ++y)
        for (int x = 0; x < gdk_pixbuf_get_width(shot); ++x) {
            const guchar* p = pixels + y * stride + x * channels;
            red += p[0] > 200 && p[1] < 60 && p[2] < 60;
            grey += p[0] < 220 && std::abs(p[0] - p[1]) < 16 && std::abs(p[1] - p[2]) < 16;
        }
    g_object_unref(shot);
    return grey > 0 && red == 0;
}

class EditorDrag : public CEditorFixture {
protected:
    void ExpectUnchanged() {
        EXPECT_EQ(Xml(), kNumbered);
        EXPECT_EQ(TreeLabels(), kTree);
        EXPECT_FALSE(Doc()->IsModified());
        EXPECT_TRUE(Messages().empty());
        EXPECT_FALSE(View()->IsDragging());
    }
    // The middle of an item's expander, found leftwards from its label.
    wxPoint OnExpander(const std::string& label) const {
        wxRect rc;
        EXPECT_TRUE(Tree()->GetBoundingRect(Item(label), rc, true));
        const int y = rc.y + rc.height / 2;
        for (int x = rc.x; x >= 0; --x) {
            int flags = 0;
            Tree()->HitTest(wxPoint(x, y), flags);
            if (flags & wxTREE_HITTEST_ONITEMBUTTON)
                return Tree()->ClientToScreen(wxPoint(x, y));
        }
        ADD_FAILURE() << "no expander left of " << label;
        return {};
    }
};

} // namespace

TEST_F(EditorDrag, RefusedDropsChangeNothing) {
    StartWith(kLibrary);

    // Onto itself.
    Drag(OnItem("A"), {OnItem("A") + wxPoint(8, 2), OnItem("A") + wxPoint(2, 0)});
    ExpectUnchanged();

    // Onto one of its own sub-items.
    Drag(OnItem("A"), {OnItem("A2")});
    ExpectUnchanged();

    // The root can be dragged but lies above everything else.
    Drag(OnItem("Root"), {OnItem("B")});
    ExpectUnchanged();

    // Never over an item: straight down into the empty part of the tree.
    Drag(OnItem("B"), {OnItem("B") + wxPoint(0, 60), BelowItems()});
    ExpectUnchanged();

    // Pressed below the items or on an expander, with an item selected: that
    // item does not move.
    Select("A1");
    Drag(BelowItems(), {OnItem("B")});
    ExpectUnchanged();
    Drag(OnExpander("A"), {OnItem("B")});
    ExpectUnchanged();
}

TEST_F(EditorDrag, DropOntoTheParentMovesToItsEndWithTheIds) {
    StartWith(kLibrary);
    Drag(OnItem("A1"), {OnItem("A2"), OnItem("A")});
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Root", "  A", "    A2", "    A1", "  B"}));
    EXPECT_EQ(Xml(), "<level0 header=\"Root\" iid=\"0\">"
                     "<level1 header=\"A\" iid=\"1\">"
                     "<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]></level2>"
                     "<level2 header=\"A1\" iid=\"2\"><![CDATA[a1 text]]></level2>"
                     "</level1>"
                     "<level1 header=\"B\" iid=\"4\"><![CDATA[b text]]></level1>"
                     "</level0>");
    // The copy is selected and still reaches its element.
    EXPECT_EQ(Selected(), "A1");
    EXPECT_EQ(View()->ItemId(Tree()->GetSelection()), 2);
    EXPECT_EQ(Text()->GetValue(), "a1 text");
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_TRUE(Messages().empty());

    Command(ids::ID_FILE_SAVE);
    EXPECT_NE(SavedBytes(Doc()->PathName())
                  .find("<level2 header=\"A2\" iid=\"2\"><![CDATA[a2 "
                        "text]]></level2><level2 header=\"A1\" iid=\"3\">"),
              std::string::npos);
}

TEST_F(EditorDrag, DropOntoALeafMakesItAHeadingThatKeepsItsText) {
    StartWith(kLibrary);
    Drag(OnItem("A"), {OnItem("B")});
    EXPECT_EQ(TreeLabels(),
              (std::vector<std::string>{"Root", "  B", "    A", "      A1", "      A2"}));
    EXPECT_EQ(Xml(), "<level0 header=\"Root\" iid=\"0\">"
                     "<level1 header=\"B\" iid=\"4\"><![CDATA[b text]]>"
                     "<level1 header=\"A\" iid=\"1\">"
                     "<level2 header=\"A1\" iid=\"2\"><![CDATA[a1 text]]></level2>"
                     "<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]></level2>"
                     "</level1></level1>"
                     "</level0>");
    EXPECT_EQ(Selected(), "A");
    EXPECT_TRUE(Tree()->IsExpanded(Item("B")));
    Select("B");
    EXPECT_FALSE(Text()->IsEnabled());
    EXPECT_EQ(Text()->GetValue(), "");
    Select("A2");
    EXPECT_TRUE(Text()->IsEnabled());
    EXPECT_EQ(Text()->GetValue(), "a2 text");
}

TEST_F(EditorDrag, AMovedElementKeepsItsNameAndAddsBelowItFollowTheName) {
    StartWith(kLibrary);
    Drag(OnItem("A2"), {OnItem("B"), OnItem("Root")});
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Root", "  A", "    A1", "  B", "  A2"}));
    EXPECT_NE(Xml().find("<level1 header=\"B\" iid=\"4\"><![CDATA[b text]]></level1>"
                         "<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]></level2></level0>"),
              std::string::npos)
        << Xml();
    Command(ids::ID_ADD_MENU_ITEM);
    Tree()->EndEditLabel(Tree()->GetSelection(), true);
    EXPECT_NE(Xml().find("<level2 header=\"A2\" iid=\"3\"><![CDATA[a2 text]]>"
                         "<level3 header=\"New Item\" iid=\"6\"/></level2>"),
              std::string::npos)
        << Xml();
}

TEST_F(EditorDrag, ReleasedAwayFromTheTreeDropsOnTheLastHighlightedItem) {
    StartWith(kLibrary);
    const wxPoint outside = Frame()->GetScreenRect().GetTopRight() + wxPoint(60, 80);
    Drag(OnItem("A1"),
         {OnItem("B"), Text()->GetScreenRect().GetBottomRight() - wxPoint(5, 5), outside}, [this] {
             EXPECT_TRUE(View()->IsDragging());
             // The highlight stays on the last item passed over.
             EXPECT_EQ(Tree()->GetItemBackgroundColour(Item("B")),
                       wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT));
         });
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"Root", "  A", "    A2", "  B", "    A1"}));
    EXPECT_NE(Xml().find("<level1 header=\"B\" iid=\"4\"><![CDATA[b text]]>"
                         "<level2 header=\"A1\" iid=\"2\"><![CDATA[a1 text]]></level2></level1>"),
              std::string::npos)
        << Xml();
    EXPECT_FALSE(Tree()->GetItemBackgroundColour(Item("B")).IsOk()) << "highlight removed";
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(EditorDrag, ADragEndsWithoutAChangeWhenItsCaptureOrItsItemsGoAway) {
    StartWith(kLibrary);
    // Another window takes the pointer while the button is still held.
    auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(800, 600), wxSize(100, 100));
    other->Show();
    Settle(200);
    Drag(OnItem("A1"), {OnItem("B")}, [this, other] {
        ASSERT_TRUE(View()->IsDragging());
        GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
        GdkWindow* window = gtk_widget_get_window(other->GetHandle());
        ASSERT_EQ(gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr,
                                nullptr, nullptr, nullptr),
                  GDK_GRAB_SUCCESS);
        // The old grab is found broken with the next event from the server.
        wxUIActionSimulator().MouseMove(OnItem("A"));
        EXPECT_TRUE(WaitFor([this] { return !View()->IsDragging(); }));
        gdk_seat_ungrab(seat);
    });
    other->Destroy();
    ExpectUnchanged();
    EXPECT_FALSE(Tree()->GetItemBackgroundColour(Item("B")).IsOk());
    EXPECT_FALSE(Tree()->HasCapture());

    // Ctrl+S with the button held: the save rebuilds the tree under the drag.
    Drag(OnItem("A1"), {OnItem("B")}, [this] {
        ASSERT_TRUE(View()->IsDragging());
        Press('S', wxMOD_CONTROL);
        EXPECT_FALSE(View()->IsDragging());
    });
    ExpectUnchanged();
    EXPECT_EQ(Selected(), "Root");
    EXPECT_FALSE(Tree()->HasCapture());
}

TEST_F(EditorDrag, TheDragImageFollowsThePointerAboveEveryWindow) {
    StartWith(kLibrary);
    auto* other = new wxFrame(nullptr, wxID_ANY, "other", wxPoint(820, 100), wxSize(300, 200));
    other->SetBackgroundColour(*wxRED);
    other->Show();
    ASSERT_TRUE(WaitFor([other] { return other->IsShownOnScreen(); }));
    Settle(200);
    const wxPoint over = other->GetScreenRect().GetPosition() + wxPoint(60, 60);
    Drag(OnItem("A1"), {over}, [this, over] {
        // Over another program's window, then over the tree itself.
        EXPECT_TRUE(WaitFor([over] { return LabelShownAt(over); }));
        if (const char* shot = std::getenv("TESSARY_DRAG_SHOT")) {
            GdkWindow* root = gdk_get_default_root_window();
            GdkPixbuf* screen = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root),
                                                           gdk_window_get_height(root));
            gdk_pixbuf_save(screen, shot, "png", nullptr, nullptr);
            g_object_unref(screen);
        }
        const wxPoint inTree = BelowItems();
        wxUIActionSimulator().MouseMove(inTree);
        EXPECT_TRUE(WaitFor([inTree] { return LabelShownAt(inTree); }));
    });
    other->Destroy();
    EXPECT_FALSE(LabelShownAt(BelowItems())) << "gone with the drop";
}
