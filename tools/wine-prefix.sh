#!/usr/bin/env bash
# Creates the private Wine prefix under the build folder when it is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh" "${1:?build folder}"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "wine: creating prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$WINE" wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi
