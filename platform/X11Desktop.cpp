#include "platform/X11Desktop.h"

#include "platform/Clipboard.h"
#include "platform/ClipboardRestore.h"
#include "platform/DesktopWindows.h"
#include "platform/FieldFocus.h"

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

SWindowClass CX11Desktop::WindowClass(unsigned long window) {
    return desktop::WindowClass(window);
}

EFieldFocus CX11Desktop::FocusFieldAt(unsigned long window, int x, int y) {
    return m_field.FocusAt(window, x, y);
}

bool CX11Desktop::FieldFocusArrived() {
    return m_field.Arrived();
}

bool CX11Desktop::SetClipboardText(const std::string& utf8, const SClipboardFill& fill) {
    return desktop::SetClipboardText(utf8, fill);
}

bool CX11Desktop::ModifiersHeld() {
    return CPasteKeys::ModifiersHeld();
}

void CX11Desktop::ReleaseModifiers() {
    CPasteKeys::ReleaseModifiers();
}

bool CX11Desktop::SendPasteKeys(const SKeyChord& chord) {
    const bool sent = m_keys.Send(chord);
    if (sent)
        desktop::NoteClipboardPasteKeys();
    return sent;
}
