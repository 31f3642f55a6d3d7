#!/usr/bin/env bash
# Environment of the project's private Wine prefix. Source it with the build folder:
#   . tools/wine-env.sh build/win32
# The prefix lies in the build folder; its architecture is the build's (wine-arch.txt).
wine_build_dir=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="$wine_build_dir/wine"
export WINEARCH=$(cat "$wine_build_dir/wine-arch.txt" 2>/dev/null || echo win32)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
if [[ "$WINEARCH" == win64 ]]; then
  WINE=/usr/lib/wine/wine64
else
  WINE=wine
fi
export WINE
