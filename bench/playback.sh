#!/usr/bin/env bash
# Playback benchmark. First the whole program as a user has it, against a
# bare libmpv program with mpv's default options (the floor), on the same
# stream, under each sound server of a Debian desktop: PulseAudio, and PipeWire
# (with its PulseAudio server and WirePlumber), each headless with a null sink
# and private to the run. Sondik starts afresh, its first station row is
# clicked (as bench/click-to-sound.sh does), its window closed from the tray
# icon; MPRIS is on a session bus of the run. Each round prints for both: the
# time from the click (the floor: its loadfile) to the first sample reaching
# the sink, CPU seconds, wake-ups per second and per thread over 30 s of
# steady playback (from 10 s after the start: the fade-in lasts 8), PSS and
# private dirty memory, the time from a volume change (MPRIS, as a media key;
# the floor: its volume property) to the level heard changing, from a stop to
# silence, and dropouts; then the medians and the ratios program/floor. That
# part needs root (a network namespace of its own where the stations' host is
# the tests' server, tests/views/station_namespace.sh).
#
# Then, on a local Icecast mount and PulseAudio: start-up and idle memory with
# and without loading the backend, the cost of MPRIS (bench_mpris) and, with
# --long, resident memory at 1, 5 and 10 minutes.
#
#   bench/playback.sh [--long] [--runs N] [--build DIR] [--mpris-only]
#                     [--plugin-dir DIR] [--profile] [--servers "pulseaudio pipewire"]
#
# --plugin-dir plays through the mpv plugin of another build (say, the one
# before a change); --profile prints each run's threads.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
arguments=("$@")
build=$here/../build
runs=3
long=0
mpris_only=0
plugin_dir=""
profile=0
servers="pulseaudio pipewire"
while [ $# -gt 0 ]; do
  case $1 in
    --long) long=1 ;;
    --runs) runs=$2; shift ;;
    --build) build=$2; shift ;;
    --mpris-only) mpris_only=1 ;;
    --plugin-dir) plugin_dir=$(cd "$2" && pwd); shift ;;
    --profile) profile=1 ;;
    --servers) servers=$2; shift ;;
    *) echo "usage: $0 [--long] [--runs N] [--build DIR] [--mpris-only] [--plugin-dir DIR] [--profile] [--servers LIST]" >&2; exit 2 ;;
  esac
  shift
done
build=$(cd "$build" && pwd)

whole=0
if [ "$mpris_only" -eq 0 ]; then
  if [ "$(id -u)" = 0 ] && unshare --mount --net true 2>/dev/null; then
    whole=1
  elif [ "${STATION_NAMESPACE:-}" != 1 ]; then
    echo "The whole program needs root (a network namespace of its own): skipped"
  fi
fi
if [ "${STATION_NAMESPACE:-}" != 1 ]; then
  cmake --build "$build" --target sondik xprobe bench_mediaplayer bench_barempv bench_firstsound \
    bench_mpris sondikmpv >/dev/null
fi
sondik=$build/bench/bench_mediaplayer
bare=$build/bench/bench_barempv
firstsound=$build/bench/bench_firstsound

pids=()
if [ "$whole" -eq 1 ]; then
  # Runs this script again in the namespace, with the same arguments; leaves
  # $work and the X session's clean-up.
  set -- "${arguments[@]}"
  # A minute of tone, so that the loop's seam (the encoder's padding, a
  # short silence) falls after the measured half minute: any dropout counted
  # there is the player's.
  export station_tone_seconds=60
  # shellcheck source=../tests/views/station_namespace.sh
  source "$here/../tests/views/station_namespace.sh"
  # shellcheck source=program-session.sh
  source "$here/program-session.sh"
else
  work=$(mktemp -d /tmp/sondik-bench.XXXXXX)
fi
chmod 0777 "$work"
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if declare -F stop_x_session >/dev/null; then stop_x_session; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=loopback-icecast.sh
source "$here/loopback-icecast.sh"
# shellcheck source=sound-server.sh
source "$here/sound-server.sh"

