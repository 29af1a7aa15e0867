#!/usr/bin/env bash
# Real sound: sonalo-cli plays a tone into a PulseAudio null sink of its own, and the sink's
# monitor must carry it. Skips (exit 77) when pulseaudio is not installed.
#   real_sound_check.sh SONALO_CLI
set -euo pipefail
cli=${1:?usage: real_sound_check.sh SONALO_CLI}
for tool in pulseaudio parec pactl ffmpeg sox; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed, no real-sound check"
        exit 77
    fi
done

# A private server: its own runtime folder and home, so neither a desktop's server nor the
# other tests see it.
work=$(mktemp -d)
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work/run HOME=$work/home
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
unset PULSE_SERVER SONALO_AUDIO_SINK
pulse_pid=
parec_pid=
cleanup() {
    [ -n "$parec_pid" ] && kill "$parec_pid" 2>/dev/null || true
    [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes \
    --load=module-native-protocol-unix --load="module-null-sink sink_name=ci_sink" \
    >"$work/pulse.log" 2>&1 || { cat "$work/pulse.log"; echo "pulseaudio did not start"; exit 1; }
for _ in $(seq 50); do
    [ -f "$XDG_RUNTIME_DIR/pulse/pid" ] && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pulse_pid=$(cat "$XDG_RUNTIME_DIR/pulse/pid")

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:duration=1.5:sample_rate=44100" \
    -ac 2 -c:a libmp3lame -b:a 128k "$work/tone.mp3"

# The device list sees the null sink.
"$cli" devices | tee "$work/devices.txt"
grep -q "^0	Default$" "$work/devices.txt"
[ "$(wc -l < "$work/devices.txt")" -ge 2 ] || { echo "the null sink is not listed"; exit 1; }

parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --raw >"$work/rec.raw" &
parec_pid=$!
sleep 1
# End of stream through pulse may come up to 2 s late.
timeout 20 "$cli" play "$work/tone.mp3"
sleep 0.5
kill "$parec_pid"
wait "$parec_pid" 2>/dev/null || true
parec_pid=

[ -s "$work/rec.raw" ] || { echo "nothing recorded"; exit 1; }
# The loudest 50 ms window: the tone is at about -21 dBFS RMS (ffmpeg's sine amplitude 1/8).
level=$(sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/rec.raw" -n stats 2>&1 | awk '/^RMS Pk dB/ { print $4 }')
echo "recorded $(( $(stat -c %s "$work/rec.raw") / 4 )) frames, loudest 50 ms: $level dBFS"
awk -v l="$level" 'BEGIN { exit !(l != "" && l != "-inf" && l > -40) }' || { echo "the sink's monitor was silent"; exit 1; }
