#!/usr/bin/env bash
# Playback benchmark: Sondik's media player (the mpv plugin) against a bare
# libmpv program (the floor), side by side in one run, playing a local
# Icecast mount into a PulseAudio null sink that this script starts and
# records from.
#
#   bench/playback.sh [--long] [--runs N] [--build DIR] [--mpris-only]
#
# Prints, for each: time from the click (making the player) to the first
# sample reaching the sink,
# CPU seconds and PSS over 30 s of steady playback, dropouts; then idle
# memory and start-up with and without a first play. --long adds the
# resident memory at 1, 5 and 10 minutes of playback (both players at once).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build
runs=3
long=0
mpris_only=0
while [ $# -gt 0 ]; do
  case $1 in
    --long) long=1 ;;
    --runs) runs=$2; shift ;;
    --build) build=$2; shift ;;
    --mpris-only) mpris_only=1 ;;
    *) echo "usage: $0 [--long] [--runs N] [--build DIR] [--mpris-only]" >&2; exit 2 ;;
  esac
  shift
done
build=$(cd "$build" && pwd)

cmake --build "$build" --target bench_mediaplayer bench_barempv bench_firstsound bench_mpris sondikmpv >/dev/null
sondik=$build/bench/bench_mediaplayer
bare=$build/bench/bench_barempv
firstsound=$build/bench/bench_firstsound

work=$(mktemp -d /tmp/sondik-bench.XXXXXX)
chmod 0777 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=loopback-icecast.sh
source "$here/loopback-icecast.sh"

# --- PulseAudio with a null sink, private to this run
mkdir -p "$work/pulse"
cat > "$work/pulse/bench.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native
load-module module-null-sink sink_name=bench rate=44100 channels=2
set-default-sink bench
set-default-source bench.monitor
PA
XDG_RUNTIME_DIR=$work/pulse HOME=$work/pulse pulseaudio -n -F "$work/pulse/bench.pa" \
  --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-level=error \
  >"$work/pulse/log" 2>&1 &
pids+=($!)
export PULSE_SERVER=unix:$work/pulse/native
wait_for 10 pactl info || { echo "pulseaudio did not start"; cat "$work/pulse/log"; exit 1; }

# --- Icecast on loopback, fed a 440 Hz tone (MP3, 128 kb/s) in real time
start_icecast 2
feed_tone 440 bench.mp3
url=http://127.0.0.1:$port/bench.mp3
sleep 1

