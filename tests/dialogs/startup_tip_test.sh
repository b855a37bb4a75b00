#!/usr/bin/env bash
# The real program at start-up: the Tip of the Day above the main window, with
# the focus, when "Tipoftheday" is 1; the check box and the tip after the one
# shown stored at close; no tip for any other value.
set -uo pipefail
tessary="$1"

fail=0
. "$(dirname "$0")/../e2e/common.sh"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config"
conf="$XDG_CONFIG_HOME/Tessary/Tessary.conf"
mkdir -p "$(dirname "$conf")"
for value in 0 2 -1; do # a tip, being modal, would keep the main window from closing
    printf '[Settings]\nTipoftheday=%s\nCurrentTip=4\n' "$value" >"$conf"
    "$tessary" & # $! below: no other job is started in the loop
    check "the main window shows ($value)" wait_for 20 sh -c "xdotool search --onlyvisible --name '^Tessary - Untitled\$' >/dev/null"
    press_in "$(find_window "Tessary - Untitled")" alt+F4
    check "no tip: the program ends at once ($value)" wait_for 20 sh -c "! kill -0 $! 2>/dev/null"
    kill $! 2>/dev/null # left running only by a failure
    check "no tip: the tip index is kept ($value)" grep -q '^CurrentTip=4$' "$conf"
done
printf '[Settings]\nTipoftheday=1\nCurrentTip=4\n' >"$conf"

on_top() { # the tip has the focus, stacked above the main window, throughout
    local tip main
    for _ in $(seq 20); do
        tip=$(find_window "Tip of the Day") main=$(find_window "Tessary - Untitled")
        [ -n "$tip" ] && [ -n "$main" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$tip" ] &&
            xprop -root _NET_CLIENT_LIST_STACKING |
            grep -qi "$(printf '0x%x' "$main").*$(printf '0x%x' "$tip")" || return 1
        sleep 0.1
    done
}
"$tessary" &
pid=$!
check "the tip shows at start" wait_for 20 sh -c "xdotool search --onlyvisible --name '^Tip of the Day\$' >/dev/null"
check "the tip is above the main window, with the focus" on_top
# Cleared and closed with Close, then the main window closed.
press_in "$(find_window "Tip of the Day")" Tab space Return
check "Close closes the tip" wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tip of the Day\$' >/dev/null"
press_in "$(find_window "Tessary - Untitled")" alt+F4
check "the program ends when its window is closed" wait_for 20 sh -c "! kill -0 $pid 2>/dev/null"
check "the cleared check box and the next tip are stored" \
    sh -c "grep -q '^Tipoftheday=0\$' '$conf' && grep -q '^CurrentTip=5\$' '$conf'"
exit $fail
