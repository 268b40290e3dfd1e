#!/usr/bin/env bash
# Non-blank lines of the tests against those of the product, as tracked by git (text files only).
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
count() { git ls-files -z -- "$@" | xargs -0 grep -hIv '^[[:space:]]*$' | wc -l; }
tests=$(count tests)
product=$(count app base registry zone ui)
ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.2f", t / p }')
echo "tests: $tests non-blank lines, product: $product, ratio $ratio (goal: at most 0.50)"
