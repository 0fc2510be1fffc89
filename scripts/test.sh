#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the pure rules
# natively, then everything under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

# The pure rules first: built for this machine under the sanitizers, in seconds.
CC=clang CXX=clang++ cmake -S tests/native -B build-native >/dev/null
cmake --build build-native -j2
ctest --test-dir build-native --output-on-failure

source scripts/display.sh
ensure_display

# The test build: 64-bit, run by Wine's 64-bit loader.
cmake --preset mingw >/dev/null
cmake --build --preset mingw
ctest --preset mingw

# The shipped program's bitness on the 32-bit bench (scripts/wine32): the 32-bit
# tests, with the release package's own wexdal.exe and wexdal.com as the programs
# under test.
scripts/package.sh >/dev/null
# The Windows Installer package under Wine's msiexec: upgrade, downgrade, removal.
tests/release/msi_install.sh
shipped=build-i686/shipped
rm -rf "$shipped"
mkdir -p "$shipped"
python3 -m zipfile -e "dist/$(python3 scripts/release.py name build-win32)" "$shipped"
cmake --preset wow64 >/dev/null
cmake --build --preset wow64
probe=build-i686/wine32-probe.log
if ! scripts/wine32 "$PWD/build-i686/wineprefix" build-i686/tests/sample_machine.exe remove \
    >"$probe" 2>&1; then
    echo "test: the 32-bit bench (scripts/wine32) cannot start on this machine; see $probe" >&2
    exit 1
fi
WEXDAL_PROGRAM=$PWD/$shipped/wexdal.exe WEXDAL_CONSOLE_PROGRAM=$PWD/$shipped/wexdal.com \
    ctest --preset wow64
# Where the kernel runs 32-bit programs itself, one test program also runs emulated,
# so that the bench stays proven for the kernels that run 64-bit code only.
if scripts/can-run-32bit; then
    WEXDAL_WINE32_EMULATE=1 ctest --preset wow64 -R '^repair_tests$'
fi
