#include "app/RecentFileList.h"

#include "res/CommandIds.h"

#include <wx/config.h>
#include <wx/menu.h>

namespace {
constexpr const char* kSection = "/Recent File List";
}

CRecentFileList::CRecentFileList()
    : wxFileHistory(ids::ID_FILE_MRU_COUNT, ids::ID_FILE_MRU_FILE1) {}

void CRecentFileList::AddFileToHistory(const wxString& file) {
    // Most recent first, no duplicates, at most four.
    for (size_t i = 0; i < m_fileHistory.size(); ++i)
        if (m_fileHistory[i] == file) {
            m_fileHistory.RemoveAt(i);
            break;
        }
    m_fileHistory.Insert(file, 0);
    while (m_fileHistory.size() > static_cast<size_t>(GetMaxFiles()))
        m_fileHistory.RemoveAt(m_fileHistory.size() - 1);
    Refresh();
}

void CRecentFileList::RemoveFileFromHistory(size_t i) {
    if (i < m_fileHistory.size())
        m_fileHistory.RemoveAt(i);
    Refresh();
}

void CRecentFileList::UseMenu(wxMenu* menu) {
    m_pMenu = menu;
    Refresh();
}

void CRecentFileList::AddFilesToMenu() {
    Refresh();
}

void CRecentFileList::AddFilesToMenu(wxMenu* menu) {
    if (menu == m_pMenu)
        Refresh();
}

void CRecentFileList::Refresh() {
    if (!m_pMenu)
        return;
    // Find where the list stands: the first of its items, or the placeholder.
    int pos = -1;
    for (size_t i = 0; i < m_pMenu->GetMenuItemCount(); ++i) {
        const int id = m_pMenu->FindItemByPosition(i)->GetId();
        if (id >= ids::ID_FILE_MRU_FILE1 && id < ids::ID_FILE_MRU_FILE1 + ids::ID_FILE_MRU_COUNT) {
            pos = static_cast<int>(i);
            break;
        }
    }
    if (pos < 0)
        return;
    for (int id = ids::ID_FILE_MRU_FILE1; id < ids::ID_FILE_MRU_FILE1 + ids::ID_FILE_MRU_COUNT;
         ++id)
        while (wxMenuItem* item = m_pMenu->FindChildItem(id))
            m_pMenu->Destroy(item);

    if (m_fileHistory.empty()) {
        m_pMenu->Insert(pos, ids::ID_FILE_MRU_FILE1, "Recent File")->Enable(false);
        return;
    }
    for (size_t i = 0; i < m_fileHistory.size(); ++i) {
        wxString label = m_fileHistory[i];
        label.Replace("&", "&&");
        m_pMenu->Insert(pos + static_cast<int>(i), ids::ID_FILE_MRU_FILE1 + static_cast<int>(i),
                        wxString::Format("&%zu %s", i + 1, label));
    }
}

void CRecentFileList::Load(const wxConfigBase& config) {
    m_fileHistory.clear();
    for (int i = 1; i <= GetMaxFiles(); ++i) {
        wxString file;
        if (config.Read(wxString::Format("%s/File%d", kSection, i), &file) && !file.empty())
            m_fileHistory.Add(file);
    }
    Refresh();
}

void CRecentFileList::Save(wxConfigBase& config) {
    for (int i = 1; i <= GetMaxFiles(); ++i) {
        const size_t index = static_cast<size_t>(i - 1);
        config.Write(wxString::Format("%s/File%d", kSection, i),
                     index < m_fileHistory.size() ? m_fileHistory[index] : wxString());
    }
    config.Flush();
}
