#pragma once
// Pop-up command id to snippet element. Snippet ids come from a range of their
// own, which no command of the program uses and which fits the toolkit's id
// type; each rebuild of the menu starts the range afresh, and the ids of the
// entries of a closed submenu go back to it when their items are let go.
// Entries hold counted references, so between two rebuilds an element stays
// pasteable after it was removed from its document, and text typed into it is
// pasted at once.

#include "xml/XmlNode.h"

#include <cstddef>
#include <vector>

class CSnippetCommandMap {
public:
    // Below the toolkit's limit (0x7FFF) and clear of every command id of the
    // program, the framework's own (4999 to 5999) included.
    static constexpr int kFirstSnippetId = 0x2000;
    static constexpr int kLastSnippetId = 0x5FFF;
    static constexpr int kCapacity = kLastSnippetId - kFirstSnippetId + 1;

    virtual ~CSnippetCommandMap() = default;

    // An id for the element, a released one first; 0 when the range is used
    // up until the next rebuild or release.
    int AddSnippet(const CXmlNode& element);
    // The element behind an id of the current menu; empty for any other id.
    CXmlNode FindSnippet(int commandId) const;
    // The id's item is gone. It keeps its element until it is given out
    // again: the toolkit tells a submenu's close before the choice made in it.
    void Release(int commandId);

    // The menu is about to be rebuilt: the ids of the old one are released.
    void Reset();
    static bool IsSnippetId(int commandId) {
        return commandId >= kFirstSnippetId && commandId <= kLastSnippetId;
    }
    // Ids given out since the rebuild, released ones included.
    std::size_t Count() const { return m_elements.size(); }

private:
    int m_nLastCommandId = kFirstSnippetId - 1;
    std::vector<CXmlNode> m_elements; // index = id - kFirstSnippetId
    std::vector<int> m_released;
};
