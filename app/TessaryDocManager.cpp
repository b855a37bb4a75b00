#include "app/TessaryDocManager.h"

#include "app/FilePrompt.h"
#include "app/RecentFileList.h"
#include "document/TessaryDoc.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"
#include "view/TessaryView.h"

CTessaryDocManager::CTessaryDocManager() : wxDocManager(0, false) {
    // Initialise here, not in the base constructor, so that our file history is made.
    Initialize();
    SetMaxDocsOpen(1);
    // Bound here, these come before the base class's own table entries.
    Bind(wxEVT_MENU, &CTessaryDocManager::OnFileNew, this, ids::ID_FILE_NEW);
    Bind(wxEVT_MENU, &CTessaryDocManager::OnFileOpenXml, this, ids::ID_FILE_OPEN);
    Bind(wxEVT_MENU, &CTessaryDocManager::OnFileSave, this, ids::ID_FILE_SAVE);
    Bind(wxEVT_MENU, &CTessaryDocManager::OnFileSaveAs, this, ids::ID_FILE_SAVE_AS);
    Bind(wxEVT_MENU, &CTessaryDocManager::OnRecentFile, this, ids::ID_FILE_MRU_FILE1,
         ids::ID_FILE_MRU_FILE1 + ids::ID_FILE_MRU_COUNT - 1);
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
    // With a file named at start, that file is the one opened: the start
    // file is not loaded over it.
    if (first && !isNew)
        doc->m_bStartFilePending = 0;

    const bool ok = isNew ? doc->OnNewDocument() : doc->OnOpenDocument(path);
    m_bLastOpenFailed = !ok;
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
    SFilePromptRequest request;
    request.title = msg::kOpenXmlTitle;
    request.wildcard = file_filters::kXml;
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
    m_bLastOpenFailed = false;
    if (CreateDocument(file, wxDOC_SILENT) || !m_bLastOpenFailed)
        return; // opened, or the save question was cancelled
    // A file that cannot be opened is dropped from the list; where it stands
    // now, since the failed open may have changed nothing or everything.
    for (size_t i = 0; i < history->GetCount(); ++i)
        if (history->GetHistoryFile(i) == file) {
            history->RemoveFileFromHistory(i);
            break;
        }
}
