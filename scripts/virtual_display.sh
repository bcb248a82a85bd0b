# Sourced by the scripts that need an X display: starts Xvfb on a free
# display number, waits until it answers, exports DISPLAY and stops it when
# the script exits.
virtual_display=:$((90 + RANDOM % 100))
Xvfb "$virtual_display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
virtual_display_pid=$!
trap 'kill "$virtual_display_pid" 2>/dev/null' EXIT
export DISPLAY=$virtual_display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
