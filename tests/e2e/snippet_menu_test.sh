#!/usr/bin/env bash
# The snippet menu of the real program over a third-party GTK program
# (zenity), driven as a person drives it: a second copy told that the hot key
# is taken, --toggle, the hot key, a right-click, keys in the menu, the text
# arriving in the clicked field, typing in the menu to find a snippet, an
# access key; on the display the test command provides,
# with its window manager, then on a display of our own without one. With
# TESSARY_DEBUG=1 the program says on stderr how each paste ended.
#
#   snippet_menu_test.sh TESSARY
set -uo pipefail
tessary="$1"

fail=0
. "$(dirname "$0")/common.sh"

workspace
export HOME="$work" XDG_CONFIG_HOME="$work/.config" TESSARY_DEBUG=1
mkdir -p "$XDG_CONFIG_HOME/Tessary"
# Hot key Ctrl+Alt+K: virtual key 75, HOTKEYF_CONTROL | HOTKEYF_ALT; the
# sounds on, played with no sound server: no switch may wait for them.
printf '[Options]\nVKCode=75\nModifiers=6\nSoundHook=1\n[Settings]\nTipoftheday=0\n' \
    >"$XDG_CONFIG_HOME/Tessary/Tessary.conf"
text='Crème brûlée — 日本語, 한국어 🎉 👍🏽 👨‍👩‍👧 ✓'
printf '<level0 header="Lib"><level1 header="Other">other</level1>%s%s</level0>' \
    "<level1 header=\"Mixed\"><![CDATA[$text]]></level1>" \
    '<level1 header="&amp;Greetings"><level2 header="Hi">hi</level2></level1>' >"$work/lib.xml"

no_menu() { [ -z "$(popup_menus tessary)$(popup_menus zenity)" ]; }
any_menu() { ! no_menu; }
zenity_start() { # sets zwin, zpid and zout for a new zenity field
    local title="e2e $RANDOM"
    zout="$work/$title.out"
    spawn zenity --entry --title="$title" --text="Paste here" --width=420 </dev/null >"$zout" 2>/dev/null
    zpid=$!
    wait_for 20 shown "$title" && zwin=$(find_window "$title")
}
right_click() { xdotool mousemove --window "$zwin" 200 53 click 3; }
# What a right-click over the field opens now (ours, or own: zenity's own
# menu), left again with Escape.
menu_is() {
    local state=own
    right_click && wait_for 5 any_menu || return 1
    ours 1 && state=ours
    xdotool key Escape
    wait_for 5 no_menu && [ "$state" = "$1" ]
}
field_holds() { # the field's whole text is the snippet's (selected, read as PRIMARY)
    xdotool mousemove --window "$zwin" 200 53 click --repeat 3 --delay 40 1
    [ "$(xclip -o -selection primary 2>/dev/null)" = "$text" ]
}
# Through the menu into the field: Down to the library, Right into it, Down
# to its second entry, Return; zenity then prints what its field holds.
paste_arrives() {
    right_click && wait_for 5 ours 1 || return 1
    # Off the menu: an item under the pointer would take the highlight.
    xdotool mousemove --window "$zwin" 5 5 key Down Down Down Right
    wait_for 5 ours 2 && xdotool key Down Return
    wait_for 10 field_holds && xdotool key Return
    wait_for 5 ended "$zpid" && cmp -s "$zout" <(printf '%s\n' "$text")
}
# The search pop-up: ours, override-redirect, wider than the pixel the menu
# opens on, and no menu.
finder_shown() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^tessary$' 2>/dev/null); do
        xwininfo -id "$w" | grep -q 'Override Redirect State: yes' &&
            [ "$(xwininfo -id "$w" | awk '/Width:/ {print $2}')" -gt 50 ] &&
            ! xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q POPUP_MENU && return 0
    done
    return 1
}
no_finder() { ! finder_shown; }
into_library() { # the menu at a right-click, open down to the library's entries
    right_click && wait_for 5 ours 1 || return 1
    xdotool mousemove --window "$zwin" 5 5 key Down Down Down Right
    wait_for 5 ours 2
}
zenity_printed() { # what zenity printed at a Return in its field
    xdotool key Return
    wait_for 5 ended "$zpid" && cmp -s "$zout" <(printf '%s\n' "$1")
}
# "m" is no access key among the library's entries: the menu closes, the
# search opens and takes the rest; Return pastes the one found.
find_arrives() {
    zenity_start && into_library || return 1
    xdotool type --delay 60 mix && wait_for 5 finder_shown && no_menu || return 1
    xdotool key Return
    wait_for 5 no_finder && wait_for 10 field_holds && zenity_printed "$text"
}
# Escape leaves the search; nothing typed in it reaches the field.
find_escapes() {
    zenity_start && into_library || return 1
    xdotool type --delay 60 oth && wait_for 5 finder_shown && xdotool key Escape &&
        wait_for 5 no_finder && sleep 0.3 && zenity_printed ""
}
# "g" is the access key of Greetings: it opens that submenu, no search.
access_key_opens() {
    zenity_start && into_library || return 1
    xdotool key g && wait_for 5 ours 3 && no_finder || return 1
    # One Escape a level, none past the menu: zenity would take it.
    for _ in 1 2 3; do any_menu && xdotool key Escape && sleep 0.3; done
    wait_for 5 no_menu && zenity_printed ""
}
switches_to() { # ours|own, command...: what a right-click opens after the command
    local state="$1"
    shift
    "$@" && wait_for 5 menu_is "$state"
}
traced() { [ "$(grep -c "^tessary: $1" "$work/tessary.log")" -eq "$2" ]; } # pattern, count
start_program() { # sets prog
    spawn "$tessary" "$work/lib.xml" >>"$work/tessary.log" 2>&1
    prog=$!
    wait_for 30 shown "Tessary - lib.xml"
}
no_message_at_start() { ! wait_for 2 shown Tessary; }

