#!/usr/bin/env bash
# The release's Windows Installer package under Wine's own msiexec, in a new 64-bit
# prefix, as a fleet's deployment runs it: silently over an older version (built here
# from the same source as 0.0.1), a downgrade refused, the console program started
# from the installed folder, the install folder read from the 32-bit registry view,
# then removed by its product code, leaving the program's backups where they are.
#   tests/release/msi_install.sh        (after scripts/package.sh)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
build=build-win32
version=$(python3 scripts/release.py project-version "$build")
older=0.0.1
dist=$PWD/dist
zip=$dist/$(python3 scripts/release.py name "$build")
msi=$dist/$(python3 scripts/release.py name --msi "$build")
[ -f "$zip" ] && [ -f "$msi" ] || { echo "msi_install: run scripts/package.sh first" >&2; exit 1; }

# The prefix is made anew each run; scripts/wine32 keeps its emulator beside it.
work=$PWD/$build/msi-test
prefix=$work/prefix
export WINEPREFIX=$prefix
if [ -d "$prefix" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
fi
rm -rf "$work/stage" "$work/older"
mkdir -p "$work/stage" "$work/older"

source scripts/display.sh
ensure_display
# This prefix's Wine ends with the test (and the display, where ensure_display started one).
trap 'wineserver -k 2>/dev/null || true; [ -z "${WEXDAL_XVFB_PID:-}" ] || kill "$WEXDAL_XVFB_PID" 2>/dev/null || true' EXIT

python3 -m zipfile -e "$zip" "$work/stage"
older_msi=$work/older/wexdal-$older.msi
python3 scripts/release.py msi "$older_msi" --version "$older" --epoch "$(date +%s)" "$work/stage"
code=$(python3 scripts/release.py product-code "$version")
older_code=$(python3 scripts/release.py product-code "$older")

failed=0
passed=0
fail() { echo "msi_install: FAIL: $*" >&2; failed=$((failed + 1)); }
pass() { echo "msi_install: ok: $*"; passed=$((passed + 1)); }
# Every Wine command through scripts/wine32, which runs the 32-bit program where the
# kernel cannot; it prints nothing of Wine's own unless asked.
wine_() { scripts/wine32 "$prefix" "$@"; }
windows_path() { echo "Z:${1//\//\\}"; }
status_of() { local s=0; "$@" >"$work/out.txt" 2>&1 || s=$?; echo "$s"; }

folder=$prefix/drive_c/Program\ Files\ \(x86\)/Wexdal
backup=$prefix/drive_c/ProgramData/Wexdal/Backup
# Windows puts a per-machine package's shortcut into the Start menu of all users;
# Wine's msi resolves ProgramMenuFolder to the user's own whatever ALLUSERS says.
shortcuts=("$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Wexdal.lnk"
           "$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Wexdal.lnk")
shortcut() { local f; for f in "${shortcuts[@]}"; do [ -f "$f" ] && echo "$f"; done; true; }
# A 32-bit package's entry in Programs and Features is in the 32-bit view, as on Windows.
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
registered() { wine_ reg query "$uninstall\\$1" /v DisplayVersion /reg:32 >"$work/out.txt" 2>&1; }
# The install folder in a view (32 or 64), nothing when the value is not there.
folder_value() {
    local out
    out=$(wine_ reg query 'HKLM\SOFTWARE\Wexdal' /v InstallFolder "/reg:$1" 2>/dev/null) &&
        tr -d '\r' <<<"$out" | grep -o 'REG_SZ.*' || true
}

started=$SECONDS
# The program's backups are there before the package, and the package never owns them.
wine_ cmd /c mkdir 'C:\ProgramData\Wexdal\Backup' >/dev/null 2>&1
echo "a backup of the program's" >"$backup/keep.reg"

s=$(status_of wine_ msiexec /i "$(windows_path "$older_msi")" /qn)
if [ "$s" = 0 ] && registered "$older_code"; then
    pass "version $older installed silently"
else
    fail "installing version $older: exit $s, registered: $(registered "$older_code" && echo yes || echo no)"
fi

s=$(status_of wine_ msiexec /i "$(windows_path "$msi")" /qn)
[ "$s" = 0 ] && pass "version $version installed silently over $older" || fail "installing $version: exit $s"
if registered "$code" && grep -q "$version" "$work/out.txt" && ! registered "$older_code"; then
    pass "only $version is registered ($code)"
else
    fail "after the upgrade: $version registered: $(registered "$code" && echo yes || echo no)," \
        "$older registered: $(registered "$older_code" && echo yes || echo no)"
fi
for name in wexdal.exe wexdal.com readme.txt; do
    cmp -s "$folder/$name" "$work/stage/$name" || fail "$name is not the release's in $folder"
done
link=$(shortcut)
if [ -n "$link" ] && grep -qaF 'C:\Program Files (x86)\Wexdal\wexdal.exe' "$link"; then
    pass "the Start menu shortcut Wexdal starts wexdal.exe (${link#"$prefix/"})"
else
    fail "no Start menu shortcut Wexdal to wexdal.exe: '${link:-none}'"
fi

s=$(status_of wine_ msiexec /i "$(windows_path "$older_msi")" /qn)
if [ "$s" != 0 ] && registered "$code" && ! registered "$older_code"; then
    pass "the downgrade to $older is refused (exit $s)"
else
    fail "the downgrade to $older: exit $s"
fi

# Exit 0 or 1 with the switch's line: the program started and answered, whatever the state.
s=$(status_of wine_ 'C:\Program Files (x86)\Wexdal\wexdal.com' /check EmlWsh=0)
if { [ "$s" = 0 ] || [ "$s" = 1 ]; } && grep -q '^EmlWsh ' "$work/out.txt"; then
    pass "wexdal.com /check EmlWsh=0 from the installed folder answers: $(tr -d '\r' <"$work/out.txt" | head -n 1) (exit $s)"
else
    fail "wexdal.com /check EmlWsh=0 from the installed folder: exit $s: $(head -c 400 "$work/out.txt")"
fi

value=$(folder_value 32)
if [ "$value" = 'REG_SZ    C:\Program Files (x86)\Wexdal\' ]; then
    pass "HKLM\SOFTWARE\Wexdal InstallFolder in the 32-bit view: $value"
else
    fail "HKLM\SOFTWARE\Wexdal InstallFolder in the 32-bit view: '$value'"
fi
[ -z "$(folder_value 64)" ] || fail "InstallFolder is in the 64-bit view too"

s=$(status_of wine_ msiexec /x "$code" /qn)
[ "$s" = 0 ] && pass "removed silently by its product code" || fail "removing: exit $s"
for name in wexdal.exe wexdal.com readme.txt; do
    [ ! -e "$folder/$name" ] || fail "$name is still there after the removal"
done
[ -z "$(shortcut)" ] || fail "the shortcut is still there after the removal"
[ -z "$(folder_value 32)" ] || fail "InstallFolder is still there after the removal"
! registered "$code" || fail "$version is still registered after the removal"
if [ "$(cat "$backup/keep.reg" 2>/dev/null)" = "a backup of the program's" ]; then
    pass "the programs, shortcut and registry value are gone; the backup stays"
else
    fail "the backup in C:\\ProgramData\\Wexdal\\Backup did not stay"
fi

echo "msi_install: $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ] || { echo "msi_install: the prefix is kept in $prefix" >&2; exit 1; }
wineserver -k 2>/dev/null || true
rm -rf "$prefix"  # over a gigabyte
