#include "view/EditCommands.h"

#include "res/CommandIds.h"

#include <wx/textctrl.h>
#include <wx/window.h>

void CEditCommands::BindTo(wxEvtHandler& view) {
    view.Bind(wxEVT_MENU, &CEditCommands::OnEditUndo, this, ids::ID_EDIT_UNDO);
    view.Bind(wxEVT_MENU, &CEditCommands::OnEditCut, this, ids::ID_EDIT_CUT);
    view.Bind(wxEVT_MENU, &CEditCommands::OnEditCopy, this, ids::ID_EDIT_COPY);
    view.Bind(wxEVT_MENU, &CEditCommands::OnEditPaste, this, ids::ID_EDIT_PASTE);
    view.Bind(wxEVT_MENU, &CEditCommands::OnEditSelectAll, this, ids::ID_EDIT_SELECT_ALL);
    view.Bind(wxEVT_UPDATE_UI, &CEditCommands::OnUpdateEditUndo, this, ids::ID_EDIT_UNDO);
    view.Bind(wxEVT_UPDATE_UI, &CEditCommands::OnUpdateEditCutCopy, this, ids::ID_EDIT_CUT);
    view.Bind(wxEVT_UPDATE_UI, &CEditCommands::OnUpdateEditCutCopy, this, ids::ID_EDIT_COPY);
    view.Bind(wxEVT_UPDATE_UI, &CEditCommands::OnUpdateEditPaste, this, ids::ID_EDIT_PASTE);
    view.Bind(wxEVT_UPDATE_UI, &CEditCommands::OnUpdateEditSelectAll, this,
              ids::ID_EDIT_SELECT_ALL);
}

void CEditCommands::OnTextSet(const std::string& text) {
    m_textUndo.Reset(text);
}

void CEditCommands::OnTextChanged(const std::string& text) {
    m_textUndo.Changed(text, m_bActionOpen, m_bCommandChange);
    m_bCommandChange = false;
    if (!m_bActionOpen) {
        m_bActionOpen = true;
        CallAfter([this] { m_bActionOpen = false; });
    }
}

wxTextCtrl* CEditCommands::IsEditControl(wxWindow* window) {
    return window ? dynamic_cast<wxTextCtrl*>(window) : nullptr;
}

wxTextCtrl* CEditCommands::FocusedEdit() {
    return IsEditControl(wxWindow::FindFocus());
}

// Accelerators reach the handlers without the update handlers being asked,
// so every handler applies its own enable rule again.

bool CEditCommands::CanUndo() const {
    return FocusedEdit() && m_textUndo.CanUndo();
}

bool CEditCommands::CanCutCopy() const {
    wxTextCtrl* edit = FocusedEdit();
    if (!edit)
        return false;
    long from = 0, to = 0;
    edit->GetSelection(&from, &to);
    return from != to;
}

bool CEditCommands::CanPaste() const {
    wxTextCtrl* edit = FocusedEdit();
    // Never a question to the clipboard's owner here: it would wait on
    // another program at every idle time.
    return edit && edit->IsEditable() && m_clipboard.HasText();
}

bool CEditCommands::CanSelectAll() const {
    wxTextCtrl* edit = FocusedEdit();
    return edit && edit->GetLastPosition() >= 1;
}

void CEditCommands::OnEditUndo(wxCommandEvent&) {
    if (!CanUndo())
        return;
    wxTextCtrl* edit = FocusedEdit();
    if (edit != m_ctlText) {
        edit->Undo();
        return;
    }
    // Undo is an action of its own; the change it makes is what the next
    // Undo takes back.
    m_bActionOpen = false;
    m_bCommandChange = true;
    const wxString text = wxString::FromUTF8(m_textUndo.UndoText());
    m_ctlText->SetValue(text);
    m_ctlText->SetInsertionPointEnd();
}

void CEditCommands::OnEditCut(wxCommandEvent&) {
    if (!CanCutCopy())
        return;
    wxTextCtrl* edit = FocusedEdit();
    m_bCommandChange = edit == m_ctlText;
    edit->Cut();
}

void CEditCommands::OnEditCopy(wxCommandEvent&) {
    if (CanCutCopy())
        FocusedEdit()->Copy();
}

void CEditCommands::OnEditPaste(wxCommandEvent&) {
    if (!CanPaste())
        return;
    wxTextCtrl* edit = FocusedEdit();
    m_bCommandChange = edit == m_ctlText;
    edit->Paste();
}

void CEditCommands::OnEditSelectAll(wxCommandEvent&) {
    if (!CanSelectAll())
        return;
    wxTextCtrl* edit = FocusedEdit();
    // From the end backwards, so the caret sits at the end of the selection,
    // and that is where the box scrolls to.
    const long last = edit->GetLastPosition();
    edit->SetSelection(last, 0);
    // A single-line entry keeps its caret in view itself; showing a position
    // there would move the caret and drop the selection.
    if (edit->IsMultiLine())
        edit->ShowPosition(last);
}

void CEditCommands::OnUpdateEditUndo(wxUpdateUIEvent& event) {
    event.Enable(CanUndo());
}

void CEditCommands::OnUpdateEditCutCopy(wxUpdateUIEvent& event) {
    event.Enable(CanCutCopy());
}

void CEditCommands::OnUpdateEditPaste(wxUpdateUIEvent& event) {
    event.Enable(CanPaste());
}

void CEditCommands::OnUpdateEditSelectAll(wxUpdateUIEvent& event) {
    event.Enable(CanSelectAll());
}
