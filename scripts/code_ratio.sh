#!/usr/bin/env bash
# Lines of C++ in tests/ against the rest of the tree (build folders left
# out), blank lines and comment lines not counted.
set -euo pipefail
cd "$(dirname "$0")/.."

# Counts the lines of the C++ files named on standard input that hold code.
count_code() {
    xargs -r cat | awk '
        /^[[:space:]]*$/ { next }
        in_block { if (/\*\//) in_block = 0; next }
        /^[[:space:]]*\/\// { next }
        /^[[:space:]]*\/\*/ { if (!/\*\//) in_block = 1; next }
        { lines++ }
        END { print lines + 0 }'
}

cpp_files() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -not -path './build*/*'
}

tests=$(cpp_files tests | count_code)
rest=$(cpp_files . -not -path './tests/*' | count_code)
awk -v t="$tests" -v r="$rest" 'BEGIN {
    printf "tests %d lines, rest %d lines: tests are %.1f %% of the rest\n", t, r, 100 * t / r }'
