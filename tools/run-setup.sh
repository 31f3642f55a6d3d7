#!/usr/bin/env bash
# Builds and starts Setup.exe: directly on Windows, under Wine in the project's own prefix
# elsewhere. The program is the 32-bit build; a machine that cannot execute 32-bit programs runs
# the 64-bit build of the same program in a 64-bit prefix instead, and this script says so.
#
# Without a display ($DISPLAY unset) the program runs in a virtual display: once its dialog is
# open, a screenshot of it is saved as setup-dialog.png in the build folder, the dialog is closed
# as its exit button would close it, and the prefix's wineserver is ended.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/.."
jobs=${JOBS:-2}

build_preset() {  # preset, targets...
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs" --target "$@"
}

# In the virtual display: start the program (the build's Setup.exe unless another is given), wait
# for its dialog, take its picture (beside the program), close it.
if [[ "${1:-}" == --in-virtual-display ]]; then
  build=$2
  setup=${3:-$build/Setup.exe}
  . "$here/wine-env.sh" "$build"
  "$WINE" "$setup" &
  program=$!
  if ! area=$("$WINE" "$build/setup_window.exe" wait | tr -d '\r'); then
    kill "$program" 2>/dev/null
    exit 1
  fi
  read -r width height x y <<<"$area"
  sleep 1  # let the dialog finish painting
  shot="$(dirname "$setup")/setup-dialog.png"
  xwd -root -silent | convert xwd:- -crop "${width}x${height}+${x}+${y}" +repage "$shot"
  if ! "$WINE" "$build/setup_window.exe" close; then
    kill "$program" 2>/dev/null
    exit 1
  fi
  wait "$program"
  wineserver -w  # the prefix's processes end while their display is still there
  echo "run: screenshot of the dialog: $shot"
  exit 0
fi

case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    build_preset win32 Setup || exit 1
    exec build/win32/Setup.exe
    ;;
esac

if "$here/can-run-32bit.sh"; then
  preset=win32
else
  echo "run: this machine cannot execute 32-bit programs, so 32-bit Wine cannot run here;"
  echo "run: starting the 64-bit build of the same program instead (build/win64, in a 64-bit prefix)."
  preset=win64
fi
build=$PWD/build/$preset
build_preset "$preset" Setup setup_window || exit 1
"$here/wine-prefix.sh" "$build" || exit 1
. "$here/wine-env.sh" "$build"

if [[ -n "${DISPLAY:-}" ]]; then
  exec "$WINE" "$build/Setup.exe"
fi
echo "run: no display; running the dialog in a virtual display (xvfb-run)."
xvfb-run -a -s "-screen 0 1024x768x24" "$here/run-setup.sh" --in-virtual-display "$build"
rc=$?
wineserver -k 2>/dev/null || true
exit $rc
