#pragma once
// The snippet library of the open document, free of any window: the engine
// document, its root, the item ids and the way from an id back to its element.

#include "library/AtomicFile.h"
#include "xml/XmlDocument.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CSnippetLibrary {
public:
    enum class ELoadOutcome {
        Ok,
        Invalid,       // not well-formed, unreadable, refused: "the XML was invalid"
        WrongRoot,     // well-formed, but its root is not level0: "not a valid Tessary file"
        EngineFailure, // the engine itself failed: "Ooops"
        NoEngine,      // no engine document could be made
    };

    // One element met by the numbering walk, in document order.
    // The element itself is FindByItemId(id).
    struct SItem {
        int id = 0;
        int parentIndex = -1; // index into the walk's list; -1 for the root
        std::string header;   // the item's label, read in the same walk
    };

    // Makes a fresh, empty engine document; false when the engine cannot be
    // started, and the library then has none.
    bool CreateEngine();
    // Tests stand in for an engine that cannot be started.
    static void SimulateEngineFailure(bool fail);
    bool HasEngine() const { return m_dom.has_value(); }

    // Loads into a separate engine document and swaps it in only on success
    // (a root of another name is a failure too), so a failed load leaves the
    // current library exactly as it was.
    ELoadOutcome Load(const std::string& source, SXmlLoadResult* detail = nullptr);
    // The same from bytes in memory; name is only used in messages.
    ELoadOutcome LoadBytes(std::string_view bytes, const std::string& name,
                           SXmlLoadResult* detail = nullptr);

    // Root check of the rebuild; throws CXmlError for a root of another name.
    CXmlNode EnsureRoot();

    // One child element of an item, as the editor's tree shows it.
    struct SChildItem {
        int id = 0;
        std::string header;
        bool hasChildren = false; // it has element children of its own
    };

    // Snippets the menu leaves out for want of a caption: elements without
    // element children and with an empty or missing header, not inside a
    // branch that is left out already. The numbering walk counts them, so
    // that the menu, read level by level, need not walk the whole library.
    struct SMissingCaptions {
        std::size_t count = 0;
        std::string firstXml; // the first one's markup, as it was before the walk
    };

    // Gives every element its id, 0 to n-1 in pre-order from the root, and
    // returns the elements in that order. Resets the id counter first.
    std::vector<SItem> NumberItems();
    // The same numbering without the list, for a view that reads the
    // elements only once it shows them; the number of elements.
    std::size_t Renumber();
    // What the last numbering walk counted; walks again, numbering nothing,
    // when the library changed since.
    const SMissingCaptions& MissingCaptions();

    // The element children of the item, in document order; empty for an id
    // that is not found.
    std::vector<SChildItem> ChildItems(int id) const;
    // The id an element of the current document carries; -1 for none.
    int IdOf(const CXmlNode& element) const;
    // The ids from the root down to the item, both included; empty for an id
    // that is not found.
    std::vector<int> PathTo(int id) const;
    // The next item after `afterId` in document order, wrapping round, whose
    // header or text contains foldedNeedle (text_fold::Fold of what was typed);
    // -1 for none. An id that is not found starts after the root. The first search
    // after a change folds the whole library once; later ones search that copy.
    int FindText(int afterId, std::string_view foldedNeedle) const;
    // An element was moved or removed with CXmlNode's own calls: the folded
    // copy is out of date, and let go until the next search. (Changes
    // through Dom() are counted already.)
    void Changed();

    // The element that carries the id, whatever its name or depth; empty for
    // an id that no element of the current document carries any longer.
    CXmlNode FindByItemId(int id) const;
    // A new id for an added item: the counter is increased, then used.
    int TakeNextItemId() { return ++m_nNextItemId; }
    void RegisterItem(int id, const CXmlNode& element);

    std::string Serialize() const;
    // Refuses, writing nothing, when there is no library (no engine or root).
    SAtomicWriteResult SaveTo(const std::string& path) const;

    // For changes: the folded copy Find searches is made again after it.
    CXmlDocument* Dom() {
        Changed();
        return m_dom ? &*m_dom : nullptr;
    }
    // For a change of one numbered element's own header or text only (what
    // typing in the editor does): the next search folds that element again,
    // not the whole library. Anything else goes through Dom().
    CXmlDocument* DomFor(const CXmlNode& element);
    const CXmlNode& Root() const { return m_root; }
    void SetRoot(const CXmlNode& root) { m_root = root; }
    int NextItemId() const { return m_nNextItemId; }
    void SetNextItemId(int id) { m_nNextItemId = id; }

private:
    // The numbering walk, listing the elements in `items` when it is given;
    // with `number` false it only counts the missing captions.
    std::size_t Number(std::vector<SItem>* items, bool number = true);

    // Headers and texts folded for Find, in document order: for each element
    // its folded header, a NUL, its folded text, a NUL.
    struct SSearchCopy {
        std::uint64_t generation = 0;
        std::string folded;
        std::vector<std::size_t> starts; // where each element's part begins
        std::vector<int> ids;            // and its item id
        std::vector<int> stale;          // ids whose part is to be folded again
    };
    const SSearchCopy& SearchCopy() const;
    // Folds the stale parts again in place; false when one cannot be found,
    // and the copy must be made anew.
    bool RefoldStale() const;

    std::optional<CXmlDocument> m_dom;
    CXmlNode m_root;
    int m_nNextItemId = 0;
    std::vector<CXmlNode> m_items; // id -> element
    std::uint64_t m_nGeneration = 1;
    SMissingCaptions m_missing;
    std::uint64_t m_nMissingGeneration = 0; // m_nGeneration m_missing was counted at
    mutable SSearchCopy m_search;
};
