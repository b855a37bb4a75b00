#!/usr/bin/env bash
# Sets up what is missing, builds Tessary and starts it on the example library.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# The program alone: its tests and benchmarks need the packages of --tests.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_TESTS=OFF -DTESSARY_BENCH=OFF \
    >/dev/null
cmake --build build -j"$(nproc)" --target tessary
exec build/tessary examples/starter.xml
