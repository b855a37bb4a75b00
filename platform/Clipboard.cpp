#include "platform/Clipboard.h"

#include "platform/ClipboardRestore.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace desktop {

bool SetClipboardText(const std::string& utf8, const SClipboardFill& fill) {
    GdkDisplay* gdk = gdk_display_get_default();
    if (!gdk || !GDK_IS_X11_DISPLAY(gdk))
        return false;
    GtkClipboard* clipboard = gtk_clipboard_get_for_display(gdk, GDK_SELECTION_CLIPBOARD);
    // Without the restore the snippet simply stays; replacing contents that
    // wait to be given back ends that wait (ClipboardRestore.cpp).
    if (fill.restorePrevious)
        SetClipboardTextWithRestore(clipboard, utf8);
    else
        gtk_clipboard_set_text(clipboard, utf8.c_str(), static_cast<gint>(utf8.size()));
    if (fill.primary)
        gtk_clipboard_set_text(gtk_clipboard_get_for_display(gdk, GDK_SELECTION_PRIMARY),
                               utf8.c_str(), static_cast<gint>(utf8.size()));
    // GTK owns the selection with a hidden widget of its own.
    return OwnsClipboard(gdk);
}

} // namespace desktop
