// Drives CSplitterBar with real pointer events (XTest) on a form laid out the
// way the editor view does it: tree and text as two halves, bar between.

#include "app/SplitterBar.h"
#include "support/GuiTest.h"

#include <gdk/gdk.h>
#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/uiaction.h>

#include <functional>

namespace {

constexpr int kCx = 600;
constexpr int kCy = 400;

class SplitterBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "splitter", wxPoint(40, 40), wxDefaultSize);
        m_pForm = new wxPanel(m_pFrame);
        m_pTree = new wxTreeCtrl(m_pForm, wxID_ANY);
        m_pText = new wxTextCtrl(m_pForm, wxID_ANY, "text", wxDefaultPosition, wxDefaultSize,
                                 wxTE_MULTILINE);
        m_pBar = new CSplitterBar;
        ASSERT_TRUE(m_pBar->Create(m_pForm, 999, false));
        m_pForm->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
            LayOut();
            event.Skip();
        });
        m_pForm->Bind(wxEVT_SPLITTER_MOVED, [this](wxCommandEvent& event) {
            ++m_nMoved;
            m_nLastId = event.GetId();
            m_pLastSender = event.GetEventObject();
        });
        m_pFrame->SetClientSize(kCx, kCy);
        m_pFrame->Show();
        m_pFrame->Raise();
        ASSERT_TRUE(WaitFor([this] {
            return m_pForm->IsShownOnScreen() && m_pForm->GetClientSize() == wxSize(kCx, kCy);
        }));
        Settle(300);
        wxUIActionSimulator().MouseMove(m_pFrame->GetScreenRect().GetBottomRight() +
                                        wxPoint(50, 50));
        Settle();
    }

    void TearDown() override {
        m_pFrame->Destroy();
        Settle();
    }

    // What the view does on every resize.
    void LayOut() {
        const wxSize cs = m_pForm->GetClientSize();
        m_pTree->SetSize(0, 0, cs.x / 2, cs.y);
        m_pText->SetSize(cs.x / 2, 0, cs.x / 2, cs.y);
        m_pBar->SetPanes(m_pTree, m_pText);
    }

    wxPoint OnForm(int x, int y) const { return m_pForm->ClientToScreen(wxPoint(x, y)); }
    wxPoint BarCentre() const {
        const wxRect rc = m_pBar->GetScreenRect();
        return rc.GetPosition() + wxPoint(rc.width / 2, rc.height / 2);
    }
    // Parent client x of a pane's client corner, where the band stops.
    int ClientEdge(wxWindow* pane, bool farEdge) const {
        const wxSize cs = pane->GetClientSize();
        return m_pForm->ScreenToClient(pane->ClientToScreen(farEdge ? wxPoint(cs.x, 0) : wxPoint()))
            .x;
    }

    // Press at `from`, move to `to` in steps, run `held` with the button
    // still down, release.
    void Drag(const wxPoint& from, const wxPoint& to, const std::function<void()>& held = {}) {
        wxUIActionSimulator sim;
        sim.MouseMove(from);
        Settle();
        sim.MouseDown();
        ASSERT_TRUE(WaitFor([this] { return m_pBar->IsDragging(); }));
        constexpr int kSteps = 5;
        for (int i = 1; i <= kSteps; ++i) {
            sim.MouseMove(from + (to - from) * i / kSteps);
            Settle(50);
        }
        if (held) {
            Settle();
            held();
        }
        sim.MouseUp();
        WaitFor([this] { return !m_pBar->IsDragging(); });
        Settle();
    }

    wxFrame* m_pFrame = nullptr;
    wxPanel* m_pForm = nullptr;
    wxTreeCtrl* m_pTree = nullptr;
    wxTextCtrl* m_pText = nullptr;
    CSplitterBar* m_pBar = nullptr;
    int m_nMoved = 0;
    int m_nLastId = 0;
    wxObject* m_pLastSender = nullptr;
};

} // namespace

