#!/usr/bin/env bash
# The volume set over MPRIS changes what the real program plays: Sonalo plays a tone into a
# private PulseAudio null sink, the desktop's Volume property goes from 1.0 to 0.5, and the
# recorded amplitude must halve (within 5 %). Needs a session bus (ctest runs under
# dbus-run-session). Skips (exit 77) without pulseaudio, sox or dbus-send.
#   mpris_volume_check.sh SONALO
set -euo pipefail
program=${1:?usage: mpris_volume_check.sh SONALO}
for tool in pulseaudio parec pactl ffmpeg sox dbus-send; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "SKIP: no session bus"; exit 77; }

work=$(mktemp -d)
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work/run HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
unset PULSE_SERVER SONALO_AUDIO_SINK
pulse_pid= parec_pid= sonalo_pid=
cleanup() {
    for p in "$parec_pid" "$sonalo_pid" "$pulse_pid"; do
        [ -n "$p" ] && kill "$p" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=private_pulse.sh
. "$(dirname "$0")/private_pulse.sh"
start_private_pulse

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:duration=30:sample_rate=44100" \
    -ac 2 "$work/tone.wav"

mpris() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.sonalo /org/mpris/MediaPlayer2 "$@"
}
"$program" "$work/tone.wav" >"$work/sonalo.log" 2>&1 &
sonalo_pid=$!
for _ in $(seq 100); do
    mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:PlaybackStatus \
        >/dev/null 2>&1 && break
    sleep 0.1
done
# The window opens its argument after the splash: Play until it plays.
for _ in $(seq 50); do
    mpris org.mpris.MediaPlayer2.Player.Play >/dev/null
    mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:PlaybackStatus \
        | grep -q '"Playing"' && break
    sleep 0.2
done
sleep 1

# The loudest 50 ms of a two-second recording, per channel.
record() {
    parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --raw >"$work/rec.raw" &
    parec_pid=$!
    sleep 2
    kill "$parec_pid"
    wait "$parec_pid" 2>/dev/null || true
    parec_pid=
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/rec.raw" -n stats 2>&1 | awk '/^RMS Pk dB/ { print $4 }'
}
full=$(record)
mpris org.freedesktop.DBus.Properties.Set string:org.mpris.MediaPlayer2.Player string:Volume variant:double:0.5 >/dev/null
# What the sound server holds already (about a second on a null sink) plays at the old level.
sleep 2.5
half=$(record)
mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:Volume | grep -q "double 0.5" \
    || { echo "Volume does not read 0.5"; exit 1; }
echo "Volume 1.0: $full dBFS, Volume 0.5: $half dBFS"
awk -v a="$full" -v b="$half" 'BEGIN { r = exp((b - a) / 20 * log(10)); exit !(a != "-inf" && a > -40 && r > 0.475 && r < 0.525) }' \
    || { cat "$work/sonalo.log"; echo "Volume 0.5 did not halve the amplitude"; exit 1; }
