#pragma once
// The editor view: the form with the tree of headings and the text box, kept
// in step with the library. One view serves the whole run.

#include "library/SnippetLibrary.h"

#include <wx/docview.h>
#include <wx/treectrl.h>

#include <memory>
#include <string>
#include <vector>

class CDragLabel;
class CEditCommands;
class CHookClient;
class CHookMenu;
class CTessaryDoc;
class CSnippetFinder;
struct SHookClick;
class CSplitterBar;
class wxPanel;
class wxTextCtrl;

class CTessaryView : public wxView {
public:
    CTessaryView();
    ~CTessaryView() override;

    bool OnCreate(wxDocument* doc, long flags) override;
    void OnDraw(wxDC*) override {}
    // Run for every new or opened document: rebuild, then the start file.
    void OnInitialUpdate();
    void OnUpdate(wxView* sender, wxObject* hint = nullptr) override;
    bool OnClose(bool deleteWindow) override;
    void OnChangeFilename() override;

    // The frame's close, first step: the settings are written.
    void OnCloseView();

    // The snippet menu and its activation.
    CHookMenu& HookMenu() const { return *m_pHookMenu; }
    void OnActivateMenu();
    void OnDeactivateMenu();
    void OnHotKey();
    void OnToggleMenu();
    void ShowActivatedState();
    void ShowDeactivatedState();
    // The state of the hook as it stands, after a new or opened library.
    void ShowHookState();
    // A right-click reported by the mouse hook: the menu at the point, for
    // the window that was clicked. Returns when the menu has closed.
    void OnCopyData(const SHookClick& click);
    bool IsMenuShown() const { return m_bInMenu; }
    // The window the snippet menu opens on, which the search turns into;
    // null before the first menu.
    CSnippetFinder* MenuHost() const { return m_pMenuHost; }

    CTessaryDoc* GetDocument() const;
    wxPanel* Form() const { return m_pForm; }
    wxTreeCtrl* Tree() const { return m_ctlTree; }
    wxTextCtrl* Text() const { return m_ctlText; }
    CSplitterBar* Splitter() const { return m_wndSplitter; }
    CEditCommands& EditCommands() const { return *m_pEditCommands; }

    // The selected item as its labels from the root down, and the item
    // found again by them after a rebuild; where it is gone, the root stays.
    std::vector<std::string> SelectedLabels() const;
    void SelectLabels(const std::vector<std::string>& labels);

    // The item id a tree item carries; -1 for none.
    int ItemId(const wxTreeItemId& item) const;
    // The tree item of an item id, the branches above it put into the tree on
    // the way down (not expanded); unset when the id is not found.
    wxTreeItemId TreeItemOf(int id);

    // Find and Find Next: the next item after the selection, in document
    // order and wrapping round, whose header or text holds the text, case
    // and accents aside; selected and shown. False, after saying so, for none.
    bool FindNext(const std::string& text);
    const std::string& LastFind() const { return m_strFind; }

    // The Add and Remove commands as they run once enabled.
    void AddMenuItem();
    void RemoveSelectedItem();
    bool IsDragging() const { return m_bDragging; }

    bool m_bMenuActive = false;

protected:
    // The XML side of one copied tree item during a drop.
    virtual void OnItemCopied(const wxTreeItemId& item, const wxTreeItemId& newItem);

private:
    bool EnsureRootElement();
    void ClearTree();
    // Numbers the library and puts the root and its children into the tree;
    // deeper items go in when their branch is first expanded.
    void BuildTree();
    // Inserts the children of a branch not filled yet.
    void FillChildren(const wxTreeItemId& item);
    // The item found by its labels from the root down, branches filled on the
    // way; unset where a label is not found.
    wxTreeItemId ItemAtLabels(const std::vector<std::string>& labels);
    // The expanded branches, each as its labels from the root down, parents
    // first; and the same branches expanded again after a rebuild.
    std::vector<std::vector<std::string>> OpenBranches() const;
    void ReopenBranches(const std::vector<std::vector<std::string>>& branches);
    void OnItemExpandingTree(wxTreeEvent& event);
    void OnFind(wxCommandEvent& event);
    void OnFindNext(wxCommandEvent& event);
    void AskFind();
    bool LoadHookMenu();
    void DestroyHookMenu();

    void OnSelchangedTree(wxTreeEvent& event);
    void ShowSelectedItem(const wxTreeItemId& item);
    void OnChangeText(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void LayoutPanes();

    // Items: add, remove, rename.
    void OnAddMenuItem(wxCommandEvent& event);
    void OnRemoveMenuItem(wxCommandEvent& event);
    void OnUpdateRemoveMenuItem(wxUpdateUIEvent& event);
    void OnBeginLabelEditTree(wxTreeEvent& event);
    void OnEndLabelEditTree(wxTreeEvent& event);
    // A rebuild is about to delete every item: a running label edit ends
    // first, its text taken as the new name.
    void EndLabelEdit();

    // Drag and drop.
    void OnBeginDragTree(wxTreeEvent& event);
    void OnTreeMouse(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnDeleteItemTree(wxTreeEvent& event);
    void EndDrag(bool captureLost = false);
    bool CanDrop(const wxTreeItemId& drag, const wxTreeItemId& drop) const;
    // A new, hidden drag image for the item; the caller destroys it.
    CDragLabel* CreateDragImageEx(const wxTreeItemId& item) const;
    wxTreeItemId CopyItem(const wxTreeItemId& item, const wxTreeItemId& newParent,
                          const wxTreeItemId& after);
    wxTreeItemId CopyBranch(const wxTreeItemId& branch, const wxTreeItemId& newParent,
                            const wxTreeItemId& after);

    CDragLabel* m_pDragImage = nullptr;
    bool m_bDragging = false;
    wxTreeItemId m_hitemDrag;
    wxTreeItemId m_hitemDrop;
    // Where the left button last went down in the tree: a drag starts there.
    wxPoint m_ptPress;
    // The item whose label is being edited; unset once it is deleted.
    wxTreeItemId m_hitemEdit;
    // The text of the last Find, for Find Next.
    std::string m_strFind;
    // The file the tree was last built from: a rebuild of the same file
    // (save, reload) keeps the branches that were open.
    std::string m_strBuiltFrom;

    wxPanel* m_pForm = nullptr;
    wxTreeCtrl* m_ctlTree = nullptr;
    wxTextCtrl* m_ctlText = nullptr;
    CSplitterBar* m_wndSplitter = nullptr;
    void OnActivateMenuCmd(wxCommandEvent& event);
    void OnDeactivateMenuCmd(wxCommandEvent& event);
    void OnToggleMenuCmd(wxCommandEvent& event);
    void OnUpdateActivateMenu(wxUpdateUIEvent& event);
    void OnUpdateDeactivateMenu(wxUpdateUIEvent& event);
    // Starts the hook; false (after saying why) when it cannot be.
    bool StartHook();
    void BindMenuCommands();
    void DetachHook();
    void SetStateIcon(bool active);
    // Typing in the menu closed it: the search opens at its place.
    void StartFind(const std::string& typed);

    std::unique_ptr<CHookMenu> m_pHookMenu;
    std::unique_ptr<CHookClient> m_pHookClient;
    CSnippetFinder* m_pMenuHost = nullptr; // the menu's window, and the search's
    bool m_bInMenu = false;
    bool m_bHookAttached = false;
    std::unique_ptr<CEditCommands> m_pEditCommands;
    bool m_bRecovering = false;

    wxDECLARE_DYNAMIC_CLASS(CTessaryView);
};
