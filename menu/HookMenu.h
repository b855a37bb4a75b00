#pragma once
// The snippet menu shown at a right-click in another program: the "Hook"
// pop-up of the menu template with the library's entries after its separator.
// Submenus are filled when a person highlights or opens them, from the entries
// of their level, read from the library the first time that level is needed
// and kept until the next rebuild. A closed
// submenu lets its snippet entries go again: the toolkit walks every entry
// that exists at each choice, so a choice would slow with every submenu
// opened.

#include "menu/SnippetMenuModel.h"
#include "menu/SnippetSearch.h"

#include <wx/timer.h>

#include <memory>
#include <unordered_map>
#include <vector>

class CSnippetCommandMap;
class CTessaryDoc;
class wxMenu;
class wxMenuEvent;
class wxTimerEvent;

class CHookMenu {
public:
    CHookMenu();
    ~CHookMenu();
    CHookMenu(const CHookMenu&) = delete;
    CHookMenu& operator=(const CHookMenu&) = delete;

    // Loads the template and builds the entries of the document's root;
    // false when the root gives no entry (the template stays loaded).
    bool LoadHookMenu(CTessaryDoc& doc);
    void DestroyHookMenu();

    // The "Hook" pop-up to show; null when no menu was loaded.
    wxMenu* HookPopup() const { return m_pHookMenu.get(); }
    // Fills a level's submenu now, if it was not yet; tests and the
    // highlight/open events use it.
    void FillSubmenu(wxMenu* submenu);
    bool IsFilled(wxMenu* submenu) const;
    // Lets a closed submenu's entries go, and those of the submenus in it;
    // it is filled again at its next opening.
    void ReleaseSubmenu(wxMenu* submenu);

    // What the menu was built from, and the search over it.
    const CSnippetMenuModel& Model() const { return m_model; }
    CSnippetMenuModel& Model() { return m_model; }
    CSnippetSearch& Search() { return m_search; }

private:
    // Appends the entry of one model entry to a menu.
    void AppendEntry(wxMenu* menu, int index);
    void OnHighlight(wxMenuEvent& event);
    void OnMenuOpen(wxMenuEvent& event);
    void OnMenuClose(wxMenuEvent& event);
    void InsertEntry(wxMenu* menu, std::size_t position, int index);
    // Releases the submenu's entries once the events of now are handled.
    void ReleaseLater(wxMenu* submenu);
    void ReleaseClosed();
    void OnReleaseTimer(wxTimerEvent& event);
    void OnSearchTimer(wxTimerEvent& event);

    struct SSubmenu {
        int level = -1; // its level entry in the model
        bool filled = false;
        bool levelsMade = false; // the level entries in it, made once
        bool open = false;
        wxMenu* parent = nullptr;
    };
    // Lets the snippet entries of a submenu and of the submenus in it go.
    void LetGo(wxMenu* submenu, SSubmenu& state);

    std::unique_ptr<wxMenu> m_pHookMenu;
    CSnippetMenuModel m_model;
    CSnippetSearch m_search;
    CSnippetCommandMap* m_pCommands = nullptr;
    std::unordered_map<wxMenu*, SSubmenu> m_submenus;
    std::unordered_map<int, wxMenu*> m_submenuOfItem; // level entry's item id -> submenu
    std::vector<wxMenu*> m_closed;                    // closed or passed over, to release
    wxMenu* m_pHighlighted = nullptr; // filled at the last highlight, maybe never opened
    wxTimer m_releaseTimer;           // the rest of a closed menu, once its paste is done
    wxTimer m_searchTimer;            // the search's index, read at a build's first menu
};
