#include "platform/VirtualKeys.h"

#include "platform/VirtualKeyCodes.h"

#include <X11/X.h>
#include <X11/keysym.h>

unsigned long KeysymForVirtualKey(std::uint16_t code, bool extended) {
    using namespace vk;
    if (code >= VK_A && code <= VK_Z)
        return XK_a + (code - VK_A); // the lower-case keysym is the key's base level
    if (code >= VK_0 && code <= VK_9)
        return XK_0 + (code - VK_0);
    if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9)
        return XK_KP_0 + (code - VK_NUMPAD0);
    if (code >= VK_F1 && code <= VK_F24)
        return XK_F1 + (code - VK_F1);

    // Keys a PC keyboard has twice: Windows reports the keypad's copy (Num Lock
    // off) with the same code as the navigation key but without the extended
    // bit, and so does the hot-key control.
    switch (code) {
    case VK_RETURN:
        return extended ? XK_KP_Enter : XK_Return;
    case VK_CLEAR: // keypad 5 with Num Lock off
        return extended ? XK_Clear : XK_KP_Begin;
    case VK_PRIOR:
        return extended ? XK_Prior : XK_KP_Prior;
    case VK_NEXT:
        return extended ? XK_Next : XK_KP_Next;
    case VK_END:
        return extended ? XK_End : XK_KP_End;
    case VK_HOME:
        return extended ? XK_Home : XK_KP_Home;
    case VK_LEFT:
        return extended ? XK_Left : XK_KP_Left;
    case VK_UP:
        return extended ? XK_Up : XK_KP_Up;
    case VK_RIGHT:
        return extended ? XK_Right : XK_KP_Right;
    case VK_DOWN:
        return extended ? XK_Down : XK_KP_Down;
    case VK_INSERT:
        return extended ? XK_Insert : XK_KP_Insert;
    case VK_DELETE:
        return extended ? XK_Delete : XK_KP_Delete;
    default:
        break;
    }

    switch (code) {
    case VK_CANCEL:
        return XK_Break;
    case VK_BACK:
        return XK_BackSpace;
    case VK_TAB:
        return XK_Tab;
    case VK_PAUSE:
        return XK_Pause;
    case VK_CAPITAL:
        return XK_Caps_Lock;
    case VK_ESCAPE:
        return XK_Escape;
    case VK_SPACE:
        return XK_space;
    case VK_SELECT:
        return XK_Select;
    case VK_PRINT:
    case VK_SNAPSHOT: // the Print Screen key; X has one keysym for both
        return XK_Print;
    case VK_EXECUTE:
        return XK_Execute;
    case VK_HELP:
        return XK_Help;
    case VK_LWIN:
        return XK_Super_L;
    case VK_RWIN:
        return XK_Super_R;
    case VK_APPS:
        return XK_Menu;
    case VK_MULTIPLY:
        return XK_KP_Multiply;
    case VK_ADD:
        return XK_KP_Add;
    case VK_SEPARATOR:
        return XK_KP_Separator;
    case VK_SUBTRACT:
        return XK_KP_Subtract;
    case VK_DECIMAL:
        return XK_KP_Decimal;
    case VK_DIVIDE:
        return XK_KP_Divide;
    case VK_NUMLOCK:
        return XK_Num_Lock;
    case VK_SCROLL:
        return XK_Scroll_Lock;
    // Punctuation by what the key means on a US keyboard; the keysym finds the
    // key with that character wherever the current layout puts it.
    case VK_OEM_1:
        return XK_semicolon;
    case VK_OEM_PLUS:
        return XK_equal;
    case VK_OEM_COMMA:
        return XK_comma;
    case VK_OEM_MINUS:
        return XK_minus;
    case VK_OEM_PERIOD:
        return XK_period;
    case VK_OEM_2:
        return XK_slash;
    case VK_OEM_3:
        return XK_grave;
    case VK_OEM_4:
        return XK_bracketleft;
    case VK_OEM_5:
        return XK_backslash;
    case VK_OEM_6:
        return XK_bracketright;
    case VK_OEM_7:
        return XK_apostrophe;
    case VK_OEM_102:
        return XK_less;
    default:
        return 0;
    }
}

unsigned ModifierMaskForHotKeyFlags(std::uint16_t flags) {
    unsigned mask = 0;
    if (flags & vk::HOTKEYF_SHIFT)
        mask |= ShiftMask;
    if (flags & vk::HOTKEYF_CONTROL)
        mask |= ControlMask;
    if (flags & vk::HOTKEYF_ALT)
        mask |= Mod1Mask;
    return mask;
}
