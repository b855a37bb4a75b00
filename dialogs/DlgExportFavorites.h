#pragma once
// Dialog 140: asks for the file the Favorites export writes.

#include <wx/dialog.h>

class wxTextCtrl;

class CDlgExportFavorites : public wxDialog {
public:
    static constexpr size_t kMaxPath = 255;

    explicit CDlgExportFavorites(wxWindow* parent);

    wxString m_strPath; // the output file, at most kMaxPath characters

    bool TransferDataToWindow() override;
    // Refuses a longer path with the message, focus back on the field.
    bool TransferDataFromWindow() override;

    // Puts a path into the field; a chosen path may exceed what can be typed.
    void SetPathText(const wxString& path);

private:
    void OnBrowse(wxCommandEvent& event);

    wxTextCtrl* m_editPath = nullptr;
};

// Tools > Export Favorities to XML: the dialog; on OK the export under the
// status text "Exporting favorites..." with its messages; the status text
// cleared in every case.
void RunExportFavorites(wxWindow* parent);
