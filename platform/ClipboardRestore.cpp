#include "platform/ClipboardRestore.h"

#include "platform/ClipboardSnapshot.h"
#include "platform/RestoreSchedule.h"
#include "platform/Trace.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <memory>

namespace {

using Clock = std::chrono::steady_clock;
using Items = std::vector<SClipboardItem>;

// What CLIPBOARD holds while it is ours through this file: the snippet
// waiting to be read, or a copy given back (kept to answer its requests).
struct SOwned {
    unsigned generation = 0;
    std::string snippet;
    std::shared_ptr<const Items> restored;
};

struct SState {
    // Bumped before each of our own takings, so the clear of the contents
    // they replace is told apart from another program's taking.
    unsigned generation = 0;
    bool owned = false;                  // CLIPBOARD holds contents set here
    std::shared_ptr<const Items> copy;   // to give back; null when none waits
    std::shared_ptr<const Items> served; // given back and still ours
    CRestoreSchedule schedule;
    guint timer = 0;
    Clock::time_point started;
};

SState& State() {
    static SState state;
    return state;
}

long long MsSince(Clock::time_point then) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count();
}

void StopWaiting() {
    SState& state = State();
    state.copy.reset();
    state.schedule.Stop();
    if (state.timer)
        g_source_remove(state.timer);
    state.timer = 0;
}

void OnClear(GtkClipboard*, gpointer data) {
    const std::unique_ptr<SOwned> owned(static_cast<SOwned*>(data));
    SState& state = State();
    if (owned->generation != state.generation)
        return; // replaced by our own next contents
    state.owned = false;
    state.served.reset();
    if (state.copy)
        trace::Line("clipboard not given back: it was taken meanwhile, after " +
                    std::to_string(MsSince(state.started)) + " ms");
    StopWaiting();
}

void Arm(GtkClipboard* clipboard);

void OnSnippetRequest(GtkClipboard* clipboard, GtkSelectionData* data, guint, gpointer owned) {
    const std::string& text = static_cast<SOwned*>(owned)->snippet;
    gtk_selection_data_set_text(data, text.c_str(), static_cast<gint>(text.size()));
    SState& state = State();
    if (!state.schedule.Running())
        return;
    // The first read after the keys brings the moment forward.
    state.schedule.Requested(Clock::now());
    Arm(clipboard);
}

void OnRestoredRequest(GtkClipboard*, GtkSelectionData* data, guint info, gpointer owned) {
    const Items& items = *static_cast<SOwned*>(owned)->restored;
    if (info >= items.size())
        return;
    const SClipboardItem& item = items[info];
    gtk_selection_data_set(data, gdk_atom_intern(item.type.c_str(), FALSE), 8,
                           reinterpret_cast<const guchar*>(item.bytes.data()),
                           static_cast<gint>(item.bytes.size()));
}

std::unique_ptr<SOwned> NextOwned() {
    SState& state = State();
    auto owned = std::make_unique<SOwned>();
    owned->generation = ++state.generation;
    return owned;
}

void GiveBack(GtkClipboard* clipboard) {
    SState& state = State();
    const std::shared_ptr<const Items> copy = state.copy;
    const int requests = state.schedule.Requests();
    StopWaiting();
    // The clear of another program's taking may still be on its way.
    if (!state.owned || !desktop::OwnsClipboard(gtk_clipboard_get_display(clipboard))) {
        trace::Line("clipboard not given back: another program holds it");
        return;
    }
    std::vector<GtkTargetEntry> targets;
    for (std::size_t i = 0; i < copy->size(); ++i)
        targets.push_back(
            {const_cast<gchar*>((*copy)[i].target.c_str()), 0, static_cast<guint>(i)});
    std::unique_ptr<SOwned> owned = NextOwned();
    owned->restored = copy;
    if (!gtk_clipboard_set_with_data(clipboard, targets.data(), static_cast<guint>(targets.size()),
                                     OnRestoredRequest, OnClear, owned.get())) {
        state.owned = false;
        trace::Line("clipboard not given back: it could not be taken");
        return;
    }
    owned.release(); // OnClear frees it
    state.served = copy;
    trace::Line("clipboard given back: " + std::to_string(copy->size()) + " targets, after " +
                std::to_string(requests) + " requests for the snippet, " +
                std::to_string(MsSince(state.started)) + " ms after the paste");
}

gboolean OnTimer(gpointer clipboard);

void Arm(GtkClipboard* clipboard) {
    SState& state = State();
    if (state.timer)
        g_source_remove(state.timer);
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(state.schedule.DueAt() - Clock::now());
    state.timer =
        g_timeout_add(static_cast<guint>(std::max<long long>(wait.count(), 1)), OnTimer, clipboard);
}

gboolean OnTimer(gpointer clipboard) {
    SState& state = State();
    state.timer = 0;
    if (!state.schedule.Running())
        return G_SOURCE_REMOVE;
    // Requests since the timer was set move the moment on.
    if (state.schedule.Due(Clock::now()))
        GiveBack(static_cast<GtkClipboard*>(clipboard));
    else
        Arm(static_cast<GtkClipboard*>(clipboard));
    return G_SOURCE_REMOVE;
}

