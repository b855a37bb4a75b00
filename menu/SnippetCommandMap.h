#pragma once
// Pop-up command id to snippet element, for the whole run. Entries are never
// removed and hold counted references, so an element stays pasteable after it
// was removed from its document or the document was replaced.

#include "document/XmlNode.h"

#include <unordered_map>

class CSnippetCommandMap {
public:
    virtual ~CSnippetCommandMap() = default;

    int AddSnippet(const CXmlNode& element);
    CXmlNode FindSnippet(int commandId) const;

private:
    int m_nLastCommandId = 39; // the first id handed out is 40
    std::unordered_map<int, CXmlNode> m_mapIdToElement;
};