mark() { awk -v k="$1" '$1 == k { print $2; exit }' "$2"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
pss_kb() { awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup"; }
# Private pages only: unlike PSS, not moved by other processes mapping the same libraries.
uss_kb() { awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s }' "/proc/$1/smaps_rollup"; }
dirty_kb() { awk '/^Private_Dirty:/ { print $2 }' "/proc/$1/smaps_rollup"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
libs() { grep -c '\.so' <(awk '{ print $6 }' "/proc/$1/maps" | sort -u); }
tick=$(getconf CLK_TCK)
median() { sort -g | awk '{ a[NR] = $1 } END { if (NR) print a[int((NR + 1) / 2)]; else print "n/a" }'; }

# --- The whole program against the floor, under PulseAudio and PipeWire
if [ "$whole" -eq 1 ]; then
# steady_clock's time (bench_firstsound's and the floor's marks) from date's.
offset=$(python3 -c 'import time; print(time.time_ns() - time.monotonic_ns())')
mono_now() { echo $(( ${EPOCHREALTIME/./}000 - offset )); }
sleep_until() { # monotonic ns
  local left=$(( $1 - $(mono_now) ))
  (( left <= 0 )) || sleep "$(awk -v n="$left" 'BEGIN { printf "%.3f", n / 1e9 }')"
}
# threads PID: a line per thread: id, name, wake-ups (context switches), CPU ticks.
threads() {
  local t
  for t in /proc/"$1"/task/*; do
    printf '%s %s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
      "$(awk '/ctxt_switches/ { s += $2 } END { print s }' "$t/status")" \
      "$(sed 's/.*) //' "$t/stat" | awk '{ print $12 + $13 }')"
  done 2>/dev/null | sort -k1,1
}
# levels_after FILE T: the windows (time, rms) of the levels file from T on.
first_below() { awk -v t="$2" -v l="$3" '$1 > t && $2 < l { print $1; exit }' "$1"; }
last_above() { awk -v t="$2" -v l="$3" '$1 > t && $2 > l { last = $1 } END { print last ? last : t }' "$1"; }
level_between() { awk -v a="$2" -v b="$3" '$1 > a && $1 <= b { s += $2 * $2; n++ } END { printf "%.5f", n ? sqrt(s / n) : 0 }' "$1"; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == "") print "n/a"; else printf "%.1f", (b - a) / 1e6 }'; }
audible=0.002 # about -54 dBFS

start_x_session "$work" 1280x800
export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL=
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/session-bus.addr" 4>"$work/session-bus.pid"
pids+=("$(head -n1 "$work/session-bus.pid")")
export DBUS_SESSION_BUS_ADDRESS; DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/session-bus.addr")
[ -z "$plugin_dir" ] || export SONDIK_PLUGIN_DIR=$plugin_dir
station_url="http://$station_host/bella/mp3-128/listenlive.m3u"
export XPROBE=$build/bench/xprobe

# mpris METHOD ARGS...: a desktop's media key, as small a client as there is
# (dbus-send), so that its own start counts for little.
mpris() {
  local interface=org.mpris.MediaPlayer2.Player
  [ "$1" != Set ] || interface=org.freedesktop.DBus.Properties
  dbus-send --session --type=method_call --dest=org.mpris.MediaPlayer2.sondik \
    /org/mpris/MediaPlayer2 "$interface.$1" "${@:2}"
}

# record_start NAME LATENCY-MS: the sink's monitor into $out.NAME.rec (first
# sound, dropouts) and $out.NAME.levels. A recorder asks the sink for blocks
# of its latency: 10 ms where a moment is timed, a second while CPU and
# wake-ups are counted, as no desktop records what it plays.
record_start() {
  rm -f "$out.$1.fifo"; mkfifo "$out.$1.fifo"
  "$firstsound" 44100 "$out.$1.levels" <"$out.$1.fifo" >"$out.$1.rec" &
  reader=$!
  parec --device=bench.monitor --format=s16le --rate=44100 --channels=2 --latency-msec="$2" \
    --raw 2>/dev/null >"$out.$1.fifo" &
  recorder=$!
  pids+=("$reader" "$recorder")
  sleep 0.3
}
record_stop() {
  kill "$recorder" 2>/dev/null || true
  wait "$recorder" "$reader" 2>/dev/null || true
}

# whole_run program|floor SERVER ROUND: one run; a line of figures into
# $work/SERVER-WHO.data: first sample, CPU, wake-ups/s, PSS, private dirty,
# volume heard, silent after stop (ms), dropouts, the longest (ms).
whole_run() {
  local who=$1 pid start sound reader recorder
  out=$work/$2-$1-$3
  record_start start 10
  if [ "$who" = program ]; then
    program_start "$build/src/sondik" "$out.log"
    pid=$program_pid
    start=$(( $(program_click_first_row) - offset ))
    wait_for 20 grep -q '^sound' "$out.start.rec"
    program_close_window || echo "  (the window did not close)"
  else
    rm -f "$out.cmd"; mkfifo "$out.cmd"
    "$bare" "$station_url" 120 <"$out.cmd" >"$out.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    exec 7>"$out.cmd"
    wait_for 10 grep -q '^play ' "$out.log"
    start=$(mark play "$out.log")
    wait_for 20 grep -q '^sound' "$out.start.rec"
  fi
  record_stop
  sound=$(mark sound "$out.start.rec")

  sleep_until $(( start + 9500000000 ))
  record_start steady 1000
  sleep_until $(( start + 10000000000 ))
  threads "$pid" >"$out.t0"; local c0; c0=$(cpu_ticks "$pid")
  sleep 30
  threads "$pid" >"$out.t1"; local c1; c1=$(cpu_ticks "$pid")
  local pss dirty; pss=$(pss_kb "$pid"); dirty=$(dirty_kb "$pid")
  record_stop

  # The gain to a quarter: heard once the level is past the middle.
  record_start controls 10
  sleep 1
  local before volume_at stop_at quarter
  [ "$who" = floor ] || quarter=$(playerctl -p sondik volume | awk '{ print $1 / 4 }')
  volume_at=$(mono_now)
  before=$(level_between "$out.controls.levels" $(( volume_at - 500000000 )) "$volume_at")
  if [ "$who" = program ]; then
    mpris Set string:org.mpris.MediaPlayer2.Player string:Volume "variant:double:$quarter"
  else
    echo "set volume 63" >&7 # 100 * cbrt(1/4): mpv's volume is cubic
  fi
  sleep 1.5
  local heard; heard=$(first_below "$out.controls.levels" "$volume_at" "$(awk -v b="$before" 'BEGIN { print b * 0.625 }')")
  stop_at=$(mono_now)
  if [ "$who" = program ]; then mpris Stop; else echo stop >&7; fi
  sleep 1.5
  local silent; silent=$(last_above "$out.controls.levels" "$stop_at" "$audible")
  record_stop

  [ "$who" = program ] || exec 7>&-
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true

  local wakeups first cpu dropouts longest
  wakeups=$(join "$out.t0" "$out.t1" | awk '{ s += $6 - $3 } END { printf "%.1f", s / 30 }')
  first=$(ms "$start" "$sound")
  cpu=$(awk -v t=$((c1 - c0)) -v k="$tick" 'BEGIN { printf "%.2f", t / k }')
  dropouts=$(mark dropouts "$out.steady.rec"); longest=$(mark longest-silence-ms "$out.steady.rec")
  echo "$first $cpu $wakeups $pss $dirty $(ms "$volume_at" "$heard") $(ms "$stop_at" "$silent") $dropouts $longest" \
    >>"$work/$2-$who.data"
  printf '  %-7s first sample %7s ms   cpu %5s s/30 s   wake-ups %6s/s   PSS %5.1f MB   private dirty %5.1f MB   volume heard %6s ms   silent %6s ms after stop   dropouts %s (longest %s ms)\n' \
    "$who" "$first" "$cpu" "$wakeups" "$(awk -v k="$pss" 'BEGIN { print k / 1024 }')" \
    "$(awk -v k="$dirty" 'BEGIN { print k / 1024 }')" "$(ms "$volume_at" "$heard")" \
    "$(ms "$stop_at" "$silent")" "$dropouts" "$longest"
  if [ "$profile" -eq 1 ]; then
    join "$out.t0" "$out.t1" | awk -v k="$tick" '{ printf "      %-18s %6.1f wake-ups/s  cpu %5.2f s\n", $2, ($6 - $3) / 30, ($7 - $4) / k }'
  fi
}

whole_table() { # SERVER
  local column
  column() { awk -v c="$2" '{ print $c }' "$work/$1.data"; }
  printf '%-46s %12s %12s %10s\n' "$1, median of $runs rounds" program "bare libmpv" ratio
  local i name
  for i in 1 2 3 4 5 6 7; do
    name=$(sed -n "${i}p" <<'NAMES'
click (floor: loadfile) to first sample, ms
CPU per 30 s, s
wake-ups per second
PSS, MB
private dirty, MB
volume change to heard, ms
stop to silence, ms
NAMES
)
    local p f
    p=$(column "$1-program" "$i" | { grep -v n/a || true; } | median)
    f=$(column "$1-floor" "$i" | { grep -v n/a || true; } | median)
    if [ "$i" -eq 4 ] || [ "$i" -eq 5 ]; then
      p=$(awk -v k="$p" 'BEGIN { printf "%.1f", k / 1024 }'); f=$(awk -v k="$f" 'BEGIN { printf "%.1f", k / 1024 }')
    fi
    printf '  %-44s %12s %12s %10s\n' "$name" "$p" "$f" \
      "$(awk -v a="$p" -v b="$f" 'BEGIN { if (b > 0 && a != "n/a") printf "%.2fx", a / b; else print "n/a" }')"
  done
  printf '  %-44s %12s %12s\n' "dropouts over 30 s, all rounds" \
    "$(column "$1-program" 8 | awk '{ s += $1 } END { print s + 0 }')" \
    "$(column "$1-floor" 8 | awk '{ s += $1 } END { print s + 0 }')"
}

echo "The whole program against bare libmpv (default options), $station_url from a local server,"
echo "$runs rounds under each sound server, alternating; $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
[ -z "$plugin_dir" ] || echo "(the program plays through the plugin in $plugin_dir)"
for server in $servers; do
  "start_$server"
  # The first stream after the sound server starts comes out sooner than the
  # rest: one unmeasured play first, so that both are timed alike.
  "$bare" "$station_url" 4 >/dev/null 2>&1 </dev/null || true
  echo "$server:"
  for round in $(seq "$runs"); do
    whole_run program "$server" "$round"
    whole_run floor "$server" "$round"
  done
  stop_sound_server
done
echo
for server in $servers; do whole_table "$server"; done
echo "targets: CPU within 0.6x; click to first sample within 1.1x; volume and stop heard within 100 ms"
fi # whole

# --- The rest on a local Icecast mount (a 440 Hz tone, MP3 at 128 kb/s, fed
# in real time) and PulseAudio.
start_pulseaudio
start_icecast 2
feed_tone 440 bench.mp3
url=http://127.0.0.1:$port/bench.mp3
sleep 1

if [ "$mpris_only" -eq 0 ]; then

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
