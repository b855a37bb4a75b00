#include "view/TessaryView.h"

#include "app/MessageBox.h"
#include "app/SplitterBar.h"
#include "app/StatusText.h"
#include "dialogs/DlgFind.h"
#include "document/TessaryDoc.h"
#include "library/SnippetFormat.h"
#include "library/TextFold.h"
#include "menu/HookMenu.h"
#include "platform/HookClient.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "view/EditCommands.h"
#include "view/ItemData.h"
#include "view/SnippetFinder.h"
#include "view/SnippetXml.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

wxIMPLEMENT_DYNAMIC_CLASS(CTessaryView, wxView);

namespace {

// The text box holds the platform's own line ends.
wxString ForTextBox(const std::string& text) {
    wxString s = wxString::FromUTF8(text);
    s.Replace("\r\n", "\n");
    s.Replace("\r", "\n");
    return s;
}

} // namespace

CTessaryView::CTessaryView() : m_pHookMenu(std::make_unique<CHookMenu>()) {}

CTessaryView::~CTessaryView() {
    if (m_bDragging)
        EndDrag();
    DetachHook();
}

CTessaryDoc* CTessaryView::GetDocument() const {
    return static_cast<CTessaryDoc*>(wxView::GetDocument());
}

bool CTessaryView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags))
        return false;
    auto* frame = dynamic_cast<wxFrame*>(wxTheApp->GetTopWindow());
    if (!frame)
        return false;
    SetFrame(frame);
    resources::Initialize();
    m_pForm = wxXmlResource::Get()->LoadPanel(frame, "IDD_FORM");
    if (!m_pForm)
        return false;
    m_ctlTree = dynamic_cast<wxTreeCtrl*>(m_pForm->FindWindow(ids::IDC_TREE));
    m_ctlText = dynamic_cast<wxTextCtrl*>(m_pForm->FindWindow(ids::IDC_TEXT));
    if (!m_ctlTree || !m_ctlText)
        return false;
    m_ctlTree->Bind(wxEVT_TREE_SEL_CHANGED, &CTessaryView::OnSelchangedTree, this);
    m_ctlTree->Bind(wxEVT_TREE_ITEM_EXPANDING, &CTessaryView::OnItemExpandingTree, this);
    m_ctlText->Bind(wxEVT_TEXT, &CTessaryView::OnChangeText, this);
    m_pForm->Bind(wxEVT_SIZE, &CTessaryView::OnSize, this);

    Bind(wxEVT_MENU, &CTessaryView::OnAddMenuItem, this, ids::ID_ADD_MENU_ITEM);
    Bind(wxEVT_MENU, &CTessaryView::OnRemoveMenuItem, this, ids::ID_REMOVE_MENU_ITEM);
    Bind(wxEVT_UPDATE_UI, &CTessaryView::OnUpdateRemoveMenuItem, this, ids::ID_REMOVE_MENU_ITEM);
    Bind(wxEVT_MENU, &CTessaryView::OnFind, this, ids::ID_EDIT_FIND);
    Bind(wxEVT_MENU, &CTessaryView::OnFindNext, this, ids::ID_EDIT_REPEAT);
    m_ctlTree->Bind(wxEVT_TREE_BEGIN_LABEL_EDIT, &CTessaryView::OnBeginLabelEditTree, this);
    m_ctlTree->Bind(wxEVT_TREE_END_LABEL_EDIT, &CTessaryView::OnEndLabelEditTree, this);

    m_ctlTree->Bind(wxEVT_TREE_BEGIN_DRAG, &CTessaryView::OnBeginDragTree, this);
    m_ctlTree->Bind(wxEVT_TREE_DELETE_ITEM, &CTessaryView::OnDeleteItemTree, this);
    m_ctlTree->Bind(wxEVT_MOUSE_CAPTURE_LOST, &CTessaryView::OnCaptureLost, this);
    for (const auto& type : {wxEVT_MOTION, wxEVT_LEFT_UP, wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK,
                             wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_MIDDLE_DOWN})
        m_ctlTree->Bind(type, &CTessaryView::OnTreeMouse, this);

    m_pEditCommands = std::make_unique<CEditCommands>(m_ctlText);
    m_pEditCommands->BindTo(*this);
    BindMenuCommands();
    return true;
}

void CTessaryView::OnInitialUpdate() {
    OnUpdate(nullptr, nullptr);
    if (!m_wndSplitter) {
        m_wndSplitter = new CSplitterBar;
        m_wndSplitter->Create(m_pForm, ids::IDC_SPLITTER, false);
        m_wndSplitter->SetPanes(m_ctlTree, m_ctlText);
        LayoutPanes();
    }
    CTessaryDoc* doc = GetDocument();
    doc->SetHotKey();
    doc->LoadStartFile();
    ShowHookState();
}

