#!/usr/bin/env bash
# The snippet menu of the real program over the programs people paste into:
# a shell prompt in xterm and in xfce4-terminal (text at the prompt, written
# to a file by the command typed around it), a word selected in mousepad and
# replaced (the file saved and read back). The text has accents, CJK and
# Hangul; a two-line text goes to the terminals, whose shell takes it as one
# quoted argument.
#
# Then the field under the click, found through the accessibility bus (the
# focus in one field, the click in another): a two-field zenity form and an
# <input>/<textarea> page in Chromium; a click on a button that must not
# press it, a program that stops answering, and a program without
# accessibility over another program's field. The bus is started in the
# script's own session, and every program runs with its accessibility bridge.
#
#   real_programs_test.sh TESSARY
#
# Needs the display and window manager the test command provides.
# TESSARY_E2E_KEEP=1 keeps the work folder (logs, screens, files) and says
# where.
set -uo pipefail
tessary="$1"

# A session bus of our own: the terminals and mousepad register on it, and
# nothing is left running on the display's autolaunched one.
if [ -z "${TESSARY_E2E_SESSION:-}" ]; then
    TESSARY_E2E_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

fail=0
. "$(dirname "$0")/common.sh"

workspace
export HOME="$work" XDG_CONFIG_HOME="$work/.config" TESSARY_DEBUG=1 LC_ALL=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME/Tessary"
printf '[Options]\nVKCode=0\n[Settings]\nTipoftheday=0\n' >"$XDG_CONFIG_HOME/Tessary/Tessary.conf"

one_line='Crème brûlée — 日本語, 한국어 ✓'
two_lines=$'first line, ça va\nsecond — 日本語'
printf '<level0 header="Lib">%s%s</level0>' \
    "<level1 header=\"One line\"><![CDATA[$one_line]]></level1>" \
    "<level1 header=\"Two lines\"><![CDATA[$two_lines]]></level1>" >"$work/lib.xml"

unset NO_AT_BRIDGE
spawn /usr/libexec/at-spi-bus-launcher --launch-immediately
wait_for 10 sh -c 'dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress >/dev/null 2>&1'

no_menu() { ! ours 1; }
# Right-click at x y in the window, then through the menu by keys: Down to
# the library (past Close Menu and Paste All), Right into it, Down to the
# entry (0 the first), Return.
choose() { # window, x, y, entry[, command run once the menu is open]
    xdotool mousemove --window "$1" "$2" "$3" click 3 && wait_for 5 ours 1 || return 1
    [ -z "${5:-}" ] || $5
    # Off the menu, which opens right of and below the click: an item under
    # the pointer would take the highlight.
    xdotool mousemove --window "$1" 5 5 key Down Down Down Right
    wait_for 5 ours 2 || return 1
    for _ in $(seq "$4"); do xdotool key Down; done
    xdotool key Return
    wait_for 5 no_menu
}
selected() { [ "$(xclip -o -selection primary 2>/dev/null)" = "$1" ]; } # text
traced() { [ "$(grep -c "^tessary: $1" "$work/tessary.log")" -eq "$2" ]; } # pattern, count
activate() { # window
    xdotool windowactivate "$1" 2>/dev/null
    wait_for 5 sh -c "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = '$1' ]"
}

# --- terminals: the text at the shell prompt ------------------------------------

# A shell in its own folder, its screen recorded by script(1) to see when the
# pasted text has arrived: keys typed before that would overtake it.
terminal_start() { # title, terminal command up to the program to run
    local dir="$work/$1"
    mkdir -p "$dir"
    shift
    spawn env -C "$dir" PROMPT_COMMAND='touch .prompt' "$@" \
        script -qfc 'bash --norc --noprofile' screen.log >/dev/null 2>&1
    wait_for 20 test -e "$dir/.prompt"
}
shown_since() { # file, offset, text: the text written to the file after that offset
    tail -c +$(($2 + 1)) "$1" | grep -qF -- "$3"
}
unsafe_paste="Warning: Potentially Unsafe Paste"
arrived_or_asked() { shown_since "$@" || shown "$unsafe_paste"; } # file, offset, text
# Types `printf '%s' '`, pastes the entry, then types `' > out.txt` Return:
# the file holds exactly what arrived at the prompt.
terminal_pastes() { # title, entry, text[, x, y in the window]
    local dir="$work/$1" w size
    w=$(find_window "$1")
    [ -n "$w" ] && activate "$w" || return 1
    rm -f "$dir/out.txt"
    size=$(stat -c %s "$dir/screen.log")
    xdotool type --delay 20 "printf '%s' '"
    wait_for 5 shown_since "$dir/screen.log" "$size" "printf '%s' '" || return 1
    choose "$w" "${4:-300}" "${5:-150}" "$2" || return 1
    # The line the text ends with, echoed by the shell. xfce4-terminal asks
    # first whether text with a line break may go to the shell: Paste.
    wait_for 10 arrived_or_asked "$dir/screen.log" "$size" "${3##*$'\n'}" || return 1
    if shown "$unsafe_paste"; then
        press_in "$unsafe_paste" Return
        wait_for 10 shown_since "$dir/screen.log" "$size" "${3##*$'\n'}" || return 1
    fi
    xdotool type --delay 20 "' > out.txt"
    xdotool key Return
    wait_for 10 test -s "$dir/out.txt" && cmp -s "$dir/out.txt" <(printf '%s' "$3")
}

