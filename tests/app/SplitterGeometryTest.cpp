#include "app/SplitterGeometry.h"

#include <gtest/gtest.h>

namespace sg = splitter_geometry;

namespace {

// The editor view's layout of a 600x400 form: two equal halves.
const wxRect kTree(0, 0, 300, 400);
const wxRect kText(300, 0, 300, 400);
// The same form turned on its side, for horizontal bars.
const wxRect kTop(0, 0, 400, 300);
const wxRect kBottom(0, 300, 400, 300);

} // namespace

TEST(SplitterGeometry, BarIsCentredOnFirstPaneFarEdge) {
    EXPECT_EQ(sg::BarRectFor(kTree, false), wxRect(298, 0, 4, 400));
    EXPECT_EQ(sg::BarRectFor(kTop, true), wxRect(0, 298, 400, 4));
    // Panes not at the origin: the bar follows them on both axes.
    EXPECT_EQ(sg::BarRectFor(wxRect(10, 20, 100, 50), false), wxRect(108, 20, 4, 50));
    EXPECT_EQ(sg::BarRectFor(wxRect(10, 20, 100, 50), true), wxRect(10, 68, 100, 4));
    // Thickness is twice the rounded-down half of the metric.
    EXPECT_EQ(sg::BarRectFor(kTree, false, 5).width, 4);
    EXPECT_EQ(sg::BarRectFor(kTree, false, 6), wxRect(297, 0, 6, 400));
}

TEST(SplitterGeometry, PanesRunOneBorderUnderTheBar) {
    const sg::CPaneRects v = sg::RelayoutPanes(wxRect(298, 0, 4, 400), kTree, kText, false);
    EXPECT_EQ(v.first, wxRect(0, 0, 299, 400));
    EXPECT_EQ(v.second, wxRect(301, 0, 299, 400));

    const sg::CPaneRects h = sg::RelayoutPanes(wxRect(0, 298, 400, 4), kTop, kBottom, true);
    EXPECT_EQ(h.first, wxRect(0, 0, 400, 299));
    EXPECT_EQ(h.second, wxRect(0, 301, 400, 299));

    // A moved bar: outer edges and the other axis stay, the inner edges follow.
    const sg::CPaneRects moved =
        sg::RelayoutPanes(wxRect(100, 0, 4, 400), v.first, v.second, false);
    EXPECT_EQ(moved.first, wxRect(0, 0, 101, 400));
    EXPECT_EQ(moved.second, wxRect(103, 0, 497, 400));
    const sg::CPaneRects movedH =
        sg::RelayoutPanes(wxRect(0, 450, 400, 4), h.first, h.second, true);
    EXPECT_EQ(movedH.first, wxRect(0, 0, 400, 451));
    EXPECT_EQ(movedH.second, wxRect(0, 453, 400, 147));
}

TEST(SplitterGeometry, PaneSqueezedAgainstItsOuterEdge) {
    // Bar at the first pane's outer edge: one pixel of it is left, all under the bar.
    const sg::CPaneRects left = sg::RelayoutPanes(wxRect(0, 0, 4, 400), kTree, kText, false);
    EXPECT_EQ(left.first, wxRect(0, 0, 1, 400));
    EXPECT_EQ(left.second, wxRect(3, 0, 597, 400));

    // Bar at the second pane's outer edge: nothing is left of it, and it stays
    // at that edge instead of turning inside out...
    const sg::CPaneRects right = sg::RelayoutPanes(wxRect(600, 0, 4, 400), kTree, kText, false);
    EXPECT_EQ(right.first, wxRect(0, 0, 601, 400));
    EXPECT_EQ(right.second, wxRect(600, 0, 0, 400));
    // ...so dragging back gives it its old right edge, not one past the form.
    const sg::CPaneRects back =
        sg::RelayoutPanes(wxRect(200, 0, 4, 400), right.first, right.second, false);
    EXPECT_EQ(back.second, wxRect(203, 0, 397, 400));

    const sg::CPaneRects bottom = sg::RelayoutPanes(wxRect(0, 600, 400, 4), kTop, kBottom, true);
    EXPECT_EQ(bottom.first, wxRect(0, 0, 400, 601));
    EXPECT_EQ(bottom.second, wxRect(0, 600, 400, 0));
    const sg::CPaneRects top = sg::RelayoutPanes(wxRect(0, 0, 400, 4), kTop, kBottom, true);
    EXPECT_EQ(top.first, wxRect(0, 0, 400, 1));
}

TEST(SplitterGeometry, BandStaysBetweenThePanesOuterEdges) {
    EXPECT_EQ(sg::ClampBand(350, 100, 700), 350);
    EXPECT_EQ(sg::ClampBand(100, 100, 700), 100);
    EXPECT_EQ(sg::ClampBand(700, 100, 700), 700);
    EXPECT_EQ(sg::ClampBand(701, 100, 700), 700);
    EXPECT_EQ(sg::ClampBand(-50, 100, 700), 100);
    // Edges crossed: the far edge is checked first.
    EXPECT_EQ(sg::ClampBand(60, 50, 40), 40);
    EXPECT_EQ(sg::ClampBand(30, 50, 40), 50);

    // The band is the pressed bar moved to that position, thickness kept.
    const wxRect bar(398, 30, 4, 400);
    EXPECT_EQ(sg::WithPos(bar, sg::ClampBand(900, 100, 700), false), wxRect(700, 30, 4, 400));
    const wxRect barH(30, 398, 400, 4);
    EXPECT_EQ(sg::WithPos(barH, sg::ClampBand(0, 100, 700), true), wxRect(30, 100, 400, 4));
}

TEST(SplitterGeometry, ReleaseClampsToLimitsWithMaxWinning) {
    EXPECT_EQ(sg::ClampRelease(250, 0, 600), 250);
    EXPECT_EQ(sg::ClampRelease(-10, 0, 600), 0);
    EXPECT_EQ(sg::ClampRelease(900, 0, 600), 600);
    EXPECT_EQ(sg::ClampRelease(600, 0, 600), 600);
    // Limits crossed: whatever the pointer, the maximum decides.
    EXPECT_EQ(sg::ClampRelease(-10, 50, 40), 40);
    EXPECT_EQ(sg::ClampRelease(45, 50, 40), 40);
    EXPECT_EQ(sg::ClampRelease(90, 50, 40), 40);
}

TEST(SplitterGeometry, PressAndReleaseInPlaceMovesBarToThePointer) {
    // What the bar does for a click at its middle: the left edge jumps to the
    // pointer, less than one thickness away, and the panes follow.
    const wxRect bar = sg::BarRectFor(kTree, false);
    const sg::CPaneRects seated = sg::RelayoutPanes(bar, kTree, kText, false);
    const int click = bar.x + bar.width / 2;
    const int pos =
        sg::ClampRelease(click, sg::Pos(seated.first, false), sg::End(seated.second, false));
    const wxRect released = sg::WithPos(bar, pos, false);
    EXPECT_EQ(released, wxRect(300, 0, 4, 400));
    EXPECT_LT(released.x - bar.x, bar.width);
    const sg::CPaneRects after = sg::RelayoutPanes(released, seated.first, seated.second, false);
    EXPECT_EQ(after.first, wxRect(0, 0, 301, 400));
    EXPECT_EQ(after.second, wxRect(303, 0, 297, 400));
}
