# Sourced by the real-sound checks and the track-change bench.
#
# skip_without_tools TOOL...: ends the check as skipped (exit 77) when a tool is not installed.
skip_without_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed, no real-sound check"
            exit 77
        fi
    done
}

# enter_private_sound: makes the private folder $work (with a runtime folder and a home of its
# own, so that neither a desktop's server nor the other tests see the server), arranges that on
# exit the server, a recorder left in $parec_pid and the folder go, and starts the server.
enter_private_sound() {
    work=$(mktemp -d)
    chmod 700 "$work"
    export XDG_RUNTIME_DIR=$work/run HOME=$work/home
    mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
    unset PULSE_SERVER SONALO_AUDIO_SINK
    pulse_pid=
    parec_pid=
    trap leave_private_sound EXIT
    start_private_pulse
}

leave_private_sound() {
    [ -n "$parec_pid" ] && kill "$parec_pid" 2>/dev/null || true
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null || true
    rm -rf "$work"
}

# start_private_pulse: starts a PulseAudio server of its own with one null sink,
# "ci_sink", in the runtime folder $XDG_RUNTIME_DIR, waits until it answers and sets pulse_pid.
# The caller kills it on exit. Exits 1 with the server's log when it does not start.
start_private_pulse() {
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes \
        --load=module-native-protocol-unix --load="module-null-sink sink_name=ci_sink" \
        >"$work/pulse.log" 2>&1 || { cat "$work/pulse.log"; echo "pulseaudio did not start"; exit 1; }
    for _ in $(seq 50); do
        [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pulse_pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid")
}
