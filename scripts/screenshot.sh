#!/usr/bin/env bash
# Starts the real program on a virtual X display of 1280 × 1024, drives it
# from the keyboard as a user would and saves a PNG.
# Usage: scripts/screenshot.sh [OUT.png] [BUILD_DIR] [SCENE]
#   main     (default) Calc pressed with Enter; the main window alone
#   scaled   the same at 150 % scaling (QT_SCALE_FACTOR=1.5); the whole screen
#   unsaved  Calc, then Quit: the question about unsaved changes; the whole screen
#   invalid  a hole size of -5 typed, then Enter: the refusal; the whole screen
#   tuning   Calc, then Special > Tuning...: the Tuning window alone
#   tuning-scaled  the same at 150 % scaling; the whole screen
set -euo pipefail
out=$(realpath -m "${1:-sorrel-main-window.png}")
build=$(realpath "${2:-build/default}")
scene=${3:-main}
program="$build/app/sorrel"
[ -x "$program" ] || { echo "screenshot: build $program first" >&2; exit 1; }

source "$(dirname "$0")/virtual_display.sh"

case "$scene" in scaled | tuning-scaled) export QT_SCALE_FACTOR=1.5 ;; esac
workdir=$(mktemp -d) # Save must not find or leave a design file anywhere else
(cd "$workdir" && exec "$program") &
sorrel=$!
trap 'kill "$sorrel" 2>/dev/null; kill "$virtual_display_pid" 2>/dev/null; rm -rf "$workdir" "$virtual_display_number"' EXIT
window=$(xdotool search --sync --onlyvisible --name 'Sorrel - Bellbrook$' | head -1)
xdotool windowmove "$window" 0 0
xdotool windowfocus --sync "$window"
sleep 0.5
case "$scene" in
invalid)
    # From the description field: material, English, first note, six steps,
    # Calculate Frequencies, Geo. Correction, bore, wall, divisor, width,
    # length, Transfer, then the first frequency and hole 6's size.
    xdotool key --window "$window" --delay 50 $(printf 'Tab %.0s' $(seq 19))
    xdotool type --window "$window" --delay 50 -- '-5'
    xdotool key --window "$window" Return
    ;;
*)
    xdotool key --window "$window" Return
    ;;
esac
sleep 0.5
case "$scene" in
unsaved)
    xdotool key --window "$window" ctrl+q
    sleep 0.7
    import -window root "$out"
    ;;
tuning | tuning-scaled)
    xdotool key --window "$window" alt+s
    sleep 0.3
    xdotool key t
    window=$(xdotool search --sync --onlyvisible --name '^Sorrel - Tuning' | head -1)
    xdotool windowmove "$window" 0 0
    sleep 0.5
    if [ "$scene" = tuning ]; then import -window "$window" "$out"; else import -window root "$out"; fi
    ;;
main) import -window "$window" "$out" ;;
*) import -window root "$out" ;;
esac
echo "screenshot: $out"
