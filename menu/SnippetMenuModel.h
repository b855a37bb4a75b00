#pragma once
// What the snippet menu shows, read from the library in one walk at each
// rebuild: captions, level entries and snippet entries in document order.
// The menu's windows are made from it only as far as a person opens them, so
// a large library costs one walk, not one menu item per element.

#include "xml/XmlNode.h"

#include <functional>
#include <string>
#include <vector>

class CSnippetMenuModel {
public:
    struct SEntry {
        std::string caption;
        CXmlNode element;
        bool level = false;   // a submenu; otherwise a snippet
        int firstChild = -1;  // first entry inside a level entry
        int nextSibling = -1; // next entry of the same menu
    };

    struct SReporter {
        // Snippets without a caption are left out; told once per build, with
        // how many there were and the first one's markup.
        std::function<void(std::size_t count, const std::string& firstXml)> missingCaptions;
        // The engine failed on a branch: that branch ends, its siblings go on.
        std::function<void()> invalidStructure;
    };

    // Replaces the entries with those made from the root element; false when
    // the root itself gives no entry (no caption, or an engine failure).
    bool Build(const CXmlNode& root, const SReporter& reporter);
    void Clear();

    // The entry made from the root; -1 when there is none.
    int RootEntry() const { return m_entries.empty() ? -1 : 0; }
    const SEntry& At(int index) const { return m_entries[static_cast<std::size_t>(index)]; }
    std::size_t Size() const { return m_entries.size(); }

private:
    // Appends the entry of one node below `parent` (-1 for the root); false
    // when the node gives none.
    bool BuildSnippetMenu(CXmlNode node, int parent, int& lastChild);

    std::vector<SEntry> m_entries;
    const SReporter* m_pReporter = nullptr;
    std::size_t m_nMissing = 0;
    std::string m_strFirstMissing;
};
