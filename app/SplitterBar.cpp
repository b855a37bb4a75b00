#include "app/SplitterBar.h"

#include "app/SplitterGeometry.h"

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/cursor.h>
#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/settings.h>

wxDEFINE_EVENT(wxEVT_SPLITTER_MOVED, wxCommandEvent);

namespace sg = splitter_geometry;

namespace {

// The band that follows the pointer during a drag. A window of its own,
// drawn in its own paint events, rather than painting on the parent through a
// wxClientDC: that has no effect under GTK 3 on Wayland, and whatever a pane
// repaints during the drag (the text caret) would cut through the band.
class CSplitterBand : public wxWindow {
public:
    CSplitterBand(wxWindow* parent, const wxRect& rc)
        : wxWindow(parent, wxID_ANY, rc.GetPosition(), rc.GetSize(), wxBORDER_NONE) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &CSplitterBand::OnPaint, this);
        Raise();
    }

private:
    void OnPaint(wxPaintEvent&) {
        wxPaintDC dc(this);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(HalftoneBrush());
        dc.DrawRectangle(wxPoint(0, 0), GetClientSize());
    }

    // 2x2 checker of dark and light: reads as a grey band over any pane.
    static wxBrush HalftoneBrush() {
        const wxColour dark = wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW);
        const wxColour light = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT);
        wxImage img(2, 2);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) {
                const wxColour& c = (x + y) % 2 ? light : dark;
                img.SetRGB(x, y, c.Red(), c.Green(), c.Blue());
            }
        }
        return wxBrush(wxBitmap(img));
    }
};

} // namespace

CSplitterBar::~CSplitterBar() {
    if (HasCapture())
        ReleaseMouse();
    RemoveBand();
}

bool CSplitterBar::Create(wxWindow* parent, wxWindowID id, bool horizontal) {
    if (!wxWindow::Create(parent, id, wxPoint(0, 0), wxSize(0, 0),
                          wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    m_bHorizontal = horizontal;
    SetCursor(wxCursor(horizontal ? wxCURSOR_SIZENS : wxCURSOR_SIZEWE));
    Bind(wxEVT_PAINT, &CSplitterBar::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CSplitterBar::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CSplitterBar::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CSplitterBar::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSplitterBar::OnCaptureLost, this);

    // A window not yet on screen has no screen position (and wxGTK logs so).
    m_rcBar = IsShownOnScreen() ? GetScreenRect() : GetRect();
    Raise();
    const wxSize client = parent->GetClientSize();
    m_nMin = 0;
    m_nMax = horizontal ? client.y : client.x;
    return true;
}

void CSplitterBar::SetPanes(wxWindow* first, wxWindow* second) {
    m_pPane1 = first;
    m_pPane2 = second;
    if (!first || !second)
        return;
    SetSize(sg::BarRectFor(first->GetRect(), m_bHorizontal));
    // Panes created after the bar would otherwise cover it.
    Raise();
    RelayoutPanes();
    m_nMin = sg::Pos(first->GetRect(), m_bHorizontal);
    m_nMax = sg::End(second->GetRect(), m_bHorizontal);
}

void CSplitterBar::RelayoutPanes() {
    if (!m_pPane1 || !m_pPane2)
        return;
    const sg::CPaneRects rc =
        sg::RelayoutPanes(GetRect(), m_pPane1->GetRect(), m_pPane2->GetRect(), m_bHorizontal);
    m_pPane1->SetSize(rc.first);
    m_pPane2->SetSize(rc.second);
    m_pPane1->Refresh();
    m_pPane2->Refresh();
}

bool CSplitterBar::HitTest(const wxPoint& screenPt) const {
    return GetScreenRect().Contains(screenPt);
}

void CSplitterBar::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize sz = GetClientSize();
    const int w = sz.x;
    const int h = sz.y;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
    dc.DrawRectangle(0, 0, w - 1, 1);
    dc.DrawRectangle(0, 0, 1, h - 1);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.DrawRectangle(w - 1, 0, 1, h);
    dc.DrawRectangle(0, h - 1, w, 1);
}

void CSplitterBar::OnLeftDown(wxMouseEvent& event) {
    const wxPoint pt = ClientToScreen(event.GetPosition());
    if (m_bDragging || !HitTest(pt)) {
        event.Skip();
        return;
    }
    CaptureMouse();
    m_bDragging = true;
    m_rcBar = GetScreenRect();
    TrackTo(pt, ETrack::First);
}

void CSplitterBar::OnMotion(wxMouseEvent& event) {
    if (!m_bDragging || !event.LeftIsDown()) {
        event.Skip();
        return;
    }
    TrackTo(ClientToScreen(event.GetPosition()), ETrack::Move);
}

void CSplitterBar::OnLeftUp(wxMouseEvent& event) {
    if (!m_bDragging) {
        event.Skip();
        return;
    }
    const wxPoint pt = ClientToScreen(event.GetPosition());
    TrackTo(pt, ETrack::Final);

    wxWindow* parent = GetParent();
    const int pos =
        sg::ClampRelease(sg::AxisCoord(parent->ScreenToClient(pt), m_bHorizontal), m_nMin, m_nMax);
    const wxRect pressed(parent->ScreenToClient(m_rcBar.GetPosition()), m_rcBar.GetSize());
    SetSize(sg::WithPos(pressed, pos, m_bHorizontal));
    Refresh();

    if (HasCapture())
        ReleaseMouse();
    m_bDragging = false;
    RelayoutPanes();

    wxCommandEvent moved(wxEVT_SPLITTER_MOVED, GetId());
    moved.SetEventObject(this);
    parent->ProcessWindowEvent(moved);
}

void CSplitterBar::OnCaptureLost(wxMouseCaptureLostEvent&) {
    // Someone else took the pointer: drop the drag, leave everything in place.
    if (HasCapture())
        ReleaseMouse();
    RemoveBand();
    m_bDragging = false;
}

void CSplitterBar::TrackTo(const wxPoint& screenPt, ETrack mode) {
    int firstEdge = 0;
    int secondEdge = 0;
    if (m_pPane1 && m_pPane2) {
        firstEdge = sg::AxisCoord(m_pPane1->ClientToScreen(wxPoint(0, 0)), m_bHorizontal);
        const wxSize client2 = m_pPane2->GetClientSize();
        secondEdge =
            sg::AxisCoord(m_pPane2->ClientToScreen(wxPoint(client2.x, client2.y)), m_bHorizontal);
    } else {
        const wxSize client = GetParent()->GetClientSize();
        firstEdge = sg::AxisCoord(GetParent()->ClientToScreen(wxPoint(0, 0)), m_bHorizontal);
        secondEdge =
            sg::AxisCoord(GetParent()->ClientToScreen(wxPoint(client.x, client.y)), m_bHorizontal);
    }
    const int pos = sg::ClampBand(sg::AxisCoord(screenPt, m_bHorizontal), firstEdge, secondEdge);
    m_rcTrack = sg::WithPos(m_rcBar, pos, m_bHorizontal);

    if (mode == ETrack::Final) {
        RemoveBand();
        return;
    }
    const wxRect band(GetParent()->ScreenToClient(m_rcTrack.GetPosition()), m_rcTrack.GetSize());
    if (mode == ETrack::First || !m_pBand) {
        RemoveBand();
        m_pBand = new CSplitterBand(GetParent(), band);
    } else {
        m_pBand->SetSize(band);
    }
    m_pBand->Update();
    m_rcLast = band;
}

void CSplitterBar::RemoveBand() {
    if (m_pBand) {
        m_pBand->Destroy();
        m_pBand = nullptr;
    }
    m_rcLast = wxRect();
}
