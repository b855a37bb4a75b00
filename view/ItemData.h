#pragma once
// A tree item's link to its element: the element's item id, and whether the
// element's children are still to be put into the tree.

#include <wx/treebase.h>

#include <cstddef>

class CItemData : public wxTreeItemData {
public:
    explicit CItemData(int id, bool childrenPending = false)
        : m_nId(id), m_bChildrenPending(childrenPending) {}
    int m_nId;
    // The tree shows an expander for the element's children but holds none
    // of them yet: they are inserted when the item is first expanded.
    bool m_bChildrenPending;

    // Every rebuild makes and drops one per element; a free list spares the
    // allocator a hundred thousand calls each way for a large library.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
};
