#!/usr/bin/env bash
# Non-blank lines of code (C++ sources and headers, resource scripts, CMake files) of the tests
# against those of the product, as tracked by git. The program's texts and data (README.txt,
# TIPOFDAY.TXT, the manifest) are not code.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
count() {
    local dirs=("$@") specs=()
    for dir in "${dirs[@]}"; do
        specs+=("$dir/*.cpp" "$dir/*.h" "$dir/*.rc" "$dir/*CMakeLists.txt")
    done
    git ls-files -z -- "${specs[@]}" | xargs -0 grep -hv '^[[:space:]]*$' | wc -l
}
tests=$(count tests)
product=$(count app base registry zone ui)
ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", t / p }')
echo "tests: $tests non-blank lines, product: $product, ratio $ratio (goal: at most 0.500)"
