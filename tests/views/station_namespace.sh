# shellcheck shell=bash disable=SC2034 # variables for the scripts that source this
# Sourced first by the end-to-end tests that play a station, and by
# bench/click-to-sound.sh. The station's host name must reach our own server
# and nothing else, so the caller runs again in a mount and network namespace
# of its own (root only; with STATION_BUS=1 also on a session bus of its own):
# a private /etc/hosts names 127.0.0.1 for it, and station_server.py sends an
# endless 440 Hz tone there on port 80. A veth pair ("uplink") carries the
# default route, so the program sees a network. Leaves xsession.sh sourced, a
# scratch folder in $work (cleaned up at exit).
if [ "${STATION_NAMESPACE:-}" != 1 ]; then
    if [ "$(id -u)" != 0 ] || ! unshare --mount --net true 2>/dev/null; then
        echo "SKIP: a private network namespace needs root"
        exit 77
    fi
    exec unshare --mount --net env STATION_NAMESPACE=1 \
        ${STATION_BUS:+dbus-run-session --} "$0" "$@"
fi

station_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../shell/xsession.sh
source "$station_dir/../shell/xsession.sh"
new_work_dir

# The X servers of tests in other namespaces share /tmp; ours keeps its
# sockets to itself, so no client of ours reaches theirs. On a fresh machine
# no X server has made the folder yet.
[ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix

station_host=stream.absolutradio.de
ip link set lo up
ip link add uplink type veth peer name uplink-peer
ip addr add 10.200.0.1/24 dev uplink
ip link set uplink-peer up
ip link set uplink up
ip route add default via 10.200.0.2 dev uplink
printf '127.0.0.1 localhost %s\n' "$station_host" >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts

ffmpeg -loglevel error -f lavfi -i "aevalsrc=0.8*sin(440*2*PI*t):s=44100:d=${station_tone_seconds:-5}" -ac 2 \
    -c:a libmp3lame -b:a 128k "$work/tone.mp3"
start_bg "$work/server.log" python3 -u "$station_dir/station_server.py" "$work/tone.mp3" 128 "$work/mode"
server_up() { (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null; }
wait_until 10 server_up || fail "the station server did not start"

# start_sondik PROGRAM NAME: starts PROGRAM playing into $work/NAME.wav, and
# returns once its window has drawn the list; sets wx wy ww wh and area_top.
start_sondik() {
    grab "$work/bare.png"
    SONDIK_AUDIO_OUTPUT=pcm SONDIK_AUDIO_FILE="$work/$2.wav" start_bg "$work/$2.log" "$1"
    sondik_pid=$LAST_PID
    read -r _ wx wy ww wh <<<"$(sondik_window viewable 10)"
    [ -n "${wh:-}" ] || fail "the window did not open"
    # The content: 360 high, at the window's bottom; rows 78 apart.
    area_top=$(( wy + wh - 360 ))
    content="${ww}x300+$wx+$area_top"
    convert "$work/bare.png" -crop "$content" +repage "$work/before.png"
    region=$content await_change "$work/before.png" || fail "the list is not drawn"
}
first_row() { xdotool mousemove $(( wx + 160 )) $(( area_top + 34 )) click 1; }
# expect_heard NAME: a station is heard in NAME.wav, from our own server.
expect_heard() {
    wait_until 30 heard "$work/$1.wav" || fail "the station is not heard"
    grep -q "GET /bella/stream.mp3 200" "$work/server.log" || fail "the stream came from elsewhere"
}
