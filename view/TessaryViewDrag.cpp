// Restructuring the tree by dragging an item, with everything below it, onto
// another item. The tree control's own drag handling stays out of it: the
// view captures the mouse itself, so a lost capture or a deleted item can end
// the drag cleanly at any time.

#include "view/TessaryView.h"

#include "app/MessageBox.h"
#include "document/TessaryDoc.h"
#include "res/Messages.h"
#include "view/DragLabel.h"
#include "view/ItemData.h"
#include "view/SnippetXml.h"

CDragLabel* CTessaryView::CreateDragImageEx(const wxTreeItemId& item) const {
    return new CDragLabel(m_ctlTree, m_ctlTree->GetItemText(item), m_ctlTree->GetFont());
}

void CTessaryView::OnBeginDragTree(wxTreeEvent& event) {
    // Left vetoed: the tree control's own drag keeps pointers to items that
    // the drop deletes, and cannot be ended when the capture is lost.
    if (m_bDragging)
        return;
    // The event names the selected item wherever the button went down; only a
    // press on an item's row, not on its expander or below the items, drags.
    int flags = 0;
    const wxTreeItemId item = m_ctlTree->HitTest(m_ptPress, flags);
    constexpr int kOnRow = wxTREE_HITTEST_ONITEMINDENT | wxTREE_HITTEST_ONITEMICON |
                           wxTREE_HITTEST_ONITEMLABEL | wxTREE_HITTEST_ONITEMRIGHT |
                           wxTREE_HITTEST_ONITEMSTATEICON;
    if (!item.IsOk() || (flags & wxTREE_HITTEST_ONITEMBUTTON) || !(flags & kOnRow))
        return;
    m_hitemDrag = item;
    m_hitemDrop = wxTreeItemId();
    m_pDragImage = CreateDragImageEx(item);
    if (!m_pDragImage)
        return;
    m_bDragging = true;
    // Every mouse event comes to the tree until the drop, wherever the
    // pointer goes.
    m_ctlTree->CaptureMouse();
    m_pDragImage->Follow(m_ctlTree->ClientToScreen(event.GetPoint()));
    m_pDragImage->Show();
}

void CTessaryView::OnTreeMouse(wxMouseEvent& event) {
    if (event.GetEventType() == wxEVT_LEFT_DOWN)
        m_ptPress = event.GetPosition();
    if (!m_bDragging) {
        event.Skip();
        return;
    }
    // While dragging, the tree sees none of the mouse: no selection, no
    // renaming, no menus.
    if (event.GetEventType() == wxEVT_MOTION)
        OnMouseMove(event);
    else if (event.GetEventType() == wxEVT_LEFT_UP)
        OnLButtonUp(event);
}

void CTessaryView::OnMouseMove(wxMouseEvent& event) {
    const wxPoint point = event.GetPosition();
    m_pDragImage->Follow(m_ctlTree->ClientToScreen(point));
    int flags = 0;
    const wxTreeItemId item = m_ctlTree->HitTest(point, flags);
    // Away from the items the last target stays the target.
    if (!item.IsOk() || item == m_hitemDrop)
        return;
    if (m_hitemDrop.IsOk())
        m_ctlTree->SetItemDropHighlight(m_hitemDrop, false);
    m_ctlTree->SetItemDropHighlight(item, true);
    m_hitemDrop = item;
}

void CTessaryView::EndDrag(bool captureLost) {
    m_bDragging = false;
    if (m_pDragImage) {
        m_pDragImage->Destroy();
        m_pDragImage = nullptr;
    }
    // Once the capture is gone it must not be released again.
    if (!captureLost && m_ctlTree->HasCapture())
        m_ctlTree->ReleaseMouse();
    if (m_hitemDrop.IsOk())
        m_ctlTree->SetItemDropHighlight(m_hitemDrop, false);
}

void CTessaryView::OnCaptureLost(wxMouseCaptureLostEvent&) {
    if (m_bDragging) {
        EndDrag(true);
        m_hitemDrag = m_hitemDrop = wxTreeItemId();
    }
}

void CTessaryView::OnDeleteItemTree(wxTreeEvent& event) {
    // Not passed on: nothing above needs it, and a rebuild deletes every item,
    // which would send each notification through the frame's whole routing.
    const wxTreeItemId item = event.GetItem();
    if (item == m_hitemEdit)
        m_hitemEdit = wxTreeItemId();
    // An item of the drag went away under it (a rebuild, a removal by key):
    // the drop has nothing left to act on.
    if (!m_bDragging)
        return;
    if (item == m_hitemDrop)
        m_hitemDrop = wxTreeItemId();
    else if (item != m_hitemDrag)
        return;
    EndDrag();
    m_hitemDrag = m_hitemDrop = wxTreeItemId();
}