# --- with a window manager ----------------------------------------------------

start_program
check "the program starts without a message when the hot key is free" no_message_at_start
# A second copy finds the hot key held by the first, and says so. (A second
# start hands its command line to the first; stopped, the first does not
# answer, and the second runs on its own.)
kill -STOP $prog
spawn "$tessary" "$work/lib.xml" 2>"$work/second.log"
check "a second copy says that the hot key is taken" wait_for 20 shown Tessary
check "and traces the refused grab" grep -q '^tessary: hot key refused' "$work/second.log"
kill $!
kill -CONT $prog
xdotool windowminimize "$(find_window "Tessary - lib.xml")"
zenity_start
check "--toggle switches the menu on" switches_to ours "$tessary" --toggle
check "the hot key switches it off: the right-click is the field's own" \
    switches_to own xdotool key ctrl+alt+k
check "the hot key switches it on again" switches_to ours xdotool key ctrl+alt+k
check "the chosen text arrives exactly in the clicked field (main window minimised)" paste_arrives
# Every switch above left a menu with Escape: none of them pasted.
check "one paste traced, and as made" traced "paste pasted: window 0x[0-9a-f]*, waited" 1
check "nothing else was pasted" traced "paste " 1
check "typing in the menu finds a snippet, and Return pastes it exactly" find_arrives
check "Escape in the search pastes nothing, and its keys stay in it" find_escapes
check "an access key still opens its submenu" access_key_opens
check "one paste more, none at Escape" traced "paste " 2
kill "$prog"

# --- without a window manager ---------------------------------------------------

# A display of our own: Xvfb picks a free number and tells it on fd 3.
spawn Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1
wait_for 20 grep -q '[0-9]' "$work/display"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
start_program && zenity_start
check "without a window manager: --toggle switches the menu on" switches_to ours "$tessary" --toggle
check "without a window manager: the text arrives exactly" paste_arrives
check "without a window manager: the program still runs" kill -0 "$prog"
exit $fail
