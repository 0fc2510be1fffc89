#!/usr/bin/env bash
# Signs the release in dist/ with scripts/sign.sh and a throwaway self-signed
# code-signing certificate made here, then verifies every signed file with
# osslsigncode against that certificate (which chains to no trusted root, so it is
# given as the one to trust): both programs of the signed zip, the signed package and
# the programs inside it. An unsigned program must fail the same check. Both release
# folders' SHA256SUMS must hold, and the unsigned packages must not have changed.
#   tests/release/signing.sh        (after scripts/package.sh)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
build=build-win32
name=$(python3 scripts/release.py name "$build")
msi=$(python3 scripts/release.py name --msi "$build")

keys=$(mktemp -d)
trap 'rm -rf "$keys"' EXIT
openssl rand -hex 16 >"$keys/password"
openssl req -x509 -newkey rsa:3072 -sha256 -days 2 -nodes -subj "/CN=Wexdal throwaway signing" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -addext "basicConstraints=critical,CA:FALSE" \
    -keyout "$keys/key.pem" -out "$keys/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/certificate.pem" \
    -out "$keys/signing.pfx" -passout "file:$keys/password"

unsigned=$(cd dist && sha256sum "$name" "$msi")
WEXDAL_SIGN_PFX=$keys/signing.pfx WEXDAL_SIGN_PASSWORD_FILE=$keys/password scripts/sign.sh

failed=0
verify() {
    if osslsigncode verify -CAfile "$keys/certificate.pem" -in "$1" >"$keys/verify.log" 2>&1; then
        echo "signing: ok: $2 is signed and its digest matches"
    else
        echo "signing: FAIL: $2:" >&2
        grep -E 'MISMATCH|[Ff]ail|[Ee]rror|No signature' "$keys/verify.log" | sed 's/^/    /' >&2 || true
        failed=1
    fi
}
python3 -m zipfile -e "dist/signed/$name" "$keys/zip"
msiextract -C "$keys/msi" "dist/signed/$msi" >/dev/null
for program in wexdal.exe wexdal.com; do
    verify "$keys/zip/$program" "$program of the signed zip"
    verify "$keys/msi/Program Files/Wexdal/$program" "$program in the signed package"
done
verify "dist/signed/$msi" "the signed package $msi"

python3 -m zipfile -e "dist/$name" "$keys/unsigned"
if osslsigncode verify -CAfile "$keys/certificate.pem" -in "$keys/unsigned/wexdal.exe" >/dev/null 2>&1; then
    echo "signing: FAIL: the unsigned wexdal.exe passes the check" >&2
    failed=1
fi
for folder in dist dist/signed; do
    (cd "$folder" && sha256sum --check SHA256SUMS) || failed=1
done
if [ "$(cd dist && sha256sum "$name" "$msi")" != "$unsigned" ]; then
    echo "signing: FAIL: signing changed the unsigned packages" >&2
    failed=1
fi
[ "$failed" = 0 ] && echo "signing: every signed file verifies" || exit 1
