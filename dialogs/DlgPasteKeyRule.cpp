#include "dialogs/DlgPasteKeyRule.h"

#include "app/MessageBox.h"
#include "app/PasteKeysStore.h"
#include "platform/PasteKeys.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

namespace {

std::string Trimmed(const wxTextCtrl* edit) {
    wxString text = edit->GetValue();
    return text.Trim(true).Trim(false).utf8_string();
}

// Refuses with the message and puts the focus on the field to mend.
bool Refuse(const std::string& text, wxTextCtrl* edit) {
    CMessageBox::Show(text);
    edit->SetFocus();
    edit->SelectAll();
    return false;
}

} // namespace

CDlgPasteKeyRule::CDlgPasteKeyRule(wxWindow* parent, const SPasteRule& rule) : m_rule(rule) {
    resources::Initialize();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_PASTE_KEY_RULE");
    m_pPattern = XRCCTRL(*this, "IDC_PASTE_PATTERN", wxTextCtrl);
    m_pKey = XRCCTRL(*this, "IDC_PASTE_CHORD", wxTextCtrl);
    m_pPrimary = XRCCTRL(*this, "IDC_PASTE_PRIMARY", wxCheckBox);
    m_pPattern->ChangeValue(wxString::FromUTF8(rule.pattern));
    m_pKey->ChangeValue(wxString::FromUTF8(rule.chord.Format()));
    m_pPrimary->SetValue(rule.fillPrimary);
    SetClientSize(ConvertDialogToPixels(wxSize(220, 103)));
    CentreOnParent();
}

std::optional<SPasteRule> CDlgPasteKeyRule::Run(wxWindow* parent, const SPasteRule& rule) {
    CDlgPasteKeyRule dialog(parent, rule);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.Rule();
}

std::optional<std::string> CDlgPasteKeyRule::PatternRefusal(const std::string& pattern) {
    if (pattern.empty())
        return msg::kPasteKeyNoProgram;
    if (pattern.size() > CPasteKeysStore::kMaxPatternLength)
        return wxString::Format(msg::kTooLong, int(CPasteKeysStore::kMaxPatternLength))
            .utf8_string();
    if (!CPasteKeysStore::IsStorablePattern(pattern))
        return msg::kPasteKeyBadProgram;
    return std::nullopt;
}

std::optional<std::string> CDlgPasteKeyRule::KeyRefusal(const std::string& key) {
    if (key.empty())
        return msg::kPasteKeyNoKey;
    const wxString typed = wxString::FromUTF8(key);
    const auto chord = SKeyChord::Parse(key);
    if (!chord)
        return wxString::Format(msg::kPasteKeyNotAKey, typed).utf8_string();
    if (CPasteKeys::KeySymOf(chord->key) == 0)
        return wxString::Format(msg::kPasteKeyUnknownKey, wxString::FromUTF8(chord->key))
            .utf8_string();
    return std::nullopt;
}

bool CDlgPasteKeyRule::TransferDataFromWindow() {
    const std::string pattern = Trimmed(m_pPattern);
    if (const auto refusal = PatternRefusal(pattern))
        return Refuse(*refusal, m_pPattern);
    const std::string key = Trimmed(m_pKey);
    if (const auto refusal = KeyRefusal(key))
        return Refuse(*refusal, m_pKey);
    m_rule = {pattern, *SKeyChord::Parse(key), m_pPrimary->GetValue()};
    return true;
}
