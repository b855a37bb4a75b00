#pragma once
// The window the snippet menu opens on, one pixel at the click, which becomes
// the type-to-find pop-up at the same place when typing in the menu starts a
// search: a field, and the snippets found listed by their paths. It keeps the
// keyboard as the menu did, so the clicked program keeps its focus for the
// paste.

#include "menu/SnippetSearch.h"
#include "platform/PopupGrab.h"

#include <wx/popupwin.h>

#include <functional>
#include <string>
#include <vector>

class wxListBox;
class wxTextCtrl;

class CSnippetFinder : public wxPopupWindow {
public:
    explicit CSnippetFinder(wxWindow* parent);

    // Shown as one pixel at the point, for the menu to open on.
    void PlaceAt(int x, int y);
    // Becomes the search at its place, the field holding what was typed.
    // `choose` gets the chosen snippet's model entry; `ended` runs at every
    // end, a choice or not.
    void Find(CSnippetSearch& search, const std::string& typed, std::function<void(int)> choose,
              std::function<void()> ended);
    bool IsFinding() const { return m_bFinding; }
    // Ends a search without a choice (Escape does the same).
    void Cancel() { End(-1); }

    // Tests: the field and the list.
    wxTextCtrl* Field() const { return m_pField; }
    wxListBox* List() const { return m_pList; }

#ifdef __WXMSW__
protected:
    // wxMSW names only the pop-up itself in a menu's open and close events,
    // never a submenu of it; the snippet menu fills each submenu as it opens.
    bool DoPopupMenu(wxMenu* menu, int x, int y) override;
    wxMenu* MSWFindMenuFromHMENU(WXHMENU handle) override;
    WXLRESULT MSWWindowProc(WXUINT message, WXWPARAM wParam, WXLPARAM lParam) override;
#endif

private:
    void MakeControls();
    void OnText(wxCommandEvent& event);
    void OnFieldKey(wxKeyEvent& event);
    void OnListClick(wxCommandEvent& event);
    // Ends the search; pastes the entry unless it is -1.
    void End(int entry);

    wxTextCtrl* m_pField = nullptr;
    wxListBox* m_pList = nullptr;
    CSnippetSearch* m_pSearch = nullptr;
    std::vector<CSnippetSearch::SHit> m_hits;
    std::function<void(int)> m_choose;
    std::function<void()> m_ended;
    CPopupGrab m_grab;
    wxPoint m_point;
    bool m_bFinding = false;
#ifdef __WXMSW__
    wxMenu* m_pPopupMenu = nullptr; // while it is shown
#endif
};