// Our own contents, read from our side: a copy given back and still held,
// or what another part of the program (the editor's copy) put there. Going
// over X to ourselves would wait for answers only our blocked loop gives;
// GTK hands a selection its own process owns straight to its handler.
std::shared_ptr<const Items> CopyOurOwn(GtkClipboard* clipboard) {
    SState& state = State();
    if (state.owned && state.served)
        return state.served;
    auto items = std::make_shared<Items>();
    GdkAtom* atoms = nullptr;
    gint count = 0;
    if (!gtk_clipboard_wait_for_targets(clipboard, &atoms, &count))
        return items;
    for (gint i = 0; i < count; ++i) {
        gchar* name = gdk_atom_name(atoms[i]);
        const std::string target = name ? name : "";
        g_free(name);
        if (desktop::IsMetaTarget(target))
            continue;
        GtkSelectionData* data = gtk_clipboard_wait_for_contents(clipboard, atoms[i]);
        if (!data)
            continue;
        const gint length = gtk_selection_data_get_length(data);
        if (gtk_selection_data_get_format(data) == 8 && length >= 0) {
            gchar* type = gdk_atom_name(gtk_selection_data_get_data_type(data));
            items->push_back(
                {target, type ? type : "",
                 std::string(reinterpret_cast<const char*>(gtk_selection_data_get_data(data)),
                             static_cast<std::size_t>(length))});
            g_free(type);
        }
        gtk_selection_data_free(data);
    }
    g_free(atoms);
    return items;
}

// What CLIPBOARD holds now, before the snippet replaces it; null when there
// is nothing to give back.
std::shared_ptr<const Items> CopyBefore(GtkClipboard* clipboard) {
    GdkDisplay* gdk = gtk_clipboard_get_display(clipboard);
    const auto begun = Clock::now();
    std::shared_ptr<const Items> copy;
    std::string note;
    if (desktop::OwnsClipboard(gdk)) {
        copy = CopyOurOwn(clipboard);
        note = "from this program";
    } else {
        SClipboardSnapshot snapshot =
            desktop::ReadClipboardOverX(DisplayString(GDK_DISPLAY_XDISPLAY(gdk)));
        note = snapshot.note;
        copy = std::make_shared<const Items>(std::move(snapshot.items));
    }
    trace::Line("clipboard copied before the paste: " + std::to_string(copy->size()) +
                " targets, " + note + ", in " + std::to_string(MsSince(begun)) + " ms");
    return copy->empty() ? nullptr : copy;
}

} // namespace

namespace desktop {

bool OwnsClipboard(GdkDisplay* gdk) {
    const Window owner = XGetSelectionOwner(
        GDK_DISPLAY_XDISPLAY(gdk), gdk_x11_get_xatom_by_name_for_display(gdk, "CLIPBOARD"));
    // GDK also knows other programs' windows it met (a reader of our
    // selection) as foreign ones, and keeps them after they are gone, when
    // their ids may come back as another program's.
    GdkWindow* window = owner ? gdk_x11_window_lookup_for_display(gdk, owner) : nullptr;
    if (!window || gdk_window_get_window_type(window) == GDK_WINDOW_FOREIGN)
        return false;
    // Only a widget's selection is handed over by GTK without the loop.
    gpointer widget = nullptr;
    gdk_window_get_user_data(window, &widget);
    return widget != nullptr;
}

void SetClipboardTextWithRestore(GtkClipboard* clipboard, const std::string& utf8) {
    SState& state = State();
    // A second paste before the first was given back: that copy is the
    // user's, the clipboard now holds only our snippet.
    std::shared_ptr<const Items> copy = state.copy ? state.copy : CopyBefore(clipboard);
    GtkTargetList* list = gtk_target_list_new(nullptr, 0);
    gtk_target_list_add_text_targets(list, 0);
    gint count = 0;
    GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
    gtk_target_list_unref(list);
    std::unique_ptr<SOwned> owned = NextOwned();
    owned->snippet = utf8;
    const bool taken = gtk_clipboard_set_with_data(clipboard, targets, static_cast<guint>(count),
                                                   OnSnippetRequest, OnClear, owned.get());
    gtk_target_table_free(targets, count);
    StopWaiting();
    state.served.reset();
    state.owned = taken;
    if (!taken)
        return;
    owned.release(); // OnClear frees it
    if (!copy)
        return; // nothing to give back: the snippet stays
    state.copy = copy;
    state.started = Clock::now();
    state.schedule.Start(state.started);
    Arm(clipboard);
}

void NoteClipboardPasteKeys() {
    SState& state = State();
    if (!state.schedule.Running())
        return;
    state.schedule.KeysSent(Clock::now());
    Arm(gtk_clipboard_get_for_display(gdk_display_get_default(), GDK_SELECTION_CLIPBOARD));
}

bool ClipboardRestorePending() {
    return State().copy != nullptr;
}

} // namespace desktop
