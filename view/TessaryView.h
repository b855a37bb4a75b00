#pragma once
// The editor view: the form with the tree of headings and the text box, kept
// in step with the library. One view serves the whole run.

#include "document/SnippetLibrary.h"
#include "menu/HookMenuBuilder.h"

#include <wx/docview.h>
#include <wx/treectrl.h>

#include <memory>
#include <vector>

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

    // The item id a tree item carries; -1 for none.
    int ItemId(const wxTreeItemId& item) const;

    bool m_bMenuActive = false;

private:
    bool EnsureRootElement();
    void ClearTree();
    void BuildTree(const std::vector<CSnippetLibrary::Item>& items);
    bool LoadHookMenu();
    void DestroyHookMenu();

    void OnSelchangedTree(wxTreeEvent& event);
    void OnChangeText(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void LayoutPanes();

    wxPanel* m_pForm = nullptr;
    wxTreeCtrl* m_ctlTree = nullptr;
    wxTextCtrl* m_ctlText = nullptr;
    CSplitterBar* m_wndSplitter = nullptr;
    std::unique_ptr<IHookMenuBuilder> m_pHookMenu;
    bool m_bRecovering = false;

    wxDECLARE_DYNAMIC_CLASS(CTessaryView);
};
