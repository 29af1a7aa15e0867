# Sourced by the real-sound checks: starts a PulseAudio server of its own with one null sink,
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