TEST_F(SplitterBarTest, SeatsOnFirstPaneEdgeWithLimitsFromPanes) {
    EXPECT_EQ(m_pBar->GetId(), 999);
    EXPECT_EQ(m_pBar->GetRect(), wxRect(kCx / 2 - 2, 0, 4, kCy));
    EXPECT_EQ(m_pTree->GetRect(), wxRect(0, 0, kCx / 2 - 1, kCy));
    EXPECT_EQ(m_pText->GetRect(), wxRect(kCx / 2 + 1, 0, kCx / 2 - 1, kCy));
    EXPECT_EQ(m_pBar->GetMinPos(), 0);
    EXPECT_EQ(m_pBar->GetMaxPos(), kCx);
    EXPECT_EQ(gdk_cursor_get_cursor_type(m_pBar->GetCursor().GetCursor()), GDK_SB_H_DOUBLE_ARROW);

    // Before it has panes a bar's limits are the parent's client area.
    auto* across = new CSplitterBar;
    ASSERT_TRUE(across->Create(m_pForm, wxID_ANY, true));
    EXPECT_EQ(across->GetMinPos(), 0);
    EXPECT_EQ(across->GetMaxPos(), kCy);
    EXPECT_EQ(gdk_cursor_get_cursor_type(across->GetCursor().GetCursor()), GDK_SB_V_DOUBLE_ARROW);
    across->Destroy();
}

TEST_F(SplitterBarTest, HoverChangesNothing) {
    const wxPoint centre = BarCentre();
    EXPECT_TRUE(m_pBar->HitTest(centre));
    EXPECT_FALSE(m_pBar->HitTest(OnForm(kCx / 2 - 3, kCy / 2)));
    EXPECT_FALSE(m_pBar->HitTest(OnForm(kCx / 2 + 2, kCy / 2)));

    wxUIActionSimulator sim;
    for (int x = kCx / 2 - 20; x <= kCx / 2 + 20; x += 4) {
        sim.MouseMove(OnForm(x, kCy / 2));
        Settle(20);
    }
    sim.MouseMove(centre);
    Settle();
    EXPECT_FALSE(m_pBar->IsDragging());
    EXPECT_TRUE(m_pBar->GetBandRect().IsEmpty());
    EXPECT_EQ(m_pBar->GetRect(), wxRect(kCx / 2 - 2, 0, 4, kCy));
    EXPECT_EQ(m_nMoved, 0);
}

TEST_F(SplitterBarTest, DragMovesPanesOnceAtRelease) {
    const wxRect treeBefore = m_pTree->GetRect();
    const wxRect textBefore = m_pText->GetRect();
    Drag(BarCentre(), OnForm(150, kCy / 2), [&] {
        // Only the band follows the pointer, its left edge at the pointer.
        EXPECT_EQ(m_pBar->GetBandRect(), wxRect(150, 0, 4, kCy));
        EXPECT_EQ(m_pTree->GetRect(), treeBefore);
        EXPECT_EQ(m_pText->GetRect(), textBefore);
        EXPECT_EQ(m_pBar->GetRect().x, kCx / 2 - 2);
        EXPECT_EQ(m_nMoved, 0);
    });
    EXPECT_FALSE(m_pBar->IsDragging());
    EXPECT_TRUE(m_pBar->GetBandRect().IsEmpty());
    EXPECT_EQ(m_pBar->GetRect(), wxRect(150, 0, 4, kCy));
    EXPECT_EQ(m_pTree->GetRect(), wxRect(0, 0, 151, kCy));
    EXPECT_EQ(m_pText->GetRect(), wxRect(153, 0, kCx - 153, kCy));
    EXPECT_EQ(m_nMoved, 1);
    EXPECT_EQ(m_nLastId, 999);
    EXPECT_EQ(m_pLastSender, m_pBar);
}

