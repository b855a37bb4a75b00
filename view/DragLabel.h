#pragma once
// The drag image: the dragged item's label, grey on a white band, in a small
// borderless window of its own. Being a top-level window, it shows above the
// tree, the text box and every other program's windows, so it can follow the
// pointer over the whole screen.

#include <wx/popupwin.h>

class CDragLabel : public wxPopupWindow {
public:
    CDragLabel(wxWindow* parent, const wxString& label, const wxFont& font);

    // Puts the label at its place beside the pointer, given on the screen.
    void Follow(const wxPoint& pointer);

private:
    void OnPaint(wxPaintEvent& event);

    wxString m_strLabel;
};
