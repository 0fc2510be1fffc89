#!/usr/bin/env bash
# Starts Wexdal under Xvfb on the sample machine and saves a picture of every page
# as docs/screenshots/<page>.png; then the Office page on the Microsoft 365 sample
# machine as docs/screenshots/Microsoft365.png, and again at 150 % (144 pixels per
# inch) as docs/screenshots/Microsoft365-144dpi.png.
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
# Selects a page and saves the window's picture as docs/screenshots/<name>.png.
picture() {
    read -r left top width height < <(wine_run build/tests/select_page.exe "$1" | tr -d '\r')
    import -window root -crop "${width}x${height}+${left}+${top}" "docs/screenshots/$2.png"
    echo "screenshots: docs/screenshots/$2.png"
}
for page in Office Excel Word PowerPoint Outlook About; do
    picture "$page" "$page"
done
WINEPREFIX="$PWD/build/wineprefix" wineserver -k || true

wine_run build/tests/sample_machine.exe lay --m365
wine_run build/app/wexdal.exe &
picture Office Microsoft365
WINEPREFIX="$PWD/build/wineprefix" wineserver -k || true

# Wine takes the screen's scale from LogPixels when a program starts.
scale_key='HKCU\Control Panel\Desktop'
wine_run reg add "$scale_key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
# The bench runs at 96 again whatever happens; Xvfb is stopped as display.sh does.
trap 'wine_run reg delete "$scale_key" /v LogPixels /f >/dev/null 2>&1 || true
      kill "$WEXDAL_XVFB_PID" 2>/dev/null || true' EXIT
wine_run build/app/wexdal.exe &
picture Office Microsoft365-144dpi
WINEPREFIX="$PWD/build/wineprefix" wineserver -k || true
wine_run build/tests/sample_machine.exe remove
