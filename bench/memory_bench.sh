#!/usr/bin/env bash
# Resident memory of the real program with the 100k-item library open,
# beside the peak of `xmllint --noout` on the same file, in the same run.
#
#   bench/memory_bench.sh [ITEMS]     (default 100000)
#
# BUILD_DIR (default build-bench, configured as Release): where the program
# and the library writer are built.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
items=${1:-100000}

if [[ -z ${MEMORY_BENCH_DISPLAY:-} ]]; then
    if [[ ! -f $build/CMakeCache.txt ]]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSARY_BENCH=ON \
            -DTESSARY_SANITIZE=OFF >/dev/null
    fi
    cmake --build "$build" -j2 --target tessary bench_write_library >&2
    export BUILD_DIR=$build MEMORY_BENCH_DISPLAY=1 GDK_BACKEND=x11 NO_AT_BRIDGE=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$items"
fi

# From here on, inside Xvfb.
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_CONFIG_HOME=$work/.config
mkdir -p "$XDG_CONFIG_HOME/Tessary"
# No hot key, no Tip of the Day: nothing but the window and the library.
printf '[Options]\nVKCode=0\n[Settings]\nTipoftheday=0\n' >"$XDG_CONFIG_HOME/Tessary/Tessary.conf"

wait_for() { # seconds, command...
    local n=$(($1 * 10))
    shift
    for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
    return 1
}
kb() { awk -v k="$1" '$1 == k ":" { print $2 }' "/proc/$2/status"; }

openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window'

# The program's own share: the same window with a one-item library.
measure() { # name file -> "rss hwm" in kB, after the window shows and settles
    "$build/tessary" "$2" >"$work/$1.log" 2>&1 &
    local program=$!
    pids+=("$program")
    if ! wait_for 300 sh -c "xdotool search --onlyvisible --name '^Tessary - $(basename "$2")\$' >/dev/null 2>&1"; then
        echo "the program did not show its window" >&2
        exit 1
    fi
    sleep 2
    echo "$(kb VmRSS "$program") $(kb VmHWM "$program")"
    kill "$program"
    wait "$program" 2>/dev/null || true
}

library=$work/library-$items.xml
"$build/bench/bench_write_library" "$items" "$library"
printf '<level0 header="One"/>\n' >"$work/one.xml"
xmllint_peak=$(/usr/bin/time -f %M xmllint --noout "$library" 2>&1 >/dev/null | tail -n1)
read -r small_rss small_hwm < <(measure small "$work/one.xml")
read -r rss hwm < <(measure large "$library")

awk -v n="$items" -v size="$(stat -c %s "$library")" -v x="$xmllint_peak" \
    -v srss="$small_rss" -v shwm="$small_hwm" -v rss="$rss" -v hwm="$hwm" 'BEGIN {
    mb = 1024
    printf "library: %d items, %.1f MB\n", n, size / 1048576
    printf "| measure | resident | peak | / xmllint peak |\n| --- | --- | --- | --- |\n"
    printf "| xmllint --noout | | %.0f MB | 1x |\n", x / mb
    printf "| tessary, one-item library | %.0f MB | %.0f MB | %.2fx |\n", srss / mb, shwm / mb, srss / x
    printf "| tessary, this library, window shown | %.0f MB | %.0f MB | **%.2fx** (peak %.2fx) |\n", rss / mb, hwm / mb, rss / x, hwm / x
    printf "| the library'\''s share (minus the one-item run) | %.0f MB | | %.2fx |\n", (rss - srss) / mb, (rss - srss) / x
}'
