#pragma once
// The desktop of the paste path on X11, through GDK's own connection so that
// our requests are ordered with the toolkit's (a closing menu's ungrab
// reaches the server before our keys); the field under the click through the
// accessibility bus.

#include "platform/Desktop.h"
#include "platform/FieldFocus.h"
#include "platform/PasteKeys.h"

class CX11Desktop : public CDesktop {
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

private:
    CPasteKeys m_keys;
    CFieldFocus m_field;
};
