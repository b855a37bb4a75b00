#pragma once
// A tree item's link to its element: the element's item id.

#include <wx/treebase.h>

class CItemData : public wxTreeItemData {
public:
    explicit CItemData(int id) : m_nId(id) {}
    int m_nId;
};
