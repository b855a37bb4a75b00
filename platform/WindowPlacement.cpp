#include "platform/WindowPlacement.h"

#include "platform/DesktopWindows.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <wx/toplevel.h>

namespace {

struct CRequest {
    wxPoint m_position;
    gulong m_nHandler = 0;
};

gboolean OnMapped(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto* request = static_cast<CRequest*>(data);
    const wxPoint want = request->m_position;
    const gulong handler = request->m_nHandler;
    // Once only; the request goes with the handler.
    g_signal_handler_disconnect(widget, handler);
    GdkWindow* window = gtk_widget_get_window(widget);
    if (!window)
        return FALSE;
    // The window manager's frame: the rectangle the program stores.
    GdkRectangle frame;
    gdk_window_get_frame_extents(window, &frame);
    if (frame.x != want.x || frame.y != want.y)
        gtk_window_move(GTK_WINDOW(widget), want.x, want.y);
    return FALSE;
}

void FreeRequest(gpointer data, GClosure*) {
    delete static_cast<CRequest*>(data);
}

struct CMappedCall {
    wxTopLevelWindow* m_pWindow;
    std::function<void()> m_call;
    gulong m_nHandler = 0;
};

gboolean OnMappedCall(GtkWidget* widget, GdkEvent*, gpointer data) {
    auto* pending = static_cast<CMappedCall*>(data);
    pending->m_pWindow->CallAfter(pending->m_call);
    g_signal_handler_disconnect(widget, pending->m_nHandler); // frees pending
    return FALSE;
}

void FreeMappedCall(gpointer data, GClosure*) {
    delete static_cast<CMappedCall*>(data);
}

} // namespace

void CWindowPlacement::KeepRequestedPosition(wxTopLevelWindow* window, const wxPoint& position) {
    GtkWidget* widget = window ? window->GetHandle() : nullptr;
    if (!widget || gtk_widget_get_mapped(widget))
        return;
    auto* request = new CRequest{position};
    request->m_nHandler = g_signal_connect_data(widget, "map-event", G_CALLBACK(OnMapped), request,
                                                FreeRequest, GConnectFlags(0));
}

void CWindowPlacement::CallWhenMapped(wxTopLevelWindow* window, std::function<void()> call) {
    GtkWidget* widget = window ? window->GetHandle() : nullptr;
    if (!widget || gtk_widget_get_mapped(widget)) {
        if (window)
            window->CallAfter(std::move(call));
        return;
    }
    auto* pending = new CMappedCall{window, std::move(call)};
    pending->m_nHandler = g_signal_connect_data(widget, "map-event", G_CALLBACK(OnMappedCall),
                                                pending, FreeMappedCall, GConnectFlags(0));
}

void CWindowPlacement::BringForward(wxTopLevelWindow* window) {
    if (!window)
        return;
    if (window->IsIconized())
        window->Iconize(false);
    window->Show();
    window->Raise();
    CallWhenMapped(window, [window] {
        GtkWidget* widget = window->GetHandle();
        GdkWindow* gdkWindow = widget ? gtk_widget_get_window(widget) : nullptr;
        if (gdkWindow && GDK_IS_X11_WINDOW(gdkWindow))
            desktop::ActivateWindow(GDK_WINDOW_XID(gdkWindow), 0);
    });
}
