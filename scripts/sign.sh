#!/usr/bin/env bash
# Signs the release that scripts/package.sh wrote into dist/; run it after that script,
# on the same commit. Both programs are signed with Authenticode (SHA-256) by
# osslsigncode, zipped again, and built into a Windows Installer package that is
# signed itself:
#   dist/signed/wexdal-<version>.zip   wexdal.exe and wexdal.com signed, readme.txt
#   dist/signed/wexdal-<version>.msi   the same three files; the package signed too
#   dist/signed/SHA256SUMS             the two packages' SHA-256 sums
# The unsigned packages in dist/ are only read: they stay reproducible, byte for byte.
#
# The certificate comes through the environment, never from the repository:
#   WEXDAL_SIGN_PFX            the PKCS#12 file (.pfx, .p12): the key and its certificates
#   WEXDAL_SIGN_PASSWORD_FILE  a file holding its password, or else
#   WEXDAL_SIGN_PASSWORD       the password itself (handed to osslsigncode through a
#                              file of a private folder, not on its command line)
#   WEXDAL_SIGN_TIMESTAMP      optional: an RFC 3161 time-stamp server's URL; a signature
#                              stamped there stays valid after the certificate expires
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=build-win32

say() { echo "sign: $*" >&2; }

[ -n "${WEXDAL_SIGN_PFX:-}" ] || { say "set WEXDAL_SIGN_PFX to the PKCS#12 certificate file"; exit 1; }
[ -r "$WEXDAL_SIGN_PFX" ] || { say "cannot read $WEXDAL_SIGN_PFX"; exit 1; }
for tool in osslsigncode wixl msiinfo; do
    command -v "$tool" >/dev/null || { say "$tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done

version=$(python3 scripts/release.py project-version "$build")
name=$(python3 scripts/release.py name "$build")
msi=$(python3 scripts/release.py name --msi "$build")
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && ! SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD 2>/dev/null); then
    say "not a git checkout; set SOURCE_DATE_EPOCH to the release's time"
    exit 1
fi
epoch=$SOURCE_DATE_EPOCH

# What is signed is the unsigned release as package.sh wrote and summed it.
if ! grep -q " $name\$" dist/SHA256SUMS 2>/dev/null || ! grep -q " $msi\$" dist/SHA256SUMS ||
    ! (cd dist && sha256sum --check --quiet SHA256SUMS); then
    say "dist/ holds no whole release of version $version; run scripts/package.sh first"
    exit 1
fi
rm -rf dist/signed

work=$(mktemp -d)  # private to this account (mode 700)
trap 'rm -rf "$work"' EXIT
if [ -n "${WEXDAL_SIGN_PASSWORD_FILE:-}" ]; then
    password=$WEXDAL_SIGN_PASSWORD_FILE
elif [ -n "${WEXDAL_SIGN_PASSWORD+set}" ]; then
    password=$work/password
    (umask 077 && printf '%s' "$WEXDAL_SIGN_PASSWORD" >"$password")
else
    say "set WEXDAL_SIGN_PASSWORD_FILE (or WEXDAL_SIGN_PASSWORD) to the certificate's password"
    exit 1
fi
timestamp=()
[ -z "${WEXDAL_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$WEXDAL_SIGN_TIMESTAMP")

sign() {
    if ! osslsigncode sign -pkcs12 "$WEXDAL_SIGN_PFX" -readpass "$password" -h sha256 \
        -n Wexdal -i https://www.tarnholm.jp/ "${timestamp[@]}" \
        -in "$1" -out "$2" >"$work/osslsigncode.log" 2>&1; then
        say "osslsigncode could not sign $(basename "$1"):"
        sed 's/^/    /' "$work/osslsigncode.log" >&2
        exit 1
    fi
}

python3 -m zipfile -e "dist/$name" "$work/unsigned"
mkdir "$work/signed"
for program in wexdal.exe wexdal.com; do
    sign "$work/unsigned/$program" "$work/signed/$program"
done
cp "$work/unsigned/readme.txt" "$work/signed/readme.txt"

mkdir -p dist/signed
python3 scripts/release.py zip "dist/signed/$name" --epoch "$epoch" \
    "$work/signed/wexdal.exe" "$work/signed/wexdal.com" "$work/signed/readme.txt"
python3 scripts/release.py check "dist/signed/$name" >/dev/null
python3 scripts/release.py msi "$work/$msi" --version "$version" --epoch "$epoch" "$work/signed"
sign "$work/$msi" "dist/signed/$msi"
python3 scripts/release.py check-msi "dist/signed/$msi" "dist/signed/$name"
(cd dist/signed && sha256sum "$name" "$msi" >SHA256SUMS && cat SHA256SUMS)
