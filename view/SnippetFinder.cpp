#include "view/SnippetFinder.h"

#include "platform/MenuKeyPacer.h"
#include "platform/Trace.h"

#include <wx/display.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

namespace {

// In dialog units.
constexpr int kFinderWidth = 240;
constexpr int kListHeight = 110;

} // namespace

CSnippetFinder::CSnippetFinder(wxWindow* parent) : wxPopupWindow(parent, wxBORDER_SIMPLE) {}

#ifdef __WXMSW__
namespace {

wxMenu* FindByHandle(wxMenu* menu, WXHMENU handle) {
    if (menu->GetHMenu() == handle)
        return menu;
    for (wxMenuItem* item : menu->GetMenuItems())
        if (wxMenu* submenu = item->GetSubMenu())
            if (wxMenu* found = FindByHandle(submenu, handle))
                return found;
    return nullptr;
}

} // namespace

bool CSnippetFinder::DoPopupMenu(wxMenu* menu, int x, int y) {
    m_pPopupMenu = menu;
    const bool shown = wxPopupWindow::DoPopupMenu(menu, x, y);
    m_pPopupMenu = nullptr;
    // A key typed in the menu closed it to start a search: it starts now,
    // before the menu's end gives the keyboard back.
    CMenuKeyPacer::MenuClosed();
    return shown;
}

WXLRESULT CSnippetFinder::MSWWindowProc(WXUINT message, WXWPARAM wParam, WXLPARAM lParam) {
    const WXLRESULT result = wxPopupWindow::MSWWindowProc(message, wParam, lParam);
    std::intptr_t answer = result;
    return CMenuKeyPacer::AnswerMenuChar(message, wParam, answer) ? answer : result;
}

wxMenu* CSnippetFinder::MSWFindMenuFromHMENU(WXHMENU handle) {
    wxMenu* found = m_pPopupMenu ? FindByHandle(m_pPopupMenu, handle) : nullptr;
    return found ? found : wxPopupWindow::MSWFindMenuFromHMENU(handle);
}
#endif

void CSnippetFinder::MakeControls() {
    if (m_pField)
        return;
    m_pField = new wxTextCtrl(this, wxID_ANY);
    m_pList = new wxListBox(this, wxID_ANY, wxDefaultPosition,
                            ConvertDialogToPixels(wxSize(kFinderWidth, kListHeight)), 0, nullptr,
                            wxLB_SINGLE);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pField, 0, wxEXPAND);
    sizer->Add(m_pList, 1, wxEXPAND);
    SetSizer(sizer);
    m_pField->Bind(wxEVT_TEXT, &CSnippetFinder::OnText, this);
    m_pField->Bind(wxEVT_KEY_DOWN, &CSnippetFinder::OnFieldKey, this);
    m_pList->Bind(wxEVT_LISTBOX, &CSnippetFinder::OnListClick, this);
}

void CSnippetFinder::PlaceAt(int x, int y) {
    if (m_pField) {
        m_pField->Hide();
        m_pList->Hide();
    }
    m_point = wxPoint(x, y);
    SetSize(x, y, 1, 1);
    Show();
}

void CSnippetFinder::Find(CSnippetSearch& search, const std::string& typed,
                          std::function<void(int)> choose, std::function<void()> ended) {
    MakeControls();
    m_pSearch = &search;
    m_choose = std::move(choose);
    m_ended = std::move(ended);
    m_bFinding = true;
    m_pField->Show();
    m_pList->Show();
    // Where the menu was, right of and below the click, kept on its screen.
    const wxSize size = GetSizer()->GetMinSize();
    int display = wxDisplay::GetFromPoint(m_point);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0 : display).GetGeometry();
    const int x = std::max(screen.x, std::min(m_point.x, screen.GetRight() + 1 - size.x));
    const int y = std::max(screen.y, std::min(m_point.y, screen.GetBottom() + 1 - size.y));
    SetSize(x, y, size.x, size.y);
    Layout();
    Show();
    // The keys typed from now on come here, none to the clicked program.
    if (!m_grab.Take(this, m_pField, [this] { End(-1); })) {
        End(-1);
        return;
    }
    m_pField->ChangeValue(wxString::FromUTF8(typed));
    m_pField->SetInsertionPointEnd();
    wxCommandEvent changed(wxEVT_TEXT);
    OnText(changed);
}

void CSnippetFinder::OnText(wxCommandEvent&) {
    if (!m_bFinding)
        return;
    const std::string typed = m_pField->GetValue().utf8_string();
    m_hits = m_pSearch->Find(typed);
    if (trace::Enabled())
        trace::Line("finder: " + typed + " (" + std::to_string(m_hits.size()) + " found)");
    wxArrayString rows;
    rows.reserve(m_hits.size());
    for (const CSnippetSearch::SHit& hit : m_hits)
        rows.push_back(wxString::FromUTF8(hit.path));
    m_pList->Set(rows);
    if (!m_hits.empty())
        m_pList->SetSelection(0);
}

void CSnippetFinder::OnFieldKey(wxKeyEvent& event) {
    const int count = static_cast<int>(m_hits.size());
    const int selected = m_pList->GetSelection();
    switch (event.GetKeyCode()) {
    case WXK_ESCAPE:
        End(-1);
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        if (selected != wxNOT_FOUND && selected < count)
            End(m_hits[static_cast<std::size_t>(selected)].entry);
        return;
    case WXK_UP:
    case WXK_NUMPAD_UP:
        if (count > 0)
            m_pList->SetSelection(selected > 0 ? selected - 1 : count - 1);
        return;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        if (count > 0)
            m_pList->SetSelection(selected + 1 < count ? selected + 1 : 0);
        return;
    default:
        event.Skip();
    }
}

void CSnippetFinder::OnListClick(wxCommandEvent& event) {
    const int row = event.GetSelection();
    // Set by the keys, the selection sends no event; a click does.
    if (m_bFinding && row >= 0 && row < static_cast<int>(m_hits.size()))
        End(m_hits[static_cast<std::size_t>(row)].entry);
}

void CSnippetFinder::End(int entry) {
    if (!m_bFinding)
        return;
    m_bFinding = false;
    m_grab.Release();
    Hide();
    m_hits.clear();
    auto choose = std::move(m_choose);
    auto ended = std::move(m_ended);
    // The pop-up is gone before the paste looks for the clicked window.
    if (entry >= 0 && choose)
        choose(entry);
    if (ended)
        ended();
}
