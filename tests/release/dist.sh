#!/usr/bin/env bash
# The unsigned release made from a build's Setup.exe: hardened and stripped, its debug file linked,
# free of the build's folders, its checksums right and its imports only known DLLs.
#   tests/release/dist.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
source=$(cd "${2:?source folder}" && pwd)
dist=$build/release-test/unsigned
unset SIGN_CERT SIGN_KEY
"$here/../../tools/make-release.sh" "$build" "$dist"
"$here/../../tools/check-release.py" dist "$dist" --forbid "$source" --forbid "$build"
(cd "$dist" && sha256sum -c SHA256SUMS)
"$here/../../tools/check-imports.sh" "$dist/Setup.exe"
