#!/usr/bin/env bash
# Starts Wexdal under Xvfb on the sample machine and saves a picture of every page
# as docs/screenshots/<page>.png.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw

unset DISPLAY
source scripts/display.sh
ensure_display
wine_run() { scripts/wine-run "$PWD/build/wineprefix" "$@"; }
wine_run build/tests/sample_machine.exe lay
wine_run build/app/wexdal.exe &
mkdir -p docs/screenshots
for page in Office Excel Word PowerPoint Outlook About; do
    read -r left top width height < <(wine_run build/tests/select_page.exe "$page" | tr -d '\r')
    import -window root -crop "${width}x${height}+${left}+${top}" "docs/screenshots/$page.png"
    echo "screenshots: docs/screenshots/$page.png"
done
WINEPREFIX="$PWD/build/wineprefix" wineserver -k || true
