#pragma once
// The desktop of the paste path on X11, through GDK's own connection so that
// our requests are ordered with the toolkit's (a closing menu's ungrab
// reaches the server before our keys).

#include "platform/Desktop.h"
#include "platform/PasteKeys.h"

class CX11Desktop : public CDesktop {
public:
    bool WindowExists(unsigned long window) override;
    bool HasFocus(unsigned long window) override;
    void Activate(unsigned long window, unsigned long time) override;
    bool IsOwnPopup(unsigned long window) override;
    bool SetClipboardText(const std::string& utf8) override;
    bool SendPasteKeys() override;

private:
    CPasteKeys m_keys;
};
