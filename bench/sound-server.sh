# shellcheck shell=bash disable=SC2154 # $work and pids are the caller's
# Sourced by the benchmarks: a sound server private to the run, with a null
# sink named "bench" (its monitor "bench.monitor" is what was played), headless
# and in a folder of its own under $work, as the two servers of a Debian
# desktop: PulseAudio, or PipeWire with its PulseAudio server and WirePlumber
# (which will not run without a session bus: it gets one of its own). Clients
# find it through the variables each exports; nothing reaches the user's
# server. The caller provides $work, the array pids (what its clean-up stops)
# and wait_for (loopback-icecast.sh).

# start_pulseaudio: exports PULSE_SERVER.
start_pulseaudio() {
  local dir=$work/pulse
  mkdir -p "$dir"
  cat >"$dir/bench.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
load-module module-null-sink sink_name=bench rate=44100 channels=2
set-default-sink bench
set-default-source bench.monitor
PA
  XDG_RUNTIME_DIR=$dir HOME=$dir pulseaudio -n -F "$dir/bench.pa" --daemonize=no \
    --exit-idle-time=-1 --use-pid-file=no --log-level=error >"$dir/log" 2>&1 &
  pids+=($!)
  sound_server_pids=($!)
  export PULSE_SERVER=unix:$dir/native
  wait_for 10 pactl info || { echo "pulseaudio did not start"; cat "$dir/log"; exit 1; }
}

# start_pipewire: exports PIPEWIRE_RUNTIME_DIR (where mpv's PipeWire output
# finds the server) and PULSE_SERVER; the caller's XDG_RUNTIME_DIR and session
# bus stay as they were.
start_pipewire() {
  local dir=$work/pipewire
  mkdir -p "$dir/run" "$dir/config/pipewire/pipewire.conf.d"
  chmod 700 "$dir/run"
  cat >"$dir/config/pipewire/pipewire.conf.d/bench.conf" <<CONF
context.properties = { default.clock.rate = 44100 }
context.objects = [
  { factory = adapter args = {
      factory.name = support.null-audio-sink node.name = bench node.description = bench
      media.class = Audio/Sink object.linger = true audio.position = [ FL FR ]
      audio.rate = 44100 node.driver = true monitor.channel-volumes = true } }
]
CONF
  (
    export XDG_RUNTIME_DIR=$dir/run XDG_CONFIG_HOME=$dir/config XDG_STATE_HOME=$dir/state HOME=$dir
    unset PIPEWIRE_REMOTE
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$dir/bus.addr" 4>"$dir/bus.pid"
    export DBUS_SESSION_BUS_ADDRESS; DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$dir/bus.addr")
    pipewire >"$dir/pipewire.log" 2>&1 &
    echo $! >"$dir/pids"
    wait_for 10 test -S "$dir/run/pipewire-0"
    wireplumber >"$dir/wireplumber.log" 2>&1 &
    echo $! >>"$dir/pids"
    pipewire-pulse >"$dir/pipewire-pulse.log" 2>&1 &
    echo $! >>"$dir/pids"
  )
  mapfile -t sound_server_pids <"$dir/pids"
  sound_server_pids+=("$(head -n1 "$dir/bus.pid")")
  pids+=("${sound_server_pids[@]}")
  export PIPEWIRE_RUNTIME_DIR=$dir/run PULSE_SERVER=unix:$dir/run/pulse/native
  wait_for 15 bash -c 'pactl list short sinks | grep -q bench' ||
    { echo "pipewire did not start"; tail -n +1 "$dir"/*.log; exit 1; }
}

# stop_sound_server: the one started last, its bus after it.
stop_sound_server() {
  local p
  for p in "${sound_server_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${sound_server_pids[@]}"; do
    wait_for 5 bash -c "! kill -0 $p" || kill -KILL "$p" 2>/dev/null || true
  done
  sound_server_pids=()
  unset PULSE_SERVER PIPEWIRE_RUNTIME_DIR
}
