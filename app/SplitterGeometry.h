#pragma once
// Position arithmetic of CSplitterBar, free of any window so it can be checked
// on its own. Rects are in whatever coordinates the caller works in; "end" is
// the exclusive far edge (x + width), which is where two touching panes meet.
// "Position" is the left edge of a vertical bar and the top edge of a
// horizontal one; "thickness" is its width or height.

#include <wx/gdicmn.h>

namespace splitter_geometry {

// The bar is this thick, centred on the first pane's far edge.
inline constexpr int kFrameMetric = 4;
// Each pane runs this far under the bar, so no gap shows at its edges.
inline constexpr int kBorder = 1;

struct CPaneRects {
    wxRect first;
    wxRect second;
};

// Axis helpers: horizontal bars move along y, vertical ones along x.
int Pos(const wxRect& rc, bool horizontal);
int End(const wxRect& rc, bool horizontal);
int Thickness(const wxRect& rc, bool horizontal);
int AxisCoord(const wxPoint& pt, bool horizontal);
// rc moved along the axis so that its position is pos; thickness kept.
wxRect WithPos(const wxRect& rc, int pos, bool horizontal);

// The bar laid over the first pane's far edge: 2 * (frameMetric / 2) thick,
// as long as the pane is on the other axis.
wxRect BarRectFor(const wxRect& firstPane, bool horizontal, int frameMetric = kFrameMetric);

// Panes refitted to the bar: the first ends `border` into the bar, the second
// starts `border` before the bar's end. Outer edges stay put; a pane squeezed
// to nothing keeps zero size at its outer edge rather than turning inside out.
CPaneRects RelayoutPanes(const wxRect& bar, const wxRect& first, const wxRect& second,
                         bool horizontal, int border = kBorder);

// Band position while dragging: the pointer, held between the first pane's
// outer edge and the second pane's outer edge. Beyond secondEdge gives
// secondEdge; otherwise short of firstEdge gives firstEdge.
int ClampBand(int pointer, int firstEdge, int secondEdge);

// Bar position at release: below nMin gives nMin, then above nMax gives nMax,
// so nMax wins if the limits cross.
int ClampRelease(int coord, int nMin, int nMax);

} // namespace splitter_geometry
