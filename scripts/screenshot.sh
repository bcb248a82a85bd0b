#!/usr/bin/env bash
# Starts the real program on a virtual X display, presses Calc (Enter runs
# the panel's default button) and saves a PNG of the main window, or with
# "tuning" opens Special > Tuning... and saves that window.
# Usage: scripts/screenshot.sh [OUT.png] [BUILD_DIR] [main|tuning]
set -euo pipefail
out=$(realpath -m "${1:-sorrel-main-window.png}")
build=$(realpath "${2:-build/default}")
program="$build/app/sorrel"
[ -x "$program" ] || { echo "screenshot: build $program first" >&2; exit 1; }

source "$(dirname "$0")/virtual_display.sh"

"$program" &
sorrel=$!
trap 'kill "$sorrel" 2>/dev/null; kill "$virtual_display_pid" 2>/dev/null; rm -f "$virtual_display_number"' EXIT
window=$(xdotool search --sync --onlyvisible --name '^Sorrel' | head -1)
xdotool windowmove "$window" 0 0
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --window "$window" Return
sleep 0.5
if [ "${3:-main}" = tuning ]; then
    xdotool key --window "$window" alt+s
    sleep 0.3
    xdotool key t
    window=$(xdotool search --sync --onlyvisible --name '^Sorrel - Tuning' | head -1)
    xdotool windowmove "$window" 0 0
    sleep 0.5
fi
import -window "$window" "$out"
echo "screenshot: $out"
