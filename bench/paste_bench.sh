#!/usr/bin/env bash
# Times the snippet menu of the real program from outside, under Xvfb and
# openbox, with a 100-snippet and a 100k-snippet library, and prints each
# figure beside the stock tools' in the same run.
#
#   bench/paste_bench.sh [RUNS [SEQUENCE]]
#
# RUNS (default 60): timed rounds per library. SEQUENCE (default 500): pastes
# in a row with the 100k library, every one checked, into two GTK entries,
# then into two shell prompts in xterm.
# BUILD_DIR (default build-bench, configured as Release): where the program
# and the measuring client are built.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
runs=${1:-60}
sequence=${2:-500}

if [[ -z ${PASTE_BENCH_DISPLAY:-} ]]; then
    if [[ ! -f $build/CMakeCache.txt ]]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSARY_BENCH=ON \
            -DTESSARY_SANITIZE=OFF >/dev/null
    fi
    cmake --build "$build" -j2 --target tessary bench_paste bench_paste_target >&2
    # A desktop session as people have it: a session bus with the
    # accessibility bus, through which the clicked field is found.
    unset NO_AT_BRIDGE
    export BUILD_DIR=$build PASTE_BENCH_DISPLAY=1 GDK_BACKEND=x11
    exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$runs" "$sequence"
fi

# From here on, inside Xvfb.
tessary=$build/tessary
client=$build/bench/bench_paste
target=$build/bench/bench_paste_target

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config
mkdir -p "$XDG_CONFIG_HOME/Tessary"
# No hot key (nothing else to grab), no Tip of the Day.
printf '[Options]\nVKCode=0\n[Settings]\nTipoftheday=0\n' >"$XDG_CONFIG_HOME/Tessary/Tessary.conf"

wait_for() { # seconds, command...
    local n=$(($1 * 10))
    shift
    for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
    return 1
}

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window'

results=$work/results.tsv
: >"$results"
for size in 100 100k; do
    case $size in
    100) shape=4x5x5 count=0 ;;
    100k) shape=10x100x100 count=$sequence ;;
    esac
    library=$work/library-$size.xml
    "$client" write "$shape" "$library"
    echo "library $size ($shape): $(du -h "$library" | cut -f1)" >&2

    "$tessary" "$library" >"$work/tessary-$size.log" 2>&1 &
    program=$!
    pids+=("$program")
    title="^Tessary - library-$size.xml\$"
    if ! wait_for 180 sh -c "xdotool search --onlyvisible --name '$title' >/dev/null 2>&1"; then
        echo "the program did not show its window" >&2
        exit 1
    fi
    # Out of the way of the targets, as a person would keep it.
    xdotool windowminimize "$(xdotool search --onlyvisible --name "$title" | head -n1)"
    if ! wait_for 20 "$tessary" --toggle; then
        echo "tessary --toggle did not reach the program" >&2
        exit 1
    fi
    echo "measuring with $size snippets ..." >&2
    "$client" measure "$shape" "$runs" "$target" "$count" "$here/xterm_target.sh" |
        sed "s/^/$size\t/" >>"$results"
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
done

