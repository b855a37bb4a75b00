#!/usr/bin/env bash
# `cmake --install` into a temporary prefix, which is then moved elsewhere:
# the files in their places, the launcher and the software centre's entry
# valid, and the installed program, started from the moved prefix, finding
# its hook library, its help book and the example library.
set -uo pipefail
build="$1"

fail=0
. "$(dirname "$0")/common.sh"
workspace
export HOME="$work" XDG_CONFIG_HOME="$work/.config"
mkdir -p "$XDG_CONFIG_HOME/Tessary"
printf '[Settings]\nTipoftheday=0\n' >"$XDG_CONFIG_HOME/Tessary/Tessary.conf"

check "cmake --install succeeds" cmake --install "$build" --prefix "$work/first" >/dev/null
# A prefix that moves keeps working: everything is found from the program.
mv "$work/first" "$work/prefix"
p="$work/prefix"
for f in bin/tessary lib/tessary/libzqMouseHook.so share/tessary/help/tessary.hhp \
    share/tessary/examples/starter.xml share/applications/tessary.desktop \
    share/icons/hicolor/scalable/apps/tessary.svg \
    share/metainfo/example.morvek.Tessary.metainfo.xml share/man/man1/tessary.1.gz; do
    check "installed: $f" [ -s "$p/$f" ]
done
check "the launcher is valid" desktop-file-validate "$p/share/applications/tessary.desktop"
check "the software centre's entry is valid" \
    appstreamcli validate --no-net "$p/share/metainfo/example.morvek.Tessary.metainfo.xml"
check "the manual page formats without warnings" \
    sh -c "zcat '$p/share/man/man1/tessary.1.gz' | groff -man -Tutf8 -ww -z 2>&1 | (! grep .)"
check "the hook library is found inside the prefix" \
    sh -c "ldd '$p/bin/tessary' | grep -q 'libzqMouseHook.so => $p/bin/../lib/tessary/'"
check "the installed program runs" sh -c "DISPLAY= '$p/bin/tessary' --version | grep -q '^Tessary '"

# Started on the installed example library; F1 opens the installed book.
spawn "$p/bin/tessary" "$p/share/tessary/examples/starter.xml"
check "the example library opens" wait_for 20 shown "Tessary - starter.xml"
press_in "Tessary - starter.xml" F1
check "the help book is found" wait_for 20 shown "Getting started"
press_in "Getting started" Escape
press_in "Tessary - starter.xml" alt+F4
check "and the program closes" wait_for 20 sh -c "! xdotool search --onlyvisible --name '^Tessary - starter.xml\$' >/dev/null"
exit $fail
