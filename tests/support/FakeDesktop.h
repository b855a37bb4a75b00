#pragma once
// A desktop that exists only in the test: windows are numbers, the focus and
// the held modifiers are whatever the test says, and every call but the
// questions is written down ("clipboard activate 7 field keys Ctrl+V"), so the
// paste's decisions are checked without a display.

#include "platform/Desktop.h"

#include <map>
#include <set>
#include <string>

class CFakeDesktop : public CDesktop {
public:
    std::set<unsigned long> m_windows;               // that exist
    std::set<unsigned long> m_popups;                // our own pop-ups
    std::map<unsigned long, SWindowClass> m_classes; // none: empty names
    unsigned long m_nFocus = 0;                      // the window with the keyboard
    bool m_bFocusOnActivate = false;                 // an activation hands the focus over
    bool m_bKeysWork = true;
    bool m_bModifiersHeld = false;
    EFieldFocus m_eField = EFieldFocus::NoField;
    bool m_bFieldArrived = true; // the moved field has the focus
    std::string m_strClipboard;
    SClipboardFill m_fill;
    std::string m_strCalls;

    bool WindowExists(unsigned long window) override { return m_windows.count(window) > 0; }
    bool HasFocus(unsigned long window) override { return window && window == m_nFocus; }
    void Activate(unsigned long window, unsigned long) override {
        Call("activate " + std::to_string(window));
        m_nFocus = m_bFocusOnActivate && WindowExists(window) ? window : m_nFocus;
    }
    bool IsOwnPopup(unsigned long window) override { return m_popups.count(window) > 0; }
    SWindowClass WindowClass(unsigned long window) override {
        const auto it = m_classes.find(window);
        return it == m_classes.end() ? SWindowClass{} : it->second;
    }
    EFieldFocus FocusFieldAt(unsigned long window, int x, int y) override {
        Call("field " + std::to_string(window) + "@" + std::to_string(x) + "," + std::to_string(y));
        return m_eField;
    }
    bool SetClipboardText(const std::string& utf8, const SClipboardFill& fill) override {
        m_strClipboard = utf8;
        m_fill = fill;
        return Call(fill.primary ? "clipboard+primary" : "clipboard");
    }
    bool FieldFocusArrived() override { return m_bFieldArrived; }
    bool ModifiersHeld() override { return m_bModifiersHeld; }
    void ReleaseModifiers() override {
        Call("release");
        m_bModifiersHeld = false;
    }
    bool SendPasteKeys(const SKeyChord& chord) override {
        return Call("keys " + chord.Format()) && m_bKeysWork;
    }

private:
    bool Call(const std::string& what) {
        m_strCalls += (m_strCalls.empty() ? "" : " ") + what;
        return true;
    }
};