mark() { awk -v k="$1" '$1 == k { print $2; exit }' "$2"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
pss_kb() { awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup"; }
# Private pages only: unlike PSS, not moved by other processes mapping the same libraries.
uss_kb() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s }' "/proc/$1/smaps_rollup"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
libs() { grep -c '\.so' <(awk '{ print $6 }' "/proc/$1/maps" | sort -u); }
tick=$(getconf CLK_TCK)

# One measured run: play for 40 s; the steady part is seconds 5 to 35.
measure() { # name program...
  local name=$1; shift
  local out=$work/$name.out rec=$work/$name.rec
  # Through a fifo, so that both ends have PIDs of their own to stop.
  rm -f "$work/$name.fifo"; mkfifo "$work/$name.fifo"
  "$firstsound" 44100 <"$work/$name.fifo" >"$rec" &
  local reader=$!
  parec --device=bench.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=10 --raw \
    2>/dev/null >"$work/$name.fifo" &
  local recorder=$!
  pids+=("$reader" "$recorder")
  sleep 0.5
  "$@" "$url" 40 >"$out" 2>"$work/$name.err" &
  local player=$!
  wait_for 10 grep -q '^play ' "$out"
  sleep 5
  local c0; c0=$(cpu_ticks $player)
  sleep 30
  local c1; c1=$(cpu_ticks $player)
  local pss; pss=$(pss_kb $player)
  local uss; uss=$(uss_kb $player)
  local rss; rss=$(rss_kb $player)
  kill "$recorder" 2>/dev/null || true
  wait "$recorder" 2>/dev/null || true
  wait "$reader" 2>/dev/null || true
  wait $player || echo "  ($name stopped playing: exit $?)"
  local play sound
  # From the click: Sondik loads its backend and starts the core after it.
  play=$(mark create "$out"); sound=$(mark sound "$rec")
  local first="n/a"
  [ -n "$sound" ] && first=$(awk -v a="$play" -v b="$sound" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
  local cpu; cpu=$(awk -v t=$((c1 - c0)) -v k="$tick" 'BEGIN { print t / k }')
  echo "$first $cpu $pss $(mark dropouts "$rec") $uss" >>"$work/$name.data"
  printf '%-8s first sample %7s s   cpu %5.2f s/30 s (%3.1f %%)   PSS %5.1f MB   USS %5.1f MB   RSS %5.1f MB   dropouts %s (longest %s ms%s)\n' \
    "$name" "$first" "$(awk -v t=$((c1 - c0)) -v k="$tick" 'BEGIN { print t / k }')" \
    "$(awk -v t=$((c1 - c0)) -v k="$tick" 'BEGIN { print 100 * t / k / 30 }')" \
    "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" "$(awk -v k="$uss" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" \
    "$(mark dropouts "$rec")" "$(mark longest-silence-ms "$rec")" \
    "$(awk '$1 == "dropout-at" { printf "%s %s", (n++ ? "," : "; at"), $2 " s" }' "$rec")"
}

median() { sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
if [ "$mpris_only" -eq 0 ]; then
# The first stream after the sound server starts comes out sooner than the
# rest: one unmeasured play first, so that both are timed alike.
"$bare" "$url" 4 >/dev/null 2>&1 || true

echo "Playback of $url into a PulseAudio null sink, $runs runs each, alternating"
for i in $(seq "$runs"); do
  measure "sondik" "$sondik" | tee -a "$work/sondik.table"
  measure "floor" "$bare" | tee -a "$work/floor.table"
done

column() { awk -v c="$2" '{ print $c }' "$work/$1.data"; }
for who in sondik floor; do
  printf '%-8s median: first sample %s s, cpu %s s per 30 s, PSS %.1f MB; dropouts in all runs: %d\n' "$who" \
    "$(column $who 1 | median)" "$(column $who 2 | median)" \
    "$(awk -v k="$(column $who 3 | median)" 'BEGIN { print k / 1024 }')" \
    "$(column $who 4 | awk '{ s += $1 } END { print s + 0 }')"
done
ratio() { awk -v a="$(column sondik "$1" | median)" -v b="$(column floor "$1" | median)" 'BEGIN { if (b > 0) printf "%.2fx", a / b; else print "n/a" }'; }
echo "sondik/floor (medians): first sample $(ratio 1), cpu $(ratio 2), PSS $(ratio 3) (target: each within 1.15x); USS $(ratio 5)"

# --- Idle memory and start-up, with and without loading the backend
echo
echo "Start-up and idle memory (bench_mediaplayer: the player and its factory on Qt Core)"
startup() { # args...: median wall ms over 10 starts to a running event loop
  for _ in $(seq 10); do
    local t0; t0=$(date +%s%N)
    "$sondik" "$url" 0 --exit-when-ready --idle 3600 "$@" >/dev/null 2>&1
    echo $((($(date +%s%N) - t0) / 1000))
  done | sort -n | awk '{ a[NR] = $1 } END { printf "%.1f", a[int((NR + 1) / 2)] / 1000 }'
}
printf 'start-up to a running event loop: %s ms lazy (backend not loaded), %s ms loading it at start\n' \
  "$(startup)" "$(startup --eager)"
"$sondik" "$url" 4 --idle 3 >"$work/idle.out" 2>&1 &
p=$!
sleep 2
idle_pss=$(pss_kb $p); idle_libs=$(libs $p)
sleep 3
play_pss=$(pss_kb $p); play_libs=$(libs $p)
wait $p || true
create=$(mark create "$work/idle.out"); play=$(mark play "$work/idle.out")
printf 'idle, before a first play: PSS %.1f MB, %d shared libraries mapped\n' "$(awk -v k="$idle_pss" 'BEGIN { print k / 1024 }')" "$idle_libs"
printf 'after the first play:      PSS %.1f MB, %d shared libraries mapped (+%.1f MB); making the player took %.1f ms on the main thread\n' \
  "$(awk -v k="$play_pss" 'BEGIN { print k / 1024 }')" "$play_libs" \
  "$(awk -v a="$idle_pss" -v b="$play_pss" 'BEGIN { print (b - a) / 1024 }')" \
  "$(awk -v a="$create" -v b="$play" 'BEGIN { print (b - a) / 1e6 }')"
# The longest the event loop (a window) is held up in the two seconds from
# the first play: cold, clicked 50 ms after the window showed (backend still
# loading), and clicked once the backend has loaded.
stall() { # args...: median over 5 runs
  for _ in $(seq 5); do
    "$sondik" "$url" 3 "$@" 2>/dev/null | awk '$1 == "stall-ms" { print $2 }'
  done | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'
}
printf 'longest main-thread stall in the first play (median of 5): %s ms without preloading, %s ms clicked 50 ms after the preload, %s ms after it\n' \
  "$(stall --idle 0.5)" "$(stall --idle 0.05 --preload)" "$(stall --idle 2 --preload)"

fi # not --mpris-only

# --- The cost of MPRIS while playing: the player as the program wires it,
# with the service on a private session bus and a client following it
# (playerctl, as a desktop panel does), against the same without the service.
# The mount's song changes every 5 s, so titles and announcements flow.
echo
echo "MPRIS while playing (bench_mpris, 30 s steady, $runs runs each, alternating)"
song_changer() {
  local n=0
  while sleep 5; do
    n=$((n + 1))
    curl -s -o /dev/null --max-time 2 -u admin:bench \
      "http://127.0.0.1:$port/admin/metadata?mount=/bench.mp3&mode=updinfo&song=Artist%20$n%20-%20Song%20$n" || true
  done
}
song_changer &
changer=$!
pids+=($changer)
mpris_run() { # on|off
  local flag="" follower=""
  [ "$1" = on ] && flag=--mpris
  QT_QPA_PLATFORM=offscreen "$build/bench/bench_mpris" "$url" 40 $flag >"$work/mpris-$1.out" 2>&1 &
  local p=$!
  wait_for 10 grep -q '^play' "$work/mpris-$1.out"
  if [ "$1" = on ]; then
    playerctl -p sondik metadata --follow >"$work/mpris-follow.out" 2>&1 &
    follower=$!
  fi
  sleep 5
  local c0; c0=$(cpu_ticks $p)
  sleep 30
  local c1; c1=$(cpu_ticks $p)
  local pss; pss=$(pss_kb $p)
  local uss; uss=$(uss_kb $p)
  [ -n "$follower" ] && { kill "$follower" 2>/dev/null || true; wait "$follower" 2>/dev/null || true; }
  wait $p || echo "  (bench_mpris $1 ended with $?)"
  echo "$(awk -v t=$((c1 - c0)) -v k="$tick" 'BEGIN { print t / k }') $pss $uss" >>"$work/mpris-$1.data"
  printf 'MPRIS %-3s cpu %5.2f s/30 s   PSS %5.1f MB   USS %5.1f MB\n' "$1" \
    "$(awk -v t=$((c1 - c0)) -v k="$tick" 'BEGIN { print t / k }')" "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$uss" 'BEGIN { print k / 1024 }')"
}
run_mpris_pair() {
  for _ in $(seq "$runs"); do
    mpris_run off
    mpris_run on
  done
}
# A private session bus for this part.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.addr" 4>"$work/bus.pid"
pids+=("$(head -n1 "$work/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS; DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus.addr")
run_mpris_pair
kill $changer 2>/dev/null || true
for s in off on; do
  printf 'MPRIS %-3s median: cpu %s s per 30 s, PSS %.1f MB, USS %.1f MB (private: not moved by other processes)\n' "$s" \
    "$(awk '{ print $1 }' "$work/mpris-$s.data" | median)" \
    "$(awk -v k="$(awk '{ print $2 }' "$work/mpris-$s.data" | median)" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$(awk '{ print $3 }' "$work/mpris-$s.data" | median)" 'BEGIN { print k / 1024 }')"
done
echo "titles seen by the client: $(grep -c . "$work/mpris-follow.out" || true) lines"

# --- Memory over ten minutes of playback
if [ "$long" -eq 1 ]; then
  echo
  echo "Resident memory over 10 minutes of playback (both at once)"
  "$sondik" "$url" 610 >"$work/long-sondik.out" 2>&1 &
  ps_=$!
  "$bare" "$url" 610 >"$work/long-floor.out" 2>&1 &
  pb=$!
  declare -A at
  for minute in 1 5 10; do
    sleep $(( (minute == 1 ? 60 : (minute == 5 ? 240 : 300)) ))
    printf 'minute %2d: sondik RSS %6.1f MB PSS %6.1f MB   floor RSS %6.1f MB PSS %6.1f MB\n' "$minute" \
      "$(awk -v k="$(rss_kb $ps_)" 'BEGIN { print k / 1024 }')" "$(awk -v k="$(pss_kb $ps_)" 'BEGIN { print k / 1024 }')" \
      "$(awk -v k="$(rss_kb $pb)" 'BEGIN { print k / 1024 }')" "$(awk -v k="$(pss_kb $pb)" 'BEGIN { print k / 1024 }')"
    at[$minute]=$(rss_kb $ps_)
  done
  printf 'sondik RSS growth from minute 1 to minute 10: %d KB (target: under 1024 KB)\n' $((at[10] - at[1]))
  wait $ps_ $pb || true
fi
