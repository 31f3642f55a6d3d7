#!/usr/bin/env bash
# Runs a Windows program in the project's private Wine prefix (CTest's emulator for the
# cross build). WINE_BUILD_DIR names the build folder that holds the prefix.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${WINE_BUILD_DIR:?WINE_BUILD_DIR is not set}
"$here/wine-prefix.sh" "$build" || exit 1
. "$here/wine-env.sh" "$build"
exec "$WINE" "$@"
