#!/usr/bin/env bash
# Builds and runs the benchmark under Wine in the test prefix; prints the ratios:
# the script-host guard and the process survey against the bare platform calls, and
# the program's start-up, peak working set and size against a bare window program.
#   scripts/bench.sh [rounds] [--startup-only] [--breakdown] [--before EARLIER-WEXDAL.EXE]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target bench
source scripts/display.sh
ensure_display
scripts/wine-run "$PWD/build/wineprefix" build/tests/bench.exe "$@" > build/bench.txt
exe=build/app/wexdal.exe
{
    echo "wexdal.exe: $(stat -c %s "$exe") bytes;" \
        "symbols: $(i686-w64-mingw32-objdump -f "$exe" | grep -q HAS_SYMS && echo present || echo stripped);" \
        "DLLs it imports: $(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')"
} >> build/bench.txt
cat build/bench.txt
