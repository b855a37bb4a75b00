#pragma once
// One row of the paste-key table: the program's window-class pattern, the key
// that pastes there and whether PRIMARY is filled too. OK refuses a row the
// settings could not store or a key the keyboard could not type.

#include "menu/PasteRules.h"

#include <wx/dialog.h>

#include <optional>
#include <string>

class wxCheckBox;
class wxTextCtrl;

class CDlgPasteKeyRule : public wxDialog {
public:
    CDlgPasteKeyRule(wxWindow* parent, const SPasteRule& rule);

    // The row after OK; nothing after Cancel.
    static std::optional<SPasteRule> Run(wxWindow* parent, const SPasteRule& rule);

    // What to tell the user about a pattern or a key as typed; nothing when
    // it can be taken.
    static std::optional<std::string> PatternRefusal(const std::string& pattern);
    static std::optional<std::string> KeyRefusal(const std::string& key);

    const SPasteRule& Rule() const { return m_rule; }

    wxTextCtrl* m_pPattern = nullptr;
    wxTextCtrl* m_pKey = nullptr;
    wxCheckBox* m_pPrimary = nullptr;

private:
    bool TransferDataFromWindow() override;

    SPasteRule m_rule;
};
