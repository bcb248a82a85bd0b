#!/usr/bin/env bash
# Starts the real program on a virtual X display, presses Calc (Enter runs
# the panel's default button) and saves a PNG of the main window.
# Usage: scripts/screenshot.sh [OUT.png] [BUILD_DIR]
set -euo pipefail
out=$(realpath -m "${1:-sorrel-main-window.png}")
build=$(realpath "${2:-build/default}")
program="$build/app/sorrel"
[ -x "$program" ] || { echo "screenshot: build $program first" >&2; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$sorrel" 2>/dev/null; kill "$xvfb" 2>/dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

XDG_RUNTIME_DIR=$(mktemp -d) "$program" &
sorrel=$!
window=$(xdotool search --sync --onlyvisible --name '^Sorrel' | head -1)
xdotool windowmove "$window" 0 0
xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key --window "$window" Return
sleep 0.5
import -window "$window" "$out"
echo "screenshot: $out"
