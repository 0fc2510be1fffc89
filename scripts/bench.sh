#!/usr/bin/env bash
# Builds and runs the benchmark under Wine in the test prefix; prints the ratios:
# the script-host guard and the process survey against the bare platform calls, and
# the program's start-up, peak working set and size against a bare window program;
# the console program's commands with and without a long Uninstall list; then the
# start-up and working-set ratios and the shipped program's size by section, each
# against its goal.
#   scripts/bench.sh [rounds] [--startup-only | --commands-only] [--breakdown]
#                    [--before EARLIER-WEXDAL.EXE]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target bench
# The shipped program, as scripts/package.sh makes it: the 32-bit build, stripped.
shipped=(build/app/wexdal.exe)
if ! grep -q '^WEXDAL_ARCH:STRING=i686$' build/CMakeCache.txt; then
    shipped+=(build-win32/app/wexdal.exe)
fi
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target wexdal
mkdir -p build-win32/bench
SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip -o build-win32/bench/wexdal.exe build-win32/app/wexdal.exe
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
{
    echo "The shipped program (32-bit, stripped) by section:"
    python3 scripts/release.py sections build-win32/bench/wexdal.exe --goal-kb 600
} >> build/bench.txt
cat build/bench.txt
