#!/usr/bin/env bash
# The snippet menu of the real program over a third-party GTK program
# (zenity), driven as a person drives it: right-click, keys in the menu, the
# hot key. On the display the test command provides, with its window manager,
# then on a display of our own without one.
#
#   snippet_menu_test.sh TESSARY GRABBER
#
# GRABBER holds a key combination on the root window (another program's hot
# key). zenity prints what its field holds when OK is pressed: that is where
# the pasted text is read. While a paste is awaited, the field is read by
# selecting it all (triple-click) and reading the PRIMARY selection.
set -uo pipefail
tessary="$1"
grabber="$2"

fail=0
. "$(dirname "$0")/common.sh"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/.config"
mkdir -p "$XDG_CONFIG_HOME/Tessary"
# Hot key Ctrl+Alt+K: virtual key 75, HOTKEYF_CONTROL | HOTKEYF_ALT.
printf '[Options]\nVKCode=75\nModifiers=6\n[Settings]\nTipoftheday=0\n' \
    >"$XDG_CONFIG_HOME/Tessary/Tessary.conf"
hotkey=ctrl+alt+k

plain='Hello, world 42'
accents='Crème brûlée à la française — naïve café'
cjk='日本語のテキスト、中文文本、한국어'
emoji='Party 🎉 thumbs 👍🏽 family 👨‍👩‍👧 ✓'
lines=$'Line one\nLine two\n\tIndented three'
inner='from the second level'
# No whitespace between the elements: "Paste All" is then the snippets' texts
# one after the other.
cat >"$work/lib.xml" <<EOF
<level0 header="Test library"><level1 header="Plain"><![CDATA[$plain]]></level1><level1 header="Accents"><![CDATA[$accents]]></level1><level1 header="CJK"><![CDATA[$cjk]]></level1><level1 header="Emoji"><![CDATA[$emoji]]></level1><level1 header="Lines"><![CDATA[$lines]]></level1><level1 header="Deeper"><level2 header="Inner"><![CDATA[$inner]]></level2></level1></level0>
EOF
all="$plain$accents$cjk$emoji$lines$inner"
# Places in the menu: after "Close Menu" (0), "Paste All" (1) and the
# separator comes the library's root (2), and below it its entries in order.
top_close=0 top_paste_all=1 top_root=2

# --- windows and menus -------------------------------------------------------

