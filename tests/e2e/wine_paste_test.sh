#!/usr/bin/env bash
# The snippet menu of the Windows program under Wine, driven as a person
# drives it: started with the menu active on a small library, a right-click in
# the second field of a plain Win32 program (tests/e2e/win/target.cpp) opens
# our menu and not the field's own, keys choose the snippet, and the field
# holds exactly its accents and CJK; a Shift+right-click stays the field's.
# On an X display of its own with openbox, in a fresh Wine prefix.
#
#   wine_paste_test.sh TESSARY_EXE TARGET_EXE
# Exit 77 (skipped) when Wine, Xvfb, openbox or xdotool is missing or Wine
# cannot make a prefix: then nothing of the program was tried.
set -uo pipefail
tessary="$1"
target="$2"

skip() {
    echo "SKIPPED: $*"
    exit 77
}
for tool in wine wineboot wineserver winepath xvfb-run openbox xdotool xwininfo; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
# A display of our own, so that no other window takes the focus.
if [ -z "${TESSARY_WINE_DISPLAY_OWN:-}" ]; then
    TESSARY_WINE_DISPLAY_OWN=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

fail=0
. "$(dirname "$0")/common.sh"
workspace
# TEST_WINEDEBUG: Wine's debug channels for a run that needs them (+menu, +event).
export WINEPREFIX="$work/prefix" WINEDEBUG=${TEST_WINEDEBUG:--all} TESSARY_DEBUG=1
trap 'wineserver -k 2>/dev/null; end_workspace' EXIT
spawn openbox 2>/dev/null
wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || skip "openbox did not start"
timeout 120 wineboot -i >/dev/null 2>&1 || skip "wineboot could not make a prefix"
# No tip of the day over the windows.
wine reg add 'HKCU\Software\MorvekLtd\Tessary\Settings' /v Tipoftheday /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1

text='Grüße — 日本語'
printf '<level0 header="Lib"><level1 header="Greet"><![CDATA[%s]]></level1></level0>' "$text" \
    >"$work/lib.xml"

# Our pop-up menus: windows of the program the window manager does not
# manage, bigger than the pixel a menu opens on. The same for the target's
# own context menu.
popups() { # program file name
    local w
    for w in $(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' &&
            [ "$(xwininfo -id "$w" | awk '/Width:/ {print $2}')" -gt 20 ] && echo "$w"
    done
}
our_menu() { [ -n "$(popups tessary.exe)" ]; }
no_our_menu() { ! our_menu; }
field_menu() { [ -n "$(popups paste_target.exe)" ]; }
no_field_menu() { ! field_menu; }
no_menus() { no_our_menu && no_field_menu; }
fields_are() { # first field, second field: what the target wrote last
    [ "$(sed -n 1p "$work/target.out" 2>/dev/null)" = fields ] &&
        [ "$(sed -n 2p "$work/target.out")" = "$1" ] && [ "$(sed -n 3p "$work/target.out")" = "$2" ]
}
ready() { grep -q '^at ' "$work/target.out" 2>/dev/null; }
finder_holds() { grep -q "finder: $1 (" "$work/tessary.err"; } # what the search's field holds

spawn wine "$tessary" --activate "$(winepath -w "$work/lib.xml")" 2>"$work/tessary.err"
check "the program shows its window" wait_for 60 shown "Tessary - lib.xml" || exit 1
spawn wine "$target" "$(winepath -w "$work/target.out")"
check "the target shows its fields" wait_for 60 ready || exit 1
read -r _ x y <"$work/target.out"
press_in "Paste target" Escape

# The press and the release are taken: our menu, not the field's own.
xdotool mousemove "$x" "$y" click 3
check "a right-click opens the snippet menu" wait_for 10 our_menu
check "the field's own menu stays shut" no_field_menu
xdotool key --delay 250 Down Down Down Right Return
check "the snippet arrives in the clicked field, exactly" wait_for 10 fields_are "" "$text"
check "the program says it pasted" wait_for 5 grep -q 'paste pasted' "$work/tessary.err"
check "the menu is gone" wait_for 5 no_our_menu

# Typing in the menu a key that is no access key searches: the menu closes,
# the search takes that key and the rest, and Return pastes the one found.
xdotool mousemove "$x" "$y" click 3
check "the snippet menu opens again" wait_for 10 our_menu
sleep 1; xdotool key --delay 150 g r e e
check "typing searches the library" wait_for 10 finder_holds gree
xdotool key Return
check "the snippet found arrives in the clicked field" wait_for 10 fields_are "" "$text$text"
check "the search is gone" wait_for 5 no_our_menu
# Escape ends a search with nothing pasted, and none of its keys reached the field.
xdotool mousemove "$x" "$y" click 3
check "the snippet menu opens for a search to leave" wait_for 10 our_menu
xdotool key --delay 150 x y z
check "the search takes every key" wait_for 10 finder_holds xyz
xdotool key Escape
check "Escape closes the search" wait_for 5 no_our_menu
sleep 0.5
check "and the field is as it was" fields_are "" "$text$text"

# With Shift held the click is the field's.
xdotool keydown shift mousemove "$x" "$y" click 3 keyup shift
check "a Shift+right-click opens the field's own menu" wait_for 10 field_menu
check "and not the snippet menu" no_our_menu
xdotool key Escape
check "the menus are shut" wait_for 5 no_menus

[ "$fail" -eq 0 ] || { cat "$work/tessary.err"; cat "$work/target.out"; }
exit "$fail"
