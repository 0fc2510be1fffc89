#!/usr/bin/env bash
# Builds the shipped 32-bit programs for release (Release, stripped) from the win32
# preset's build and writes, into dist/:
#   wexdal-<version>.zip   wexdal.exe, wexdal.com and readme.txt
#   wexdal-<version>.msi   the same three files, installed per machine (installer/)
#   SHA256SUMS             the two packages' SHA-256 sums
# Both packages depend only on the commit: their dates are the commit's time (or
# SOURCE_DATE_EPOCH), the programs carry no link time and no build folder path.
# They are unsigned; scripts/sign.sh makes the signed release from them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=build-win32
stage=$build/package

scripts/install-deps.sh
command -v python3 >/dev/null || { echo "package: python3 is missing" >&2; exit 1; }

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target wexdal wexdal_console

version=$(python3 scripts/release.py project-version "$build")
name=$(python3 scripts/release.py name "$build")
msi=$(python3 scripts/release.py name --msi "$build")
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD 2>/dev/null); then
    echo "package: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2
    exit 1
fi
epoch=$SOURCE_DATE_EPOCH

rm -rf "$stage"
mkdir -p "$stage" dist
# strip writes the current time into the PE header unless told a time; none, as the linker.
for program in wexdal.exe wexdal.com; do
    SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip -o "$stage/$program" "$build/app/$program"
done
python3 scripts/release.py readme docs/readme.txt "$stage/readme.txt" --version "$version"
rm -f "dist/$name" "dist/$msi" dist/SHA256SUMS
python3 scripts/release.py zip "dist/$name" --epoch "$epoch" \
    "$stage/wexdal.exe" "$stage/wexdal.com" "$stage/readme.txt"
python3 scripts/release.py check "dist/$name"
python3 scripts/release.py msi "dist/$msi" --version "$version" --epoch "$epoch" "$stage"
python3 scripts/release.py check-msi "dist/$msi" "dist/$name"
(cd dist && sha256sum "$name" "$msi" >SHA256SUMS && cat SHA256SUMS)
