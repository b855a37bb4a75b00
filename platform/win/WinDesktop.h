#pragma once
// The desktop of the paste path on Windows. For now a stand-in that pastes
// nothing: every step answers "not done", so the paste engine ends each
// paste as failed. The real one maps to GetForegroundWindow and
// SetForegroundWindow, GetClassNameW, the clipboard's CF_UNICODETEXT and
// SendInput for the paste chord.

#include "platform/Desktop.h"

class CWinDesktop : public CDesktop {
public:
    bool WindowExists(unsigned long window) override;
    bool HasFocus(unsigned long window) override;
    void Activate(unsigned long window, unsigned long time) override;
    bool IsOwnPopup(unsigned long window) override;
    SWindowClass WindowClass(unsigned long window) override;
    EFieldFocus FocusFieldAt(unsigned long window, int x, int y) override;
    bool FieldFocusArrived() override;
    bool SetClipboardText(const std::string& utf8, const SClipboardFill& fill) override;
    bool ModifiersHeld() override;
    void ReleaseModifiers() override;
    bool SendPasteKeys(const SKeyChord& chord) override;
};
