#include "dialogs/DlgPasteKeys.h"

#include "app/PasteKeysStore.h"
#include "dialogs/DlgPasteKeyRule.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <utility>

CDlgPasteKeys::CDlgPasteKeys(wxWindow* parent, std::vector<SPasteRule> rules)
    : m_rules(std::move(rules)) {
    resources::Initialize();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_PASTE_KEYS");
    m_pList = XRCCTRL(*this, "IDC_PASTE_LIST", wxListCtrl);
    m_pAdd = XRCCTRL(*this, "IDC_PASTE_ADD", wxButton);
    m_pChange = XRCCTRL(*this, "IDC_PASTE_CHANGE", wxButton);
    m_pRemove = XRCCTRL(*this, "IDC_PASTE_REMOVE", wxButton);
    m_pUp = XRCCTRL(*this, "IDC_PASTE_UP", wxButton);
    m_pDown = XRCCTRL(*this, "IDC_PASTE_DOWN", wxButton);
    m_pDefaults = XRCCTRL(*this, "IDC_PASTE_DEFAULTS", wxButton);

    const std::pair<const char*, int> columns[] = {
        {msg::kPasteKeysProgram, 104}, {msg::kPasteKeysKey, 56}, {msg::kPasteKeysPrimary, 66}};
    for (const auto& [title, width] : columns)
        m_pList->AppendColumn(wxString::FromUTF8(title), wxLIST_FORMAT_LEFT,
                              ConvertDialogToPixels(wxSize(width, 0)).x);

    Bind(wxEVT_BUTTON, &CDlgPasteKeys::OnAdd, this, m_pAdd->GetId());
    Bind(wxEVT_BUTTON, &CDlgPasteKeys::OnChange, this, m_pChange->GetId());
    Bind(wxEVT_BUTTON, &CDlgPasteKeys::OnRemove, this, m_pRemove->GetId());
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Move(-1); }, m_pUp->GetId());
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { Move(+1); }, m_pDown->GetId());
    Bind(wxEVT_BUTTON, &CDlgPasteKeys::OnDefaults, this, m_pDefaults->GetId());
    m_pList->Bind(wxEVT_LIST_ITEM_SELECTED, &CDlgPasteKeys::OnSelection, this);
    m_pList->Bind(wxEVT_LIST_ITEM_DESELECTED, &CDlgPasteKeys::OnSelection, this);
    // A double-click or Enter on a row changes it.
    m_pList->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
        wxCommandEvent change;
        OnChange(change);
    });

    Fill(m_rules.empty() ? -1 : 0);
    SetClientSize(ConvertDialogToPixels(wxSize(314, 176)));
    CentreOnParent();
}

bool CDlgPasteKeys::Run(wxWindow* parent, std::vector<SPasteRule>& rules) {
    CDlgPasteKeys dialog(parent, rules);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    rules = dialog.Rules();
    return true;
}

void CDlgPasteKeys::Fill(long selected) {
    m_pList->DeleteAllItems();
    for (std::size_t i = 0; i < m_rules.size(); ++i) {
        const SPasteRule& rule = m_rules[i];
        const long row =
            m_pList->InsertItem(static_cast<long>(i), wxString::FromUTF8(rule.pattern));
        m_pList->SetItem(row, 1, wxString::FromUTF8(rule.chord.Format()));
        m_pList->SetItem(row, 2, rule.fillPrimary ? msg::kPasteKeysYes : "");
    }
    if (selected >= 0 && selected < m_pList->GetItemCount()) {
        m_pList->SetItemState(selected, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                              wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        m_pList->EnsureVisible(selected);
    }
    UpdateButtons();
}

long CDlgPasteKeys::Selected() const {
    return m_pList->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void CDlgPasteKeys::UpdateButtons() {
    const long row = Selected();
    const long last = static_cast<long>(m_rules.size()) - 1;
    // The settings take no more rows than this; more would be read as damage.
    m_pAdd->Enable(m_rules.size() < CPasteKeysStore::kMaxRules);
    m_pChange->Enable(row >= 0);
    m_pRemove->Enable(row >= 0);
    m_pUp->Enable(row > 0);
    m_pDown->Enable(row >= 0 && row < last);
}

void CDlgPasteKeys::OnSelection(wxListEvent& event) {
    event.Skip();
    UpdateButtons();
}

void CDlgPasteKeys::OnAdd(wxCommandEvent&) {
    if (m_rules.size() >= CPasteKeysStore::kMaxRules)
        return;
    SPasteRule blank = CPasteRules::Fallback();
    blank.pattern.clear();
    const auto rule = CDlgPasteKeyRule::Run(this, blank);
    if (!rule)
        return;
    // After the selected row, or at the end: a new row goes where it was asked for.
    const long row = Selected();
    const std::size_t at = row >= 0 ? static_cast<std::size_t>(row) + 1 : m_rules.size();
    m_rules.insert(m_rules.begin() + static_cast<std::ptrdiff_t>(at), *rule);
    Fill(static_cast<long>(at));
}

void CDlgPasteKeys::OnChange(wxCommandEvent&) {
    const long row = Selected();
    if (row < 0 || static_cast<std::size_t>(row) >= m_rules.size())
        return;
    if (const auto rule = CDlgPasteKeyRule::Run(this, m_rules[row])) {
        m_rules[row] = *rule;
        Fill(row);
    }
}

void CDlgPasteKeys::OnRemove(wxCommandEvent&) {
    const long row = Selected();
    if (row < 0 || static_cast<std::size_t>(row) >= m_rules.size())
        return;
    m_rules.erase(m_rules.begin() + row);
    // The next row takes the selection, so Remove pressed again goes on.
    Fill(std::min(row, static_cast<long>(m_rules.size()) - 1));
}

void CDlgPasteKeys::Move(int by) {
    const long row = Selected();
    const long to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<long>(m_rules.size()))
        return;
    std::swap(m_rules[row], m_rules[to]);
    Fill(to);
}

void CDlgPasteKeys::OnDefaults(wxCommandEvent&) {
    m_rules = CPasteRules::Defaults();
    Fill(0);
}
