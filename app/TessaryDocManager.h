#pragma once
// Keeps one document and one view for the whole run: New and Open reuse them
// instead of creating a new pair per file, so the state that lives for the
// run (the pop-up command table, the start-file flag, the settings) stays.

#include <wx/docview.h>

class CTessaryDoc;

class CTessaryDocManager : public wxDocManager {
public:
    CTessaryDocManager();

    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
    wxString MakeNewDocumentName() override;
    wxFileHistory* OnCreateFileHistory() override;

    CTessaryDoc* Document() const;

    // File > Open with the program's own dialog, starting in the start folder.
    bool PromptForXmlFile(wxString& path);

private:
    void OnFileNew(wxCommandEvent& event);
    void OnFileOpenXml(wxCommandEvent& event);
    void OnFileSave(wxCommandEvent& event);
    void OnFileSaveAs(wxCommandEvent& event);
    void OnRecentFile(wxCommandEvent& event);

    // The last CreateDocument got past the save question and then failed.
    bool m_bLastOpenFailed = false;
};
