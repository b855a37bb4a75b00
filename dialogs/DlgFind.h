#pragma once
// Edit > Find: asks for the text to look for in the library.

#include <wx/dialog.h>

#include <string>

class CDlgFind : public wxDialog {
public:
    // Opens with the text of the last search, selected.
    CDlgFind(wxWindow* parent, const std::string& text);

    // Runs the dialog modally; true with the text when it ends with Find Next.
    static bool Run(wxWindow* parent, std::string& text);

    wxString m_strText;
};
