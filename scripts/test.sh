#!/usr/bin/env bash
# Sets up what is missing, checks the format, builds Tessary twice (Release,
# and Debug with AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# every test of both builds headless, under Xvfb with a light window manager,
# then the Windows build and its tests under Wine (scripts/build-windows.sh),
# then each fuzz target for a minute (scripts/fuzz.sh, a clang build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests

# The project's format, checked before anything is built.
echo "== Format =="
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
echo "ok: every source file is formatted"

jobs="$(nproc)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSARY_SANITIZE=ON -DTESSARY_WERROR=ON \
    -DTESSARY_TESTS=ON >/dev/null
cmake --build build-asan -j"$jobs"
# The plain build is a Release build, as a user or packager makes it.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTESSARY_WERROR=ON -DTESSARY_TESTS=ON \
    -DTESSARY_BENCH=ON >/dev/null
cmake --build build -j"$jobs"

export GDK_BACKEND=x11 NO_AT_BRIDGE=1
xvfb-run -a -s "-screen 0 1280x1024x24" scripts/headless-ctest.sh build-asan build

# Windows: cross-built, its suites and its zip package run under Wine. A
# failing suite fails the run; a machine where Wine cannot run is a skip.
echo "== Windows =="
status=0
scripts/build-windows.sh || status=$?
if [ "$status" -eq 77 ]; then
    echo "skipped: the Windows tests (see the reason above)"
elif [ "$status" -ne 0 ]; then
    exit "$status"
fi

# Each fuzz target for a minute, from its seeds; a finding fails the run.
scripts/fuzz.sh 60
