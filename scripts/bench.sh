#!/usr/bin/env bash
# Builds and runs the benchmark under Wine in the test prefix; prints the ratios.
#   scripts/bench.sh [rounds]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target bench
source scripts/display.sh
ensure_display
scripts/wine-run "$PWD/build/wineprefix" build/tests/bench.exe "$@" > build/bench.txt
cat build/bench.txt
