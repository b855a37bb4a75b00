#include "platform/GdkErrorTrap.h"

#include "platform/Trace.h"

#include <string>

CGdkErrorTrap::CGdkErrorTrap(const char* what, GdkDisplay* display)
    : m_pszWhat(what), m_pDisplay(display ? display : gdk_display_get_default()) {
    gdk_x11_display_error_trap_push(m_pDisplay);
}

CGdkErrorTrap::~CGdkErrorTrap() {
    if (m_bPopped)
        return;
    // Without the trace nobody asks: no round trip to learn the error.
    if (trace::Enabled())
        Error();
    else
        gdk_x11_display_error_trap_pop_ignored(m_pDisplay);
}

int CGdkErrorTrap::Error() {
    if (!m_bPopped) {
        m_bPopped = true;
        m_nError = gdk_x11_display_error_trap_pop(m_pDisplay);
        if (m_nError != 0)
            Report(m_nError);
    }
    return m_nError;
}

void CGdkErrorTrap::Report(int code) const {
    if (!trace::Enabled())
        return;
    char name[80] = "";
    XGetErrorText(GDK_DISPLAY_XDISPLAY(m_pDisplay), code, name, sizeof name);
    trace::Line("X error " + std::to_string(code) + " (" + name + ") trapped in " + m_pszWhat);
}
