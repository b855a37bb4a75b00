#pragma once
// One level of undo for the text box, as the platform's multi-line text
// control has none: the text from before the latest change. Undoing is itself
// a change, so a second Undo brings back what the first one took away.

#include <string>

class CTextUndo {
public:
    // The program set the text: there is nothing to undo.
    void Reset(const std::string& text);
    // The user changed the text. A change that continues the previous action
    // (a paste over a selection arrives as a deletion and an insertion) keeps
    // the text from before that action.
    void Changed(const std::string& text, bool continuesAction);

    bool CanUndo() const { return m_bCanUndo; }
    const std::string& UndoText() const { return m_strUndo; }

private:
    std::string m_strCurrent;
    std::string m_strUndo;
    bool m_bCanUndo = false;
};