TEST_F(SplitterBarTest, ClickInPlaceMovesBarToPointer) {
    const int before = m_pBar->GetRect().x;
    const wxPoint centre = BarCentre();
    wxUIActionSimulator sim;
    sim.MouseMove(centre);
    Settle();
    sim.MouseClick();
    ASSERT_TRUE(WaitFor([this] { return m_nMoved == 1; }));
    Settle();
    const int after = m_pBar->GetRect().x;
    EXPECT_EQ(after, m_pForm->ScreenToClient(centre).x);
    EXPECT_GT(after - before, 0);
    EXPECT_LT(after - before, 4);
    EXPECT_EQ(m_pTree->GetRect().GetWidth(), after + 1);
    EXPECT_EQ(m_pText->GetRect().x, after + 3);
    EXPECT_EQ(m_nMoved, 1);
}

TEST_F(SplitterBarTest, DragStopsAtOuterEdges) {
    Drag(BarCentre(), OnForm(-30, kCy / 2),
         [&] { EXPECT_EQ(m_pBar->GetBandRect().x, ClientEdge(m_pTree, false)); });
    EXPECT_EQ(m_pBar->GetRect(), wxRect(m_pBar->GetMinPos(), 0, 4, kCy));
    EXPECT_EQ(m_pTree->GetRect(), wxRect(0, 0, 1, kCy));
    EXPECT_EQ(m_pText->GetRect(), wxRect(3, 0, kCx - 3, kCy));

    Drag(BarCentre(), OnForm(kCx + 100, kCy / 2), [&] {
        const int edge = ClientEdge(m_pText, true);
        EXPECT_EQ(m_pBar->GetBandRect().x, edge);
        EXPECT_LE(edge, kCx);
        EXPECT_GT(edge, kCx - 20);
    });
    // No minimum pane size: the text keeps no visible area at all.
    EXPECT_EQ(m_pBar->GetRect(), wxRect(m_pBar->GetMaxPos(), 0, 4, kCy));
    EXPECT_EQ(m_pTree->GetRect(), wxRect(0, 0, kCx + 1, kCy));
    EXPECT_EQ(m_pText->GetRect().GetRight() + 1, kCx);
    EXPECT_EQ(m_pText->GetRect().width, 0);
    EXPECT_EQ(m_nMoved, 2);
}

TEST_F(SplitterBarTest, ResizeReseatsBarWhateverTheDrag) {
    Drag(BarCentre(), OnForm(kCx + 100, kCy / 2));
    ASSERT_EQ(m_nMoved, 1);
    m_pFrame->SetClientSize(800, 500);
    ASSERT_TRUE(WaitFor([this] { return m_pForm->GetClientSize() == wxSize(800, 500); }));
    Settle();
    EXPECT_EQ(m_pBar->GetRect(), wxRect(398, 0, 4, 500));
    EXPECT_EQ(m_pTree->GetRect(), wxRect(0, 0, 399, 500));
    EXPECT_EQ(m_pText->GetRect(), wxRect(401, 0, 399, 500));
    EXPECT_EQ(m_pBar->GetMaxPos(), 800);
    EXPECT_EQ(m_nMoved, 1);
}

TEST_F(SplitterBarTest, LostCaptureDropsTheDrag) {
    const wxRect barBefore = m_pBar->GetRect();
    Drag(BarCentre(), OnForm(150, kCy / 2), [&] {
        wxMouseCaptureLostEvent lost(m_pBar->GetId());
        lost.SetEventObject(m_pBar);
        m_pBar->ProcessWindowEvent(lost);
        EXPECT_FALSE(m_pBar->IsDragging());
        EXPECT_TRUE(m_pBar->GetBandRect().IsEmpty());
    });
    EXPECT_EQ(m_pBar->GetRect(), barBefore);
    EXPECT_EQ(m_pTree->GetRect(), wxRect(0, 0, kCx / 2 - 1, kCy));
    EXPECT_EQ(m_nMoved, 0);
}
