#include "menu/SnippetCommandMap.h"

int CSnippetCommandMap::AddSnippet(const CXmlNode& element) {
    ++m_nLastCommandId;
    m_mapIdToElement[m_nLastCommandId] = element;
    return m_nLastCommandId;
}

CXmlNode CSnippetCommandMap::FindSnippet(int commandId) const {
    const auto it = m_mapIdToElement.find(commandId);
    return it == m_mapIdToElement.end() ? CXmlNode() : it->second;
}
