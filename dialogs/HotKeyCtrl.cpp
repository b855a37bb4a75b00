#include "dialogs/HotKeyCtrl.h"

#include "app/MessageBox.h"
#include "res/StringTable.h"

#include "dialogs/VirtualKeyNames.h"
#include "platform/VirtualKeyCodes.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/toplevel.h>
#include <wx/xrc/xmlres.h>

namespace {

std::uint16_t HeldFlags(const wxKeyEvent& event) {
    std::uint16_t flags = 0;
    if (event.ShiftDown())
        flags |= vk::HOTKEYF_SHIFT;
    if (event.ControlDown())
        flags |= vk::HOTKEYF_CONTROL;
    if (event.AltDown())
        flags |= vk::HOTKEYF_ALT;
    return flags;
}

// Toggling a lock as a global hot key would take the lock from the user.
bool IsLockKey(std::uint16_t code) {
    return code == vk::VK_CAPITAL || code == vk::VK_NUMLOCK || code == vk::VK_SCROLL;
}

constexpr int kMargin = 3;

class CHotKeyCtrlXmlHandler : public wxXmlResourceHandler {
public:
    CHotKeyCtrlXmlHandler() { AddWindowStyles(); }

    wxObject* DoCreateResource() override {
        auto* ctrl = dynamic_cast<CHotKeyCtrl*>(m_instance);
        if (!ctrl)
            ctrl = new CHotKeyCtrl;
        ctrl->Create(m_parentAsWindow, GetID(), GetPosition(), GetSize(), GetStyle());
        SetupWindow(ctrl);
        return ctrl;
    }
    bool CanHandle(wxXmlNode* node) override { return IsOfClass(node, "CHotKeyCtrl"); }
};

} // namespace

CHotKeyCtrl::CHotKeyCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         long style) {
    Create(parent, id, pos, size, style);
}

bool CHotKeyCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                         long style) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if ((style & wxBORDER_MASK) == 0)
        style |= wxBORDER_THEME;
    // Every key comes to the field first; it hands back those of the dialog.
    if (!wxControl::Create(parent, id, pos, size, style | wxWANTS_CHARS))
        return false;
    Bind(wxEVT_PAINT, &CHotKeyCtrl::OnPaint, this);
    Bind(wxEVT_KEY_DOWN, &CHotKeyCtrl::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CHotKeyCtrl::OnKeyUp, this);
    Bind(wxEVT_CHAR, &CHotKeyCtrl::OnChar, this);
    Bind(wxEVT_SET_FOCUS, &CHotKeyCtrl::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CHotKeyCtrl::OnFocusChange, this);
    Bind(wxEVT_LEFT_DOWN, &CHotKeyCtrl::OnMouseDown, this);
    return true;
}

void CHotKeyCtrl::SetHotKey(std::uint16_t vk, std::uint16_t modifiers) {
    m_wVK = vk & 0xFF;
    m_wModifiers = modifiers & 0xFF;
    m_wHeld = 0;
    Refresh();
}

wxString CHotKeyCtrl::GetText() const {
    if (m_wHeld)
        return wxString::FromUTF8(CVirtualKeyNames::ModifierPrefix(m_wHeld));
    return wxString::FromUTF8(CVirtualKeyNames::Describe(m_wVK, m_wModifiers));
}

wxSize CHotKeyCtrl::DoGetBestSize() const {
    const wxSize text = GetTextExtent("Ctrl + Shift + Alt + Page Down");
    return ClientToWindowSize(wxSize(text.x + 2 * kMargin, text.y + 2 * kMargin));
}

