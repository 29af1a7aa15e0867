#!/usr/bin/env bash
# Runs a test program on a real X server with a window manager that frames and places windows:
# Xvfb with openbox. Skips (exit 77) when either is missing.
#   with_window_manager.sh PROGRAM [ARGS...]
set -euo pipefail
for tool in Xvfb openbox xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid= wm_pid=
cleanup() {
    for p in "$wm_pid" "$xvfb_pid"; do
        [ -n "$p" ] && kill "$p" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
# Xvfb writes the display number it found free once it accepts connections.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work" XDG_CONFIG_HOME="$work/config"
openbox > "$work/openbox.log" 2>&1 &
wm_pid=$!
# The window manager owns the screen's WM_S0 selection once it manages windows.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
export QT_QPA_PLATFORM=xcb
# libxkbcommon-x11 copies X atom names with strndup from buffers that hold no terminating NUL;
# strict_string_checks reads that as an overflow in a library not ours. The last setting wins.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
"$@"
