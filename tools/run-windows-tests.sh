#!/usr/bin/env bash
# Runs the Windows tests under Wine, in the build folder's private prefix and a virtual display,
# then ends that prefix's wineserver (and only that one).
#
# The tests run against the 32-bit build in a 32-bit prefix. A machine whose kernel cannot
# execute 32-bit programs cannot run 32-bit Wine at all; there the same tests are built for
# 64-bit Windows and run in a 64-bit prefix, and this script says so.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/.."
# WINDOWS_TESTS=win64 runs the 64-bit fallback on a machine that could run 32-bit Wine too, so
# that both paths can be checked on one machine.
if [[ "${WINDOWS_TESTS:-}" != win64 ]] && "$here/can-run-32bit.sh"; then
  build=build/win32
else
  if [[ "${WINDOWS_TESTS:-}" == win64 ]]; then
    echo "windows tests: WINDOWS_TESTS=win64: running the 64-bit fallback in a 64-bit prefix (build/win64)."
  else
    echo "windows tests: this machine cannot execute 32-bit programs, so 32-bit Wine cannot run here;"
    echo "windows tests: running them as a 64-bit build in a 64-bit prefix (build/win64)."
  fi
  build=build/win64
  cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "${JOBS:-2}" || exit 1
fi
# The product is the 32-bit build: its import check and the checks of its release need no Wine
# and run wherever the tests run. Only its release's dialog needs 32-bit Wine; here the 64-bit
# build's release is signed and opened instead (win32.release_dialog below).
if [[ "$build" != build/win32 ]]; then
  echo "windows tests: the signed 32-bit release cannot be started here; every other check of it runs."
  ctest --test-dir build/win32 -R '^(setup|release)\.' --output-on-failure || exit 1
fi
"$here/wine-prefix.sh" "$build" || exit 1
. "$here/wine-env.sh" "$build"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$build" --output-on-failure
rc=$?
wineserver -k 2>/dev/null || true
exit $rc
