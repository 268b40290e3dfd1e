#!/usr/bin/env bash
# Checks a built executable for release: every DLL its import table names is one that Windows
# ships, and the file is at most 512 KiB. Prints both facts; exits 1 when either fails.
# Usage: tools/check-exe.sh <exe> <objdump>   (e.g. x86_64-w64-mingw32-objdump)
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 <exe> <objdump>" >&2
    exit 2
fi
exe=$1
objdump=$2
max_bytes=524288

# System DLLs present on every supported Windows, compared in lower case. The api-ms-win-*
# sets are the Universal CRT's API sets, part of Windows 10 and later.
allowed=(kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll shell32.dll
         shlwapi.dll ole32.dll oleaut32.dll uxtheme.dll msvcrt.dll ucrtbase.dll version.dll
         psapi.dll imm32.dll winmm.dll ntdll.dll)

allowed_dll() {
    local name=$1 a
    case $name in api-ms-win-crt-*.dll | api-ms-win-core-*.dll) return 0 ;; esac
    for a in "${allowed[@]}"; do
        [ "$name" = "$a" ] && return 0
    done
    return 1
}

status=0
mapfile -t dlls < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
if [ ${#dlls[@]} -eq 0 ]; then
    echo "FAIL $exe: no import table found" >&2
    exit 1
fi
bad=()
for dll in "${dlls[@]}"; do
    allowed_dll "${dll,,}" || bad+=("$dll")
done
echo "$exe imports: ${dlls[*]}"
if [ ${#bad[@]} -ne 0 ]; then
    echo "FAIL $exe imports DLLs Windows does not ship: ${bad[*]}" >&2
    status=1
fi

size=$(stat -c %s "$exe")
echo "$exe size: $size bytes (limit $max_bytes)"
if [ "$size" -gt "$max_bytes" ]; then
    echo "FAIL $exe is larger than $max_bytes bytes" >&2
    status=1
fi
exit $status
