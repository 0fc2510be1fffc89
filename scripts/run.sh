#!/usr/bin/env bash
# Builds Wexdal and starts it under Wine on the sample machine (Office 2003 and
# Office XP). Uses $DISPLAY when it works; otherwise starts Xvfb, saves a
# screenshot after a few seconds, prints where it is, and ends the program.
#   scripts/run.sh [sample machine options, e.g. --outlook-express-only]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset mingw >/dev/null
# Only what runs here: the program and the sample machine, not the tests and the bench.
cmake --build --preset mingw --target wexdal sample_machine

had_display=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then had_display=1; fi
source scripts/display.sh
ensure_display

wine_run() { scripts/wine-run "$PWD/build/wineprefix" "$@"; }
wine_run build/tests/sample_machine.exe lay "$@"

if [ "$had_display" = 1 ]; then
    wine_run build/app/wexdal.exe
else
    wine_run build/app/wexdal.exe &
    sleep 8
    shot="$PWD/build/wexdal-screenshot.png"
    import -window root "$shot"
    WINEPREFIX="$PWD/build/wineprefix" wineserver -k || true
    echo "run: no display was set; Wexdal ran under Xvfb. Screenshot: $shot"
fi
