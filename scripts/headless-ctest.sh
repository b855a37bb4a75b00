#!/usr/bin/env bash
# Inside Xvfb: starts openbox (focus and window activation need a window
# manager), then runs CTest in each build folder given; the last summary is
# the one printed last.
set -uo pipefail
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null' EXIT
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break
    sleep 0.1
done

status=0
for dir in "$@"; do
    echo "== Tests of $dir =="
    # The GUI tests drive a real X server with simulated input; one that
    # fails is run once more, and fails the run only if it fails again. The
    # first failure stays in the log.
    ctest --test-dir "$dir" --output-on-failure -j2 --repeat until-pass:2 || status=1
done
exit $status
