#pragma once
// The File menu's list of the four most recent files, shown where the greyed
// "Recent File" placeholder stands and kept under "Recent File List" as File1
// to File4.

#include <wx/filehistory.h>

class CRecentFileList : public wxFileHistory {
public:
    CRecentFileList();

    void AddFileToHistory(const wxString& file) override;
    void RemoveFileFromHistory(size_t i) override;
    void UseMenu(wxMenu* menu) override;
    void AddFilesToMenu() override;
    void AddFilesToMenu(wxMenu* menu) override;
    void Load(const wxConfigBase& config) override;
    void Save(wxConfigBase& config) override;

private:
    void Refresh();
    wxMenu* m_pMenu = nullptr;
};
