// The splitter bar's arithmetic on a 600x400 form of two equal panes, and
// the same form turned on its side for horizontal bars.

#include "app/SplitterGeometry.h"

#include <gtest/gtest.h>

namespace sg = splitter_geometry;

static const wxRect kTree(0, 0, 300, 400), kText(300, 0, 300, 400);
static const wxRect kTop(0, 0, 400, 300), kBottom(0, 300, 400, 300);

TEST(SplitterGeometry, BarIsCentredOnTheFirstPanesFarEdge) {
    // Panes not at the origin: the bar follows them on both axes; its
    // thickness is twice the rounded-down half of the metric.
    const std::tuple<wxRect, bool, int, wxRect> cases[] = {
        {kTree, false, 4, {298, 0, 4, 400}},
        {kTop, true, 4, {0, 298, 400, 4}},
        {{10, 20, 100, 50}, false, 4, {108, 20, 4, 50}},
        {{10, 20, 100, 50}, true, 4, {10, 68, 100, 4}},
        {kTree, false, 5, {298, 0, 4, 400}},
        {kTree, false, 6, {297, 0, 6, 400}},
    };
    for (const auto& [pane, horizontal, metric, bar] : cases)
        EXPECT_EQ(sg::BarRectFor(pane, horizontal, metric), bar);
}

TEST(SplitterGeometry, PanesRunOneBorderUnderTheBarAndNeverTurnInsideOut) {
    // Either axis; at the first pane's outer edge one pixel of it is left, under the bar;
    // at the second's nothing is left, and it stays at that edge, so that
    // dragging back gives it its old outer edge, not one past the form.
    const std::tuple<wxRect, bool, wxRect, wxRect> cases[] = {
        {{298, 0, 4, 400}, false, {0, 0, 299, 400}, {301, 0, 299, 400}},
        {{0, 298, 400, 4}, true, {0, 0, 400, 299}, {0, 301, 400, 299}},
        {{0, 0, 4, 400}, false, {0, 0, 1, 400}, {3, 0, 597, 400}},
        {{600, 0, 4, 400}, false, {0, 0, 601, 400}, {600, 0, 0, 400}},
    };
    for (const auto& [bar, horizontal, first, second] : cases) {
        const sg::CPaneRects panes = sg::RelayoutPanes(bar, horizontal ? kTop : kTree,
                                                       horizontal ? kBottom : kText, horizontal);
        EXPECT_TRUE(panes.first == first && panes.second == second) << bar.x << " " << bar.y;
    }
}

TEST(SplitterGeometry, DraggedBandAndReleasedBarStayInTheirLimits) {
    // The band: beyond the second edge gives it, else short of the first the
    // first, so crossed edges give the far one. The release: limits crossed,
    // whatever the pointer, the maximum decides.
    const int band[][4] = {{350, 100, 700, 350}, {100, 100, 700, 100}, {700, 100, 700, 700},
                           {701, 100, 700, 700}, {-50, 100, 700, 100}, {60, 50, 40, 40},
                           {30, 50, 40, 50}};
    for (const auto& [pointer, first, second, pos] : band)
        EXPECT_EQ(sg::ClampBand(pointer, first, second), pos) << pointer;
    const int release[][4] = {{250, 0, 600, 250}, {-10, 0, 600, 0},  {900, 0, 600, 600},
                              {600, 0, 600, 600}, {-10, 50, 40, 40}, {45, 50, 40, 40},
                              {90, 50, 40, 40}};
    for (const auto& [pointer, min, max, pos] : release)
        EXPECT_EQ(sg::ClampRelease(pointer, min, max), pos) << pointer;
    // The band is the pressed bar moved to that position, thickness kept.
    EXPECT_EQ(sg::WithPos(wxRect(398, 30, 4, 400), 700, false), wxRect(700, 30, 4, 400));
    EXPECT_EQ(sg::WithPos(wxRect(30, 398, 400, 4), 100, true), wxRect(30, 100, 400, 4));
}
