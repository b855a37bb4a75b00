#pragma once
// What the snippet menu shows, read from the library level by level: a
// rebuild reads the root's entry and the entries directly in it; a level's
// entries are read the first time its submenu or the search needs them. The
// menu's windows are made from it only as far as a person opens them, so a
// large library costs a rebuild no walk of its own.

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
        bool read = false;    // a level's entries are read (firstChild is known)
        int firstChild = -1;  // first entry inside a level entry, once read
        int nextSibling = -1; // next entry of the same menu
    };

    struct SReporter {
        // The engine failed on a branch: that branch ends, its siblings go on.
        // Told when the level holding it is read.
        std::function<void()> invalidStructure;
    };

    // Replaces the entries with the root's and those directly in it; false
    // when the root itself gives no entry (no caption, or an engine failure).
    // Snippets without a caption are left out; the library's numbering walk
    // counts them (CSnippetLibrary::MissingCaptions).
    bool Build(const CXmlNode& root, SReporter reporter);
    void Clear();

    // The entry made from the root; -1 when there is none.
    int RootEntry() const { return m_entries.empty() ? -1 : 0; }
    // The first entry inside a level entry, its entries read from the
    // element now if they were not yet; -1 for none or a snippet entry.
    // Entries are added, never moved in meaning: indices stay, references
    // from At() do not survive it.
    int FirstChild(int index);
    const SEntry& At(int index) const { return m_entries[static_cast<std::size_t>(index)]; }
    std::size_t Size() const { return m_entries.size(); }

    // Tests stand in for an engine that fails on the element with this
    // header ("" for none).
    static void SimulateEngineFailure(const std::string& header);

private:
    // Appends the entry of one element below `parent` (-1 for the root);
    // false when it gives none.
    bool AppendEntry(CXmlNode node, int parent, int& lastChild);
    void ReadLevel(int index);

    std::vector<SEntry> m_entries;
    SReporter m_reporter;
};
