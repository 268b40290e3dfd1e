#!/usr/bin/env bash
# Checks a built executable for release: every DLL its import table names is one that Windows
# ships, no function it imports came after Windows 7 SP1, its manifest asks to run as the
# invoker and declares per-monitor DPI awareness, the file is at most 512 KiB, and it is
# hardened as Microsoft's BinSkim rules ask (a failure names the rule). Prints the facts; exits
# 1 when one fails.
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

# Windows refuses to start a program whose import is missing, before any of its code runs, with
# an "entry point not found" box; Wine exports everything, so only this check sees it. These
# names came after Windows 7 SP1 (mostly with Windows 8, 8.1 and 10): DPI per monitor or per
# window, and the kernel32 functions a newer toolchain or habit reaches for. Such functions are
# looked up with GetProcAddress instead.
later='ForDpi|DpiAwareness|^GetDpiFor|PerMonitorDPI$|^EnableNonClientDpiScaling$'
later+='|^GetSystemTimePreciseAsFileTime$|^CreateFile2$|^CopyFile2$|^WaitOnAddress$|^WakeByAddress'
later+='|^SetThreadDescription$|^GetThreadDescription$|^AddDllDirectory$|^RemoveDllDirectory$'
later+='|^SetDefaultDllDirectories$|^GetCurrentPackage|^PrefetchVirtualMemory$|^GetOverlappedResultEx$'
mapfile -t newer < <("$objdump" -p "$exe" |
    awk '/DLL Name:/ { dll = $3 } dll && /^\t[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print $3 }' |
    grep -E "$later" || true)
if [ ${#newer[@]} -ne 0 ]; then
    echo "FAIL $exe imports functions that Windows 7 SP1 does not export: ${newer[*]}" >&2
    status=1
fi

# Without requestedExecutionLevel Windows treats a 32-bit program as a legacy one: it redirects
# its writes to machine keys and system folders and may answer reads of machine keys from a
# per-user copy. The manifest is stored as UTF-8 text in the resources.
if grep -aq 'requestedExecutionLevel level="asInvoker"' "$exe"; then
    echo "$exe manifest: runs as the invoker"
else
    echo "FAIL $exe has no manifest that asks to run as the invoker" >&2
    status=1
fi

# Windows takes the DPI awareness from the manifest before any code runs, and Wine ignores it:
# without it, Windows 8.1 and later stretch the windows' bitmaps above 96 DPI and blur the text.
if grep -aq '>true/pm</dpiAware>' "$exe" &&
    grep -aq '>PerMonitorV2, PerMonitor</dpiAwareness>' "$exe"; then
    echo "$exe manifest: aware of each monitor's DPI"
else
    echo "FAIL $exe has no manifest that declares it aware of each monitor's DPI" >&2
    status=1
fi

# The hardening, read from the PE headers: a little-endian number of $2 bytes at offset $1.
number() { od -An -t "u$2" -j "$1" -N "$2" "$exe" | tr -d ' '; }
rule() { # name, 1 when it holds, what holds, what fails
    if [ "$2" = 1 ]; then
        echo "$exe $1: $3"
    else
        echo "FAIL $exe $1: $4" >&2
        status=1
    fi
}
pe=$(number 60 4)
optional=$((pe + 24))
dll=$(number $((optional + 70)) 2)
wide=$(($(number "$optional" 2) == 0x20b)) # PE32+, a 64-bit image
# The loader can move only an image that keeps its relocations.
rule BA2009.EnableAddressSpaceLayoutRandomization \
    $(((dll & 0x40) != 0 && ($(number $((pe + 22)) 2) & 1) == 0)) \
    "relocatable at load (ASLR)" "not relocatable: no DYNAMIC_BASE or no relocations"
if [ $wide = 1 ]; then
    rule BA2015.EnableHighEntropyVirtualAddresses $(((dll & 0x20) != 0)) \
        "relocatable anywhere in 64-bit space" "no HIGH_ENTROPY_VA"
fi
rule BA2016.MarkImageAsNXCompatible $(((dll & 0x100) != 0)) "compatible with DEP" "no NX_COMPAT"
# base/stack_guard.cpp, linked in only when some function checks a stack cookie, holds the
# cookie's value before the program draws it (kUnseededStackGuard in base/stack_guard.h): 8
# bytes of it, or the low 4 in a 32-bit image.
cookie='\x5d\x47\xc6\xb8'
[ $wide = 1 ] && cookie+='\xa1\xe3\xf9\x2d'
protected=0
LC_ALL=C grep -qaP "$cookie" "$exe" && protected=1
rule BA2011.EnableStackProtection $protected \
    "functions check their stack cookies" "no function checks a stack cookie"
wx=() ws=()
sections=$((optional + $(number $((pe + 20)) 2)))
for ((i = 0; i < $(number $((pe + 6)) 2); i++)); do
    header=$((sections + 40 * i))
    traits=$(number $((header + 36)) 4)
    ((traits & 0x80000000)) || continue # not writable
    name=$(dd if="$exe" bs=1 skip="$header" count=8 status=none | tr -d '\0')
    ((traits & 0x20000000)) && wx+=("$name")
    ((traits & 0x10000000)) && ws+=("$name")
done
rule BA2021.DoNotMarkWritableSectionsAsExecutable $((${#wx[@]} == 0)) \
    "no writable section is executable" "writable and executable: ${wx[*]}"
rule BA2019.DoNotMarkWritableSectionsAsShared $((${#ws[@]} == 0)) \
    "no writable section is shared" "writable and shared: ${ws[*]}"

size=$(stat -c %s "$exe")
echo "$exe size: $size bytes (limit $max_bytes)"
if [ "$size" -gt "$max_bytes" ]; then
    echo "FAIL $exe is larger than $max_bytes bytes" >&2
    status=1
fi
exit $status
