# Sourced by the scripts that need an X display: starts Xvfb on a display
# number the server itself finds free, waits until it answers, exports
# DISPLAY and stops it when the script exits.
virtual_display_number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$virtual_display_number" \
    >/dev/null 2>&1 &
virtual_display_pid=$!
trap 'kill "$virtual_display_pid" 2>/dev/null; rm -f "$virtual_display_number"' EXIT
# Xvfb writes the number once it accepts clients.
for _ in $(seq 100); do [ -s "$virtual_display_number" ] && break; sleep 0.1; done
[ -s "$virtual_display_number" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$virtual_display_number")
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
