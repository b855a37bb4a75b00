#include "platform/PopupGrab.h"

#include <wx/window.h>

#include <gtk/gtk.h>

struct CPopupGrab::SState {
    GtkWidget* m_pWidget = nullptr; // the pop-up's top-level widget, while held
    gulong m_nPress = 0;
    gulong m_nBroken = 0;
    std::function<void()> m_outside;
};

namespace {

void Outside(CPopupGrab::SState* state);

} // namespace

CPopupGrab::CPopupGrab() : m_pState(std::make_unique<SState>()) {}

CPopupGrab::~CPopupGrab() {
    Release();
}

bool CPopupGrab::IsHeld() const {
    return m_pState->m_pWidget != nullptr;
}

namespace {

gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    // Presses on the pop-up's own controls stop there; one that reaches the
    // window itself may be outside it, reported here by the grab.
    GdkWindow* window = gtk_widget_get_window(widget);
    int x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    const bool inside = event->x_root >= x && event->y_root >= y &&
                        event->x_root < x + gdk_window_get_width(window) &&
                        event->y_root < y + gdk_window_get_height(window);
    if (inside)
        return FALSE;
    Outside(static_cast<CPopupGrab::SState*>(data));
    return TRUE;
}

gboolean OnBroken(GtkWidget*, GdkEvent*, gpointer data) {
    Outside(static_cast<CPopupGrab::SState*>(data));
    return FALSE;
}

void Outside(CPopupGrab::SState* state) {
    // Once: the call usually ends the grab, and may end its owner too.
    auto outside = std::move(state->m_outside);
    state->m_outside = nullptr;
    if (outside)
        outside();
}

} // namespace

bool CPopupGrab::Take(wxWindow* popup, wxWindow* field, std::function<void()> outside) {
    Release();
    GtkWidget* widget = popup ? popup->GetHandle() : nullptr;
    GdkWindow* window = widget ? gtk_widget_get_window(widget) : nullptr;
    if (!window)
        return false;
    GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
    // Owner events: the pop-up's own controls get theirs as usual.
    if (gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_ALL, TRUE, nullptr, nullptr, nullptr,
                      nullptr) != GDK_GRAB_SUCCESS)
        return false;
    gtk_grab_add(widget);
    SState& state = *m_pState;
    state.m_pWidget = widget;
    state.m_outside = std::move(outside);
    gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK);
    state.m_nPress = g_signal_connect(widget, "button-press-event", G_CALLBACK(OnPress), &state);
    state.m_nBroken = g_signal_connect(widget, "grab-broken-event", G_CALLBACK(OnBroken), &state);

    if (GtkWidget* entry = field ? field->GetHandle() : nullptr) {
        // The window never becomes active (the clicked program keeps the
        // focus), so the field is told it has the focus, as GTK's own
        // type-ahead pop-ups do: it shows its caret and takes the keys.
        gtk_window_set_focus(GTK_WINDOW(widget), entry);
        GdkEvent* focus = gdk_event_new(GDK_FOCUS_CHANGE);
        focus->focus_change.window = GDK_WINDOW(g_object_ref(window));
        focus->focus_change.in = TRUE;
        gtk_widget_send_focus_change(entry, focus);
        gdk_event_free(focus);
    }
    return true;
}

void CPopupGrab::Release() {
    SState& state = *m_pState;
    GtkWidget* widget = state.m_pWidget;
    if (!widget)
        return;
    state.m_pWidget = nullptr;
    state.m_outside = nullptr;
    g_signal_handler_disconnect(widget, state.m_nPress);
    g_signal_handler_disconnect(widget, state.m_nBroken);
    gtk_grab_remove(widget);
    if (GdkWindow* window = gtk_widget_get_window(widget))
        gdk_seat_ungrab(gdk_display_get_default_seat(gdk_window_get_display(window)));
}
