#!/usr/bin/env bash
# Times the real program from its start to its first shown window on a
# virtual X display, over several runs, and prints each figure.
# Usage: scripts/startup_time.sh [RUNS] [BUILD_DIR]
set -euo pipefail
runs=${1:-5}
program=$(realpath "${2:-build/default}")/app/sorrel
source "$(dirname "$0")/virtual_display.sh"

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
