# Shared by the scripts that drive the real program from outside: checks that
# report and remember failures, polling, and windows found by their titles.
# Sourced; the caller sets `fail=0` and exits with it.

check() { # description, command...
    local what="$1"
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; fail=1; return 1; fi
}
wait_for() { # seconds, command...
    local n=$(($1 * 10))
    shift
    for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
    return 1
}
find_window() { # exact title
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}
shown() { [ -n "$(find_window "$1")" ]; } # exact title
ended() { ! kill -0 "$1" 2>/dev/null; }   # pid
press_in() { # exact title, keys...: activate it through the window manager, then type
    local w
    w=$(find_window "$1")
    shift
    [ -n "$w" ] && xdotool windowactivate "$w" 2>/dev/null
    wait_for 5 sh -c "[ \"\$(xdotool getactivewindow 2>/dev/null)\" = '$w' ]"
    xdotool key --delay 150 "$@"
}
popup_menus() { # class instance: that program's pop-up menus on the screen
    local w
    for w in $(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_POPUP_MENU &&
            echo "$w"
    done
}
ours() { [ "$(popup_menus tessary | wc -l)" -ge "$1" ]; } # count: at least that many of our menus

# A work folder removed at the end (kept and named with TESSARY_E2E_KEEP=1),
# and spawn, whose programs are ended with the script. Sets work.
workspace() {
    work=$(mktemp -d)
    pids=()
    trap end_workspace EXIT
}
end_workspace() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    [ -n "${TESSARY_E2E_KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
spawn() { "$@" & pids+=($!); } # command...: in the background, ended with the script
