#include "view/TextUndo.h"

void CTextUndo::Reset(const std::string& text) {
    m_strCurrent = text;
    m_strUndo.clear();
    m_bCanUndo = false;
}

void CTextUndo::Changed(const std::string& text, bool continuesAction) {
    if (!continuesAction || !m_bCanUndo)
        m_strUndo = m_strCurrent;
    m_strCurrent = text;
    m_bCanUndo = true;
}
