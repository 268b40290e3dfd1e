#!/usr/bin/env bash
# Builds QUELM and runs every test under Wine, in a throwaway prefix, on a private Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== build"
# QUELM_BUILD_DIR lets a second checkout or session build beside the usual tree.
build=${QUELM_BUILD_DIR:-build/win64}
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" ${QUELM_TARGETS:+--target $QUELM_TARGETS}

if [ -z "${QUELM_TARGETS:-}" ]; then
    echo "== 32-bit build"
    build32=${QUELM_BUILD_DIR32:-build/win32}
    cmake --preset win32 -B "$build32" >/dev/null
    cmake --build "$build32"

    echo "== packages"
    tools/check-exe.sh "$build32/app/QUELM.exe" i686-w64-mingw32-objdump
    for dir in "$build" "$build32"; do
        (cd "$dir" && cpack >/dev/null)
        ls -l "$dir"/QUELM-*.zip
    done
fi

source tools/wine-env.sh
quelm_throwaway_wine
wine "$build/tests/keep_desktop.exe" >/dev/null 2>&1 </dev/null &

echo "== tests"
ctest --test-dir "$build" --output-on-failure --timeout 120 ${QUELM_TESTS_REGEX:+-R "$QUELM_TESTS_REGEX"} </dev/null

if [ -z "${QUELM_TARGETS:-}" ]; then
    echo "== clang-tidy"
    LC_ALL=C QUELM_BUILD_DIR="$build" tools/tidy.sh
fi
