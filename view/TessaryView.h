#pragma once
// The editor view: the form with the tree of headings and the text box, kept
// in step with the library. One view serves the whole run.

#include "document/SnippetLibrary.h"
#include "menu/HookMenuBuilder.h"

#include <wx/docview.h>
#include <wx/dragimag.h>
#include <wx/treectrl.h>

#include <memory>
#include <vector>

class CEditCommands;
class CTessaryDoc;
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

    void SetHookMenuBuilder(std::unique_ptr<IHookMenuBuilder> builder);

    CTessaryDoc* GetDocument() const;
    wxPanel* Form() const { return m_pForm; }
    wxTreeCtrl* Tree() const { return m_ctlTree; }
    wxTextCtrl* Text() const { return m_ctlText; }
    CSplitterBar* Splitter() const { return m_wndSplitter; }
    CEditCommands& EditCommands() const { return *m_pEditCommands; }

    // The item id a tree item carries; -1 for none.
    int ItemId(const wxTreeItemId& item) const;

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
    void BuildTree(const std::vector<CSnippetLibrary::Item>& items);
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
    void OnEndLabelEditTree(wxTreeEvent& event);

    // Drag and drop.
    void OnBeginDragTree(wxTreeEvent& event);
    void OnTreeMouse(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnDeleteItemTree(wxTreeEvent& event);
    void EndDrag(bool captureLost = false);
    bool CanDrop(const wxTreeItemId& drag, const wxTreeItemId& drop) const;
    std::unique_ptr<wxDragImage> CreateDragImageEx(const wxTreeItemId& item) const;
    wxTreeItemId CopyItem(const wxTreeItemId& item, const wxTreeItemId& newParent,
                          const wxTreeItemId& after);
    wxTreeItemId CopyBranch(const wxTreeItemId& branch, const wxTreeItemId& newParent,
                            const wxTreeItemId& after);

    std::unique_ptr<wxDragImage> m_pDragImage;
    bool m_bDragging = false;
    wxTreeItemId m_hitemDrag;
    wxTreeItemId m_hitemDrop;

    wxPanel* m_pForm = nullptr;
    wxTreeCtrl* m_ctlTree = nullptr;
    wxTextCtrl* m_ctlText = nullptr;
    CSplitterBar* m_wndSplitter = nullptr;
    std::unique_ptr<IHookMenuBuilder> m_pHookMenu;
    std::unique_ptr<CEditCommands> m_pEditCommands;
    bool m_bRecovering = false;

    wxDECLARE_DYNAMIC_CLASS(CTessaryView);
};