spawn "$tessary" "$work/lib.xml" >>"$work/tessary.log" 2>&1
prog=$!
wait_for 30 shown "Tessary - lib.xml"
xdotool windowminimize "$(find_window "Tessary - lib.xml")"
check "the snippet menu switches on" wait_for 20 "$tessary" --toggle

check "xterm runs a shell" terminal_start xterm xterm -T xterm -geometry 100x20+0+0 -e
check "xterm: the one-line text arrives exactly at the prompt" terminal_pastes xterm 0 "$one_line"
check "xterm: the two-line text arrives exactly at the prompt" terminal_pastes xterm 1 "$two_lines"
check "xterm: pasted with Shift+Insert, twice" traced "paste pasted: .*Shift+Insert\$" 2

check "xfce4-terminal runs a shell" terminal_start xfce4-terminal \
    xfce4-terminal --disable-server -T xfce4-terminal --geometry 100x20+0+0 -x
check "xfce4-terminal: the one-line text arrives exactly at the prompt" \
    terminal_pastes xfce4-terminal 0 "$one_line"
check "xfce4-terminal: the two-line text arrives exactly at the prompt" \
    terminal_pastes xfce4-terminal 1 "$two_lines"
check "xfce4-terminal: pasted with Ctrl+Shift+V, twice" traced "paste pasted: .*Ctrl+Shift+V\$" 2

# --- a text editor: a selected word replaced --------------------------------------

doc="$work/doc.txt"
printf 'placeholder, then the rest of the line\na second line, unchanged\n' >"$doc"
expected=$(printf '%s, then the rest of the line\na second line, unchanged\n_' "$one_line")
expected=${expected%_}
editor_window() { xdotool search --onlyvisible --classname '^mousepad$' 2>/dev/null | head -n1; }
editor_shown() { [ -n "$(editor_window)" ]; }
# The first word of the first line, double-clicked: its height on the
# screen depends on the bars above the text, so each line is tried down.
select_first_word() { # window
    local y
    for y in $(seq 10 6 250); do
        xdotool mousemove --window "$1" 30 "$y" click --repeat 2 --delay 40 1
        wait_for 1 selected placeholder && sely=$y && return 0
    done
    return 1
}
saved_as_expected() { # Ctrl+S (again) until the file holds the pasted text
    xdotool key ctrl+s
    wait_for 1 sh -c 'cmp -s "$1" "$2"' _ "$doc" <(printf '%s' "$expected")
}
editor_replaces() {
    local w
    w=$(editor_window)
    activate "$w" && select_first_word "$w" || return 1
    # Inside the selection.
    choose "$w" 40 "$sely" 0 && wait_for 10 saved_as_expected
}
spawn mousepad "$doc" >/dev/null 2>&1
check "mousepad shows the file" wait_for 20 editor_shown
check "mousepad: the selected word is replaced exactly, the rest kept" editor_replaces
check "mousepad: pasted with Ctrl+V" traced "paste pasted: .*Ctrl+V\$" 1

# --- the field under the click (accessibility bus) --------------------------------