bool CTessaryView::CanDrop(const wxTreeItemId& drag, const wxTreeItemId& drop) const {
    if (!drag.IsOk() || !drop.IsOk() || drop == drag)
        return false;
    for (wxTreeItemId up = m_ctlTree->GetItemParent(drop); up.IsOk();
         up = m_ctlTree->GetItemParent(up))
        if (up == drag)
            return false;
    return true;
}

void CTessaryView::OnLButtonUp(wxMouseEvent&) {
    EndDrag();
    if (!CanDrop(m_hitemDrag, m_hitemDrop))
        return;
    CSnippetLibrary& library = GetDocument()->Library();
    // Both elements must be there before the tree changes at all.
    try {
        CSnippetXml xml(library);
        if (!xml.FindByItemId(ItemId(m_hitemDrag)) || !xml.FindByItemId(ItemId(m_hitemDrop)))
            return;
        // Its own children first (Windows' tree sends no expanding event
        // here): filled later, they would bring the dropped branch twice.
        FillChildren(m_hitemDrop);
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
        return;
    }
    m_ctlTree->Expand(m_hitemDrop);
    const size_t childrenBefore = m_ctlTree->GetChildrenCount(m_hitemDrop, false);
    wxTreeItemId copy;
    try {
        copy = CopyBranch(m_hitemDrag, m_hitemDrop, wxTreeItemId());
    } catch (const CXmlError&) {
        // Only the first copy moves anything; take the half-made copy away.
        if (m_ctlTree->GetChildrenCount(m_hitemDrop, false) > childrenBefore)
            m_ctlTree->Delete(m_ctlTree->GetLastChild(m_hitemDrop));
        CMessageBox::Show(msg::kEngineFailure);
        return;
    }
    m_ctlTree->Delete(m_hitemDrag);
    m_ctlTree->SelectItem(copy);
    m_ctlTree->EnsureVisible(copy);
}

wxTreeItemId CTessaryView::CopyItem(const wxTreeItemId& item, const wxTreeItemId& newParent,
                                    const wxTreeItemId& after) {
    const wxString label = m_ctlTree->GetItemText(item);
    const int image = m_ctlTree->GetItemImage(item, wxTreeItemIcon_Normal);
    const int selectedImage = m_ctlTree->GetItemImage(item, wxTreeItemIcon_Selected);
    const wxTreeItemId newItem =
        after.IsOk() ? m_ctlTree->InsertItem(newParent, after, label, image, selectedImage)
                     : m_ctlTree->AppendItem(newParent, label, image, selectedImage);
    // The copy carries the source's item id, so its element stays linked. A
    // branch never expanded stays so: its element moves with all below it,
    // and the copy inserts them when it is expanded.
    const auto* data = dynamic_cast<CItemData*>(m_ctlTree->GetItemData(item));
    const bool pending = data && data->m_bChildrenPending;
    m_ctlTree->SetItemData(newItem, new CItemData(ItemId(item), pending));
    if (pending)
        m_ctlTree->SetItemHasChildren(newItem, true);
    const int state = m_ctlTree->GetItemState(item);
    if (state != wxTREE_ITEMSTATE_NONE)
        m_ctlTree->SetItemState(newItem, state);
    OnItemCopied(item, newItem);
    return newItem;
}

wxTreeItemId CTessaryView::CopyBranch(const wxTreeItemId& branch, const wxTreeItemId& newParent,
                                      const wxTreeItemId& after) {
    const wxTreeItemId newItem = CopyItem(branch, newParent, after);
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = m_ctlTree->GetFirstChild(branch, cookie); child.IsOk();
         child = m_ctlTree->GetNextChild(branch, cookie))
        CopyBranch(child, newItem, wxTreeItemId());
    return newItem;
}

void CTessaryView::OnItemCopied(const wxTreeItemId& item, const wxTreeItemId& newItem) {
    CTessaryDoc* doc = GetDocument();
    CSnippetXml xml(doc->Library());
    const CXmlNode element = xml.FindByItemId(ItemId(item));
    if (!element)
        return;
    CXmlNode parent = xml.FindByItemId(ItemId(m_ctlTree->GetItemParent(newItem)));
    if (!parent)
        return;
    // The dragged element moves to the end of the target; the elements below
    // it came along with it and stay where they are in it, with the text and
    // white space around them. Appending moves in one step, so a failure
    // leaves the element where it was.
    if (item == m_hitemDrag || !(element.ParentNode() == parent))
        parent.AppendChild(element);
    doc->Library().Changed();
    doc->Modify(true);
}