void CTessaryView::OnChangeFilename() {
    wxWindow* frame = GetFrame();
    CTessaryDoc* doc = GetDocument();
    if (!frame || !doc)
        return;
    frame->SetLabel(wxString(msg::kAppTitle) + " - " + doc->GetUserReadableName());
}

bool CTessaryView::LoadHookMenu() {
    // A search open over the old entries ends with them.
    if (m_pMenuHost)
        m_pMenuHost->Cancel();
    return m_pHookMenu->LoadHookMenu(*GetDocument());
}

void CTessaryView::DestroyHookMenu() {
    if (m_pMenuHost)
        m_pMenuHost->Cancel();
    m_pHookMenu->DestroyHookMenu();
}

int CTessaryView::ItemId(const wxTreeItemId& item) const {
    if (!item.IsOk())
        return -1;
    auto* data = dynamic_cast<CItemData*>(m_ctlTree->GetItemData(item));
    return data ? data->m_nId : -1;
}

void CTessaryView::ClearTree() {
    m_ctlTree->DeleteAllItems();
    m_ctlText->ChangeValue(wxString());
    m_pEditCommands->OnTextSet({});
}

bool CTessaryView::EnsureRootElement() {
    GetDocument()->Library().EnsureRoot();
    return true;
}

void CTessaryView::OnUpdate(wxView*, wxObject*) {
    CTessaryDoc* doc = GetDocument();
    if (!doc || !m_ctlTree)
        return;
    CSnippetLibrary& library = doc->Library();
    EndLabelEdit();
    std::vector<std::vector<std::string>> open;
    if (doc->PathName() == m_strBuiltFrom)
        open = OpenBranches();
    m_strBuiltFrom = doc->PathName();
    library.SetNextItemId(0);
    DestroyHookMenu();
    ClearTree();
    // Without an engine there is nothing to rebuild; the failure was reported
    // once when the engine could not be started.
    if (!library.HasEngine()) {
        CStatusText::Set("");
        return;
    }

    bool failed = false;
    try {
        EnsureRootElement();
        if (library.Root()) {
            // One walk over every element: the ids, and the snippets the
            // menu leaves out, which the menu reports.
            library.Renumber();
            CStatusText::Set(CStringTable::Load(strid::IDS_CONSTRUCTING_MENU));
            // A menu that gives no entry (a root without a header) still
            // leaves the tree, where the file can be mended.
            LoadHookMenu();
            CStatusText::Set(CStringTable::Load(strid::IDS_CONSTRUCTING_TREE));
            BuildTree();
            ReopenBranches(open);
        }
    } catch (const CXmlError&) {
        failed = true;
    }

    if (failed) {
        CStatusText::Set(msg::kInvalidFileStatus);
        CMessageBox::Show(msg::kInvalidFile);
        // Start afresh with a new, empty library, once.
        if (!m_bRecovering) {
            m_bRecovering = true;
            wxCommandEvent newCmd(wxEVT_MENU, ids::ID_FILE_NEW);
            if (wxWindow* frame = GetFrame())
                frame->GetEventHandler()->ProcessEvent(newCmd);
            m_bRecovering = false;
        }
    } else {
        const wxTreeItemId root = m_ctlTree->GetRootItem();
        if (root.IsOk()) {
            // A new root counts as selected without telling anyone; select it
            // afresh so the text box and the Remove rule follow it.
            m_ctlTree->Unselect();
            m_ctlTree->SelectItem(root);
        }
    }
    CStatusText::Set("");
}

void CTessaryView::BuildTree() {
    // The items are numbered already (OnUpdate).
    CSnippetLibrary& library = GetDocument()->Library();
    const CXmlNode& root = library.Root();
    const int rootId = library.IdOf(root);
    const std::string header =
        root.GetNamedItem(snippet_format::kHeaderAttr).value_or(std::string());
    const bool hasChildren = static_cast<bool>(root.FirstChildElement());
    // The engine holds valid UTF-8 only.
    const wxTreeItemId item = m_ctlTree->AddRoot(wxString::FromUTF8Unchecked(header), -1, -1,
                                                 new CItemData(rootId, hasChildren));
    FillChildren(item);
}

void CTessaryView::FillChildren(const wxTreeItemId& item) {
    auto* data = item.IsOk() ? dynamic_cast<CItemData*>(m_ctlTree->GetItemData(item)) : nullptr;
    if (!data || !data->m_bChildrenPending)
        return;
    data->m_bChildrenPending = false;
    const std::vector<CSnippetLibrary::SChildItem> children =
        GetDocument()->Library().ChildItems(data->m_nId);
    const bool many = children.size() > 64;
    if (many)
        m_ctlTree->Freeze();
    for (const CSnippetLibrary::SChildItem& child : children) {
        const wxTreeItemId childItem =
            m_ctlTree->AppendItem(item, wxString::FromUTF8Unchecked(child.header), -1, -1,
                                  new CItemData(child.id, child.hasChildren));
        if (child.hasChildren)
            m_ctlTree->SetItemHasChildren(childItem, true);
    }
    // From now on the expander follows the items the tree holds. Windows'
    // own tree shows it, and opens the branch at all, only by this flag.
#ifdef __WXMSW__
    m_ctlTree->SetItemHasChildren(item, !children.empty());
#else
    m_ctlTree->SetItemHasChildren(item, false);
#endif
    if (many)
        m_ctlTree->Thaw();
}

