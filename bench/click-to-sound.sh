#!/usr/bin/env bash
# Click to sound through the real program, against the bare libmpv floor in
# the same run. On a private X server with openbox and a tint2 tray, Sondik
# starts (its window opens by itself), and xdotool clicks the first station
# row; the time runs from the click to the first decoded sample, that is the
# moment mpv's pcm output file first grows beyond its 44-byte WAV header. The
# floor, bench_barempv, plays the same station address into the same kind of
# file, timed from its start the same way. Sondik starts afresh for each run
# (the first click of a session). Sondik loads its media backend (libmpv)
# when its window shows, so by the click the library is loaded, but the mpv
# core is made and started after it; the floor's start includes loading the
# program and libmpv. So the floor is given twice: from its start, and from
# its loadfile command (its own mark, after mpv_create and mpv_initialize).
#
# The station's host reaches the tests' own station server inside a namespace
# of its own (root only): see tests/views/station_namespace.sh.
#
#   bench/click-to-sound.sh [build-dir] [runs]
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
sondik="$build/src/sondik"
bare="$build/bench/bench_barempv"
export XPROBE="$build/bench/xprobe"
for program in "$sondik" "$XPROBE" "$bare"; do
    if [ ! -x "$program" ]; then
        echo "$program is missing; build with: cmake --build $build --target sondik xprobe bench_barempv" >&2
        exit 1
    fi
done
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/views/station_namespace.sh
source "$here/../tests/views/station_namespace.sh"
# shellcheck source=program-session.sh
source "$here/program-session.sh"
url="http://$station_host/bella/mp3-128/listenlive.m3u"

start_x_session "$work" 1280x800
export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL=

now_ns() { date +%s%N; }
# first_sample FILE START_NS: ms from START_NS until FILE holds more than its
# header; polled every ~2 ms for at most 20 s.
first_sample() {
    local file=$1 start=$2 size end=$(( $(now_ns) + 20000000000 ))
    while (( $(now_ns) < end )); do
        size=$(stat -c %s "$file" 2>/dev/null || echo 0)
        if (( size > 44 )); then
            awk -v a="$start" -v b="$(now_ns)" 'BEGIN { printf "%.1f", (b - a) / 1e6 }'
            return 0
        fi
        sleep 0.002
    done
    echo "none"
}
median() { grep -v none | sort -g | awk '{ a[NR] = $1 } END { if (NR) print a[int((NR + 1) / 2)]; else print "n/a" }'; }

sondik_run() {
    local n=$1
    local file="$work/sondik-$n.wav" t0
    SONDIK_AUDIO_OUTPUT=pcm SONDIK_AUDIO_FILE=$file program_start "$sondik" "$work/sondik-$n.log"
    t0=$(program_click_first_row)
    first_sample "$file" "$t0"
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
}

# The floor's marks are on the monotonic clock; this maps them to date's.
clock_offset=$(python3 -c 'import time; print(time.time_ns() - time.monotonic_ns())')
bare_run() { # prints: from start, from loadfile (ms)
    local n=$1
    local file="$work/bare-$n.wav" t0 pid total play
    t0=$(now_ns)
    "$bare" "$url" 30 ao=pcm "ao-pcm-file=$file" >"$work/bare-$n.log" 2>&1 &
    pid=$!
    total=$(first_sample "$file" "$t0")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    play=$(awk '$1 == "play" { print $2; exit }' "$work/bare-$n.log")
    if [ "$total" = none ] || [ -z "$play" ]; then
        echo "$total none"
        return
    fi
    awk -v total="$total" -v t0="$t0" -v play="$play" -v off="$clock_offset" \
        'BEGIN { printf "%s %.1f", total, total - (play + off - t0) / 1e6 }'
}

# One unmeasured play of each: disk caches warm for both alike.
bare_run warm >/dev/null
sondik_run warm >/dev/null

echo "Click to first sample, $url on a local server; $runs runs each, alternating"
echo "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
: >"$work/sondik.ms"; : >"$work/bare.ms"; : >"$work/loadfile.ms"
for i in $(seq "$runs"); do
    s=$(sondik_run "$i"); echo "$s" >>"$work/sondik.ms"
    read -r b l <<<"$(bare_run "$i")"; echo "$b" >>"$work/bare.ms"; echo "$l" >>"$work/loadfile.ms"
    printf 'run %d: Sondik click to first sample %7s ms   bare libmpv: start to first sample %7s ms, loadfile to first sample %7s ms\n' \
        "$i" "$s" "$b" "$l"
done
ms=$(median <"$work/sondik.ms"); mb=$(median <"$work/bare.ms"); ml=$(median <"$work/loadfile.ms")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "n/a" }'; }
printf 'median: Sondik click %s ms; bare libmpv start %s ms (%s), loadfile %s ms (%s)\n' \
    "$ms" "$mb" "$(ratio "$ms" "$mb")" "$ml" "$(ratio "$ms" "$ml")"
echo "streams served by the local server: $(grep -c 'GET /bella/stream.mp3 200' "$work/server.log" || true) (two per run, plus two warm-up plays)"
