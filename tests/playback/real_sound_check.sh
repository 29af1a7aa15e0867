#!/usr/bin/env bash
# Real sound: sonalo-cli plays a tone into a PulseAudio null sink of its own, and the sink's
# monitor must carry it, at the level and balance asked for. Skips (exit 77) when pulseaudio is
# not installed.
#   real_sound_check.sh SONALO_CLI
set -euo pipefail
cli=${1:?usage: real_sound_check.sh SONALO_CLI}
# shellcheck source=private_pulse.sh
. "$(dirname "$0")/private_pulse.sh"
skip_without_tools pulseaudio parec pactl ffmpeg sox
enter_private_sound

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:duration=1.5:sample_rate=44100" \
    -ac 2 -c:a libmp3lame -b:a 128k "$work/tone.mp3"

# The device list sees the null sink.
"$cli" devices | tee "$work/devices.txt"
grep -q "^0	Default$" "$work/devices.txt"
[ "$(wc -l < "$work/devices.txt")" -ge 2 ] || { echo "the null sink is not listed"; exit 1; }

# Plays the tone with the given options while the monitor records; prints sox's statistics
# of the recording (columns: overall, left, right).
record() {
    parec -d ci_sink.monitor --format=s16le --rate=44100 --channels=2 --raw >"$work/rec.raw" &
    parec_pid=$!
    sleep 1
    # End of stream through pulse may come up to 2 s late.
    timeout 20 "$cli" play "$@" "$work/tone.mp3" >/dev/null
    sleep 0.5
    kill "$parec_pid"
    wait "$parec_pid" 2>/dev/null || true
    parec_pid=
    [ -s "$work/rec.raw" ] || { echo "nothing recorded"; exit 1; }
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$work/rec.raw" -n stats 2>&1
}
# One line of the statistics: column 1 overall, 2 left, 3 right.
column() { awk -v key="$1" -v col="$2" 'index($0, key) == 1 { n = split(substr($0, length(key) + 1), f, " "); print f[col] }'; }

full=$(record)
# The loudest 50 ms window: the tone is at about -21 dBFS RMS (ffmpeg's sine amplitude 1/8).
level=$(column "RMS Pk dB" 1 <<<"$full")
echo "full level, loudest 50 ms: $level dBFS"
awk -v l="$level" 'BEGIN { exit !(l != "" && l != "-inf" && l > -40) }' || { echo "the sink's monitor was silent"; exit 1; }

# -6 dB halves the amplitude (within 5 %), measured on the loudest 50 ms of each channel.
half=$(record --volume -600)
for ch in 2 3; do
    a=$(column "RMS Pk dB" $ch <<<"$full"); b=$(column "RMS Pk dB" $ch <<<"$half")
    echo "channel $((ch - 1)): full $a dBFS, at -600: $b dBFS"
    awk -v a="$a" -v b="$b" 'BEGIN { r = exp((b - a) / 20 * log(10)); exit !(b != "-inf" && r > 0.475 && r < 0.525) }' \
        || { echo "-600 did not halve the amplitude"; exit 1; }
done

# The bottom of the scale is silence; full balance silences the other channel, and only it.
silent=$(record --volume -10000)
[ "$(column "Pk lev dB" 1 <<<"$silent")" = "-inf" ] || { echo "-10000 was not silent"; exit 1; }
right=$(record --balance 10000)
left=$(record --balance -10000)
echo "balance 10000: left $(column "Pk lev dB" 2 <<<"$right"), right $(column "Pk lev dB" 3 <<<"$right") dBFS"
echo "balance -10000: left $(column "Pk lev dB" 2 <<<"$left"), right $(column "Pk lev dB" 3 <<<"$left") dBFS"
[ "$(column "Pk lev dB" 2 <<<"$right")" = "-inf" ] || { echo "balance 10000 left the left channel on"; exit 1; }
[ "$(column "Pk lev dB" 3 <<<"$left")" = "-inf" ] || { echo "balance -10000 left the right channel on"; exit 1; }
for l in "$(column "Pk lev dB" 3 <<<"$right")" "$(column "Pk lev dB" 2 <<<"$left")"; do
    awk -v l="$l" 'BEGIN { exit !(l != "-inf" && l > -40) }' || { echo "full balance silenced its own channel"; exit 1; }
done
echo "level and balance as asked"
