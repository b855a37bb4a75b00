#include "platform/HookClient.h"

#include "hook/zqMouseHook.h"
#include "platform/GdkEventWatch.h"
#include "platform/Trace.h"
#include "res/Messages.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include <gtk/gtk.h>

CHookClient::CHookClient() = default;

class CHookClient::CWatch : public CGdkEventWatch {
public:
    using CGdkEventWatch::CGdkEventWatch;
};

CHookClient::~CHookClient() {
    Stop();
    Detach();
}

bool CHookClient::Attach(wxWindow* window, std::function<void(const SHookClick&)> onClick) {
    Detach();
    wxWindow* top = window ? wxGetTopLevelParent(window) : nullptr;
    GtkWidget* widget = top ? top->GetHandle() : nullptr;
    if (!widget)
        return false;
    if (!gtk_widget_get_realized(widget))
        gtk_widget_realize(widget);
    GdkWindow* gdkWindow = gtk_widget_get_window(widget);
    if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow))
        return false;

    const Atom message = gdk_x11_get_xatom_by_name_for_display(gdk_window_get_display(gdkWindow),
                                                               ZQ_MOUSEHOOK_MESSAGE);
    m_fnOnClick = std::move(onClick);
    m_pWatch = std::make_unique<CWatch>(gdkWindow, [this, message](const XEvent& event) {
        if (event.type != ClientMessage || event.xclient.message_type != message ||
            event.xclient.format != 32)
            return false;
        // Xlib sign-extends 32-bit items into long.
        const long* items = event.xclient.data.l;
        const SHookClick click{static_cast<unsigned long>(items[0]) & 0xFFFFFFFFul,
                               static_cast<int>(items[1]), static_cast<int>(items[2]),
                               static_cast<unsigned long>(items[3]) & 0xFFFFFFFFul};
        m_pWatch->Post([this, click] {
            // A copy for the call: the handler may detach the client.
            if (const auto onClick = m_fnOnClick)
                onClick(click);
        });
        return true;
    });
    SetHwndClient(GDK_WINDOW_XID(gdkWindow));
    return true;
}

void CHookClient::Detach() {
    if (!m_pWatch)
        return;
    SetHwndClient(0);
    m_pWatch.reset();
    m_fnOnClick = nullptr;
}

bool CHookClient::Start(std::string& error) {
    if (StartHook()) {
        m_bStarted = true;
        return true;
    }
    const int reason = GetHookLastError();
    switch (reason) {
    case ZQ_HOOK_GRAB_REFUSED:
        error = msg::kHookRefused;
        break;
    case ZQ_HOOK_NO_DISPLAY:
        error = msg::kHookNoDisplay;
        break;
    case ZQ_HOOK_NO_CLIENT:
        error = msg::kHookNoClient;
        break;
    default:
        error = msg::kHookFailed;
        break;
    }
    trace::Line("mouse hook not started (reason " + std::to_string(reason) + "): " + error);
    return false;
}

void CHookClient::Stop() {
    if (!m_bStarted)
        return;
    StopHook();
    m_bStarted = false;
}
