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
    m_unfilled.clear();
    m_submenuOfItem.clear();
    m_pHookMenu.reset();
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
    if (m_model.RootEntry() >= 0)
        AppendEntry(m_pHookMenu.get(), m_model.RootEntry());
    return built;
}

void CHookMenu::AppendEntry(wxMenu* menu, int index) {
    const CSnippetMenuModel::SEntry& entry = m_model.At(index);
    if (entry.level) {
        auto* submenu = new wxMenu;
        wxMenuItem* item = menu->AppendSubMenu(submenu, Caption(entry.caption));
        m_unfilled.emplace(submenu, index);
        m_submenuOfItem.emplace(item->GetId(), submenu);
        submenu->Bind(wxEVT_MENU_HIGHLIGHT, &CHookMenu::OnHighlight, this);
        submenu->Bind(wxEVT_MENU_OPEN, &CHookMenu::OnMenuOpen, this);
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

void CHookMenu::FillSubmenu(wxMenu* submenu) {
    const auto it = m_unfilled.find(submenu);
    if (it == m_unfilled.end())
        return;
    const int level = it->second;
    m_unfilled.erase(it);
    for (int child = m_model.At(level).firstChild; child >= 0;
         child = m_model.At(child).nextSibling)
        AppendEntry(submenu, child);
}

void CHookMenu::OnHighlight(wxMenuEvent& event) {
    // A submenu is filled while its entry is highlighted, before it opens.
    const auto it = m_submenuOfItem.find(event.GetMenuId());
    if (it != m_submenuOfItem.end())
        FillSubmenu(it->second);
    event.Skip();
}

void CHookMenu::OnMenuOpen(wxMenuEvent& event) {
    if (wxMenu* menu = event.GetMenu())
        FillSubmenu(menu);
    event.Skip();
}
