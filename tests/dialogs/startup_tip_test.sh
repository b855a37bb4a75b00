#!/usr/bin/env bash
# The real program at start-up: the Tip of the Day over the main window when
# "Tipoftheday" is 1, the tip after the last one shown stored at close, the
# check box stored by Close, and no tip at all once it is cleared.
set -uo pipefail
tessary="$1"

fail=0
. "$(dirname "$0")/../e2e/common.sh"
visible() { # exact title
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}
stays() { # seconds, command...: holds at each look throughout
    local n=$(($1 * 10))
    shift
    for _ in $(seq "$n"); do "$@" || return 1; sleep 0.1; done
}
on_top() { # the tip has the focus, stacked above the main window
    local tip main
    tip=$(find_window "Tip of the Day")
    main=$(find_window "Tessary - Untitled")
    [ -n "$tip" ] && [ -n "$main" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$tip" ] &&
        xprop -root _NET_CLIENT_LIST_STACKING | grep -qi "$(printf '0x%x' "$main").*$(printf '0x%x' "$tip")"
}
quit() { # pid: close the main window as a person does, wait for the end
    local main
    main=$(find_window "Tessary - Untitled")
    [ -n "$main" ] && press_in "$main" alt+F4
    wait_for 20 sh -c "! kill -0 $1 2>/dev/null"
}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config"
conf="$XDG_CONFIG_HOME/Tessary/Tessary.conf"
mkdir -p "$(dirname "$conf")"

# Shown at start, on the stored tip; Escape leaves the check box alone.
printf '[Settings]\nTipoftheday=1\nCurrentTip=4\n' >"$conf"
"$tessary" &
pid=$!
check "the tip shows at start" wait_for 20 visible "Tip of the Day"
check "the main window is up behind it" wait_for 10 visible "Tessary - Untitled"
check "the tip is above the main window, with the focus" stays 2 on_top
tip=$(find_window "Tip of the Day")
[ -n "$tip" ] && press_in "$tip" Escape
check "Escape closes the tip" wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tip of the Day\$' >/dev/null 2>&1"
check "the program ends when its window is closed" quit $pid
check "the next tip is stored" grep -q '^CurrentTip=5$' "$conf"
check "the check box is kept by Escape" grep -q '^Tipoftheday=1$' "$conf"

# Cleared and closed with Close: stored as 0 and no tip at the next start.
"$tessary" &
pid=$!
check "the tip shows again" wait_for 20 visible "Tip of the Day"
check "the tip is on top again" wait_for 10 sh -c "xdotool search --onlyvisible --name '^Tessary - Untitled\$' >/dev/null" && stays 2 on_top
tip=$(find_window "Tip of the Day")
[ -n "$tip" ] && press_in "$tip" Tab space Return
check "Close closes the tip" wait_for 10 sh -c "! xdotool search --onlyvisible --name '^Tip of the Day\$' >/dev/null 2>&1"
quit $pid
check "the cleared check box is stored" grep -q '^Tipoftheday=0$' "$conf"
check "the tip after it is stored" grep -q '^CurrentTip=6$' "$conf"

"$tessary" &
pid=$!
check "the main window shows" wait_for 20 visible "Tessary - Untitled"
sleep 2
check "no tip once the setting is 0" sh -c "! xdotool search --onlyvisible --name '^Tip of the Day\$' >/dev/null 2>&1"
quit $pid
check "the tip index is left as it was" grep -q '^CurrentTip=6$' "$conf"
kill $pid 2>/dev/null
exit $fail
