#!/usr/bin/env bash
# Makes the shipped files from a Windows build's Setup.exe:
#   tools/make-release.sh BUILD_DIR DIST_DIR
# DIST_DIR/Setup.exe is the program without debug information or symbols; its debug information
# goes to DIST_DIR/Setup.exe.debug, which the program names (with its CRC) in .gnu_debuglink so
# that a debugger finds it; DIST_DIR/SHA256SUMS lists both. When SIGN_CERT and SIGN_KEY name a
# PEM certificate (chain) and key, Setup.exe is signed with Authenticode (SHA-256), with a
# time stamp from SIGN_TIMESTAMP_URL when that is set (an RFC 3161 server).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?build folder}
dist=${2:?dist folder}
cache_value() {  # name
  "$here/cmake-cache-value.sh" "$build" "$1"
}
objcopy=$(cache_value CMAKE_OBJCOPY)
program=$build/Setup.exe
if [[ -n "${SIGN_CERT:-}" && -z "${SIGN_KEY:-}" || -z "${SIGN_CERT:-}" && -n "${SIGN_KEY:-}" ]]; then
  echo "release: SIGN_CERT and SIGN_KEY go together; set both to sign, neither to leave unsigned" >&2
  exit 1
fi
[[ -f "$program" ]] || { echo "release: $program is missing; build the Setup target first" >&2; exit 1; }

mkdir -p "$dist"
rm -f "$dist/Setup.exe" "$dist/Setup.exe.debug" "$dist/Setup.exe.unsigned" "$dist/SHA256SUMS"
# objcopy would write the current time into the PE header; --preserve-dates keeps the link's time
# stamp of 0. The debug link holds the debug file's name without its folder, and its CRC.
"$objcopy" --preserve-dates --only-keep-debug "$program" "$dist/Setup.exe.debug"
"$objcopy" --preserve-dates --strip-all --add-gnu-debuglink="$dist/Setup.exe.debug" "$program" "$dist/Setup.exe.unsigned"

driver_files=$(cache_value SETUP_DRIVER_FILES_DIR)
if [[ -n "$driver_files" ]]; then
  echo "release: driver files from $driver_files"
else
  echo "release: driver files: the stand-ins (the package installs nothing on a real machine;"
  echo "release: set SETUP_DRIVER_FILES_DIR to the folder of the real files)"
fi

if [[ -n "${SIGN_CERT:-}" && -n "${SIGN_KEY:-}" ]]; then
  timestamp=()
  [[ -n "${SIGN_TIMESTAMP_URL:-}" ]] && timestamp=(-ts "$SIGN_TIMESTAMP_URL")
  osslsigncode sign -h sha256 -certs "$SIGN_CERT" -key "$SIGN_KEY" "${timestamp[@]}" \
    -in "$dist/Setup.exe.unsigned" -out "$dist/Setup.exe" >/dev/null
  rm "$dist/Setup.exe.unsigned"
  echo "release: $dist/Setup.exe is signed with $SIGN_CERT${SIGN_TIMESTAMP_URL:+, time stamp from $SIGN_TIMESTAMP_URL}"
else
  mv "$dist/Setup.exe.unsigned" "$dist/Setup.exe"
  echo "release: $dist/Setup.exe is NOT signed (set SIGN_CERT and SIGN_KEY to PEM files to sign it)"
fi
(cd "$dist" && sha256sum Setup.exe Setup.exe.debug >SHA256SUMS)
echo "release: $dist/Setup.exe ($(stat -c %s "$dist/Setup.exe") bytes), Setup.exe.debug, SHA256SUMS"
