#include "platform/MenuKeyPacer.h"

#include <wx/menu.h>

#include <gtk/gtk.h>

#include <deque>

namespace {

// Just below the toolkit's own idle work (its accessibility code reports
// focus changes at G_PRIORITY_DEFAULT_IDLE, re-queueing itself until done)
// and above the program's idle handling.
constexpr int kPacePriority = G_PRIORITY_DEFAULT_IDLE + 1;

// One menu has the keyboard at a time, so the state is shared by all menus.
struct SPacer {
    std::deque<GdkEvent*> m_queue; // keys that arrived while one was being followed
    guint m_nIdle = 0;             // a key was handed on; runs once its idle work is done
    bool m_bReplaying = false;
};
SPacer g_pacer;

void DropQueue() {
    for (GdkEvent* event : g_pacer.m_queue)
        gdk_event_free(event);
    g_pacer.m_queue.clear();
}

gboolean OnIdle(gpointer) {
    if (g_pacer.m_queue.empty()) {
        g_pacer.m_nIdle = 0;
        return G_SOURCE_REMOVE;
    }
    GdkEvent* event = g_pacer.m_queue.front();
    g_pacer.m_queue.pop_front();
    // Keys that came after the menu closed (a choice, Escape) would have
    // reached no menu either.
    GtkWidget* grab = gtk_grab_get_current();
    if (grab && GTK_IS_MENU(grab)) {
        g_pacer.m_bReplaying = true;
        gtk_main_do_event(event);
        g_pacer.m_bReplaying = false;
    } else {
        DropQueue();
    }
    gdk_event_free(event);
    // Again once this key's idle work is done.
    return G_SOURCE_CONTINUE;
}

gboolean OnKey(GtkWidget*, GdkEvent* event, gpointer) {
    if (g_pacer.m_bReplaying)
        return FALSE;
    if (g_pacer.m_nIdle == 0) {
        // Followed now; the next key waits for the idle after this one.
        g_pacer.m_nIdle = g_idle_add_full(kPacePriority, OnIdle, nullptr, nullptr);
        return FALSE;
    }
    g_pacer.m_queue.push_back(gdk_event_copy(event));
    return TRUE;
}

} // namespace

void CMenuKeyPacer::Attach(wxMenu* menu) {
    if (!menu || !menu->m_menu)
        return;
    g_signal_connect(menu->m_menu, "key-press-event", G_CALLBACK(OnKey), nullptr);
    g_signal_connect(menu->m_menu, "key-release-event", G_CALLBACK(OnKey), nullptr);
}