window_manager=1
has_focus() { # window
    if ((window_manager)); then
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
    else
        [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
    fi
}
focus() { # window
    if ((window_manager)); then
        xdotool windowactivate "$1" 2>/dev/null
    else
        xdotool windowfocus "$1" 2>/dev/null
    fi
    wait_for 5 has_focus "$1"
}
popup_menus() { # class instance: that program's pop-up menus on the screen
    local w
    for w in $(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU &&
            echo "$w"
    done
}
menus_at_least() { # class instance, count
    [ "$(popup_menus "$1" | wc -l)" -ge "$2" ]
}
no_menu() {
    [ -z "$(popup_menus tessary)$(popup_menus zenity)" ]
}
any_menu() {
    ! no_menu
}

# zenity: zwin, zpid, zout, zw, zh describe the last one started.
zenity_start() { # entry|text, title
    # Whatever an earlier field left selected must not pass for this one's text.
    set_selection primary "$unset_primary" || return 1
    zout="$work/$2.out"
    if [ "$1" = entry ]; then
        zenity --entry --title="$2" --text="Paste here" --width=420 </dev/null >"$zout" 2>/dev/null &
    else
        zenity --text-info --editable --title="$2" --width=480 --height=320 \
            </dev/null >"$zout" 2>/dev/null &
    fi
    zpid=$!
    pids+=("$zpid")
    zwin=""
    wait_for 20 sh -c "xdotool search --onlyvisible --name '^$2\$' >/dev/null 2>&1" || return 1
    zwin=$(xdotool search --onlyvisible --name "^$2\$" | head -n1)
    eval "$(xdotool getwindowgeometry --shell "$zwin" | grep -E '^(WIDTH|HEIGHT)=')"
    zw=$WIDTH zh=$HEIGHT
    focus "$zwin"
}
ended() { # pid
    ! kill -0 "$1" 2>/dev/null
}
give_up() { # a check that went wrong: its menu and its zenity go
    no_menu || xdotool key Escape Escape Escape
    kill "$zpid" 2>/dev/null
    return 1
}
# The entry's middle (zenity --entry: a label above it, the buttons below).
entry_x() { echo $((zw / 2)); }
entry_y() { echo 53; }
entry_holds() { # window, text: the entry's whole text is that
    xdotool mousemove --window "$1" "$(entry_x)" "$(entry_y)" click --repeat 3 --delay 40 1
    [ "$(xclip -o -selection primary 2>/dev/null)" = "$2" ]
}
text_begins() { # window, text: the text view's first line is the beginning of it
    local line
    xdotool mousemove --window "$1" 40 24 click --repeat 3 --delay 40 1
    # A triple-click selects the line as shown, wrapped.
    line=$(xclip -o -selection primary 2>/dev/null)
    [ -n "$line" ] && [ "$line" != "$unset_primary" ] && [ "${2#"$line"}" != "$2" ]
}
output_is() { # file, exact content
    cmp -s "$1" <(printf '%s' "$2")
}
clipboard_is() { # text
    [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]
}
set_selection() { # selection, text: owned by an xclip of ours until something else takes it
    printf '%s' "$2" | xclip -i -selection "$1" -quiet >/dev/null 2>&1 &
    pids+=($!)
    wait_for 5 sh -c "[ \"\$(xclip -o -selection $1 2>/dev/null)\" = '$2' ]"
}
unset_primary="no text selected yet"

right_click() { # window: over its entry
    xdotool mousemove --window "$1" "$(entry_x)" "$(entry_y)" click 3
}
open_menu() { # window: right-click, then our menu on the screen
    right_click "$1"
    wait_for 5 menus_at_least tessary 1
}
downs() { # count
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
}
navigate() { # window, top index, submenu indexes...: highlights that entry
    local level=1
    # Off the menu, but inside the target (without a window manager the focus
    # may follow the pointer): an item under the pointer would take the
    # highlight from the keys.
    xdotool mousemove --window "$1" 5 5
    downs $(($2 + 1))
    shift 2
    for index in "$@"; do
        xdotool key Right
        level=$((level + 1))
        wait_for 5 menus_at_least tessary "$level" || return 1
        downs "$index"
    done
}
# What a right-click over the window opens now: "ours", "own" (zenity's menu)
# or "none"; the menu is closed again.
menu_at_right_click() { # window
    local state=none
    focus "$1" >/dev/null
    right_click "$1"
    if wait_for 5 any_menu; then
        if [ -n "$(popup_menus tessary)" ]; then state=ours; else state=own; fi
        xdotool key Escape
        wait_for 5 no_menu
    fi
    echo "$state"
}
# A paste through the menu into a new zenity entry; true when zenity prints
# exactly the text.
paste_into_entry() { # text, top index, submenu indexes...
    local text="$1"
    shift
    zenity_start entry "e2e entry $RANDOM" || return 1
    open_menu "$zwin" || { give_up; return 1; }
    navigate "$zwin" "$@" || { give_up; return 1; }
    xdotool key Return
    wait_for 10 entry_holds "$zwin" "$text" || { give_up; return 1; }
    xdotool key Return
    wait_for 5 ended "$zpid" && output_is "$zout" "$text"$'\n'
}
# The same into zenity's multi-line text box; OK is its bottom-right button.
paste_into_text() { # text, top index, submenu indexes...
    local text="$1"
    shift
    zenity_start text "e2e text $RANDOM" || return 1
    open_menu "$zwin" || { give_up; return 1; }
    navigate "$zwin" "$@" || { give_up; return 1; }
    xdotool key Return
    wait_for 10 text_begins "$zwin" "$text" || { give_up; return 1; }
    xdotool mousemove --window "$zwin" $((zw - 50)) $((zh - 22)) click 1
    wait_for 5 ended "$zpid" && output_is "$zout" "$text"
}
# The menu opened over an entry and left by `how` (Close Menu or Escape):
# nothing is pasted and the clipboard keeps what it held.
leave_menu() { # close|escape
    local before="clipboard before $RANDOM"
    set_selection clipboard "$before" || return 1
    zenity_start entry "e2e leave $RANDOM" || return 1
    open_menu "$zwin" || { give_up; return 1; }
    if [ "$1" = close ]; then
        navigate "$zwin" "$top_close" || { give_up; return 1; }
        xdotool key Return
    else
        navigate "$zwin" "$top_root" 0 || { give_up; return 1; }
        xdotool key Escape
    fi
    wait_for 5 no_menu || { give_up; return 1; }
    # A paste would come within moments of the menu closing.
    if wait_for 2 entry_holds "$zwin" "$before"; then give_up; return 1; fi
    xdotool key Return
    wait_for 5 ended "$zpid" && output_is "$zout" $'\n' && clipboard_is "$before"
}

right_click_opens() { # ours|own: what a right-click over the last zenity opens
    [ "$(menu_at_right_click "$zwin")" = "$1" ]
}
other_state() { # ours|own
    if [ "$1" = ours ]; then echo own; else echo ours; fi
}
toggle_switches() { # what a right-click opens after tessary --toggle (the other before)
    right_click_opens "$(other_state "$1")" || return 1
    "$tessary" --toggle || return 1
    wait_for 5 right_click_opens "$1"
}
hot_key_switches() { # what a right-click opens after the hot key (the other before)
    right_click_opens "$(other_state "$1")" || return 1
    focus "$zwin" || return 1
    xdotool key "$hotkey"
    wait_for 5 right_click_opens "$1"
}
lines_in() { # file, count
    [ "$(wc -l <"$1")" -eq "$2" ]
}
held_hot_key() {
    right_click_opens ours || return 1
    focus "$zwin" || return 1
    # Every switch sets the main window's icon: one line per change here,
    # after the one for the icon as it stands.
    # shellcheck disable=SC2016 # xprop's format, not the shell's
    stdbuf -oL xprop -spy -notype -id "$main_win" -f _NET_WM_ICON 32c '=$0\n' _NET_WM_ICON \
        >"$work/icons" 2>/dev/null &
    local spy=$!
    pids+=("$spy")
    wait_for 5 lines_in "$work/icons" 1 || return 1
    xdotool keydown "$hotkey"
    sleep 1.5 # held past the keyboard's auto-repeat delay: repeats arrive
    xdotool keyup "$hotkey"
    wait_for 5 right_click_opens own
    local off=$?
    kill "$spy"
    ((off == 0)) && lines_in "$work/icons" 2
}
message_box_shown() {
    xdotool search --onlyvisible --name '^Tessary$' >/dev/null 2>&1
}
no_message_box() {
    ! message_box_shown
}
dismiss_message_box() {
    local box
    box=$(xdotool search --onlyvisible --name '^Tessary$' 2>/dev/null | head -n1)
    [ -n "$box" ] || return 0
    focus "$box"
    xdotool key Escape
    wait_for 5 no_message_box
}
switch_on() { # the menu on, whatever a failed check above left behind
    local _
    for _ in 1 2 3 4 5; do
        right_click_opens ours && return 0
        if message_box_shown; then
            # Refused: a new start may do better, and the checks below can run.
            echo "note: activation refused with a message; starting the program again"
            dismiss_message_box
            stop_program
            start_program
        fi
        "$tessary" --toggle
        wait_for 3 right_click_opens ours && return 0
    done
    return 1
}

start_program() { # sets prog
    "$tessary" "$work/lib.xml" >>"$work/tessary.log" 2>&1 &
    prog=$!
    pids+=("$prog")
    wait_for 30 sh -c "xdotool search --onlyvisible --name '^Tessary - lib.xml\$' >/dev/null 2>&1" &&
        main_win=$(xdotool search --onlyvisible --name '^Tessary - lib.xml$' | head -n1)
}
stop_program() {
    kill "$prog" 2>/dev/null
    wait_for 10 ended "$prog"
    wait "$prog" 2>/dev/null
}
primary_is() { # text
    [ "$(xclip -o -selection primary 2>/dev/null)" = "$1" ]
}
message_box_says() { # text: the program's message box ("Tessary") shows it
    local box
    box=$(xdotool search --onlyvisible --name '^Tessary$' 2>/dev/null | head -n1)
    [ -n "$box" ] || return 1
    focus "$box" || return 1
    # Tab reaches the message, a selectable label: it is then selected whole.
    xdotool key Tab
    wait_for 2 primary_is "$1"
}

# --- with a window manager ----------------------------------------------------

# Another program holds the hot key: the program says so when it starts.
"$grabber" "$hotkey" >"$work/grabber.out" 2>&1 &
grab=$!
pids+=("$grab")
wait_for 5 grep -q '^grabbed$' "$work/grabber.out"
start_program
check "a hot key held by another program is reported at start" \
    wait_for 20 message_box_says "Failed to set hot key"
xdotool key Escape
stop_program
kill "$grab" 2>/dev/null
wait "$grab" 2>/dev/null

start_program
no_message_at_start() {
    ! wait_for 2 message_box_shown
}
check "the program starts without a message when the hot key is free" no_message_at_start
if zenity_start entry "e2e first switch"; then
    check "--toggle right after the window shows switches the menu on" toggle_switches ours
    switch_on
    xdotool key Escape
    wait_for 5 ended "$zpid"
fi
check "ASCII text arrives in the clicked entry" paste_into_entry "$plain" "$top_root" 0
check "accented text arrives exactly" paste_into_entry "$accents" "$top_root" 1
check "CJK text arrives exactly" paste_into_entry "$cjk" "$top_root" 2
check "emoji (with modifiers and joiners) arrive exactly" paste_into_entry "$emoji" "$top_root" 3
check "an entry of a deeper submenu pastes its text" paste_into_entry "$inner" "$top_root" 5 0
check "multi-line text arrives exactly in a text box" paste_into_text "$lines" "$top_root" 4
check "Paste All pastes the whole library's text" paste_into_text "$all" "$top_paste_all"
check "Close Menu pastes nothing and leaves the clipboard alone" leave_menu close
check "Escape pastes nothing and leaves the clipboard alone" leave_menu escape

# Shift+right-click is the target's own: zenity's field menu, not ours.
shift_click() {
    zenity_start entry "e2e shift $RANDOM" || return 1
    xdotool mousemove --window "$zwin" "$(entry_x)" "$(entry_y)" keydown shift click 3 keyup shift
    wait_for 5 menus_at_least zenity 1 || { give_up; return 1; }
    local ours
    ours=$(popup_menus tessary)
    xdotool key Escape
    wait_for 5 no_menu || { give_up; return 1; }
    xdotool key Escape
    wait_for 5 ended "$zpid"
    [ -z "$ours" ]
}
check "Shift+right-click opens the target's own menu, not the snippet menu" shift_click

# The clicked program closes while the menu is open, then the entry is
# chosen: nothing crashes, nothing lands in the window that has the focus
# then, and the next paste works.
target_gone() {
    zenity_start entry "e2e bystander $RANDOM" || return 1
    local by_win=$zwin by_pid=$zpid by_out=$zout
    zenity_start entry "e2e doomed $RANDOM" || { kill "$by_pid"; return 1; }
    local ok=1
    if open_menu "$zwin" && navigate "$zwin" "$top_root" 0; then
        kill "$zpid"
        wait_for 5 ended "$zpid" && xdotool key Return && wait_for 5 no_menu &&
            kill -0 "$prog" 2>/dev/null && focus "$by_win" &&
            # The paste would land here, where the focus went.
            ! wait_for 2 entry_holds "$by_win" "$plain" && ok=0
    fi
    no_menu || xdotool key Escape Escape Escape
    kill "$zpid" 2>/dev/null
    focus "$by_win" && xdotool key Return
    wait_for 5 ended "$by_pid" || kill "$by_pid"
    ((ok == 0)) && output_is "$by_out" $'\n'
}
check "a target closed before the choice: no crash, nothing pasted elsewhere" target_gone
check "the program still runs after it" kill -0 "$prog"
check "and the next paste works" paste_into_entry "$cjk" "$top_root" 2

# The main window minimised, as it is mostly kept; then the hot key.
xdotool windowminimize "$main_win"
check "the menu works with the main window minimised" paste_into_entry "$accents" "$top_root" 1

if zenity_start entry "e2e switches"; then
    check "the hot key switches the menu off" hot_key_switches own
    check "the hot key switches it on again" hot_key_switches ours
    check "a held hot key switches once" held_hot_key
    check "--toggle switches the menu on" toggle_switches ours
    check "--toggle again switches it off: a right-click reaches the target" toggle_switches own
    xdotool key Escape
    wait_for 5 ended "$zpid"
else
    check "zenity starts" false
fi
stop_program

# --- without a window manager ---------------------------------------------------

# A display of our own: Xvfb picks a free number and tells it on fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
if wait_for 20 grep -q '[0-9]' "$work/display"; then
    DISPLAY=":$(tr -dc 0-9 <"$work/display")"
    export DISPLAY
    window_manager=0
    start_program
    zenity_start entry "e2e first switch" &&
        check "without a window manager: --toggle switches the menu on" switch_on
    xdotool key Escape
    check "without a window manager: CJK text arrives exactly" paste_into_entry "$cjk" "$top_root" 2
    check "without a window manager: multi-line text arrives exactly" \
        paste_into_text "$lines" "$top_root" 4
    check "without a window manager: Escape pastes nothing" leave_menu escape
    check "without a window manager: the program still runs" kill -0 "$prog"
    stop_program
else
    check "a display without a window manager starts" false
fi
exit $fail
