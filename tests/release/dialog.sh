#!/usr/bin/env bash
# The signed release made from a build's Setup.exe still opens its dialog under Wine (in the
# build's prefix, inside the virtual display the Windows tests run in), and closes as its exit
# button closes it.
#   tests/release/dialog.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tools=$here/../../tools
build=$(cd "${1:?build folder}" && pwd)
work=$build/release-test/dialog
rm -rf "$work"
. "$here/throwaway-signer.sh"
make_throwaway_signer "$work/signer"
"$tools/make-release.sh" "$build" "$work/dist"
osslsigncode verify -CAfile "$SIGN_CERT" -in "$work/dist/Setup.exe" >/dev/null
if [[ "$(cat "$build/wine-arch.txt")" == win64 ]]; then
  echo "release dialog: the 64-bit Setup.exe, released, signed and run as the 32-bit one would be"
fi
"$tools/wine-prefix.sh" "$build"
"$tools/run-setup.sh" --in-virtual-display "$build" "$work/dist/Setup.exe"
