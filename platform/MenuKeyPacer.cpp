#include "platform/MenuKeyPacer.h"

#include <wx/menu.h>

#include <gtk/gtk.h>

#include <deque>
#include <utility>

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
std::function<void(const std::string&)> g_typeToFind;

void DropQueue() {
    for (GdkEvent* event : g_pacer.m_queue)
        gdk_event_free(event);
    g_pacer.m_queue.clear();
}

// The text a key types, empty for one that types none here: a key held with
// Ctrl, Alt or Super is a command, a space or a control character moves in
// the menu.
std::string Typed(const GdkEventKey& key) {
    constexpr auto kCommandMods = GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK | GDK_META_MASK;
    if (key.type != GDK_KEY_PRESS || (key.state & kCommandMods))
        return {};
    const gunichar c = gdk_keyval_to_unicode(key.keyval);
    if (c == 0 || !g_unichar_isgraph(c))
        return {};
    char utf8[8] = {};
    return std::string(utf8, static_cast<std::size_t>(g_unichar_to_utf8(c, utf8)));
}

// The access key of an item: that of its label, however deep in it.
guint MnemonicOf(GtkWidget* widget) {
    if (GTK_IS_LABEL(widget))
        return gtk_label_get_mnemonic_keyval(GTK_LABEL(widget));
    guint keyval = GDK_KEY_VoidSymbol;
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* at = children; at && keyval == GDK_KEY_VoidSymbol; at = at->next)
            keyval = MnemonicOf(GTK_WIDGET(at->data));
        g_list_free(children);
    }
    return keyval;
}

// Whether the key is an access key of the menu level that takes it: the
// deepest open one with an item selected, as GTK hands a key on.
bool IsAccessKey(GtkWidget* widget, guint keyval) {
    GtkWidget* shell = widget;
    while (GTK_IS_MENU_SHELL(shell) && !gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(shell)) &&
           gtk_menu_shell_get_parent_shell(GTK_MENU_SHELL(shell)))
        shell = gtk_menu_shell_get_parent_shell(GTK_MENU_SHELL(shell));
    if (!GTK_IS_CONTAINER(shell))
        return false;
    const guint wanted = gdk_keyval_to_lower(keyval);
    bool found = false;
    GList* items = gtk_container_get_children(GTK_CONTAINER(shell));
    for (GList* at = items; at && !found; at = at->next)
        found = gtk_widget_is_sensitive(GTK_WIDGET(at->data)) &&
                gdk_keyval_to_lower(MnemonicOf(GTK_WIDGET(at->data))) == wanted;
    g_list_free(items);
    return found;
}

// A key that starts a search closes the whole menu, and is handed on with
// the keys typed after it: they are the search's, not the menu's.
bool StartsSearch(GtkWidget* widget, GdkEvent* event) {
    if (!g_typeToFind || event->type != GDK_KEY_PRESS)
        return false;
    std::string typed = Typed(event->key);
    if (typed.empty() || IsAccessKey(widget, event->key.keyval))
        return false;
    for (GdkEvent* waiting : g_pacer.m_queue)
        if (waiting->type == GDK_KEY_PRESS)
            typed += Typed(waiting->key);
    DropQueue();
    GtkWidget* top = widget;
    while (GTK_IS_MENU_SHELL(top) && gtk_menu_shell_get_parent_shell(GTK_MENU_SHELL(top)))
        top = gtk_menu_shell_get_parent_shell(GTK_MENU_SHELL(top));
    if (GTK_IS_MENU_SHELL(top))
        gtk_menu_shell_deactivate(GTK_MENU_SHELL(top));
    // A copy: the call may replace the function.
    const auto start = g_typeToFind;
    start(typed);
    return true;
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

gboolean OnKey(GtkWidget* widget, GdkEvent* event, gpointer) {
    if (g_pacer.m_bReplaying)
        return StartsSearch(widget, event);
    if (g_pacer.m_nIdle == 0) {
        if (StartsSearch(widget, event))
            return TRUE;
        // Followed now; the next key waits for the idle after this one.
        g_pacer.m_nIdle = g_idle_add_full(kPacePriority, OnIdle, nullptr, nullptr);
        return FALSE;
    }
    g_pacer.m_queue.push_back(gdk_event_copy(event));
    return TRUE;
}

} // namespace

void CMenuKeyPacer::SetTypeToFind(std::function<void(const std::string& typed)> start) {
    g_typeToFind = std::move(start);
}

void CMenuKeyPacer::Attach(wxMenu* menu) {
    if (!menu || !menu->m_menu)
        return;
    g_signal_connect(menu->m_menu, "key-press-event", G_CALLBACK(OnKey), nullptr);
    g_signal_connect(menu->m_menu, "key-release-event", G_CALLBACK(OnKey), nullptr);
}
