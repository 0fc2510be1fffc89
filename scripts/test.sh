#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
source scripts/display.sh
ensure_display

cmake --preset mingw >/dev/null
cmake --build --preset mingw
ctest --preset mingw
