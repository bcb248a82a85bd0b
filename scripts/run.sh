#!/usr/bin/env bash
# Sets everything up, builds Sorrel and starts the desktop program. Where no
# display is available it says so and shows the start-up design's report
# through sorrel-cli instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset default >/dev/null
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    cmake --build --preset default -j "$(nproc)" --target sorrel
    exec build/default/app/sorrel
fi

echo "No display is available, so the desktop program cannot open its window."
echo "Showing the start-up design's report through sorrel-cli instead."
echo
cmake --build --preset default -j "$(nproc)" --target sorrel-cli
cli=build/default/cli/sorrel-cli
design=$(mktemp --suffix=.srl)
trap 'rm -f "$design"' EXIT
"$cli" new "$design"
"$cli" calc "$design" --slot 0 --derive
"$cli" report "$design" --slot 0
