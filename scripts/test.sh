#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
source scripts/display.sh
ensure_display

cmake --preset mingw >/dev/null
cmake --build --preset mingw
# Where the tests run a 64-bit build, the shipped 32-bit program is still built, so
# that it is known to compile without warnings.
if ! grep -q '^WEXDAL_ARCH:STRING=i686$' build/CMakeCache.txt; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32
fi
ctest --preset mingw
