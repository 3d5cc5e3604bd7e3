#!/usr/bin/env bash
# Memory while switching stations: Sondik's media-player factory (the mpv
# plugin, null audio output) switches between four loopback MP3 streams,
# one player at a time, as the radio player does when the user clicks one
# station after another.
#
#   bench/switching.sh [--build DIR] [--untuned] [SWITCHES PER_SECOND]...
#
# Runs 40 switches at 1 a second and 300 at 10 a second unless told other
# pairs; prints anonymous memory, RSS and threads after 10 switches, after
# the last and 5 s later. --untuned measures without the program's malloc
# tuning.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build
runs=()
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift ;;
    --untuned) export SONDIK_BENCH_UNTUNED=1 ;;
    [0-9]*) runs+=("$1 $2"); shift ;;
    *) echo "usage: $0 [--build DIR] [--untuned] [SWITCHES PER_SECOND]..." >&2; exit 2 ;;
  esac
  shift
done
[ ${#runs[@]} -eq 0 ] && runs=("40 1" "300 10")
build=$(cd "$build" && pwd)

cmake --build "$build" --target bench_switching sondikmpv >/dev/null
switching=$build/bench/bench_switching

work=$(mktemp -d /tmp/sondik-switching.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=loopback-icecast.sh
source "$here/loopback-icecast.sh"
start_icecast 4
urls=()
for tone in 330 440 550 660; do
  feed_tone "$tone" "tone$tone.mp3"
  urls+=("http://127.0.0.1:$port/tone$tone.mp3")
done

echo "Switching between ${#urls[@]} loopback streams$([ -n "${SONDIK_BENCH_UNTUNED:-}" ] && echo ", without the malloc tuning")"
for run in "${runs[@]}"; do
  set -- $run
  echo "$1 switches at $2 a second:"
  SONDIK_AUDIO_OUTPUT=null "$switching" "$1" "$2" "${urls[@]}" | sed 's/^/  /'
done