field_at_holds() { # window, x, y, text: the field there holds exactly the text (selected, read as PRIMARY)
    xdotool mousemove --window "$1" "$2" "$3" click --repeat 3 --delay 40 1
    selected "$4"
}
# A form with two fields, the focus in the first, the right-click in the
# second: zenity prints "first|second" when the form is confirmed.
# The fields and the OK button, inside the window.
form_x=150 form_first_y=54 form_second_y=94 form_ok_x=449 form_ok_y=136
form_out="$work/form.out"
form_open() { # sets form (its window) and form_pid; the focus in the first field
    local title="form $RANDOM"
    spawn zenity --forms --title="$title" --text="Two fields" --add-entry=First \
        --add-entry=Second --width=500 </dev/null >"$form_out" 2>/dev/null
    form_pid=$!
    wait_for 20 shown "$title" || return 1
    form=$(find_window "$title")
    activate "$form" || return 1
    xdotool mousemove --window "$form" "$form_x" "$form_first_y" click 1
}
form_gives() { # first, second: OK pressed, the form printed exactly these
    # A click right after the triple-click that read a field may be taken
    # as part of it: pressed again until the form ends.
    for _ in 1 2 3 4 5; do
        xdotool mousemove --window "$form" "$form_ok_x" "$form_ok_y" click 1
        wait_for 2 ended "$form_pid" && break
    done
    ended "$form_pid" && cmp -s "$form_out" <(printf '%s|%s\n' "$1" "$2")
}
form_second_field() {
    form_open && choose "$form" "$form_x" "$form_second_y" 0 || return 1
    wait_for 10 field_at_holds "$form" "$form_x" "$form_second_y" "$one_line" &&
        form_gives "" "$one_line"
}
# A right-click on OK pastes into the focused field and presses nothing.
form_button_left_alone() {
    form_open && choose "$form" "$form_ok_x" "$form_ok_y" 0 || return 1
    wait_for 10 field_at_holds "$form" "$form_x" "$form_first_y" "$one_line" &&
        kill -0 "$form_pid" && form_gives "$one_line" ""
}
# A program that stops answering while the menu is open costs the lookup a
# few tens of milliseconds, and the text goes where its focus is once it runs
# again.
stop_form() { kill -STOP "$form_pid"; }
form_stalled() {
    form_open || return 1
    choose "$form" "$form_x" "$form_second_y" 0 stop_form
    local chosen=$?
    kill -CONT "$form_pid"
    [ $chosen -eq 0 ] && wait_for 10 traced "paste pasted: .*field did not answer" 1 || return 1
    wait_for 10 field_at_holds "$form" "$form_x" "$form_first_y" "$one_line" &&
        form_gives "$one_line" ""
}
# xterm (no accessibility) over the form's second field: the right-click is
# xterm's, and the form's field beneath it is left alone.
form_under_a_terminal() {
    local fx fy tx ty
    form_open || return 1
    eval "$(xdotool getwindowgeometry --shell "$form" | sed -n 's/^\([XY]\)=/f\1=/p')"
    fx=$fX fy=$fY
    terminal_start overlay xterm -T overlay -geometry 60x12+"$fx"+"$fy" -e || return 1
    eval "$(xdotool getwindowgeometry --shell "$(find_window overlay)" | sed -n 's/^\([XY]\)=/t\1=/p')"
    tx=$tX ty=$tY
    terminal_pastes overlay 0 "$one_line" $((fx + form_x - tx)) $((fy + form_second_y - ty)) &&
        traced "paste pasted: .*field not found, Shift+Insert" 3 || return 1
    xdotool windowclose "$(find_window overlay)" 2>/dev/null
    activate "$form" && xdotool type --delay 40 typed && form_gives typed ""
}

# A page with an <input> and a <textarea>, each reporting its value in the
# title as e2e|input|textarea (URI-encoded, so that line breaks and spaces
# survive): the focus in one, the right-click in the other.
page="$work/page.html"
cat >"$page" <<'EOF'
<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>e2e</title>
<style>
body { margin: 0; }
input, textarea { display: block; box-sizing: border-box; width: 90%; margin: 20px; font-size: 20px; }
input { height: 150px; }
textarea { height: 300px; }
</style></head>
<body>
<input id="a"><textarea id="b"></textarea>
<script>
const a = document.getElementById('a'), b = document.getElementById('b');
const show = () => { document.title = 'e2e|' + encodeURIComponent(a.value) + '|' + encodeURIComponent(b.value); };
a.addEventListener('input', show);
b.addEventListener('input', show);
show();
</script>
</body></html>
EOF
browser_window() { xdotool search --onlyvisible --name '^e2e[|]' 2>/dev/null | head -n1; }
browser_shown() { [ -n "$(browser_window)" ]; }
decoded() { printf '%b' "${1//%/\\x}"; } # a URI-encoded text
browser_title_is() { # input's text, textarea's text
    local title input textarea
    title=$(xdotool getwindowname "$(browser_window)" 2>/dev/null)
    IFS='|' read -r _ input textarea <<<"${title% - Chromium}"
    [ "$(decoded "$input")" = "$1" ] && [ "$(decoded "$textarea")" = "$2" ]
}
browser_pastes() { # y of the focused field, y of the clicked field, entry, input's, textarea's text
    local w
    w=$(browser_window)
    activate "$w" || return 1
    xdotool mousemove --window "$w" 300 "$1" click 1
    choose "$w" 300 "$2" "$3" && wait_for 10 browser_title_is "$4" "$5"
}
browser_fields() {
    # Chromium describes its pages on the bus only when told to.
    ACCESSIBILITY_ENABLED=1 spawn chromium --no-sandbox --force-renderer-accessibility --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --disable-gpu --user-data-dir="$work/chromium" --window-position=0,0 \
        --window-size=900,700 --app="file://$page" >"$work/chromium.log" 2>&1
    check "chromium shows the page" wait_for 60 browser_shown
    check "chromium: into the <textarea>, the focus in the <input>" \
        browser_pastes 150 400 1 "" "$two_lines"
    check "chromium: into the <input>, the focus in the <textarea>" \
        browser_pastes 400 150 0 "$one_line" "$two_lines"
}

# A form still open when its case failed is closed before the next.
for case in form_second_field form_button_left_alone form_stalled form_under_a_terminal; do
    case $case in
    form_second_field) what="into the second field, the focus in the first" ;;
    form_button_left_alone) what="a right-click on OK pastes into the focused field, OK not pressed" ;;
    form_stalled) what="stopped: not waited for, the text in its focused field once it runs" ;;
    form_under_a_terminal) what="xterm over its field: the paste is xterm's, the field left alone" ;;
    esac
    check "zenity form: $what" $case || xwd -root -silent >"$work/$case.xwd" 2>/dev/null
    kill "$form_pid" 2>/dev/null
done
browser_fields

check "the program still runs" kill -0 "$prog"
exit $fail
