// The view's tree commands: add an item, remove one, rename one in place.

#include "view/TessaryView.h"

#include "app/MessageBox.h"
#include "document/TessaryDoc.h"
#include "library/SnippetFormat.h"
#include "res/Messages.h"
#include "res/StringTable.h"
#include "view/ItemData.h"
#include "view/SnippetXml.h"

void CTessaryView::OnAddMenuItem(wxCommandEvent&) {
    AddMenuItem();
}

void CTessaryView::AddMenuItem() {
    const wxTreeItemId selected = m_ctlTree->GetSelection();
    if (!selected.IsOk())
        return;
    CTessaryDoc* doc = GetDocument();
    CSnippetLibrary& library = doc->Library();
    wxTreeItemId item;
    try {
        // The branch's own children go in first: filled later, they would
        // bring the new element a second time.
        FillChildren(selected);
        CSnippetXml xml(library);
        const CXmlNode parent = xml.FindByItemId(ItemId(selected));
        if (!parent)
            return;
        const int id = library.TakeNextItemId();
        if (!xml.AddChild(parent, msg::kNewItemHeader, id))
            return;
        item = m_ctlTree->AppendItem(selected, msg::kNewItemHeader, -1, -1, new CItemData(id));
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
        return;
    }
    doc->Modify(true);
    m_ctlTree->SelectItem(item);
    m_ctlTree->EnsureVisible(item);
    // The user types the real heading at once; the rename stores it.
    m_ctlTree->EditLabel(item);
}

void CTessaryView::OnRemoveMenuItem(wxCommandEvent&) {
    // An accelerator runs the command without asking the update handler.
    if (GetDocument()->m_bCanRemove)
        RemoveSelectedItem();
}

void CTessaryView::RemoveSelectedItem() {
    const wxTreeItemId selected = m_ctlTree->GetSelection();
    if (!selected.IsOk())
        return;
    CTessaryDoc* doc = GetDocument();
    try {
        CSnippetXml xml(doc->Library());
        const CXmlNode element = xml.FindByItemId(ItemId(selected));
        if (!element)
            return;
        CXmlNode parent = element.ParentNode();
        if (parent && parent.ParentNode()) {
            parent.RemoveChild(element);
            doc->Library().Changed();
            // The tree picks the next selection itself, when it is next idle.
            m_ctlTree->Delete(selected);
        } else {
            CMessageBox::Show(msg::kCannotRemoveRoot);
        }
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
        return;
    }
    doc->Modify(true);
}

void CTessaryView::OnUpdateRemoveMenuItem(wxUpdateUIEvent& event) {
    event.Enable(GetDocument()->m_bCanRemove);
}

void CTessaryView::OnBeginLabelEditTree(wxTreeEvent& event) {
    m_hitemEdit = event.GetItem();
}

void CTessaryView::EndLabelEdit() {
    if (!m_ctlTree->GetEditControl())
        return;
    // A new or reloaded library has replaced the one the label belongs to:
    // the typed name goes with it.
    const bool elementStays =
        static_cast<bool>(GetDocument()->Library().FindByItemId(ItemId(m_hitemEdit)));
    m_ctlTree->EndEditLabel(m_hitemEdit, !elementStays);
}

void CTessaryView::OnEndLabelEditTree(wxTreeEvent& event) {
    const wxTreeItemId item = event.GetItem();
    // An item deleted while its label was edited must not be touched.
    const bool itemStays = item.IsOk() && item == m_hitemEdit;
    m_hitemEdit = wxTreeItemId();
    if (event.IsEditCancelled())
        return;
    // The label is set here once the library has the new header; the tree
    // must not take the text on its own.
    event.Veto();
    if (!itemStays)
        return;
    CTessaryDoc* doc = GetDocument();
    // The label shows the header as the library keeps it.
    const std::string header = snippet_format::XmlSafeText(event.GetLabel().utf8_string());
    try {
        CSnippetXml xml(doc->Library());
        const CXmlNode element = xml.FindByItemId(ItemId(item));
        if (!element)
            return;
        xml.SetHeader(element, header);
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
        return;
    }
    doc->Modify(true);
    m_ctlTree->SetItemText(item, wxString::FromUTF8(header));
}

std::vector<std::string> CTessaryView::SelectedLabels() const {
    std::vector<std::string> labels;
    for (wxTreeItemId item = m_ctlTree->GetSelection(); item.IsOk();
         item = m_ctlTree->GetItemParent(item))
        labels.insert(labels.begin(), m_ctlTree->GetItemText(item).utf8_string());
    return labels;
}

wxTreeItemId CTessaryView::ItemAtLabels(const std::vector<std::string>& labels) {
    wxTreeItemId item = m_ctlTree->GetRootItem();
    if (labels.empty() || !item.IsOk() || m_ctlTree->GetItemText(item).utf8_string() != labels[0])
        return {};
    for (std::size_t depth = 1; depth < labels.size(); ++depth) {
        FillChildren(item);
        wxTreeItemIdValue cookie;
        wxTreeItemId child = m_ctlTree->GetFirstChild(item, cookie);
        while (child.IsOk() && m_ctlTree->GetItemText(child).utf8_string() != labels[depth])
            child = m_ctlTree->GetNextChild(item, cookie);
        if (!child.IsOk())
            return {};
        item = child;
    }
    return item;
}

void CTessaryView::SelectLabels(const std::vector<std::string>& labels) {
    const wxTreeItemId item = ItemAtLabels(labels);
    if (!item.IsOk())
        return;
    m_ctlTree->SelectItem(item);
    m_ctlTree->EnsureVisible(item);
}

std::vector<std::vector<std::string>> CTessaryView::OpenBranches() const {
    std::vector<std::vector<std::string>> open;
    const wxTreeItemId root = m_ctlTree->GetRootItem();
    if (!root.IsOk())
        return open;
    // Only items the tree holds can be open: the walk stays within what was shown.
    std::vector<std::pair<wxTreeItemId, std::vector<std::string>>> stack{
        {root, {m_ctlTree->GetItemText(root).utf8_string()}}};
    while (!stack.empty()) {
        auto [item, labels] = std::move(stack.back());
        stack.pop_back();
        if (!m_ctlTree->IsExpanded(item))
            continue;
        std::vector<std::pair<wxTreeItemId, std::vector<std::string>>> children;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = m_ctlTree->GetFirstChild(item, cookie); c.IsOk();
             c = m_ctlTree->GetNextChild(item, cookie)) {
            std::vector<std::string> path = labels;
            path.push_back(m_ctlTree->GetItemText(c).utf8_string());
            children.emplace_back(c, std::move(path));
        }
        open.push_back(std::move(labels));
        stack.insert(stack.end(), std::make_move_iterator(children.rbegin()),
                     std::make_move_iterator(children.rend()));
    }
    return open;
}

void CTessaryView::ReopenBranches(const std::vector<std::vector<std::string>>& branches) {
    for (const std::vector<std::string>& labels : branches) {
        const wxTreeItemId item = ItemAtLabels(labels);
        if (!item.IsOk())
            continue;
        // Filled here: Windows' tree sends no expanding event for an
        // expansion the program makes.
        FillChildren(item);
        m_ctlTree->Expand(item);
    }
}
