#include "platform/KeyboardLocks.h"

#include <X11/XKBlib.h>
#include <gdk/gdkx.h>

namespace {
// Named indicators follow the locks themselves; key state queries would give
// whether the key is held, and Scroll Lock is no modifier on most keymaps.
bool IndicatorOn(Display* display, const char* name) {
    Bool on = False;
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return false;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on;
}
} // namespace

CLockStates CKeyboardLocks::Query() {
    CLockStates states;
    GdkDisplay* gdk = gdk_display_get_default();
    if (!gdk || !GDK_IS_X11_DISPLAY(gdk))
        return states;
    Display* display = GDK_DISPLAY_XDISPLAY(gdk);
    states.m_bCaps = IndicatorOn(display, "Caps Lock");
    states.m_bNum = IndicatorOn(display, "Num Lock");
    states.m_bScroll = IndicatorOn(display, "Scroll Lock");
    return states;
}
