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

CHookMenu::CHookMenu() = default;

CHookMenu::~CHookMenu() {
    DestroyHookMenu();
}

void CHookMenu::DestroyHookMenu() {
    m_submenus.clear();
    m_closed.clear();
    m_pHighlighted = nullptr;
    m_pBuild = std::make_shared<int>(0);
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

    CSnippetMenuModel::SReporter reporter;
    reporter.missingCaptions = [](std::size_t count, const std::string& xml) {
        if (count == 1)
            CMessageBox::Show(xml);
        else
            CMessageBox::Show(
                wxString::Format(msg::kMissingCaptions, static_cast<unsigned long>(count))
                    .utf8_string() +
                xml);
    };
    reporter.invalidStructure = [] { CMessageBox::Show(msg::kInvalidXmlStructure); };
    const bool built = m_model.Build(root, reporter);
    m_search.SetModel(&m_model);
    if (m_model.RootEntry() >= 0)
        AppendEntry(m_pHookMenu.get(), m_model.RootEntry());
    return built;
}

void CHookMenu::AppendEntry(wxMenu* menu, int index) {
    const CSnippetMenuModel::SEntry& entry = m_model.At(index);
    if (entry.level) {
        auto* submenu = new wxMenu;
        wxMenuItem* item = menu->AppendSubMenu(submenu, Caption(entry.caption));
        m_submenus[submenu] = {index, false, false, menu};
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
        menu->Append(wxID_ANY, Caption(entry.caption))->Enable(false);
        return;
    }
    menu->Append(id, Caption(entry.caption));
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
    const int level = it->second.level;
    for (int child = m_model.At(level).firstChild; child >= 0;
         child = m_model.At(child).nextSibling)
        AppendEntry(submenu, child);
}

void CHookMenu::ForgetItems(wxMenu* submenu) {
    for (wxMenuItem* item : submenu->GetMenuItems()) {
        if (wxMenu* inner = item->GetSubMenu()) {
            ForgetItems(inner);
            m_submenus.erase(inner);
            if (m_pHighlighted == inner)
                m_pHighlighted = nullptr;
            m_submenuOfItem.erase(item->GetId());
        } else {
            m_pCommands->Release(item->GetId());
        }
    }
}

void CHookMenu::ReleaseSubmenu(wxMenu* submenu) {
    const auto it = m_submenus.find(submenu);
    if (it == m_submenus.end() || !it->second.filled || it->second.open ||
        submenu == m_pHighlighted)
        return;
    ForgetItems(submenu);
    // From the end: each removal then finds its item at once.
    while (submenu->GetMenuItemCount() > 0)
        submenu->Destroy(submenu->FindItemByPosition(submenu->GetMenuItemCount() - 1));
    it->second.filled = false;
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
    // After the choice made in it, which the toolkit sends after the close;
    // not at all if it opened again meanwhile. The toolkit's menu loop holds
    // back calls queued for later: until the menu ends, the next submenu to
    // be filled releases it.
    m_closed.push_back(submenu);
    // The menus, and so their calls, never outlive this object; one asked
    // for by an earlier build is dropped.
    submenu->CallAfter([this, submenu, build = std::weak_ptr<int>(m_pBuild)] {
        if (!build.expired())
            ReleaseSubmenu(submenu);
    });
}
