#!/usr/bin/env bash
# Track changes heard on a private PulseAudio null sink's monitor, beside gst-launch-1.0 as the
# baseline, in the same run (median of three each): the silence between two songs with
# "sonalo-cli play --separate A B" (one pipeline per song, as with gapless play off),
# "sonalo-cli play A B" (gapless), and two gst-launch-1.0 playbin runs one after the other.
#   bench/track_change_bench.sh [SONALO_CLI]
# Default: build-bench/src/cli/sonalo-cli (a Release build, see README.md).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build-bench/src/cli/sonalo-cli}
[ -x "$cli" ] || { echo "no $cli: build it first (see bench/README.md)" >&2; exit 2; }
for tool in pulseaudio parec pactl ffmpeg gst-launch-1.0 od; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
done
# shellcheck source=../tests/playback/private_pulse.sh
. "$root/tests/playback/private_pulse.sh"
enter_private_sound

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=441:sample_rate=44100:duration=4" \
    -ac 2 "$work/sine.wav"
ffmpeg -nostdin -hide_banner -loglevel error -y -i "$work/sine.wav" -af atrim=end_sample=88200 "$work/a.wav"
ffmpeg -nostdin -hide_banner -loglevel error -y -i "$work/sine.wav" -af "atrim=start_sample=88200,asetpts=N/SR/TB" "$work/b.wav"

# Milliseconds of the longest near-silent run between the first and the last loud sample.
measure() {
    od -An -v -td2 -w4 "$1" | awk '{ v = $1 < 0 ? -$1 : $1
        if (v >= 50) { if (seen && run > best) best = run; seen = 1; run = 0 } else if (seen) run++ }
        END { printf "%d\n", best * 1000 / 44100 }'
}

# Records while the command runs; prints the longest gap (ms).
heard() {
    parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --raw >"$work/rec.raw" &
    parec_pid=$!
    sleep 1
    timeout 30 "$@" >/dev/null 2>&1
    sleep 0.5
    kill "$parec_pid"
    wait "$parec_pid" 2>/dev/null || true
    parec_pid=
    measure "$work/rec.raw"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The baseline's two songs: two gst-launch-1.0 runs, one after the other.
cat >"$work/two_launches" <<SCRIPT
#!/bin/sh
gst-launch-1.0 -q playbin uri=file://$work/a.wav && gst-launch-1.0 -q playbin uri=file://$work/b.wav
SCRIPT
chmod +x "$work/two_launches"

sep=() gapless=() base=()
for _ in 1 2 3; do
    sep+=("$(heard "$cli" play --separate "$work/a.wav" "$work/b.wav")")
    gapless+=("$(heard "$cli" play "$work/a.wav" "$work/b.wav")")
    base+=("$(heard "$work/two_launches")")
done
s=$(printf '%s\n' "${sep[@]}" | median)
g=$(printf '%s\n' "${gapless[@]}" | median)
b=$(printf '%s\n' "${base[@]}" | median)
echo "| measure | sonalo-cli | gst-launch-1.0 baseline | ratio |"
echo "|---|---|---|---|"
awk -v o="$s" -v b="$b" 'BEGIN { printf "| silence between two songs, one pipeline each | %d ms | %d ms (two runs) | %.2fx |\n", o, b, b ? o / b : 0 }'
awk -v o="$g" -v b="$b" 'BEGIN { printf "| silence between two songs, gapless | %d ms | %d ms (two runs) | %.2fx |\n", o, b, b ? o / b : 0 }'
