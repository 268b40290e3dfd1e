#!/usr/bin/env bash
# Measures LoadTips on a generated 1,000,000-line Shift-JIS tips file (about 50 MB) against
# reading and converting that file once, and its peak memory against the file's size, under
# Wine with code page 932 in a throwaway prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh

build=${QUELM_BUILD_DIR:-build/win64}
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target load_tips_bench

source tools/wine-env.sh
quelm_throwaway_wine # the tip window is a real window

bench="$build/bench/load_tips_bench.exe"
file="$(realpath "$build")/bench/tips-1m.txt"
winfile="Z:${file//\//\\}"
if [ ! -s "$file" ]; then
    echo "== generating $file"
    wine "$bench" --generate "$winfile" </dev/null
fi
echo "== $(wc -l <"$file") lines, $(stat -c %s "$file") bytes"
wine "$bench" "$winfile" </dev/null
