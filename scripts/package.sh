#!/usr/bin/env bash
# Builds the shipped 32-bit program for release (Release, stripped) and writes
# dist/wexdal-<version>.zip with wexdal.exe and readme.txt, from the win32 preset's
# build. The zip depends only on the commit: its dates are the commit's time (or
# SOURCE_DATE_EPOCH), the executable carries no link time and no build folder path.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=build-win32
stage=$build/package

scripts/install-deps.sh
command -v python3 >/dev/null || { echo "package: python3 is missing" >&2; exit 1; }

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target wexdal

version=$(python3 scripts/release.py project-version "$build")
name=$(python3 scripts/release.py name "$build")
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD 2>/dev/null); then
    echo "package: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" >&2
    exit 1
fi
epoch=$SOURCE_DATE_EPOCH

rm -rf "$stage"
mkdir -p "$stage" dist
# strip writes the current time into the PE header unless told a time; none, as the linker.
SOURCE_DATE_EPOCH=0 i686-w64-mingw32-strip -o "$stage/wexdal.exe" "$build/app/wexdal.exe"
python3 scripts/release.py readme docs/readme.txt "$stage/readme.txt" --version "$version"
rm -f "dist/$name"
python3 scripts/release.py zip "dist/$name" --epoch "$epoch" "$stage/wexdal.exe" "$stage/readme.txt"
python3 scripts/release.py check "dist/$name"
sha256sum "dist/$name"
