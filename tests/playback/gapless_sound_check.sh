#!/usr/bin/env bash
# Real sound: two halves of one continuous sine, cut at a sample that is no frame boundary, played
# one after the other by sonalo-cli into a PulseAudio null sink of its own, whose monitor is
# recorded. Gapless, the recording holds no silence between them (beyond the codec's own); with
# one pipeline per song (--separate) the fresh start shows as a gap. Prints the gap per format.
# Skips (exit 77) when pulseaudio is not installed.
#   gapless_sound_check.sh SONALO_CLI
set -euo pipefail
cli=${1:?usage: gapless_sound_check.sh SONALO_CLI}
# shellcheck source=private_pulse.sh
. "$(dirname "$0")/private_pulse.sh"
skip_without_tools pulseaudio parec pactl ffmpeg od
enter_private_sound

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i "sine=frequency=441:sample_rate=44100:duration=3" -ac 2 "$work/sine.wav"
cut=66333 # samples; no multiple of 576, 1152, 2048 or 4096

# The longest run of near-silent samples (left channel) between the first and the last loud one.
longest_gap() {
    od -An -v -td2 -w4 "$1" | awk '{ v = $1 < 0 ? -$1 : $1
        if (v >= 50) { if (seen && run > best) best = run; seen = 1; run = 0 } else if (seen) run++ }
        END { print best + 0 }'
}

# Plays the two halves (options first) while the monitor records; prints the longest gap.
record() {
    parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --raw >"$work/rec.raw" &
    parec_pid=$!
    sleep 1
    # End of stream through pulse may come up to 2 s late.
    timeout 30 "$cli" play "$@" >/dev/null
    sleep 0.5
    kill "$parec_pid"
    wait "$parec_pid" 2>/dev/null || true
    parec_pid=
    longest_gap "$work/rec.raw"
}

status=0
# format, ffmpeg options, the largest gap allowed gapless (samples): the codec's own. MP3 on
# GStreamer 1.22 keeps LAME's encoder delay and padding (about 1100 + 540 samples).
while read -r ext codec bound; do
    [ "$codec" = "-" ] && codec=""
    codec=${codec//,/ }
    # shellcheck disable=SC2086
    ff -i "$work/sine.wav" -af "atrim=end_sample=$cut" $codec "$work/a.$ext"
    # shellcheck disable=SC2086
    ff -i "$work/sine.wav" -af "atrim=start_sample=$cut,asetpts=N/SR/TB" $codec "$work/b.$ext"
    gapless=$(record "$work/a.$ext" "$work/b.$ext")
    separate=$(record --separate "$work/a.$ext" "$work/b.$ext")
    echo "$ext: longest near-silent run, gapless $gapless samples ($((gapless * 1000 / 44100)) ms)," \
         "one pipeline per song $separate samples ($((separate * 1000 / 44100)) ms)"
    if [ "$gapless" -gt "$bound" ]; then
        echo "$ext: the gapless join is silent for longer than $bound samples"
        status=1
    fi
    if [ "$separate" -le "$gapless" ]; then
        echo "$ext: one pipeline per song showed no gap: was it a fresh pipeline?"
        status=1
    fi
done <<'FORMATS'
wav - 2
flac -c:a,flac 2
ogg -c:a,libvorbis 2
mp3 -c:a,libmp3lame,-b:a,256k 1700
FORMATS
exit "$status"
