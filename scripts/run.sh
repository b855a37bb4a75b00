#!/usr/bin/env bash
# Sets up what is missing, builds Tessary and starts it on the example library.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tessary
exec build/tessary examples/starter.xml
