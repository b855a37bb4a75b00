#pragma once
// Options > Paste Keys: the table from window class to the key that pastes
// there, edited row by row. The first matching row decides, so rows move up
// and down. OK hands the table back; Cancel leaves it as it was.

#include "menu/PasteRules.h"

#include <wx/dialog.h>

#include <vector>

class wxButton;
class wxListCtrl;
class wxListEvent;

class CDlgPasteKeys : public wxDialog {
public:
    CDlgPasteKeys(wxWindow* parent, std::vector<SPasteRule> rules);

    // Shows the dialog on the table; true, with the table replaced, after OK.
    static bool Run(wxWindow* parent, std::vector<SPasteRule>& rules);

    const std::vector<SPasteRule>& Rules() const { return m_rules; }

    wxListCtrl* m_pList = nullptr;
    wxButton* m_pAdd = nullptr;
    wxButton* m_pChange = nullptr;
    wxButton* m_pRemove = nullptr;
    wxButton* m_pUp = nullptr;
    wxButton* m_pDown = nullptr;
    wxButton* m_pDefaults = nullptr;

private:
    void OnAdd(wxCommandEvent& event);
    void OnChange(wxCommandEvent& event);
    void OnRemove(wxCommandEvent& event);
    void OnDefaults(wxCommandEvent& event);
    void OnSelection(wxListEvent& event);
    // Moves the selected row one place up (-1) or down (+1).
    void Move(int by);
    // Shows the table with that row selected (-1: none).
    void Fill(long selected);
    long Selected() const;
    void UpdateButtons();

    std::vector<SPasteRule> m_rules;
};
