#pragma once
// Dialog 138: asks for the URL of a library to open.

#include <wx/dialog.h>

#include <string>

class CDlgOpenUrl : public wxDialog {
public:
    explicit CDlgOpenUrl(wxWindow* parent);

    // Runs the dialog modally; true with the URL when it ends with OK.
    static bool Run(wxWindow* parent, std::string& url);

    wxString m_strUrl;

private:
    bool TransferDataFromWindow() override;
};
