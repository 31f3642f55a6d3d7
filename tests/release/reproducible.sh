#!/usr/bin/env bash
# Two release builds from two copies of the tree in different folders give the same bytes: the
# build given (from the source folder) and a build of a copy of the same files in a folder of
# another name and length. Only Setup.exe is built in the copy, which is kept between runs so that
# later runs rebuild only what changed.
#   tests/release/reproducible.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
source=$(cd "${2:?source folder}" && pwd)
work=$build/release-test/reproducible
copy=$work/another-copy-of-the-sources
unset SIGN_CERT SIGN_KEY

# The copy: the files git knows of, as they are in the working tree (changes not yet committed
# and new files included), with their times, so that make sees what changed since the last run.
mkdir -p "$copy"
find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
  tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null) | tar -xpf - -C "$copy"

driver_files=$("$here/../../tools/cmake-cache-value.sh" "$build" SETUP_DRIVER_FILES_DIR)
(cd "$copy" && cmake --preset win32 -DSETUP_DRIVER_FILES_DIR="$driver_files" >/dev/null &&
  cmake --build --preset win32 -j "${JOBS:-2}" --target Setup >/dev/null)

"$here/../../tools/make-release.sh" "$build" "$work/dist-a" >/dev/null
"$here/../../tools/make-release.sh" "$copy/build/win32" "$work/dist-b" >/dev/null
status=0
for file in Setup.exe Setup.exe.debug; do
  if cmp -s "$work/dist-a/$file" "$work/dist-b/$file"; then
    echo "ok:     $file is the same from $source and from $copy"
  else
    echo "FAILED: $file differs between the builds of $source and $copy (first differing bytes:)" >&2
    cmp -l "$work/dist-a/$file" "$work/dist-b/$file" | head -5 >&2
    status=1
  fi
done
exit $status
