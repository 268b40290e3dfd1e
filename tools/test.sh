#!/usr/bin/env bash
# Builds QUELM and runs every test under Wine, in a throwaway prefix, on a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== build"
cmake --preset win64 >/dev/null
cmake --build --preset win64

source tools/wine-env.sh
WINEPREFIX=$(mktemp -d /tmp/quelm-test-prefix.XXXXXX)
export WINEPREFIX
trap 'quelm_stop; rm -rf "$WINEPREFIX"' EXIT
unset DISPLAY
quelm_start_xvfb
quelm_start_prefix

echo "== tests"
ctest --preset win64 </dev/null
