#include "app/HelpService.h"

#include "app/TessaryApp.h"
#include "res/CommandIds.h"

#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpdata.h>
#include <wx/log.h>

#include <utility>

namespace {

bool g_bTestMode = false;
std::vector<CHelpRequest> g_requests;
std::string g_strBookFile;

// Command numbers from 0x8000 up arrive with their top bit cleared; the help
// book knows them by their full number.
constexpr unsigned kHighNumbers[] = {
    57600, 57601, 57603, 57604, 57616, 57617, 57618, 57619, 57634,  57635,
    57637, 57642, 57643, 57664, 57665, 57670, 59137, 59138, 59139,  59393,
    32776, 32777, 32778, 32780, 32781, 32782, 32783, 32784, 0xE800,
};

void Record(bool contents, int context) {
    g_requests.push_back(CHelpRequest{contents, context});
}

} // namespace

CHelpService::CHelpService(wxWindow* parent) : m_pParent(parent) {}

CHelpService::~CHelpService() = default;

void CHelpService::SetBookFile(const std::string& path) {
    g_strBookFile = path;
}

std::string CHelpService::BookFile() {
    if (!g_strBookFile.empty())
        return g_strBookFile;
    if (auto* app = dynamic_cast<CTessaryApp*>(wxApp::GetInstance()))
        return app->HelpFile();
    return {};
}

int CHelpService::ContextOf(int id) {
    for (unsigned number : kHighNumbers)
        if (ids::Cmd(number) == id)
            return static_cast<int>(number) + kContextBase;
    return id + kContextBase;
}

bool CHelpService::EnsureController() {
    if (m_pController)
        return true;
    const std::string book = BookFile();
    if (book.empty())
        return false;
    wxLogNull quiet;
    auto controller = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, m_pParent);
    controller->SetTitleFormat("%s");
    if (!controller->AddBook(wxFileName(wxString::FromUTF8(book)), false))
        return false;
    m_pController = std::move(controller);
    return true;
}

void CHelpService::Close() {
    m_pController.reset();
}

void CHelpService::ShowContents() {
    if (g_bTestMode) {
        Record(true, 0);
        return;
    }
    wxLogNull quiet;
    if (EnsureController())
        m_pController->DisplayContents();
}

void CHelpService::ShowContext(int context) {
    if (g_bTestMode) {
        Record(false, context);
        return;
    }
    wxLogNull quiet;
    if (EnsureController())
        m_pController->DisplaySection(context);
}

void CHelpService::ShowContextHelp(int id) {
    const int context = ContextOf(id);
    ShowContext(BookMaps(context) ? context : 0);
}

bool CHelpService::BookMaps(int context) {
    const std::string book = BookFile();
    if (!m_pMap || m_strMapBook != book) {
        wxLogNull quiet;
        m_pMap = std::make_unique<wxHtmlHelpData>();
        m_strMapBook = book;
        if (!book.empty())
            m_pMap->AddBook(wxString::FromUTF8(book));
    }
    return !m_pMap->FindPageById(context).empty();
}

void CHelpService::EnableTestMode() {
    g_bTestMode = true;
    g_requests.clear();
}

void CHelpService::DisableTestMode() {
    g_bTestMode = false;
    g_requests.clear();
}

std::vector<CHelpRequest> CHelpService::TakeRequests() {
    return std::exchange(g_requests, {});
}
