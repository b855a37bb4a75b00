#include "app/TessaryDocManager.h"

#include "app/FilePrompt.h"
#include "app/RecentFileList.h"
#include "document/TessaryDoc.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"
#include "view/TessaryView.h"

#include <wx/filename.h>

wxBEGIN_EVENT_TABLE(CTessaryDocManager, wxDocManager)
    EVT_MENU(ids::ID_FILE_NEW, CTessaryDocManager::OnFileNew)
        EVT_MENU(ids::ID_FILE_OPEN, CTessaryDocManager::OnFileOpenXml)
            EVT_MENU(ids::ID_FILE_SAVE, CTessaryDocManager::OnFileSave)
                EVT_MENU(ids::ID_FILE_SAVE_AS, CTessaryDocManager::OnFileSaveAs)
                    EVT_MENU_RANGE(ids::ID_FILE_MRU_FILE1,
                                   ids::ID_FILE_MRU_FILE1 + ids::ID_FILE_MRU_COUNT - 1,
                                   CTessaryDocManager::OnRecentFile) wxEND_EVENT_TABLE()

                        CTessaryDocManager::CTessaryDocManager()
    : wxDocManager(0, false) {
    // Initialise here, not in the base constructor, so that our file history is made.
    Initialize();
    SetMaxDocsOpen(1);
}

CTessaryDoc* CTessaryDocManager::Document() const {
    const wxList& docs = const_cast<CTessaryDocManager*>(this)->GetDocuments();
    return docs.empty() ? nullptr : dynamic_cast<CTessaryDoc*>(docs.GetFirst()->GetData());
}

wxString CTessaryDocManager::MakeNewDocumentName() {
    return msg::kUntitled;
}

wxFileHistory* CTessaryDocManager::OnCreateFileHistory() {
    return new CRecentFileList;
}

wxDocument* CTessaryDocManager::CreateDocument(const wxString& path, long flags) {
    const bool isNew = (flags & wxDOC_NEW) != 0;
    CTessaryDoc* doc = Document();
    const bool first = doc == nullptr;
    if (first) {
        // The template makes the run's document and its view once.
        if (GetTemplates().empty())
            return nullptr;
        auto* temp = static_cast<wxDocTemplate*>(GetTemplates().GetFirst()->GetData());
        doc = dynamic_cast<CTessaryDoc*>(temp->CreateDocument(path, flags));
        if (!doc)
            return nullptr;
        doc->SetDocumentName(temp->GetDocumentName());
    } else if (!doc->OnSaveModified()) {
        return nullptr;
    }

    const bool ok = isNew ? doc->OnNewDocument() : doc->OnOpenDocument(path);
    if (!ok) {
        if (first) {
            doc->DeleteAllViews(); // no document to go on with
            return nullptr;
        }
        // The library stays as it was, and so do its unsaved changes.
        if (doc->m_bChangesDiscarded)
            doc->Modify(true);
        return nullptr;
    }
    if (!isNew)
        AddFileToHistory(path);
    if (auto* view = dynamic_cast<CTessaryView*>(doc->GetFirstView())) {
        view->Activate(true);
        view->OnInitialUpdate();
        view->OnChangeFilename();
    }
    return doc;
}

bool CTessaryDocManager::PromptForXmlFile(wxString& path) {
    FilePromptRequest request;
    request.title = msg::kOpenXmlTitle;
    request.wildcard = "(*.xml)|*.xml";
    if (CTessaryDoc* doc = Document())
        request.directory = doc->Settings().m_strStartFolder;
    const auto chosen = CFilePrompt::Ask(request);
    if (!chosen)
        return false;
    path = wxString::FromUTF8(*chosen);
    return true;
}

void CTessaryDocManager::OnFileNew(wxCommandEvent&) {
    CreateDocument(wxString(), wxDOC_NEW);
}

void CTessaryDocManager::OnFileOpenXml(wxCommandEvent&) {
    wxString path;
    if (PromptForXmlFile(path))
        CreateDocument(path, wxDOC_SILENT);
}

void CTessaryDocManager::OnFileSave(wxCommandEvent&) {
    if (CTessaryDoc* doc = Document())
        doc->Save();
}

void CTessaryDocManager::OnFileSaveAs(wxCommandEvent&) {
    if (CTessaryDoc* doc = Document())
        doc->SaveAs();
}

void CTessaryDocManager::OnRecentFile(wxCommandEvent& event) {
    const size_t n = static_cast<size_t>(event.GetId() - ids::ID_FILE_MRU_FILE1);
    wxFileHistory* history = GetFileHistory();
    if (!history || n >= history->GetCount())
        return;
    const wxString file = history->GetHistoryFile(n);
    if (!wxFileName::FileExists(file)) {
        // A file that has gone cannot be opened again: drop it from the list.
        history->RemoveFileFromHistory(n);
    }
    CreateDocument(file, wxDOC_SILENT);
}