void CTessaryView::OnItemExpandingTree(wxTreeEvent& event) {
    try {
        FillChildren(event.GetItem());
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
    }
}

wxTreeItemId CTessaryView::TreeItemOf(int id) {
    const std::vector<int> path = GetDocument()->Library().PathTo(id);
    wxTreeItemId item = m_ctlTree->GetRootItem();
    if (path.empty() || ItemId(item) != path.front())
        return {};
    for (std::size_t depth = 1; depth < path.size(); ++depth) {
        FillChildren(item);
        wxTreeItemIdValue cookie;
        wxTreeItemId child = m_ctlTree->GetFirstChild(item, cookie);
        while (child.IsOk() && ItemId(child) != path[depth])
            child = m_ctlTree->GetNextChild(item, cookie);
        if (!child.IsOk())
            return {};
        item = child;
    }
    return item;
}

void CTessaryView::OnFind(wxCommandEvent&) {
    AskFind();
}

void CTessaryView::OnFindNext(wxCommandEvent&) {
    // Nothing looked for yet: Find Next asks, as Find does.
    if (m_strFind.empty())
        AskFind();
    else
        FindNext(m_strFind);
}

void CTessaryView::AskFind() {
    std::string text = m_strFind;
    if (CDlgFind::Run(GetFrame(), text) && !text.empty())
        FindNext(text);
}

bool CTessaryView::FindNext(const std::string& text) {
    m_strFind = text;
    CSnippetLibrary& library = GetDocument()->Library();
    if (!library.Root())
        return false;
    wxTreeItemId item;
    try {
        const int id = library.FindText(ItemId(m_ctlTree->GetSelection()), text_fold::Fold(text));
        item = TreeItemOf(id);
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
        return false;
    }
    if (!item.IsOk()) {
        CMessageBox::Show(
            wxString::Format(wxString::FromUTF8(msg::kCannotFind), wxString::FromUTF8(text))
                .utf8_string());
        return false;
    }
    m_ctlTree->SelectItem(item);
    m_ctlTree->EnsureVisible(item);
    return true;
}

void CTessaryView::OnSelchangedTree(wxTreeEvent& event) {
    ShowSelectedItem(event.GetItem());
}

void CTessaryView::ShowSelectedItem(const wxTreeItemId& item) {
    CTessaryDoc* doc = GetDocument();
    doc->m_bCanRemove = false;
    if (!doc->Library().Root())
        return;
    try {
        CSnippetXml xml(doc->Library());
        const CXmlNode element = xml.FindByItemId(ItemId(item));
        m_ctlText->ChangeValue(wxString());
        m_pEditCommands->OnTextSet({});
        if (!element)
            return;
        if (xml.HasElementChild(element)) {
            // A heading has no text of its own.
            m_ctlText->Enable(false);
        } else {
            m_ctlText->Enable(true);
            const wxString text = ForTextBox(element.Text());
            m_ctlText->ChangeValue(text);
            m_pEditCommands->OnTextSet(text.utf8_string());
        }
        const CXmlNode parent = element.ParentNode();
        doc->m_bCanRemove = parent && parent.ParentNode();
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
    }
}

void CTessaryView::OnChangeText(wxCommandEvent&) {
    CTessaryDoc* doc = GetDocument();
    const std::string text = m_ctlText->GetValue().utf8_string();
    m_pEditCommands->OnTextChanged(text);
    const wxTreeItemId item = m_ctlTree->GetSelection();
    if (!item.IsOk()) {
        CMessageBox::Show(msg::kNoNodeSelected);
        return;
    }
    try {
        CSnippetXml xml(doc->Library());
        const CXmlNode element = xml.FindByItemId(ItemId(item));
        if (!element)
            return;
        xml.SetText(element, text);
        doc->Modify(true);
    } catch (const CXmlError&) {
        CMessageBox::Show(msg::kEngineFailure);
    }
}

void CTessaryView::OnSize(wxSizeEvent& event) {
    event.Skip();
    LayoutPanes();
}

void CTessaryView::LayoutPanes() {
    // Every resize restores the even split.
    const wxSize size = m_pForm->GetClientSize();
    const int half = size.x / 2;
    m_ctlTree->SetSize(0, 0, half, size.y);
    m_ctlText->SetSize(half, 0, half, size.y);
    if (m_wndSplitter)
        m_wndSplitter->SetPanes(m_ctlTree, m_ctlText);
}

void CTessaryView::OnCloseView() {
    GetDocument()->UnsetHotKey();
    GetDocument()->SaveSettings();
}

bool CTessaryView::OnClose(bool) {
    return true;
}
