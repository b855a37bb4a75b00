// The program pasted into by bench_paste: one window holding one text entry,
// or two (upper A, lower B) with "two". Every change of an entry is shown in
// the window title as "<n>:<text>" ("<n>:<A|B>:<text>" with two), n counting
// the pastes, and the entry is emptied for the next one (with two, the focus
// goes back to A); the measuring client sees a paste land as a PropertyNotify
// on _NET_WM_NAME, without polling.
//
//   bench_paste_target NAME X Y [two]
//
// Prints the X id of its top-level window once it is mapped.

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class CPasteTarget {
public:
    GtkWidget* m_pWindow = nullptr;
    GtkWidget* m_pEntry = nullptr;
    GtkWidget* m_pSecond = nullptr; // B, with two
    GtkWidget* m_pChanged = nullptr;
    unsigned m_nPastes = 0;
    bool m_bClearing = false;
};

gboolean ClearEntry(gpointer data) {
    auto* target = static_cast<CPasteTarget*>(data);
    target->m_bClearing = true;
    gtk_entry_set_text(GTK_ENTRY(target->m_pChanged), "");
    if (target->m_pSecond)
        gtk_widget_grab_focus(target->m_pEntry);
    target->m_bClearing = false;
    return G_SOURCE_REMOVE;
}

void OnChanged(GtkEditable* entry, gpointer data) {
    auto* target = static_cast<CPasteTarget*>(data);
    const char* text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (target->m_bClearing || !*text)
        return;
    target->m_pChanged = GTK_WIDGET(entry);
    std::string title = std::to_string(++target->m_nPastes) + ":";
    if (target->m_pSecond)
        title += target->m_pChanged == target->m_pSecond ? "B:" : "A:";
    title += text;
    gtk_window_set_title(GTK_WINDOW(target->m_pWindow), title.c_str());
    // Not from inside the handler: the entry is still inserting.
    g_idle_add(ClearEntry, target);
}

gboolean OnMapped(GtkWidget* window, GdkEvent*, gpointer) {
    std::printf("%lu\n",
                static_cast<unsigned long>(gdk_x11_window_get_xid(gtk_widget_get_window(window))));
    std::fflush(stdout);
    return FALSE;
}

} // namespace

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    const bool two = argc == 5 && std::string(argv[4]) == "two";
    if (argc != 4 && !two) {
        std::fprintf(stderr, "usage: bench_paste_target NAME X Y [two]\n");
        return 1;
    }
    CPasteTarget target;
    target.m_pWindow = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(target.m_pWindow), argv[1]);
    gtk_window_set_default_size(GTK_WINDOW(target.m_pWindow), 560, 240);
    gtk_window_move(GTK_WINDOW(target.m_pWindow), std::atoi(argv[2]), std::atoi(argv[3]));
    target.m_pEntry = gtk_entry_new();
    if (two) {
        GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
        gtk_box_set_homogeneous(GTK_BOX(box), TRUE);
        target.m_pSecond = gtk_entry_new();
        gtk_box_pack_start(GTK_BOX(box), target.m_pEntry, TRUE, TRUE, 0);
        gtk_box_pack_start(GTK_BOX(box), target.m_pSecond, TRUE, TRUE, 0);
        gtk_container_add(GTK_CONTAINER(target.m_pWindow), box);
        g_signal_connect(target.m_pSecond, "changed", G_CALLBACK(OnChanged), &target);
    } else {
        gtk_container_add(GTK_CONTAINER(target.m_pWindow), target.m_pEntry);
    }
    g_signal_connect(target.m_pEntry, "changed", G_CALLBACK(OnChanged), &target);
    g_signal_connect(target.m_pWindow, "map-event", G_CALLBACK(OnMapped), nullptr);
    g_signal_connect(target.m_pWindow, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(target.m_pWindow);
    gtk_main();
    return 0;
}
