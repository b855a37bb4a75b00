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
            m_nMoved += event.GetEventObject() == m_pBar; // sent by the bar
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
}

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
