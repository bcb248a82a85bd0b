#!/usr/bin/env bash
# Sets everything up, builds Sorrel and solves the start-up design with
# sorrel-cli, showing its report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target sorrel-cli
cli=build/default/cli/sorrel-cli
design=$(mktemp --suffix=.srl)
trap 'rm -f "$design"' EXIT
"$cli" new "$design"
"$cli" calc "$design" --slot 0
"$cli" report "$design" --slot 0
