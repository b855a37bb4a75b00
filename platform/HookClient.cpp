#include "platform/HookClient.h"

#include "hook/zqMouseHook.h"

#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/window.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

struct SHookFilterState : std::enable_shared_from_this<SHookFilterState> {
    GdkWindow* m_pWindow = nullptr;
    Atom m_nMessage = None;
    std::function<void(const SHookClick&)> m_fnOnClick;
};

namespace {

// Runs inside GDK's event dispatch, where a nested loop (the menu) must not
// start: the click only goes onto the queue here.
GdkFilterReturn OnXEvent(GdkXEvent* native, GdkEvent*, gpointer data) {
    const XEvent* event = static_cast<const XEvent*>(native);
    auto* state = static_cast<SHookFilterState*>(data);
    if (event->type != ClientMessage || event->xclient.message_type != state->m_nMessage ||
        event->xclient.format != 32)
        return GDK_FILTER_CONTINUE;
    // Xlib sign-extends 32-bit items into long.
    const long* items = event->xclient.data.l;
    const SHookClick click{static_cast<unsigned long>(items[0]) & 0xFFFFFFFFul,
                           static_cast<int>(items[1]), static_cast<int>(items[2]),
                           static_cast<unsigned long>(items[3]) & 0xFFFFFFFFul};
    if (wxTheApp) {
        std::weak_ptr<SHookFilterState> weak = state->weak_from_this();
        wxTheApp->CallAfter([weak, click] {
            // Held for the call: the handler may detach the client.
            if (auto alive = weak.lock(); alive && alive->m_fnOnClick)
                alive->m_fnOnClick(click);
        });
    }
    return GDK_FILTER_REMOVE;
}

} // namespace

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

    auto state = std::make_shared<SHookFilterState>();
    state->m_pWindow = GDK_WINDOW(g_object_ref(gdkWindow));
    state->m_nMessage = gdk_x11_get_xatom_by_name_for_display(gdk_window_get_display(gdkWindow),
                                                              ZQ_MOUSEHOOK_MESSAGE);
    state->m_fnOnClick = std::move(onClick);
    gdk_window_add_filter(gdkWindow, OnXEvent, state.get());
    m_pState = std::move(state);
    SetHwndClient(GDK_WINDOW_XID(gdkWindow));
    return true;
}

void CHookClient::Detach() {
    if (!m_pState)
        return;
    SetHwndClient(0);
    // A destroyed window has dropped its filters already; the reference keeps
    // the object valid for the call.
    gdk_window_remove_filter(m_pState->m_pWindow, OnXEvent, m_pState.get());
    g_object_unref(m_pState->m_pWindow);
    m_pState.reset();
}

bool CHookClient::Start(std::string& error) {
    if (StartHook()) {
        m_bStarted = true;
        return true;
    }
    switch (GetHookLastError()) {
    case ZQ_HOOK_GRAB_REFUSED:
        error = "Another program holds the right mouse button, so the snippet menu cannot be "
                "activated.";
        break;
    case ZQ_HOOK_NO_DISPLAY:
        error = "The X display cannot be reached, so the snippet menu cannot be activated.";
        break;
    case ZQ_HOOK_NO_CLIENT:
        error = "The snippet menu cannot be activated before the main window exists.";
        break;
    default:
        error = "The snippet menu cannot be activated.";
        break;
    }
    return false;
}

void CHookClient::Stop() {
    if (!m_bStarted)
        return;
    StopHook();
    m_bStarted = false;
}
