#pragma once
// Dialog 100: the program's name and version, the maker's notice and web
// address, and a button that opens the maker's site.

#include <wx/dialog.h>

class CDlgAbout : public wxDialog {
public:
    // The version line, shown as it is (no mnemonic processing).
    static constexpr const char* kVersionLine = "Tessary Version 2.1.0";

    explicit CDlgAbout(wxWindow* parent);

    // Help > About Tessary: the dialog, modally; its result is of no interest.
    static void Run(wxWindow* parent);

    // The address line: the home page of the string table, without its final slash.
    static wxString AddressLine();

private:
    void OnVisitWebsite(wxCommandEvent& event);
};
