#pragma once
// Undo, Cut, Copy, Paste and Select All of the Edit menu, its toolbar buttons
// and accelerators. They act on the text entry that has the keyboard focus:
// the view's text box or the tree's label editor. A change they make reaches
// the library the way typing does (the text box's write-back, the end of the
// label edit).

#include "platform/ClipboardWatch.h"
#include "view/TextUndo.h"

#include <wx/event.h>

#include <string>

class wxTextCtrl;
class wxWindow;

class CEditCommands : public wxEvtHandler {
public:
    explicit CEditCommands(wxTextCtrl* textBox) : m_ctlText(textBox) {}

    // Binds the five commands and their update handlers on the view.
    void BindTo(wxEvtHandler& view);

    // The text box got new text from the program, not from the user.
    void OnTextSet(const std::string& text);
    // The user changed the text box's text: keep what Undo puts back.
    void OnTextChanged(const std::string& text);

    // A single- or multi-line text entry of this program; null otherwise.
    static wxTextCtrl* IsEditControl(wxWindow* window);
    static wxTextCtrl* FocusedEdit();

    bool CanUndo() const;
    bool CanCutCopy() const;
    bool CanPaste() const;
    bool CanSelectAll() const;

    void OnEditUndo(wxCommandEvent& event);
    void OnEditCut(wxCommandEvent& event);
    void OnEditCopy(wxCommandEvent& event);
    void OnEditPaste(wxCommandEvent& event);
    void OnEditSelectAll(wxCommandEvent& event);
    void OnUpdateEditUndo(wxUpdateUIEvent& event);
    void OnUpdateEditCutCopy(wxUpdateUIEvent& event);
    void OnUpdateEditPaste(wxUpdateUIEvent& event);
    void OnUpdateEditSelectAll(wxUpdateUIEvent& event);

private:
    wxTextCtrl* m_ctlText;
    CTextUndo m_textUndo;
    // Changes made while one event is handled belong to one action.
    bool m_bActionOpen = false;
    // The next change of the text box comes from Undo, Cut or Paste (a paste
    // arrives later, when the clipboard's owner answers).
    bool m_bCommandChange = false;
    // Asked by the Paste rule, which runs at every idle time.
    CClipboardWatch m_clipboard;
};
