#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over the project's C++ sources as the MinGW-w64
# cross compiler builds them: the compile commands of a win64 build tree, the MinGW target and
# g++'s own C++ and MinGW header directories. Prints the warnings per file; fails on any.
# QUELM_BUILD_DIR picks the build tree (build/win64); only its configuration is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh

build=${QUELM_BUILD_DIR:-build/win64}
cmake --preset win64 -B "$build" >/dev/null

triple=x86_64-w64-mingw32
args=(-quiet -p "$build" -j "$(nproc)" -extra-arg=--target=$triple
      "-header-filter=^$PWD/(app|base|bench|registry|tests|ui|zone)/")
# The directories g++ searches, in its order, but not GCC's own include and include-fixed:
# they hold GCC's intrinsics, and clang brings its own.
while read -r dir; do
    dir=$(realpath -m "$dir")
    case $dir in /usr/lib/gcc/$triple/*/include | */include-fixed) continue ;; esac
    args+=("-extra-arg=-isystem$dir")
done < <($triple-g++-posix -E -x c++ - -v </dev/null 2>&1 |
         sed -n '/#include <...> search starts here:/,/End of search list./s/^ //p')

log=$(mktemp)
trap 'rm -f "$log" "$log.found"' EXIT
# run-clang-tidy colours its output whatever it writes to: take the colours out.
status=0
run-clang-tidy "${args[@]}" "^$PWD/(app|base|bench|registry|tests|ui|zone)/.*\.cpp$" 2>&1 |
    sed 's/\x1b\[[0-9;]*m//g' >"$log" || status=$?
files=$(grep -c '^clang-tidy' "$log" || true)
# Headers are checked once for every source that includes them: report each warning once.
grep -E '^/.*: (warning|error): ' "$log" | sort -t: -k1,1 -k2,2n -k3,3n -u >"$log.found" || true
if [ ! -s "$log.found" ]; then
    if [ "$status" -ne 0 ] || [ "$files" -eq 0 ]; then
        cat "$log"
        echo "clang-tidy failed without a diagnostic (status $status, $files files)" >&2
        exit 1
    fi
    echo "clang-tidy: no warnings in $files files"
    exit 0
fi
sed "s|^$PWD/||" "$log.found"
echo "== warnings per file"
sed "s|^$PWD/||; s|:.*||" "$log.found" | sort | uniq -c
echo "clang-tidy: $(wc -l <"$log.found") warnings in $files files"
exit 1
