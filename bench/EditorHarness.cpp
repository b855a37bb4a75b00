#include "EditorHarness.h"

#include "BenchFiles.h"
#include "app/FilePrompt.h"
#include "app/MainFrame.h"
#include "app/MessageBox.h"
#include "app/StatusText.h"
#include "app/TessaryDocManager.h"
#include "document/TessaryDoc.h"
#include "res/Resources.h"
#include "view/TessaryView.h"

#include <wx/app.h>
#include <wx/fileconf.h>
#include <wx/utils.h>

#include <chrono>
#include <thread>

bool CEditorHarness::Start() {
    CMessageBox::EnableTestMode();
    CFilePrompt::EnableTestMode();
    delete wxConfigBase::Set(new wxFileConfig(
        "Tessary", "MorvekLtd", wxString::FromUTF8(CBenchFiles::Get().File("Tessary.conf")),
        wxString(), wxCONFIG_USE_LOCAL_FILE));
    if (!resources::Initialize())
        return false;
    m_pManager = new CTessaryDocManager;
    new wxDocTemplate(m_pManager, "XML", "*.xml", wxString(), "xml", "Tessary.Document",
                      "Tessary View", CLASSINFO(CTessaryDoc), CLASSINFO(CTessaryView));
    m_pFrame = new CMainFrame(m_pManager);
    wxTheApp->SetTopWindow(m_pFrame);
    if (!m_pManager->CreateDocument(wxString(), wxDOC_NEW))
        return false;
    m_pFrame->ActivateFrame();
    m_pFrame->SetSize(900, 700);
    m_pFrame->Show();
    Settle(100);
    return View() != nullptr;
}

void CEditorHarness::Stop() {
    if (m_pFrame) {
        if (Doc())
            Doc()->Modify(false);
        m_pFrame->Close(true);
        m_pFrame = nullptr;
        Settle(20);
    }
    delete m_pManager;
    m_pManager = nullptr;
    delete wxConfigBase::Set(nullptr);
    CFilePrompt::DisableTestMode();
    CMessageBox::DisableTestMode();
}

CTessaryDoc* CEditorHarness::Doc() const {
    return m_pManager ? m_pManager->Document() : nullptr;
}

CTessaryView* CEditorHarness::View() const {
    CTessaryDoc* doc = Doc();
    return doc ? dynamic_cast<CTessaryView*>(doc->GetFirstView()) : nullptr;
}

bool CEditorHarness::ShowLibrary(int nItems) {
    if (m_nShown == nItems)
        return true;
    CTessaryDoc* doc = Doc();
    if (!doc || !doc->LoadXmlFile(CBenchFiles::Get().LibraryPath(nItems)))
        return false;
    doc->UpdateAllViews();
    doc->Modify(false);
    CMessageBox::TakeShown();
    m_nShown = nItems;
    Settle(50);
    return true;
}

void CEditorHarness::Settle(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        wxYield();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
