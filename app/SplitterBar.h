#pragma once
// The bar between the two panes of the editor view. It sits above both panes
// of one parent window; dragging it moves the boundary between them. While
// the button is held only a band follows the pointer: the panes are moved
// once, at release, and then the parent receives wxEVT_SPLITTER_MOVED.
// The panes belong to the parent, not to the bar.

#include <wx/event.h>
#include <wx/weakref.h>
#include <wx/window.h>

// Sent synchronously to the parent after a drag has refitted the panes.
wxDECLARE_EVENT(wxEVT_SPLITTER_MOVED, wxCommandEvent);

class CSplitterBar : public wxWindow {
public:
    CSplitterBar() = default;
    ~CSplitterBar() override;

    // horizontal: the bar lies between a top and a bottom pane and moves up
    // and down; otherwise between a left and a right pane.
    bool Create(wxWindow* parent, wxWindowID id, bool horizontal);

    // Seats the bar on the first pane's far edge, refits both panes to it and
    // takes the drag limits from their outer edges. Called again after every
    // layout of the panes.
    void SetPanes(wxWindow* first, wxWindow* second);

    bool HitTest(const wxPoint& screenPt) const;

    bool IsHorizontal() const { return m_bHorizontal; }
    bool IsDragging() const { return m_bDragging; }
    // Release limits, parent client coordinates on the bar's axis.
    int GetMinPos() const { return m_nMin; }
    int GetMaxPos() const { return m_nMax; }
    // The band shown now, parent client coordinates; empty when none is.
    wxRect GetBandRect() const { return m_rcLast; }

private:
    enum class ETrack { First, Move, Final };

    void TrackTo(const wxPoint& screenPt, ETrack mode);
    void RemoveBand();
    void RelayoutPanes();

    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    wxRect m_rcBar;   // screen, at creation and at each press
    wxRect m_rcLast;  // band shown last, parent client
    wxRect m_rcTrack; // band being computed, screen
    bool m_bDragging = false;
    wxWindow* m_pPane1 = nullptr;
    wxWindow* m_pPane2 = nullptr;
    int m_nMin = 0;
    int m_nMax = 0;
    bool m_bHorizontal = false;
    // Exists only during a drag; a sibling, so the parent may delete it first.
    wxWeakRef<wxWindow> m_pBand;
};
