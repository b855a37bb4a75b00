#include "platform/win/WinDesktop.h"

bool CWinDesktop::WindowExists(unsigned long) {
    return false;
}

bool CWinDesktop::HasFocus(unsigned long) {
    return false;
}

void CWinDesktop::Activate(unsigned long, unsigned long) {}

bool CWinDesktop::IsOwnPopup(unsigned long) {
    return false;
}

SWindowClass CWinDesktop::WindowClass(unsigned long) {
    return {};
}

EFieldFocus CWinDesktop::FocusFieldAt(unsigned long, int, int) {
    return EFieldFocus::NoField;
}

bool CWinDesktop::FieldFocusArrived() {
    return false;
}

bool CWinDesktop::SetClipboardText(const std::string&, const SClipboardFill&) {
    return false;
}

bool CWinDesktop::ModifiersHeld() {
    return false;
}

void CWinDesktop::ReleaseModifiers() {}

bool CWinDesktop::SendPasteKeys(const SKeyChord&) {
    return false;
}
