#!/usr/bin/env bash
# The layers, as the includes show them:
# - xml/, library/ and favorites/ are window-free: no toolkit, GUI or X11
#   header, and only the layers below them (xml <- library <- favorites) plus
#   the header-only texts of res/Messages.h;
# - X11, GDK, GTK and GLib headers only in platform/ and hook/.
set -uo pipefail
cd "$1" || exit 2
fail=0

refuse() { # description, folder, pattern of forbidden includes[, of allowed ones]
    local hits
    hits=$(grep -rn --include='*.h' --include='*.cpp' -E '^\s*#\s*include' "$2" |
        sed -E 's/^([^:]+:[0-9]+):\s*#\s*include\s*/\1:/' | grep -E ":$3" | grep -v -E ":(${4:-^})")
    [ -z "$hits" ] || { echo "FAILED: $1"; echo "$hits"; fail=1; }
}

for dir in xml library favorites; do
    refuse "$dir/ includes no toolkit or window-system header" "$dir" '<(wx|gtk|gdk|glib|X11)/'
done
refuse "xml/ includes only the XML layer" xml '"' '"(xml/|res/Messages\.h)'
refuse "library/ includes only xml/ and itself" library '"' '"(xml/|library/|res/Messages\.h)'
refuse "favorites/ includes only library/, xml/ and itself" favorites '"' \
    '"(xml/|library/|favorites/|res/Messages\.h)'
for dir in app document view menu dialogs res xml library favorites; do
    refuse "$dir/ includes no X11, GDK, GTK or GLib header" "$dir" '<(X11|gdk|gtk|glib|gio)/|<(glib|gtk|gdk)[^/]*\.h>'
done

[ $fail -eq 0 ] && echo "ok: every folder keeps to its layer"
exit $fail
