#pragma once
// The hot-key field: takes the combination the user presses and shows it,
// "Ctrl + Alt + K", or "None". It holds the key as the settings keep it, a
// virtual-key code and HOTKEYF flags, so a stored key shows again as it was.

#include <wx/control.h>

#include <cstdint>

class CHotKeyCtrl : public wxControl {
public:
    CHotKeyCtrl() = default;
    CHotKeyCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);

    // Only the low byte of each is kept, as in the stored pair's encoding.
    void SetHotKey(std::uint16_t vk, std::uint16_t modifiers);
    std::uint16_t GetVirtualKey() const { return m_wVK; }
    std::uint16_t GetModifiers() const { return m_wModifiers; }
    // What the field shows now, modifiers held on their own included.
    wxString GetText() const;

    bool AcceptsFocus() const override { return IsEnabled(); }
    bool AcceptsFocusFromKeyboard() const override { return IsEnabled(); }

    // Lets XRC create the field from <object class="CHotKeyCtrl">.
    static void RegisterXmlHandler();

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnFocusChange(wxFocusEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    bool PressDefaultButton();

    std::uint16_t m_wVK = 0;
    std::uint16_t m_wModifiers = 0;
    // Modifiers held with no key yet: shown, never stored.
    std::uint16_t m_wHeld = 0;
};
