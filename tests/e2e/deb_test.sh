#!/usr/bin/env bash
# The Debian package, made once with `cpack -G DEB` from the build folder:
# its files, the dependencies computed from the libraries the program links,
# what apt would install for it, lintian without errors, and the packaged
# program running from the unpacked tree.
set -uo pipefail
build="$1"

fail=0
. "$(dirname "$0")/common.sh"
workspace

check "cpack makes the package" sh -c "cd '$build' && cpack -G DEB -B '$work' >'$work/cpack.log' 2>&1"
deb=$(ls "$work"/tessary_*_*.deb 2>/dev/null | head -n1)
check "one .deb" [ -n "$deb" ]
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for f in ./usr/bin/tessary ./usr/lib/tessary/libzqMouseHook.so \
    ./usr/share/tessary/help/tessary.hhp ./usr/share/tessary/examples/starter.xml \
    ./usr/share/applications/tessary.desktop ./usr/share/icons/hicolor/scalable/apps/tessary.svg \
    ./usr/share/metainfo/example.morvek.Tessary.metainfo.xml ./usr/share/man/man1/tessary.1.gz \
    ./usr/share/doc/tessary/copyright ./usr/share/doc/tessary/changelog.Debian.gz; do
    check "packaged: $f" grep -qx "$f" <<<"$contents"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libwxgtk3.2-1 libgtk-3-0 libx11-6 libxtst6 libxml2 libcurl4 libcanberra0; do
    check "depends on $d" grep -q "\b$d\b" <<<"$depends"
done
check "section and maintainer are set" \
    sh -c "[ -n \"\$(dpkg-deb -f '$deb' Section)\" ] && [ -n \"\$(dpkg-deb -f '$deb' Maintainer)\" ]"
check "apt can install it with what it needs" apt-get install -s -q "$deb" >/dev/null
lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1
check "lintian reports no error" sh -c "! grep '^E:' '$work/lintian.log'"
grep '^[EW]:' "$work/lintian.log"
dpkg-deb -x "$deb" "$work/root"
check "the packaged program runs from the unpacked tree" \
    sh -c "DISPLAY= '$work/root/usr/bin/tessary' --version | grep -q '^Tessary '"
exit $fail
