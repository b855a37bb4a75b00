#include "view/TextUndo.h"

#include <algorithm>
#include <string_view>

namespace {

// What one change did: at `pos`, `removed` gave way to `inserted`.
struct SChange {
    std::size_t pos = 0;
    std::string_view removed;
    std::string_view inserted;
};

SChange Compare(const std::string& before, const std::string& after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, std::string_view(before).substr(prefix, before.size() - prefix - suffix),
            std::string_view(after).substr(prefix, after.size() - prefix - suffix)};
}

// Exactly one UTF-8 character: one byte that is not a continuation byte.
bool IsOneCharacter(std::string_view text) {
    return !text.empty() &&
           std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }) == 1;
}

// A character typed or deleted within a row of the same character could have
// been at any place of the row; the comparison finds the last. The first:
std::size_t FirstPlace(const std::string& before, std::size_t pos, std::string_view piece) {
    while (pos >= piece.size() && before.compare(pos - piece.size(), piece.size(), piece) == 0)
        pos -= piece.size();
    return pos;
}

} // namespace

void CTextUndo::Reset(const std::string& text) {
    m_strCurrent = text;
    m_strUndo.clear();
    m_bCanUndo = false;
    m_eRun = ERun::None;
}

void CTextUndo::Changed(const std::string& text, bool continuesAction, bool standsAlone) {
    const bool newAction = !continuesAction || !m_bCanUndo;
    bool joins = false;
    if (newAction) {
        m_strActionBase = m_strCurrent;
        m_bActionAlone = standsAlone;
        joins = JoinsRun(m_strCurrent, text) && !m_bActionAlone;
    } else {
        // Several changes in one action: a selection typed over (a deletion,
        // then one character) starts a run; anything else stands alone.
        const SChange change = Compare(m_strCurrent, text);
        const bool typed = change.removed.empty() && IsOneCharacter(change.inserted);
        m_eRun = typed ? ERun::Typing : ERun::None;
        m_nEndFirst = m_nEndLast = change.pos + change.inserted.size();
    }
    if (m_bActionAlone)
        m_eRun = ERun::None;
    // Before the undo text changes: `text` may be the undo text itself.
    m_strCurrent = text;
    // A change that joins the run leaves the text from before the run.
    if (!joins)
        m_strUndo = m_strActionBase;
    m_bCanUndo = true;
}

bool CTextUndo::JoinsRun(const std::string& before, const std::string& after) {
    const SChange change = Compare(before, after);
    const ERun run = m_eRun;
    m_eRun = ERun::None;
    const bool typed = change.removed.empty() && IsOneCharacter(change.inserted);
    const bool deleted = change.inserted.empty() && IsOneCharacter(change.removed);
    if (!typed && !deleted) {
        if (IsOneCharacter(change.inserted)) {
            // One character typed over a selection starts a run.
            m_eRun = ERun::Typing;
            m_nEndFirst = m_nEndLast = change.pos + change.inserted.size();
        }
        return false;
    }
    const std::string_view piece = typed ? change.inserted : change.removed;
    const std::size_t size = piece.size();
    // The places the character may have been typed or deleted at.
    const std::size_t first = FirstPlace(before, change.pos, piece);
    const std::size_t last = change.pos;
    // Where those places meet the run's end, shifted by `shift` (Backspace
    // deletes the character before the run's place).
    std::size_t from = 0;
    std::size_t to = 0;
    const auto meets = [&](std::size_t shift) {
        from = std::max(first + shift, m_nEndFirst) - shift;
        to = std::min(last + shift, m_nEndLast) - shift;
        return m_nEndFirst <= last + shift && first + shift <= m_nEndLast;
    };
    bool joins = false;
    if (typed) {
        joins = run == ERun::Typing && meets(0);
        m_eRun = ERun::Typing;
    } else {
        joins = run == ERun::Deleting && (meets(0) || meets(size));
        m_eRun = ERun::Deleting;
    }
    if (!joins) {
        from = first;
        to = last;
    }
    // Typing goes on after the character; deleting at its place.
    const std::size_t advance = typed ? size : 0;
    m_nEndFirst = from + advance;
    m_nEndLast = to + advance;
    return joins;
}
