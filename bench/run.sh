#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench), runs both, and prints each
# figure beside the baseline measured in the same run.
#
#   bench/run.sh [extra Google Benchmark flags, e.g. --benchmark_filter=Load]
#
# BENCH_REPETITIONS (default 5): repetitions; the table shows the medians.
# TESSARY_BENCH_DIR (default /dev/shm, else /tmp): where the library files and
#   the saved files go; the save figures depend on its file system.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD_DIR:-$root/build-bench}
out=$build/bench-results
reps=${BENCH_REPETITIONS:-5}
if [[ -z ${TESSARY_BENCH_DIR:-} ]]; then
    if [[ -d /dev/shm && -w /dev/shm ]]; then TESSARY_BENCH_DIR=/dev/shm; else TESSARY_BENCH_DIR=/tmp; fi
fi
export TESSARY_BENCH_DIR

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSARY_BENCH=ON -DTESSARY_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target bench_library bench_editor
mkdir -p "$out"

flags=(--benchmark_format=json "--benchmark_repetitions=$reps")
# Repetitions run in random order, so that a slow spell of a busy machine does
# not fall on one side of a comparison only.
if ((reps > 1)); then
    flags+=(--benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true)
fi

echo "running bench_library (files in $TESSARY_BENCH_DIR) ..." >&2
"$build/bench/bench_library" "${flags[@]}" "$@" >"$out/library.json"

echo "running bench_editor under Xvfb ..." >&2
GDK_BACKEND=x11 NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/bench/bench_editor" "${flags[@]}" "$@" >"$out/editor.json"

python3 "$here/report.py" "$out/library.json" "$out/editor.json"
