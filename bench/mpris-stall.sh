#!/usr/bin/env bash
# The longest the main thread (which draws the window) is held up while a
# desktop's media panel follows the metadata of newly chosen stations: a new
# station of the catalog every 300 ms, each with a logo not yet rendered, and
# playerctl following on a private session bus. Median of RUNS runs.
#
#   bench/mpris-stall.sh [build-dir] [runs]
set -euo pipefail

build=${1:-build}
runs=${2:-5}
cmake --build "$build" --target bench_mpris >/dev/null

one_run() {
    dbus-run-session -- bash -c '
        QT_QPA_PLATFORM=offscreen "$1" --stall 20 >"$2/out" 2>/dev/null &
        bench=$!
        for _ in $(seq 100); do grep -q "^ready" "$2/out" && break; sleep 0.1; done
        playerctl -p sondik metadata --format "{{xesam:album}} {{mpris:artUrl}}" --follow \
            >>"$2/follow" 2>/dev/null &
        wait $bench
        kill $! 2>/dev/null || true' _ "$build/bench/bench_mpris" "$work" 2>/dev/null
    awk '$1 == "stall-ms" { print $2 }' "$work/out"
}

work=$(mktemp -d /tmp/sondik-mpris-stall.XXXXXX)
trap 'rm -rf "$work"' EXIT
for _ in $(seq "$runs"); do one_run; done >"$work/stalls"
printf 'longest main-thread stall while 20 new stations are announced (median of %d): %s ms (all: %s)\n' \
    "$runs" "$(sort -g "$work/stalls" | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')" \
    "$(tr '\n' ' ' <"$work/stalls")"
printf 'metadata the client saw: %d, with a logo file: %d\n' \
    "$(grep -c . "$work/follow" || true)" "$(grep -c 'file://' "$work/follow" || true)"
