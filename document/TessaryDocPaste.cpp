// The document's part of the snippet menu: the hot key that switches it, and
// the paste of the chosen entry.

#include "app/MessageBox.h"
#include "dialogs/VirtualKeyNames.h"
#include "document/TessaryDoc.h"
#include "menu/PasteEngine.h"
#include "platform/GlobalHotKey.h"
#ifdef _WIN32
#include "platform/win/WinDesktop.h"
using CSystemDesktop = CWinDesktop;
#else
#include "platform/X11Desktop.h"
using CSystemDesktop = CX11Desktop;
#endif
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "view/TessaryView.h"

#include <wx/app.h>

CTessaryView* CTessaryDoc::View() const {
    return dynamic_cast<CTessaryView*>(GetFirstView());
}

CPasteEngine& CTessaryDoc::PasteEngine() {
    if (!m_pPasteEngine) {
        m_pPasteEngine = std::make_unique<CPasteEngine>(std::make_unique<CSystemDesktop>());
        ApplyPasteSettings();
    }
    return *m_pPasteEngine;
}

void CTessaryDoc::ApplyPasteSettings() {
    // Made when first used: until then there is nothing to tell.
    if (!m_pPasteEngine)
        return;
    m_pPasteEngine->SetRules(CPasteRules(m_settings.m_pasteRules));
    m_pPasteEngine->SetRestoreClipboard(m_settings.m_bRestoreClipboard);
}

void CTessaryDoc::SetHotKey() {
    if (m_bHotKeyRegistered != 0 || m_settings.m_wHotKeyVK == 0)
        return;
    // A typing key without Ctrl or Alt, stored by hand or by an older
    // version, would be taken from every program: refused as a failed grab.
    if (CVirtualKeyNames::TakesTypingKey(m_settings.m_wHotKeyVK, m_settings.m_wHotKeyModifiers)) {
        CMessageBox::Show(msg::kHotKeyFailed);
        return;
    }
    if (!wxTheApp || !wxTheApp->GetTopWindow()) {
        CMessageBox::Show(msg::kHotKeyNoMainFrame);
        return;
    }
    if (!View()) {
        CMessageBox::Show(msg::kHotKeyNoView);
        return;
    }
    if (!m_pHotKey)
        m_pHotKey = std::make_unique<CGlobalHotKey>();
    const bool registered =
        m_pHotKey->Register(m_settings.m_wHotKeyVK, m_settings.m_wHotKeyModifiers, [this] {
            if (CTessaryView* view = View())
                view->OnHotKey();
        });
    if (!registered) {
        CMessageBox::Show(msg::kHotKeyFailed);
        return;
    }
    m_bHotKeyRegistered = 1;
}

void CTessaryDoc::UnsetHotKey() {
    if (m_bHotKeyRegistered != 1)
        return;
    if (!wxTheApp || !wxTheApp->GetTopWindow()) {
        CMessageBox::Show(msg::kUnsetHotKeyNoMainFrame);
        return;
    }
    if (!View()) {
        CMessageBox::Show(msg::kUnsetHotKeyNoView);
        return;
    }
    if (!m_pHotKey || !m_pHotKey->Unregister()) {
        CMessageBox::Show(msg::kUnsetHotKeyFailed);
        return;
    }
    m_bHotKeyRegistered = 0;
}

bool CTessaryDoc::TryBefore(wxEvent& event) {
    if (event.GetEventType() == wxEVT_MENU && OnCmdMsg(event.GetId()))
        return true;
    return wxDocument::TryBefore(event);
}

bool CTessaryDoc::OnCmdMsg(int commandId) {
    try {
        if (commandId == ids::ID_HOOK_PASTE_ALL) {
            // Taken here: the rest of the routing has nothing for it, and a
            // command that passes the document twice must not paste twice.
            if (m_library.Root())
                PasteSnippet(m_library.Root());
            return true;
        }
        if (commandId == ids::ID_HOOK_CLOSE_MENU)
            return false;
        if (const CXmlNode element = m_snippetCommands.FindSnippet(commandId)) {
            PasteSnippet(element);
            return true;
        }
    } catch (...) {
        // An engine failure while reading the text: nothing is pasted.
    }
    return false;
}

void CTessaryDoc::PasteSnippet(const CXmlNode& element) {
    PasteEngine().Paste({element.Text(), m_hTargetWnd, m_nTargetX, m_nTargetY});
}
