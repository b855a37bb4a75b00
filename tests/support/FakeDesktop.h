#pragma once
// A desktop that exists only in the test: windows are numbers, the focus is
// whatever the test says, and every call but the questions is written down
// ("clipboard activate 7 keys"), so the paste's decisions are checked without
// a display.

#include "platform/Desktop.h"

#include <set>
#include <string>

class CFakeDesktop : public CDesktop {
public:
    std::set<unsigned long> m_windows; // that exist
    std::set<unsigned long> m_popups;  // our own pop-ups
    unsigned long m_nFocus = 0;        // the window with the keyboard
    bool m_bFocusOnActivate = false;   // an activation hands the focus over
    bool m_bKeysWork = true;
    std::string m_strClipboard;
    std::string m_strCalls;

    bool WindowExists(unsigned long window) override { return m_windows.count(window) > 0; }
    bool HasFocus(unsigned long window) override { return window && window == m_nFocus; }
    void Activate(unsigned long window, unsigned long) override {
        Call("activate " + std::to_string(window));
        m_nFocus = m_bFocusOnActivate && WindowExists(window) ? window : m_nFocus;
    }
    bool IsOwnPopup(unsigned long window) override { return m_popups.count(window) > 0; }
    bool SetClipboardText(const std::string& utf8) override {
        m_strClipboard = utf8;
        return Call("clipboard");
    }
    bool SendPasteKeys() override { return Call("keys") && m_bKeysWork; }

private:
    bool Call(const std::string& what) {
        m_strCalls += (m_strCalls.empty() ? "" : " ") + what;
        return true;
    }
};
