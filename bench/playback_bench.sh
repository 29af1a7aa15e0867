#!/usr/bin/env bash
# CPU time of "sonalo-cli play" beside "gst-launch-1.0 playbin" on the same long MP3 and the
# same fake output, in the same run, alternating, five times each; prints the medians and
# their ratio.
#   bench/playback_bench.sh [SONALO_CLI] [MINUTES]
# Default: build-bench/src/cli/sonalo-cli (a Release build, see README.md) and a 10-minute
# file. Two rows: decoding as fast as it goes (fakesink sync=false: the CPU cost of a song)
# and playing in real time (sync=true) a 20-second file.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build-bench/src/cli/sonalo-cli}
minutes=${2:-10}
[ -x "$cli" ] || { echo "no $cli: build it first (see bench/README.md)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tone() { # tone SECONDS OUT
    ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi \
        -i "sine=frequency=440:duration=$1:sample_rate=44100" -ac 2 -c:a libmp3lame -b:a 192k "$2"
}
tone $((minutes * 60)) "$work/long.mp3"
tone 20 "$work/short.mp3"

# CPU seconds (user + system) of one command.
cpu() {
    local TIMEFORMAT='%3U %3S' t
    t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    awk -v t="$t" 'BEGIN { split(t, a, " "); printf "%.3f\n", a[1] + a[2] }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

row() { # row LABEL FILE SINK
    local ours=() base=()
    for _ in 1 2 3 4 5; do
        ours+=("$(cpu "$cli" play --sink "$3" "$2")")
        base+=("$(cpu gst-launch-1.0 -q playbin "uri=file://$2" "audio-sink=$3")")
    done
    local o b
    o=$(printf '%s\n' "${ours[@]}" | median)
    b=$(printf '%s\n' "${base[@]}" | median)
    awk -v l="$1" -v o="$o" -v b="$b" 'BEGIN { printf "| %s | %.3f s | %.3f s | %.2fx |\n", l, o, b, o / b }'
}

echo "| run | sonalo-cli play | gst-launch-1.0 playbin | ratio |"
echo "|---|---|---|---|"
row "$minutes-minute MP3, fakesink sync=false" "$work/long.mp3" "fakesink sync=false"
row "20-second MP3, fakesink sync=true (real time)" "$work/short.mp3" "fakesink sync=true"
