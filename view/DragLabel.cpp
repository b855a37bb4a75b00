#include "view/DragLabel.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include <algorithm>

namespace {
// The label sits this far right of and below the pointer, never under it.
constexpr int kOffset = 15;
} // namespace

CDragLabel::CDragLabel(wxWindow* parent, const wxString& label, const wxFont& font)
    : wxPopupWindow(parent, wxBORDER_NONE), m_strLabel(label) {
    SetFont(font);
    SetBackgroundColour(*wxWHITE);
    const wxSize extent = GetTextExtent(label);
    SetClientSize(std::max(extent.x, 1), std::max(extent.y, 1));
    Bind(wxEVT_PAINT, &CDragLabel::OnPaint, this);
}

void CDragLabel::Follow(const wxPoint& pointer) {
    Move(pointer + wxPoint(kOffset, kOffset));
}

void CDragLabel::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    dc.DrawText(m_strLabel, 0, 0);
}
