// The splitter bar of the editor form under real pointer events (XTest): only
// a band follows the pointer, the panes move once, at the release.

#include "app/SplitterBar.h"
#include "support/AppFixture.h"

#include <wx/config.h>
#include <wx/panel.h>

namespace {

class SplitterBarTest : public CAppFixture {
protected:
    void SetUp() override {
        CAppFixture::SetUp();
        CSettingsStore::WritePosition(*wxConfigBase::Get(), "0040 0040 0740 0540 ");
        StartShown();
        ASSERT_TRUE(Placed(wxRect(40, 40, 700, 500)));
        m_pBar = View()->Splitter();
        View()->Form()->Bind(wxEVT_SPLITTER_MOVED, [this](wxCommandEvent& event) {
            ++m_nMoved;
            EXPECT_EQ(event.GetEventObject(), m_pBar);
        });
        m_size = View()->Form()->GetClientSize();
        m_nHalf = m_size.x / 2;
        m_sim.MouseMove(Frame()->GetScreenRect().GetBottomRight() + wxPoint(50, 50));
    }

    wxPoint OnForm(int x, int y = 100) const {
        return View()->Form()->ClientToScreen(wxPoint(x, y));
    }
    wxPoint BarCentre() const { return OnForm(m_pBar->GetRect().x + 2); }
    // Bar, tree and text with the bar's left edge at x; the text keeps its
    // right edge, and no width at all when the bar is pushed past it.
    void ExpectSplitAt(int x) const {
        const int right = 2 * m_nHalf;
        EXPECT_EQ(m_pBar->GetRect(), wxRect(x, 0, 4, m_size.y));
        EXPECT_EQ(Tree()->GetRect(), wxRect(0, 0, x + 1, m_size.y));
        EXPECT_EQ(Text()->GetRect(),
                  wxRect(std::min(x + 3, right), 0, std::max(right - x - 3, 0), m_size.y));
    }

    bool MovedOnce() {
        return WaitFor("the moved bar", [this] { return m_nMoved == 1; });
    }

    CSplitterBar* m_pBar = nullptr;
    wxSize m_size;
    int m_nHalf = 0;
    int m_nMoved = 0;
};

} // namespace

// One press on the bar per test: after a drag, the panes' windows of the
// first main window of a run are not moved on the screen here, so a second
// press would land on a pane.
TEST_F(SplitterBarTest, ADragMovesTheBandThenThePanesOnceAtTheRelease) {
    const wxRect tree = Tree()->GetRect();
    Drag(BarCentre(), {OnForm(150)}, [&] {
        // Only the band follows the pointer, its left edge at the pointer.
        EXPECT_EQ(m_pBar->GetBandRect(), wxRect(150, 0, 4, m_size.y));
        EXPECT_EQ(Tree()->GetRect(), tree);
        EXPECT_EQ(m_nMoved, 0);
    });
    EXPECT_TRUE(MovedOnce());
    EXPECT_TRUE(m_pBar->GetBandRect().IsEmpty());
    ExpectSplitAt(150);
    // A resize restores the even split, whatever the drag did.
    Frame()->SetSize(Frame()->GetSize() + wxSize(100, 60));
    m_size += wxSize(100, 60);
    ASSERT_TRUE(
        WaitFor("the larger form", [this] { return View()->Form()->GetClientSize() == m_size; }));
    m_nHalf = m_size.x / 2;
    ExpectSplitAt(m_nHalf - 2);
    EXPECT_EQ(m_pBar->GetMaxPos(), 2 * m_nHalf);
    EXPECT_EQ(m_nMoved, 1);
}

// A drag far beyond a pane: the band stops at the pane's outer client edge,
// and the bar lands at the far end of the split.
class SplitterBarEdge : public SplitterBarTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SplitterBarEdge, TheBandStopsAtThePanesOuterEdge) {
    const bool far = GetParam();
    wxWindow* pane = far ? static_cast<wxWindow*>(Text()) : Tree();
    const wxPoint corner = far ? wxPoint(pane->GetClientSize().x, 0) : wxPoint();
    const int edge = View()->Form()->ScreenToClient(pane->ClientToScreen(corner)).x;
    Drag(BarCentre(), {OnForm(far ? m_size.x + 100 : -30)},
         [&] { EXPECT_EQ(m_pBar->GetBandRect().x, edge); });
    EXPECT_TRUE(MovedOnce());
    ExpectSplitAt(far ? 2 * m_nHalf : 0);
}
INSTANTIATE_TEST_SUITE_P(TreeAndText, SplitterBarEdge, ::testing::Bool());

TEST_F(SplitterBarTest, ALostCaptureDropsTheDrag) {
    Drag(BarCentre(), {OnForm(150)}, [&] {
        ASSERT_TRUE(m_pBar->IsDragging());
        wxMouseCaptureLostEvent lost(m_pBar->GetId());
        m_pBar->ProcessWindowEvent(lost);
        EXPECT_FALSE(m_pBar->IsDragging());
        EXPECT_TRUE(m_pBar->GetBandRect().IsEmpty());
    });
    ExpectSplitAt(m_nHalf - 2);
    EXPECT_EQ(m_nMoved, 0);
}
