#!/usr/bin/env bash
# A release signed with a throwaway certificate: osslsigncode accepts the signature (with that
# certificate as the only trusted one) and refuses it once one byte of the program changes; the
# signature is all that signing added to the unsigned release; checksums and imports hold.
#   tests/release/signature.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tools=$here/../../tools
build=$(cd "${1:?build folder}" && pwd)
work=$build/release-test/signature
rm -rf "$work"
. "$here/throwaway-signer.sh"
(unset SIGN_CERT SIGN_KEY; "$tools/make-release.sh" "$build" "$work/unsigned")
make_throwaway_signer "$work/signer"
"$tools/make-release.sh" "$build" "$work/signed"
signed=$work/signed/Setup.exe

osslsigncode verify -CAfile "$SIGN_CERT" -in "$signed" | grep -E '^(Message digest algorithm|Signature verification|Succeeded)'
"$tools/check-release.py" same-program "$signed" "$work/unsigned/Setup.exe"
(cd "$work/signed" && sha256sum -c SHA256SUMS)
"$tools/check-imports.sh" "$signed"

# One byte of the program's code changed after signing: the signature no longer holds.
tampered=$work/tampered.exe
cp "$signed" "$tampered"
printf '\xcc' | dd of="$tampered" bs=1 seek=4096 conv=notrunc status=none
if osslsigncode verify -CAfile "$SIGN_CERT" -in "$tampered" >/dev/null 2>&1; then
  echo "FAILED: osslsigncode accepts the signature of a changed program" >&2
  exit 1
fi
echo "ok:     the signature of a changed program is refused"
