#include "app/SplitterGeometry.h"

#include <algorithm>

namespace splitter_geometry {

int Pos(const wxRect& rc, bool horizontal) {
    return horizontal ? rc.y : rc.x;
}

int End(const wxRect& rc, bool horizontal) {
    return horizontal ? rc.y + rc.height : rc.x + rc.width;
}

int Thickness(const wxRect& rc, bool horizontal) {
    return horizontal ? rc.height : rc.width;
}

int AxisCoord(const wxPoint& pt, bool horizontal) {
    return horizontal ? pt.y : pt.x;
}

wxRect WithPos(const wxRect& rc, int pos, bool horizontal) {
    wxRect moved = rc;
    if (horizontal)
        moved.y = pos;
    else
        moved.x = pos;
    return moved;
}

wxRect BarRectFor(const wxRect& firstPane, bool horizontal, int frameMetric) {
    const int half = frameMetric / 2;
    const int edge = End(firstPane, horizontal);
    if (horizontal)
        return wxRect(firstPane.x, edge - half, firstPane.width, 2 * half);
    return wxRect(edge - half, firstPane.y, 2 * half, firstPane.height);
}

CPaneRects RelayoutPanes(const wxRect& bar, const wxRect& first, const wxRect& second,
                         bool horizontal, int border) {
    CPaneRects out{first, second};

    const int firstStart = Pos(first, horizontal);
    const int firstEnd = std::max(firstStart, Pos(bar, horizontal) + border);
    const int secondEnd = End(second, horizontal);
    const int secondStart = std::min(secondEnd, End(bar, horizontal) - border);

    if (horizontal) {
        out.first.height = firstEnd - firstStart;
        out.second.y = secondStart;
        out.second.height = secondEnd - secondStart;
    } else {
        out.first.width = firstEnd - firstStart;
        out.second.x = secondStart;
        out.second.width = secondEnd - secondStart;
    }
    return out;
}

int ClampBand(int pointer, int firstEdge, int secondEdge) {
    if (pointer > secondEdge)
        return secondEdge;
    if (pointer < firstEdge)
        return firstEdge;
    return pointer;
}

int ClampRelease(int coord, int nMin, int nMax) {
    if (coord < nMin)
        coord = nMin;
    if (coord > nMax)
        coord = nMax;
    return coord;
}

} // namespace splitter_geometry
