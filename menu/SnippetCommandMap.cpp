#include "menu/SnippetCommandMap.h"

int CSnippetCommandMap::AddSnippet(const CXmlNode& element) {
    if (!m_released.empty()) {
        const int id = m_released.back();
        m_released.pop_back();
        m_elements[static_cast<std::size_t>(id - kFirstSnippetId)] = element;
        return id;
    }
    if (m_nLastCommandId >= kLastSnippetId)
        return 0;
    ++m_nLastCommandId;
    m_elements.push_back(element);
    return m_nLastCommandId;
}

CXmlNode CSnippetCommandMap::FindSnippet(int commandId) const {
    if (!IsSnippetId(commandId))
        return {};
    const auto index = static_cast<std::size_t>(commandId - kFirstSnippetId);
    return index < m_elements.size() ? m_elements[index] : CXmlNode();
}

void CSnippetCommandMap::Release(int commandId) {
    if (IsSnippetId(commandId) && commandId <= m_nLastCommandId)
        // Never one of an earlier menu: its element would be out of range.
        m_released.push_back(commandId);
}

void CSnippetCommandMap::Reset() {
    m_nLastCommandId = kFirstSnippetId - 1;
    m_elements.clear();
    m_released.clear();
}
