#!/usr/bin/env bash
# Starts the built Setup.exe: directly on Windows, under Wine in the project's prefix elsewhere.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
exe="$build/Setup.exe"
if [[ ! -f "$exe" ]]; then
  echo "run: the Windows binaries are built, but the installer dialog is not there yet (no Setup.exe)."
  exit 0
fi
case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*) exec "$exe" ;;
esac
"$here/wine-prefix.sh" "$build" || exit 1
. "$here/wine-env.sh" "$build"
exec wine "$exe"
