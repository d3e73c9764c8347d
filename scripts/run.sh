#!/usr/bin/env bash
# Sets up the machine, builds and starts the program. Without a display it runs
# under Xvfb and saves a screenshot of the window to the file named by
# WQZ_SHOT (default: shot.png in the repository).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

bash scripts/setup.sh
bash scripts/build.sh build

program="$here/build/src/app/wqzlumo"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

shot="${WQZ_SHOT:-$here/shot.png}"
echo "No display: running under Xvfb; the screenshot goes to $shot"
# A runtime folder of its own: a window already open on the desktop would
# otherwise be handed this start.
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR=$runtime xvfb-run -a -s "-screen 0 1280x900x24" bash -c '
    "$1" & pid=$!
    sleep "${WQZ_SHOT_DELAY:-3}"
    import -window root "$2"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
' _ "$program" "$shot"
echo "Screenshot saved to $shot"
