#pragma once
// A tree item's link to its element: the element's item id.

#include <wx/treebase.h>

#include <cstddef>

class CItemData : public wxTreeItemData {
public:
    explicit CItemData(int id) : m_nId(id) {}
    int m_nId;

    // Every rebuild makes and drops one per element; a free list spares the
    // allocator a hundred thousand calls each way for a large library.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size) noexcept;
};
