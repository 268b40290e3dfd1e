#!/usr/bin/env bash
# Measures LoadTips on three generated tips files of about 50 MB (many short lines, one long
# line, lines of invalid Shift-JIS) against reading and converting each file once, and its peak
# memory against the file's size, under Wine with code page 932 in a throwaway prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
source tools/wine-env.sh # before CMake: it finds the Wine that CTest uses

build=${QUELM_BUILD_DIR:-build/win64}
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" --target load_tips_bench

quelm_throwaway_wine # the tip window is a real window

folder="$(realpath "$build")/bench"
wine "$build/bench/load_tips_bench.exe" "Z:${folder//\//\\}" </dev/null