# size, name, runs, median, p95, failures (sequence, sequence_terminal: size,
# name, right, total)
awk -F'\t' '
function cell(s, n) { return ((s, n) in med) ? sprintf("%.1f / %.1f ms", med[s, n], p95[s, n]) : "-" }
function one(s, n) { return ((s, n) in med) ? sprintf("%.1f ms", med[s, n]) : "-" }
function ratio(s, a, b) { return med[s, b] > 0 ? sprintf("%.2fx", med[s, a] / med[s, b]) : "-" }
$2 == "sequence" { seq[$1] = $3 "/" $4; next }
$2 == "sequence_terminal" { seqterm[$1] = $3 "/" $4; next }
{ med[$1, $2] = $4; p95[$1, $2] = $5; runs[$1, $2] = $3; fails[$1, $2] = $6 }
END {
    print "| measure (median / 95th percentile) | 100 snippets | 100k snippets | target |"
    print "| --- | --- | --- | --- |"
    printf "| (a) right-click release -> snippet menu mapped | %s | %s | < 30 ms median |\n", cell("100", "menu_ours"), cell("100k", "menu_ours")
    printf "| the target'\''s own menu (Shift+right-click) | %s | %s | |\n", cell("100", "menu_own"), cell("100k", "menu_own")
    printf "| ratio ours / own menu | %s | %s | |\n", ratio("100", "menu_ours", "menu_own"), ratio("100k", "menu_ours", "menu_own")
    printf "| (b) menu choice -> text in the target | %s | %s | |\n", cell("100", "paste_ours"), cell("100k", "paste_ours")
    printf "| the same, last 10 rounds (most submenus filled) | %s | %s | |\n", cell("100", "paste_ours_last10"), cell("100k", "paste_ours_last10")
    printf "| xclip + xdotool key ctrl+v -> text in the target | %s | %s | |\n", cell("100", "paste_stock"), cell("100k", "paste_stock")
    printf "| ratio ours / stock tools | %s | %s | < 0.5x |\n", ratio("100", "paste_ours", "paste_stock"), ratio("100k", "paste_ours", "paste_stock")
    if (("100k", "paste_opened_stock") in med) {
        printf "| choice -> text after 0 submenus opened in the same menu | | %s (%s) | < 0.3x |\n", cell("100k", "paste_opened_0"), ratio("100k", "paste_opened_0", "paste_opened_stock")
        printf "| the same after 60 submenus | | %s (%s) | < 0.3x |\n", cell("100k", "paste_opened_60"), ratio("100k", "paste_opened_60", "paste_opened_stock")
        printf "| the same after 200 submenus | | %s (%s) | < 0.3x |\n", cell("100k", "paste_opened_200"), ratio("100k", "paste_opened_200", "paste_opened_stock")
        printf "| stock tools, in turn with those rounds | | %s | |\n", cell("100k", "paste_opened_stock")
    }
    printf "| first paste after start: menu, paste | %s, %s | %s, %s | |\n", one("100", "first_menu"), one("100", "first_paste"), one("100k", "first_menu"), one("100k", "first_paste")
    printf "| runs (failed: ours, stock) | %d (%d, %d) | %d (%d, %d) | >= 50 |\n", runs["100", "paste_ours"], fails["100", "paste_ours"], fails["100", "paste_stock"], runs["100k", "paste_ours"], fails["100k", "paste_ours"], fails["100k", "paste_stock"]
    if ("100k" in seq) printf "| pastes in a row, right text in the right window | | %s | all |\n", seq["100k"]
    if ("100k" in seqterm) printf "| the same into xterm, at the shell prompt | | %s (choice -> text %s) | all |\n", seqterm["100k"], cell("100k", "paste_terminal")
    printf "| (c) two fields, focus in A: choice -> text in A | %s | %s | |\n", cell("100", "paste_field_focused"), cell("100k", "paste_field_focused")
    printf "| the same into B, focused through accessibility first | %s | %s | |\n", cell("100", "paste_field_moved"), cell("100k", "paste_field_moved")
    printf "| ratio B / A | %s | %s | < 1.5x |\n", ratio("100", "paste_field_moved", "paste_field_focused"), ratio("100k", "paste_field_moved", "paste_field_focused")
    printf "| runs into A, B (failed) | %d, %d (%d, %d) | %d, %d (%d, %d) | |\n", runs["100", "paste_field_focused"], runs["100", "paste_field_moved"], fails["100", "paste_field_focused"], fails["100", "paste_field_moved"], runs["100k", "paste_field_focused"], runs["100k", "paste_field_moved"], fails["100k", "paste_field_focused"], fails["100k", "paste_field_moved"]
}' "$results"
