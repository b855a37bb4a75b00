#include "menu/HookMenu.h"

#include "app/MessageBox.h"
#include "document/TessaryDoc.h"
#include "menu/SnippetCommandMap.h"
#include "platform/MenuKeyPacer.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <wx/menu.h>

namespace {

wxString Caption(const std::string& header) {
    // A tab would start an accelerator in a toolkit label; the header is
    // otherwise shown as it stands, "&" marking the access key.
    std::string text = header;
    for (char& c : text)
        if (c == '\t')
            c = ' ';
    return wxString::FromUTF8Unchecked(text);
}

} // namespace

namespace {

// After a choice, longer than a paste takes.
constexpr int kReleaseDelayMs = 1000;
// After a menu of a new build opened, while a person reads it.
constexpr int kSearchDelayMs = 150;

} // namespace

CHookMenu::CHookMenu() {
    m_releaseTimer.Bind(wxEVT_TIMER, &CHookMenu::OnReleaseTimer, this);
    m_searchTimer.Bind(wxEVT_TIMER, &CHookMenu::OnSearchTimer, this);
}

CHookMenu::~CHookMenu() {
    DestroyHookMenu();
}

void CHookMenu::DestroyHookMenu() {
    m_submenus.clear();
    m_closed.clear();
    m_pHighlighted = nullptr;
    m_releaseTimer.Stop();
    m_searchTimer.Stop();
    m_submenuOfItem.clear();
    m_pHookMenu.reset();
    m_search.SetModel(nullptr);
    m_model.Clear();
}

bool CHookMenu::LoadHookMenu(CTessaryDoc& doc) {
    DestroyHookMenu();
    m_pHookMenu.reset(resources::LoadHookPopup());
    if (!m_pHookMenu)
        m_pHookMenu = std::make_unique<wxMenu>();
    m_pHookMenu->Bind(wxEVT_MENU_HIGHLIGHT, &CHookMenu::OnHighlight, this);
    CMenuKeyPacer::Attach(m_pHookMenu.get());

    m_pCommands = &doc.SnippetCommands();
    m_pCommands->Reset();
    const CXmlNode& root = doc.Library().Root();
    if (!root)
        return false;

    // Counted by the numbering walk the rebuild has just made: the menu is
    // read level by level and never walks the whole library itself.
    const CSnippetLibrary::SMissingCaptions& missing = doc.Library().MissingCaptions();
    if (missing.count == 1)
        CMessageBox::Show(missing.firstXml);
    else if (missing.count > 1)
        CMessageBox::Show(
            wxString::Format(msg::kMissingCaptions, static_cast<unsigned long>(missing.count))
                .utf8_string() +
            missing.firstXml);
    CSnippetMenuModel::SReporter reporter;
    reporter.invalidStructure = [] { CMessageBox::Show(msg::kInvalidXmlStructure); };
    const bool built = m_model.Build(root, std::move(reporter));
    m_search.SetModel(&m_model);
    if (m_model.RootEntry() >= 0)
        AppendEntry(m_pHookMenu.get(), m_model.RootEntry());
    return built;
}

void CHookMenu::AppendEntry(wxMenu* menu, int index) {
    InsertEntry(menu, menu->GetMenuItemCount(), index);
}

void CHookMenu::InsertEntry(wxMenu* menu, std::size_t position, int index) {
    const CSnippetMenuModel::SEntry& entry = m_model.At(index);
    if (entry.level) {
        auto* submenu = new wxMenu;
        wxMenuItem* item = menu->Insert(position, wxID_ANY, Caption(entry.caption), submenu);
        m_submenus[submenu] = {index, false, false, false, menu};
        m_submenuOfItem.emplace(item->GetId(), submenu);
        submenu->Bind(wxEVT_MENU_HIGHLIGHT, &CHookMenu::OnHighlight, this);
        submenu->Bind(wxEVT_MENU_OPEN, &CHookMenu::OnMenuOpen, this);
        submenu->Bind(wxEVT_MENU_CLOSE, &CHookMenu::OnMenuClose, this);
        CMenuKeyPacer::Attach(submenu);
        return;
    }
    const int id = m_pCommands->AddSnippet(entry.element);
    if (id == 0) {
        // More entries opened than the id range holds until the next rebuild:
        // shown, but not choosable rather than pasting the wrong text.
        menu->Insert(position, wxID_ANY, Caption(entry.caption))->Enable(false);
        return;
    }
    menu->Insert(position, id, Caption(entry.caption));
}

