#pragma once
// The snippet menu shown at a right-click in another program: the "Hook"
// pop-up of the menu template with the library's entries after its separator.
// Submenus are filled when a person first highlights or opens them, from the
// entries read at the rebuild, so the menu shows the library as it was then.

#include "menu/SnippetMenuModel.h"

#include <memory>
#include <unordered_map>

class CSnippetCommandMap;
class CTessaryDoc;
class wxMenu;
class wxMenuEvent;

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
    bool IsFilled(wxMenu* submenu) const { return m_unfilled.count(submenu) == 0; }

private:
    // Appends the entry of one model entry to a menu.
    void AppendEntry(wxMenu* menu, int index);
    void OnHighlight(wxMenuEvent& event);
    void OnMenuOpen(wxMenuEvent& event);

    std::unique_ptr<wxMenu> m_pHookMenu;
    CSnippetMenuModel m_model;
    CSnippetCommandMap* m_pCommands = nullptr;
    std::unordered_map<wxMenu*, int> m_unfilled;      // submenu -> its level entry
    std::unordered_map<int, wxMenu*> m_submenuOfItem; // level entry's item id -> submenu
};