void CHotKeyCtrl::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const bool enabled = IsEnabled();
    dc.SetBackground(
        wxBrush(wxSystemSettings::GetColour(enabled ? wxSYS_COLOUR_WINDOW : wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    dc.SetFont(GetFont());
    dc.SetTextForeground(
        wxSystemSettings::GetColour(enabled ? wxSYS_COLOUR_WINDOWTEXT : wxSYS_COLOUR_GRAYTEXT));
    const wxSize client = GetClientSize();
    const wxSize extent = dc.GetTextExtent(GetText());
    const int top = (client.y - extent.y) / 2;
    dc.DrawText(GetText(), kMargin, top);
    if (HasFocus()) {
        // A caret after the text, where the next key lands.
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT)));
        const int x = kMargin + extent.x + 1;
        dc.DrawLine(x, top, x, top + extent.y);
    }
}

void CHotKeyCtrl::OnKeyDown(wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    const std::uint16_t flags = HeldFlags(event);
    if (CVirtualKeyNames::IsModifier(code)) {
        m_wHeld = flags | CVirtualKeyNames::ModifierFlag(code);
        Refresh();
        return;
    }

    // Keys of the dialog: Escape cancels, Tab moves on, Enter presses the
    // default button. With Ctrl or Alt, Tab and Enter make hot keys too.
    const bool plain = (flags & (vk::HOTKEYF_CONTROL | vk::HOTKEYF_ALT)) == 0;
    if (code == WXK_ESCAPE) {
        event.Skip();
        return;
    }
    if (plain && code == WXK_TAB) {
        m_wHeld = 0;
        Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward
                                   : wxNavigationKeyEvent::IsForward);
        return;
    }
    if (plain && (code == WXK_RETURN || code == WXK_NUMPAD_ENTER)) {
        m_wHeld = 0;
        if (!PressDefaultButton())
            event.Skip();
        return;
    }
    if (flags == 0 && (code == WXK_BACK || code == WXK_DELETE || code == WXK_NUMPAD_DELETE)) {
        SetHotKey(0, 0);
        return;
    }
    // Super has no flag in the stored pair: taking the key without it would
    // store a different combination from the one pressed.
    if (event.MetaDown())
        return;
    const auto key = CVirtualKeyNames::FromWxKey(code);
    if (!key || IsLockKey(key->m_wVK))
        return;
    const std::uint16_t modifiers = flags | (key->m_bExtended ? vk::HOTKEYF_EXT : 0);
    if (CVirtualKeyNames::TakesTypingKey(key->m_wVK, modifiers)) {
        // A stray Space or letter here would take that key from every program.
        m_wHeld = 0;
        Refresh();
        CMessageBox::Show(
            wxString::Format(wxString::FromUTF8(msg::kHotKeyTypingKey),
                             wxString::FromUTF8(CVirtualKeyNames::Describe(key->m_wVK, modifiers)))
                .utf8_string());
        return;
    }
    SetHotKey(key->m_wVK, modifiers);
}

void CHotKeyCtrl::OnKeyUp(wxKeyEvent& event) {
    if (!m_wHeld)
        return;
    // The event's state still counts the key being released.
    m_wHeld = HeldFlags(event) & ~CVirtualKeyNames::ModifierFlag(event.GetKeyCode());
    Refresh();
}

void CHotKeyCtrl::OnChar(wxKeyEvent& event) {
    // Only keys handed back to the dialog get this far.
    const int code = event.GetKeyCode();
    if (code == WXK_ESCAPE || code == WXK_RETURN || code == WXK_NUMPAD_ENTER)
        event.Skip();
}

void CHotKeyCtrl::OnFocusChange(wxFocusEvent& event) {
    m_wHeld = 0;
    Refresh();
    event.Skip();
}

void CHotKeyCtrl::OnMouseDown(wxMouseEvent& event) {
    SetFocus();
    event.Skip();
}

bool CHotKeyCtrl::PressDefaultButton() {
    auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(this));
    auto* button = top ? dynamic_cast<wxButton*>(top->GetDefaultItem()) : nullptr;
    if (!button || !button->IsEnabled())
        return false;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
    return true;
}

void CHotKeyCtrl::RegisterXmlHandler() {
    static bool done = false;
    if (done)
        return;
    done = true;
    wxXmlResource::Get()->AddHandler(new CHotKeyCtrlXmlHandler);
}