bool CHookMenu::IsFilled(wxMenu* submenu) const {
    const auto it = m_submenus.find(submenu);
    return it == m_submenus.end() || it->second.filled;
}

void CHookMenu::FillSubmenu(wxMenu* submenu) {
    const auto it = m_submenus.find(submenu);
    if (it == m_submenus.end() || it->second.filled)
        return;
    it->second.filled = true;
    const bool levelsMade = it->second.levelsMade;
    it->second.levelsMade = true;
    const int level = it->second.level;
    // Level entries stay once made; the snippet entries between them come
    // back at their places.
    std::size_t position = 0;
    for (int child = m_model.FirstChild(level); child >= 0;
         child = m_model.At(child).nextSibling, ++position)
        if (!levelsMade || !m_model.At(child).level)
            InsertEntry(submenu, position, child);
}

void CHookMenu::LetGo(wxMenu* submenu, SSubmenu& state) {
    state.filled = false;
    // From the end: each removal then finds its item at once.
    for (std::size_t i = submenu->GetMenuItemCount(); i-- > 0;) {
        wxMenuItem* item = submenu->FindItemByPosition(i);
        if (wxMenu* inner = item->GetSubMenu()) {
            const auto it = m_submenus.find(inner);
            if (it != m_submenus.end() && it->second.filled)
                LetGo(inner, it->second);
        } else {
            m_pCommands->Release(item->GetId());
            submenu->Destroy(item);
        }
    }
}

void CHookMenu::ReleaseSubmenu(wxMenu* submenu) {
    const auto it = m_submenus.find(submenu);
    if (it == m_submenus.end() || !it->second.filled || it->second.open ||
        submenu == m_pHighlighted)
        return;
    // Only the snippet entries go: a level entry and its submenu are made
    // once, so what a closed menu lets go is a few items, not menus, each of
    // which the accessibility bus would be told about.
    LetGo(submenu, it->second);
}

void CHookMenu::OnHighlight(wxMenuEvent& event) {
    // A submenu is filled while its entry is highlighted, before it opens;
    // passed over without opening, it is let go again.
    const auto it = m_submenuOfItem.find(event.GetMenuId());
    wxMenu* submenu = it != m_submenuOfItem.end() ? it->second : nullptr;
    if (m_pHighlighted && m_pHighlighted != submenu &&
        m_submenus[m_pHighlighted].parent == event.GetMenu())
        ReleaseLater(m_pHighlighted);
    m_pHighlighted = submenu;
    if (submenu) {
        ReleaseClosed();
        FillSubmenu(submenu);
        // Reading every text of a large library takes a while: not at the
        // first key typed in a menu, nor before a menu is used (memory).
        if (!m_search.IsPrepared() && !m_searchTimer.IsRunning())
            m_searchTimer.StartOnce(kSearchDelayMs);
    }
    event.Skip();
}

void CHookMenu::OnMenuOpen(wxMenuEvent& event) {
    wxMenu* menu = event.GetMenu();
    const auto it = m_submenus.find(menu);
    if (it != m_submenus.end()) {
        it->second.open = true;
        ReleaseClosed();
        FillSubmenu(menu);
    }
    event.Skip();
}

void CHookMenu::OnMenuClose(wxMenuEvent& event) {
    wxMenu* menu = event.GetMenu();
    const auto it = m_submenus.find(menu);
    if (it != m_submenus.end() && it->second.open) {
        it->second.open = false;
        ReleaseLater(menu);
    }
    event.Skip();
}

void CHookMenu::ReleaseClosed() {
    std::vector<wxMenu*> closed;
    closed.swap(m_closed);
    for (wxMenu* menu : closed)
        // Those in a submenu let go before are gone with it.
        if (m_submenus.count(menu))
            ReleaseSubmenu(menu);
}

void CHookMenu::ReleaseLater(wxMenu* submenu) {
    // Not now: the toolkit sends a submenu's close before the choice made in
    // it. While the menu is open, the next submenu to be filled releases it.
    m_closed.push_back(submenu);
    // The whole menu closed: the rest goes once the paste is done, since
    // each entry let go is news to the accessibility bus the paste asks.
    if (m_submenus[submenu].parent == m_pHookMenu.get())
        m_releaseTimer.StartOnce(kReleaseDelayMs);
}

void CHookMenu::OnReleaseTimer(wxTimerEvent&) {
    ReleaseClosed();
}

void CHookMenu::OnSearchTimer(wxTimerEvent&) {
    m_search.Prepare();
}
