#!/usr/bin/env bash
# Makes the release file: OUT_DIR/orbelinchk.exe, Authenticode-signed when a code-signing certificate is
# configured, then verified, and OUT_DIR/SHA256SUMS for it.
#   release.sh UNSIGNED_EXE OUT_DIR
# Configuration, from the environment:
#   ORBELINCHK_SIGN_PKCS12         the PKCS#12 file holding the certificate, its key and ideally its chain
#   ORBELINCHK_SIGN_PASSWORD_FILE  a file holding the PKCS#12's password
#   ORBELINCHK_TIMESTAMP_URL       an RFC 3161 timestamp server (optional)
# The password is only ever read from its file, by osslsigncode and openssl themselves: it never appears
# on a command line (where ps would show it to every user of the machine) nor in this script's output.
set -euo pipefail

# What Windows shows as the signed program's name and "more information" address. The name is the
# version block's FileDescription; ASCII only, as osslsigncode stores it in an IA5String.
readonly DESCRIPTION=orbelinchk
readonly PRODUCT_URL=https://www.orbelin.fr/
readonly SYSTEM_ROOTS=/etc/ssl/certs/ca-certificates.crt

fail() {
    echo "release: $*" >&2
    exit 1
}

unsigned=${1:?usage: release.sh UNSIGNED_EXE OUT_DIR}
out=${2:?usage: release.sh UNSIGNED_EXE OUT_DIR}
pkcs12=${ORBELINCHK_SIGN_PKCS12:-}
password_file=${ORBELINCHK_SIGN_PASSWORD_FILE:-}
timestamp_url=${ORBELINCHK_TIMESTAMP_URL:-}

[ -f "$unsigned" ] || fail "no executable at $unsigned"
mkdir -p "$out"
# A checksum file left by an earlier run must not outlive a release that fails half-way.
rm -f "$out/SHA256SUMS"

write_checksum() {
    (cd "$out" && sha256sum orbelinchk.exe >SHA256SUMS)
    echo "release: $out/SHA256SUMS:"
    cat "$out/SHA256SUMS"
}

readable_file() {
    local what=$1 path=$2
    [ -f "$path" ] || fail "$what: $path is not a file"
    [ -r "$path" ] || fail "$what: $path cannot be read"
}

if [ -z "$pkcs12" ] && [ -z "$password_file" ]; then
    [ -z "$timestamp_url" ] || fail "ORBELINCHK_TIMESTAMP_URL is set but no certificate is configured" \
        "(ORBELINCHK_SIGN_PKCS12 and ORBELINCHK_SIGN_PASSWORD_FILE)"
    [ "$unsigned" -ef "$out/orbelinchk.exe" ] || cp "$unsigned" "$out/orbelinchk.exe"
    echo "release: NOT SIGNED: no code-signing certificate is configured (set ORBELINCHK_SIGN_PKCS12 and"
    echo "release: ORBELINCHK_SIGN_PASSWORD_FILE to sign). $out/orbelinchk.exe is the unsigned, reproducible build;"
    echo "release: Windows will show it as coming from an unknown publisher."
    write_checksum
    exit 0
fi
[ -n "$pkcs12" ] || fail "ORBELINCHK_SIGN_PASSWORD_FILE is set but ORBELINCHK_SIGN_PKCS12 is not"
[ -n "$password_file" ] || fail "ORBELINCHK_SIGN_PKCS12 is set but ORBELINCHK_SIGN_PASSWORD_FILE is not"
readable_file ORBELINCHK_SIGN_PKCS12 "$pkcs12"
readable_file ORBELINCHK_SIGN_PASSWORD_FILE "$password_file"
if [ -n "$timestamp_url" ] && [[ $timestamp_url != http://* && $timestamp_url != https://* ]]; then
    fail "ORBELINCHK_TIMESTAMP_URL must be an http:// or https:// address, not $timestamp_url"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/orbelinchk-release.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The certificates the PKCS#12 carries: the signer's, to check that the file is signed by it and no other,
# and its chain, as trust anchors for the verification next to the system's roots. OpenSSL 3 opens files
# made with the old RC2 encryption only with its legacy provider.
pkcs12_certs() {
    openssl pkcs12 -in "$pkcs12" -passin "file:$password_file" -nokeys "$@" 2>"$work/openssl.log" ||
        openssl pkcs12 -legacy -in "$pkcs12" -passin "file:$password_file" -nokeys "$@" 2>"$work/openssl.log"
}
pkcs12_certs -clcerts -out "$work/signer.pem" ||
    fail "cannot open $pkcs12 with the password in $password_file: $(head -n 3 "$work/openssl.log")"
pkcs12_certs -out "$work/anchors.pem" || fail "cannot read the certificates of $pkcs12"
[ -f "$SYSTEM_ROOTS" ] && cat "$SYSTEM_ROOTS" >>"$work/anchors.pem"
signer_hash=$(openssl x509 -in "$work/signer.pem" -outform DER | sha256sum | cut -d' ' -f1)

sign=(osslsigncode sign -pkcs12 "$pkcs12" -readpass "$password_file" -h sha256 -n "$DESCRIPTION" -i "$PRODUCT_URL")
verify=(osslsigncode verify -CAfile "$work/anchors.pem" -require-leaf-hash "sha256:$signer_hash")
if [ -n "$timestamp_url" ]; then
    sign+=(-ts "$timestamp_url")
    verify+=(-TSA-CAfile "$work/anchors.pem")
else
    echo "release: ORBELINCHK_TIMESTAMP_URL is not set: the signature will stop being valid when the certificate expires"
fi

"${sign[@]}" -in "$unsigned" -out "$work/orbelinchk.exe" >"$work/sign.log" 2>&1 ||
    fail "signing failed: $(cat "$work/sign.log")"
"${verify[@]}" -in "$work/orbelinchk.exe" >"$work/verify.log" 2>&1 ||
    fail "the signed file does not verify: $(cat "$work/verify.log")"
if [ -n "$timestamp_url" ]; then
    grep -q '^Timestamp Server Signature verification: ok' "$work/verify.log" ||
        fail "the signed file carries no verified timestamp: $(cat "$work/verify.log")"
fi
cat "$work/verify.log"

mv -f "$work/orbelinchk.exe" "$out/orbelinchk.exe"
echo "release: $out/orbelinchk.exe is signed (SHA-256, by $(openssl x509 -in "$work/signer.pem" -noout -subject))"
write_checksum
