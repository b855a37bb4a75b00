#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (in build-fuzz/) and runs
# each for SECONDS seconds, starting from its seed corpus in fuzz/corpus/ and
# with its dictionary of the format's tokens (fuzz/<target>.dict).
# Prints how many inputs each ran; fails on any finding, whose input is kept
# in build-fuzz/findings/<target>/ (rerun it with build-fuzz/fuzz/fuzz_<target>
# <file>). The corpus each run grows is kept in build-fuzz/corpus/<target>/.
#
# Usage: scripts/fuzz.sh SECONDS [TARGET...]   (targets: loader settings
# shortcut wine_registry; all when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ ]]; then
    echo "usage: scripts/fuzz.sh SECONDS [TARGET...]" >&2
    exit 2
fi
seconds=$1
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(loader settings shortcut wine_registry)

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_FUZZ=ON \
    -DTESSARY_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# The settings target writes a file for every input: in memory where possible.
tmp=/tmp
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    tmp=/dev/shm
fi
TMPDIR="$(mktemp -d "$tmp/tessary-fuzz.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

echo "== Fuzzing, ${seconds}s per target =="
failed=()
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    findings="$build/findings/$t"
    log="$build/fuzz-$t.log"
    mkdir -p "$corpus" "$findings"
    # The seeds are copied: the runs add to the scratch corpus, never to fuzz/.
    for seed in fuzz/corpus/"$t"/*; do
        [ -e "$corpus/${seed##*/}" ] || cp "$seed" "$corpus/"
    done
    # A slow input is a finding too: a few KB must never take seconds.
    if "$build/fuzz/fuzz_$t" "$corpus" -dict="fuzz/$t.dict" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 \
        >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        printf '%-14s %12s inputs in %ss, corpus %s files\n' "$t" "$runs" "$seconds" \
            "$(find "$corpus" -type f | wc -l)"
    else
        echo "FINDING in $t:"
        grep -E 'FINDING|expected:|actual:|ERROR|SUMMARY' "$log" | head -n 20 || true
        grep -E 'Test unit written to' "$log" || true
        echo "(whole log: $log)"
        failed+=("$t")
    fi
done

echo "fuzz: $((${#targets[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ]
