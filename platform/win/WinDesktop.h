#pragma once
// The desktop of the paste path on Windows: the foreground window and the
// focus of its thread (GetGUIThreadInfo), the edit control under the click,
// the clipboard (WinClipboard.h) and SendInput for the paste chord. Window
// ids are HWNDs in their 32 significant bits.

#include "platform/Desktop.h"
#include "platform/PasteKeys.h"
#include "platform/win/WinClipboard.h"

class CWinDesktop : public CDesktop {
public:
    CWinDesktop() = default;
    ~CWinDesktop() override = default;
    CWinDesktop(const CWinDesktop&) = delete;
    CWinDesktop& operator=(const CWinDesktop&) = delete;

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
    CWinClipboard m_clipboard;
    unsigned long m_hField = 0; // the control the last FocusFieldAt focused
};
