#!/usr/bin/env bash
# Times the real program from its start to its first shown window on a
# virtual X display, over several runs, and prints each figure.
# Usage: scripts/startup_time.sh [RUNS] [BUILD_DIR]
set -euo pipefail
runs=${1:-5}
program=$(realpath "${2:-build/default}")/app/sorrel
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_RUNTIME_DIR=$(mktemp -d)

for run in $(seq "$runs"); do
    start=$(date +%s%N)
    "$program" &
    pid=$!
    until xdotool search --onlyvisible --name '^Sorrel' >/dev/null 2>&1; do sleep 0.01; done
    end=$(date +%s%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "run $run: $(( (end - start) / 1000000 )) ms to the first shown window"
done
