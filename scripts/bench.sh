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
# Where the bench runs a 64-bit build, the size of the shipped 32-bit program is
# reported as well.
shipped=(build/app/wexdal.exe)
if ! grep -q '^WEXDAL_ARCH:STRING=i686$' build/CMakeCache.txt; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 --target wexdal
    shipped+=(build-win32/app/wexdal.exe)
fi
source scripts/display.sh
ensure_display
scripts/wine-run "$PWD/build/wineprefix" build/tests/bench.exe "$@" > build/bench.txt
for exe in "${shipped[@]}"; do
    objdump=$(grep -q '^WEXDAL_ARCH:STRING=i686$' "${exe%%/app/*}/CMakeCache.txt" &&
        echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump)
    echo "$exe: $(stat -c %s "$exe") bytes;" \
        "symbols: $($objdump -f "$exe" | grep -q HAS_SYMS && echo present || echo stripped);" \
        "DLLs it imports: $($objdump -p "$exe" | awk '/DLL Name:/ {print $3}' | sort | tr '\n' ' ')"
done >> build/bench.txt
cat build/bench.txt
