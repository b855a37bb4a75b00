#!/usr/bin/env bash
# Tessary on the desktop, driven from outside as a person uses it: without a
# notification area the window's close ends the program; with one (trayer, an
# XEmbed tray) the tray icon switches the snippet menu and its menu shows the
# window and exits; one Tessary per display, a second start handing over its
# file or bringing the window back, past a stopped one; and the Wayland notice
# under a made-up Wayland environment, shown until its box is ticked.
set -uo pipefail
tessary="$1"
examples="$2"

fail=0
. "$(dirname "$0")/common.sh"
workspace
export HOME="$work" XDG_CONFIG_HOME="$work/.config"
conf="$XDG_CONFIG_HOME/Tessary/Tessary.conf"
mkdir -p "$(dirname "$conf")"
printf '[Options]\nKeepInTray=1\n[Settings]\nTipoftheday=0\n' >"$conf"

# The snippet menu answers a right-click on the desktop: it is active.
menu_active() {
    xdotool mousemove 600 600 click 3
    wait_for 5 ours 1
    local active=$?
    xdotool key Escape
    wait_for 5 no_menus
    return $active
}
no_menus() { ! ours 1; }
# Our icon's centre in trayer's panel, as "x y".
icon_at() {
    local panel line=""
    for panel in $(xdotool search --classname '^panel$' 2>/dev/null); do
        line=$(xwininfo -tree -id "$panel" 2>/dev/null | grep -m1 '"tessary": ("tessary"')
        [ -n "$line" ] && break
    done
    [ -n "$line" ] || return 1
    # ... 32x30+0+0  +1247+1
    echo "$line" | sed -E 's/.* ([0-9]+)x([0-9]+)[-+][0-9]+[-+][0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/' |
        awk '{ print $3 + int($1 / 2), $4 + int($2 / 2) }'
}
has_icon() { icon_at >/dev/null; }
click_icon() { # button
    local at
    at=$(icon_at) || return 1
    xdotool mousemove $at click "$1"
}
# The icon's menu, by keyboard: the switch, Show Tessary, Options..., Exit.
tray_menu() { # keys...
    click_icon 3 && wait_for 5 ours 1 && xdotool key --delay 150 "$@"
}
windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; } # title

# No notification area: the close ends the program, the option and the
# active menu notwithstanding.
spawn "$tessary" --activate
pid=$!
check "without a tray the window shows" wait_for 20 shown "Tessary - Untitled"
check "--activate starts with the snippet menu active" menu_active
press_in "Tessary - Untitled" alt+F4
check "without a tray the window's close ends the program" wait_for 20 ended $pid
kill $pid 2>/dev/null
# --tray without a notification area: after a wait for one to come up (as at
# login), a minimised window.
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
minimised() {
    local w
    for w in $(xdotool search --name '^Tessary - Untitled$' 2>/dev/null); do iconic "$w" && return 0; done
    return 1
}
spawn "$tessary" --tray
pid=$!
check "--tray without a tray starts minimised" wait_for 30 minimised
kill $pid

# The Wayland notice, in a made-up Wayland session: shown once per start until
# its box is ticked.
spawn env WAYLAND_DISPLAY=wayland-test XDG_SESSION_TYPE=wayland "$tessary"
pid=$!
check "a Wayland session is told about once" wait_for 20 shown Tessary
check "one notice only" [ "$(windows Tessary)" = 1 ]
press_in Tessary shift+Tab space Tab Return
check "ticked, the choice is kept" wait_for 10 grep -qx HideWaylandNotice=1 "$conf"
press_in "Tessary - Untitled" alt+F4
wait_for 20 ended $pid
spawn env WAYLAND_DISPLAY=wayland-test "$tessary"
pid=$!
wait_for 20 shown "Tessary - Untitled"
sleep 1
check "and the notice is not shown again" [ "$(windows Tessary)" = 0 ]
press_in "Tessary - Untitled" alt+F4
wait_for 20 ended $pid
kill $pid 2>/dev/null

# With a notification area.
spawn trayer --edge top --align right --widthtype pixel --width 100 --height 32
spawn "$tessary" --tray --activate
pid=$!
check "--tray puts the icon in the tray" wait_for 20 has_icon
sleep 1
check "and leaves the window hidden" [ "$(windows "Tessary - Untitled")" = 0 ]
check "--activate switched the menu on" menu_active
# A click on the icon switches the menu off: the icon's menu then offers
# Activate, which switches it on again.
click_icon 1
tray_menu Down Return
check "the icon's click and its menu switch the snippet menu" wait_for 5 menu_active
tray_menu Down Down Return
check "Show Tessary brings the window" wait_for 10 shown "Tessary - Untitled"
press_in "Tessary - Untitled" alt+F4
check "closed with the menu active, the window hides" wait_for 10 \
    sh -c "[ \"\$(xdotool search --onlyvisible --name '^Tessary - Untitled\$' | wc -l)\" = 0 ]"
check "and Tessary keeps running in the tray" kill -0 $pid

# One Tessary per display: a second start hands over and ends with 0.
"$tessary"
check "a second start without a file ends with 0" [ $? = 0 ]
check "and brings the hidden window back" wait_for 10 shown "Tessary - Untitled"
mkdir -p "$work/elsewhere"
cp "$examples/starter.xml" "$work/elsewhere/other.xml"
(cd "$work/elsewhere" && "$tessary" other.xml)
check "a second start with a file ends with 0" [ $? = 0 ]
check "and the first opens the file, named from the second's folder" \
    wait_for 10 shown "Tessary - other.xml"
# --toggle as before: off, so that the icon's menu offers Activate again.
"$tessary" --toggle
tray_menu Down Return
check "--toggle still switches the running program's menu" wait_for 5 menu_active
# A file handed over to a library with changes: the save question first;
# Cancel keeps the library. (The tray icon is a window named "tessary" too.)
question() { [ "$(windows Tessary)" -ge 2 ]; }
press_in "Tessary - other.xml" ctrl+n
cp "$examples/starter.xml" "$work/third.xml"
"$tessary" "$work/third.xml"
check "a file handed over asks first to save the changes" wait_for 10 question
xdotool key Escape
sleep 1
check "Cancel there keeps the library open" \
    sh -c "[ \"\$(xdotool search --onlyvisible --name '^Tessary - third.xml\$' | wc -l)\" = 0 ]"
# Exit closes as the window does: the save question, answered No.
tray_menu Up Return
check "Exit asks to save the changes" wait_for 10 question
xdotool key alt+n
check "Exit in the icon's menu ends the program" wait_for 20 ended $pid
kill $pid 2>/dev/null
check "after the normal close (the position written)" grep -q '^Position=' "$conf"

# A stopped program keeps its channel but does not answer: a new start runs.
spawn "$tessary"
first=$!
wait_for 20 shown "Tessary - Untitled"
kill -STOP $first
spawn "$tessary" 2>"$work/second.err"
second=$!
check "a new start runs past a program that does not answer" \
    wait_for 20 sh -c "[ \"\$(xdotool search --onlyvisible --name '^Tessary - Untitled\$' | wc -l)\" = 2 ]"
check "and says why" grep -q "does not answer" "$work/second.err"
kill -CONT $first
kill $second
kill -9 $first
wait $first $second 2>/dev/null
# A crashed program frees the channel: the next start runs and listens.
spawn "$tessary"
pid=$!
check "after a crash the next start runs" wait_for 20 shown "Tessary - Untitled"
"$tessary" --toggle
check "and takes the channel" [ $? = 0 ]
kill $pid
wait $pid 2>/dev/null
exit $fail
