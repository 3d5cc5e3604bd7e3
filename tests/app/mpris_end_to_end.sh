#!/usr/bin/env bash
# The real program on a private session bus, as the desktop's media controls
# meet it: playerctl finds it and shows the selected station; Quit over D-Bus
# ends it in order and leaves no process behind.
#
#   dbus-run-session -- mpris_end_to_end.sh SONDIK
set -euo pipefail

sondik=$1
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    echo "--- sondik log" >&2
    cat "$work/sondik.log" >&2 || true
    exit 1
}
# wait_for TENTHS COMMAND...: polls COMMAND, at most TENTHS tenths of a second.
wait_for() {
    local n=$1; shift
    for _ in $(seq "$n"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Sondik" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The United States list; its first station chosen in an earlier run.
export LANG=C LC_ALL=C QT_QPA_PLATFORM=offscreen SONDIK_AUDIO_OUTPUT=null
printf '[General]\nSelectedRadioStationId=s22469\n' >"$XDG_CONFIG_HOME/Sondik/Sondik.conf"

"$sondik" >"$work/sondik.log" 2>&1 &
pid=$!
on_bus() { playerctl -l | grep -qx sondik; }
wait_for 150 on_bus || fail "Sondik is not on the session bus"
[ "$(playerctl -p sondik status)" = Stopped ] || fail "status $(playerctl -p sondik status)"
title=$(playerctl -p sondik metadata title)
[ "$title" = "ESPN New York 98.7 FM" ] || fail "metadata title '$title'"
children=$(ps -o pid= --ppid "$pid" || true)

dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.sondik /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Quit >/dev/null || fail "Quit was not answered"
ended() { ! kill -0 "$pid" 2>/dev/null || ps -o stat= -p "$pid" | grep -q '^Z'; }
wait_for 100 ended || fail "Sondik still runs 10 s after Quit"
status=0
wait "$pid" || status=$?
pid=""
(( status == 0 )) || fail "Sondik ended with status $status"
for child in $children; do
    kill -0 "$child" 2>/dev/null && fail "process $child outlived Sondik"
done
on_bus && fail "the name is still on the bus"
echo "all checks passed"
