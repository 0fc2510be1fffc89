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

cmake --preset mingw >/dev/null
cmake --build --preset mingw
# Where the tests run a 64-bit build, the shipped 32-bit program is still built, so
# that it is known to compile without warnings.
if ! grep -q '^WEXDAL_ARCH:STRING=i686$' build/CMakeCache.txt; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32
fi
ctest --preset mingw
