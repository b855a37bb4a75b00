#include "platform/X11Desktop.h"

#include "platform/Clipboard.h"
#include "platform/DesktopWindows.h"

bool CX11Desktop::WindowExists(unsigned long window) {
    return desktop::WindowExists(window);
}

bool CX11Desktop::HasFocus(unsigned long window) {
    return desktop::HasFocus(window);
}

void CX11Desktop::Activate(unsigned long window, unsigned long time) {
    desktop::ActivateWindow(window, time);
}

bool CX11Desktop::IsOwnPopup(unsigned long window) {
    return desktop::IsOwnPopup(window);
}

bool CX11Desktop::SetClipboardText(const std::string& utf8) {
    return desktop::SetClipboardText(utf8);
}

bool CX11Desktop::SendPasteKeys() {
    return m_keys.Send();
}
