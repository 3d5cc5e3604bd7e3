#!/usr/bin/env bash
# A station's server that lets the listener down while the network stays, as
# a user meets it (station_server.py's modes, see station_namespace.sh):
#   - it ends the stream five times: the station is heard again after each
#     drop, never with two media cores at once; the seconds from each drop to
#     the tone heard again are printed;
#   - it ends the stream once and then answers no more: three tries, then the
#     row says the station cannot be reached (screenshots, light and dark) and
#     MPRIS says Stopped;
#   - a click on another row while a try waits: no try comes after it;
#   - it ends the stream while the default route is gone: no try while the
#     route is missing, the station plays again once it is back.
#
#   reconnect_end_to_end.sh SONDIK PCMPROBE ARTIFACT_DIR
set -euo pipefail

sondik=$1
pcmprobe=$2
artifacts=$3
# shellcheck source=station_namespace.sh
STATION_BUS=1 source "$(dirname "$0")/station_namespace.sh"

sondik_session compositor bus
conf="$XDG_CONFIG_HOME/Sondik/Sondik.conf"

requests() { grep -cE "GET /bella/stream.mp3 (200|closed)" "$work/server.log" || true; }
ends() { grep -c "^END /bella/stream.mp3" "$work/server.log" || true; }
cores() { cat /proc/"$sondik_pid"/task/*/comm 2>/dev/null | grep -c '^mpv/mpv core$' || true; }
# A fresh start with nothing chosen, the server in MODE.
fresh() {
    printf '%s\n' "$1" >"$work/mode"
    rm -f "$conf"
    start_sondik "$sondik" "$2"
}

# 1. Five drops: heard again after each, one core at most.
fresh "drop 3 5" drops
first_row
expect_heard drops
(( $(cores) == 1 )) || fail "$(cores) media cores while playing"
for drop in 1 2 3 4 5; do
    wait_until 30 eval '[ "$(ends)" -ge '"$drop"' ]' || fail "drop $drop did not come"
    at=$(awk '/^END/ { t = $3 } END { print t }' "$work/server.log")
    size=$(stat -c %s "$work/drops.wav")
    # The next core starts the file anew; then the tone.
    wait_until 30 eval '[ "$(stat -c %s "$work/drops.wav")" -lt '"$size"' ]' ||
        fail "no new player after drop $drop"
    (( $(cores) <= 1 )) || fail "$(cores) media cores after drop $drop"
    wait_until 30 heard "$work/drops.wav" || fail "not heard again after drop $drop"
    awk -v a="$at" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f\n", b - a }' >>"$work/again"
done
echo "seconds from a drop to the tone heard again: $(sort -g "$work/again" | tr '\n' ' ')" \
    "(median $(sort -g "$work/again" | sed -n 3p))"
(( $(requests) == 6 )) || fail "$(requests) requests for five drops"
stop_sondik "$sondik_pid"

# 2. A server that answers no more after a drop: three tries, then the row
# says so, and nothing plays.
for look in light dark; do
    if [ "$look" = dark ]; then
        dark_palette
        export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
    fi
    before=$(requests)
    fresh "drop 3 1 dead" "dead-$look"
    first_row
    expect_heard "dead-$look"
    wait_until 40 grep -q "cannot be reached" "$work/dead-$look.log" ||
        fail "the station was not given up: $(tail -n 5 "$work/server.log")"
    (( $(requests) - before == 4 )) || fail "$(( $(requests) - before )) requests: not three tries"
    [ "$(timeout 5 playerctl -p sondik status)" = Stopped ] || fail "MPRIS: $(playerctl -p sondik status)"
    (( $(cores) == 0 )) || fail "a media core is left"
    region="${ww}x120+$wx+$area_top" screenshot "$artifacts/reconnect-failed-$look.png"
    stop_sondik "$sondik_pid"
done
rm "$XDG_CONFIG_HOME/kdeglobals"
unset XDG_CURRENT_DESKTOP KDE_SESSION_VERSION

# 3. A click on another row while a try waits: the click wins.
fresh "drop 3 1 dead" click
first_row
expect_heard click
ended=$(ends)
wait_until 30 eval '[ "$(ends)" -gt '"$ended"' ]' || fail "no drop"
xdotool mousemove $(( wx + 160 )) $(( area_top + 34 + 78 )) click 1
before=$(requests)
wait_until 10 grep -q "GET /hot/" "$work/server.log" || fail "the second row was not played"
sleep 4 # past the first try's second
(( $(requests) == before )) || fail "a try came after the click"
stop_sondik "$sondik_pid"

# 4. A drop while the route is gone is the outage's: played again once the
# route is back, not tried before.
fresh "" outage
first_row
expect_heard outage
ip link set uplink down
ended=$(ends)
printf 'cut\n' >"$work/mode"
wait_until 10 eval '[ "$(ends)" -gt '"$ended"' ]' || fail "the stream was not cut"
before=$(requests)
sleep 3 # past the first try's second
(( $(requests) == before )) || fail "a try while the route is gone"
ip link set uplink up
ip route replace default via 10.200.0.2 dev uplink
wait_until 15 eval '[ "$(requests)" -gt '"$before"' ]' || fail "not played again after the outage"
(( $(requests) == before + 1 )) || fail "played again more than once"
stop_sondik "$sondik_pid"

sanitizer_clean "$work"/*.log || fail "sanitizer report"
