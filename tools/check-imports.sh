#!/usr/bin/env bash
# Fails unless every DLL that the program imports is one of the system's known DLLs, which Windows
# always loads from the system directory. Any other library must be loaded by full path from the
# system directory at run time, so that a copy planted beside the program is never loaded.
set -euo pipefail
exe=${1:?program}
known="advapi32.dll comdlg32.dll gdi32.dll imagehlp.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll
oleaut32.dll psapi.dll rpcrt4.dll setupapi.dll shell32.dll shlwapi.dll user32.dll ws2_32.dll"
objdump=i686-w64-mingw32-objdump
command -v "$objdump" >/dev/null || objdump=objdump
status=0
while read -r dll; do
  lower=$(echo "$dll" | tr 'A-Z' 'a-z')
  if [[ " $(echo $known) " == *" $lower "* ]]; then
    echo "import: $dll (known DLL)"
  else
    echo "import: $dll is not a known DLL" >&2
    status=1
  fi
done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
exit $status
