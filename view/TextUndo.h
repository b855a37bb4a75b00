#pragma once
// One level of undo for the text box, as the platform's multi-line text
// control has none: the text from before the latest run of changes. Undoing
// is itself a change, so a second Undo brings back what the first one took
// away.
//
// A run is what an edit control undoes in one step:
// - typing: single characters inserted one after the other, each where the
//   last one ended; one typed over a selection starts a run;
// - deleting: single characters taken away one after the other with
//   Backspace or Delete at the same place.
// Anything else stands alone and ends the run before it: typing after a
// deletion or the other way round, a character typed or deleted anywhere
// but where the run stands (the caret was moved), several characters at once
// (a paste, a cut, a selection deleted), and a change made by a command.

#include <cstddef>
#include <string>

class CTextUndo {
public:
    // The program set the text: there is nothing to undo.
    void Reset(const std::string& text);
    // The user changed the text to `text`. A change that continues the
    // previous action (a paste over a selection arrives as a deletion and an
    // insertion) is one change with it. `standsAlone` marks the change of a
    // command (cut, paste, undo), which never joins a run.
    void Changed(const std::string& text, bool continuesAction, bool standsAlone = false);

    bool CanUndo() const { return m_bCanUndo; }
    const std::string& UndoText() const { return m_strUndo; }

private:
    enum class ERun { None, Typing, Deleting };

    // Whether a change of its own (not continuing an action) joins the run
    // before it; moves the run on either way.
    bool JoinsRun(const std::string& before, const std::string& after);

    std::string m_strCurrent;
    std::string m_strUndo;       // the text before the latest run
    std::string m_strActionBase; // the text before the current action
    bool m_bCanUndo = false;
    bool m_bActionAlone = false;
    ERun m_eRun = ERun::None;
    // Typing: where the next character goes; deleting: where the last one
    // was. Within a row of the same character the place is one of a range.
    std::size_t m_nEndFirst = 0;
    std::size_t m_nEndLast = 0;
};
