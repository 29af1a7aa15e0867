#!/usr/bin/env bash
# Runs window_probe.py with a private X server, session bus and accessibility bus:
#   bench/window_probe.sh PROGRAM PLAYLIST [STEP ...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
display=:$(head -n 1 "$fifo")
rm -f "$fifo"
runtime=$(mktemp -d)
chmod 700 "$runtime"
export DISPLAY=$display XDG_RUNTIME_DIR=$runtime QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-run-session -- /usr/bin/python3 "${PROBE_DIR:-$here}/${PROBE_SCRIPT:-window_probe.py}" "$@" 2> >(grep --line-buffered -v -e 'fd limit' -e 'Activating service' -e 'Successfully activated' -e 'SpiRegistry' >&2)
rm -rf "$runtime"
