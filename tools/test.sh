#!/usr/bin/env bash
# Builds QUELM, 64-bit and 32-bit with GCC and 64-bit with Clang (undefined-behaviour checks and
# libstdc++'s assertions, never shipped), and runs every test of each under Wine, in a throwaway
# prefix on a private Xvfb display; then checks the executables, the packages and clang-tidy. On
# a machine that runs no 32-bit programs (or with QUELM_WINE32=0) the 32-bit tests are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
tools/check-docs.py

# The prefix boots while the code builds.
source tools/wine-env.sh
quelm_wine_path
quelm_throwaway_display
# Its report waits until the tests need it: a failed build stops the boot, which is no failure.
quelm_prepare_prefix 2>"$WINEPREFIX/prepare.err" &
prefix_ready=$!

# QUELM_BUILD_DIR(32|CLANG) let a second checkout or session build beside the usual trees;
# QUELM_TARGETS builds only those targets of the 64-bit tree and skips the rest.
build=${QUELM_BUILD_DIR:-build/win64}
build32=${QUELM_BUILD_DIR32:-build/win32}
buildclang=${QUELM_BUILD_DIRCLANG:-build/win64-clang}
builds=("$build")
echo "== build"
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" ${QUELM_TARGETS:+--target $QUELM_TARGETS}
if [ -z "${QUELM_TARGETS:-}" ]; then
    echo "== 32-bit build"
    cmake --preset win32 -B "$build32" >/dev/null
    cmake --build "$build32"
    builds+=("$build32")

    echo "== Clang build"
    cmake --preset win64-clang -B "$buildclang" >/dev/null
    # GNU ld notes that Clang's copies of libstdc++'s type names are shorter than GCC's (which
    # pads them to 16 bytes): the same strings, one kept.
    cmake --build "$buildclang" 2>&1 | { grep -v "^/.*: duplicate section .* has different size$" || true; }

    echo "== packages"
    tools/check-exe.sh "$build32/app/QUELM.exe" i686-w64-mingw32-objdump
    for dir in "${builds[@]}"; do
        cmake --build "$dir" --target package_zip >/dev/null
        ls -l "$dir"/QUELM-*.zip
    done

    # A clean clone of HEAD in another folder must give the same bytes, packaged by cpack.
    echo "== reproducible build"
    repro=$(mktemp -d /tmp/quelm-repro.XXXXXX)
    git clone -q --no-local . "$repro/src"
    git -C "$repro/src" checkout -q --detach "$(git rev-parse HEAD)"
    for preset in win64 win32; do
        dir=$build
        [ "$preset" = win32 ] && dir=$build32
        cmake --preset "$preset" -S "$repro/src" -B "$repro/$preset" -DQUELM_TESTS=OFF >/dev/null
        cmake --build "$repro/$preset" --target QUELM >/dev/null
        (cd "$repro/$preset" && cpack >/dev/null)
        zip=$(cd "$dir" && echo QUELM-*-"$preset".zip)
        for f in app/QUELM.exe "$zip" "$zip.sha256"; do
            if ! cmp "$dir/$f" "$repro/$preset/$f"; then
                echo "== not reproducible: $dir/$f differs from a clean build of HEAD" \
                     "(uncommitted changes?)" >&2
                exit 1
            fi
        done
        echo "== reproducible: $preset QUELM.exe identical, cpack's $zip identical to package_zip's"
    done
    rm -rf "$repro"
fi

wait "$prefix_ready" || { cat "$WINEPREFIX/prepare.err" >&2; exit 1; }
quelm_keep_desktop "$build/tests/keep_desktop.exe"

for dir in "${builds[@]}"; do
    if [ "$dir" = "$build32" ] && [ "$QUELM_WINE32" = 0 ]; then
        echo "== 32-bit tests skipped: $QUELM_NO_WINE32_REASON"
        continue
    fi
    echo "== tests: $dir"
    ctest --test-dir "$dir" --output-on-failure --timeout 120 \
        ${QUELM_TESTS_REGEX:+-R "$QUELM_TESTS_REGEX"} </dev/null
done

# The tips file is Shift-JIS on any system: the tip tests again on an English code page (1252).
echo "== tip tests on code page 1252"
LC_ALL=en_US.UTF-8 ctest --test-dir "$build" --output-on-failure --timeout 120 -R '^Tip\.' \
    </dev/null 2>&1 | grep -v 'setlocale'

if [ -z "${QUELM_TARGETS:-}" ]; then
    # A check that fires ends its test: undefined behaviour with an illegal instruction
    # (0xC000001D), a misuse of the standard library with libstdc++'s assertion and an abort.
    echo "== tests: $buildclang (Clang, undefined-behaviour checks)"
    ctest --test-dir "$buildclang" --output-on-failure --timeout 120 \
        ${QUELM_TESTS_REGEX:+-R "$QUELM_TESTS_REGEX"} </dev/null

    echo "== clang-tidy"
    LC_ALL=C QUELM_BUILD_DIR="$build" tools/tidy.sh
fi

echo "== test size"
tools/count-lines.sh
