#!/usr/bin/env bash
# What the application shell costs, on a private X server (Xvfb) with openbox
# and a tint2 tray, once with Qt Quick's software renderer and once with
# OpenGL (Mesa's llvmpipe under Xvfb):
#   - start to tray icon shown, and to the window shown (the launch opens it
#     0.2 s after start by design);
#   - icon click to window shown (median and worst of several clicks; includes
#     starting xdotool, a few ms);
#   - resident memory with the window hidden;
#   - CPU seconds over SECONDS with the window hidden and nothing playing;
#   - with the station list shown: memory with the window visible, and the
#     frame times (as Qt's scene graph reports them) while the list is
#     scrolled from top to bottom with the wheel, and while the pointer moves
#     across the rows (each row grows on hover, animated over 0.2 s).
# Targets: icon within 400 ms of start, window within 50 ms of the click,
# effectively no CPU while hidden.
#
#   bench/shell-startup.sh [build-dir] [seconds] [software|opengl|default|both]
set -euo pipefail

build=${1:-build}
seconds=${2:-60}
renderers=${3:-both}
sondik="$build/src/sondik"
export XPROBE="$build/bench/xprobe"
for program in "$sondik" "$XPROBE"; do
    if [ ! -x "$program" ]; then
        echo "$program is missing; build with: cmake --build $build --target sondik xprobe" >&2
        exit 1
    fi
done
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../tests/shell/xsession.sh
source "$here/../tests/shell/xsession.sh"

work=$(mktemp -d)
trap 'stop_x_session; rm -rf "$work"' EXIT

now_ns() { date +%s%N; }
ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", (b - a) / 1e6 }'; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# Frame times in ms from Qt's render-loop timing lines on stdin: count,
# median, 95th percentile, worst.
frame_times() {
    grep -v 'gui thread.*syncAndRender' | sed -n 's/.*[Ff]rame rendered.* in \([0-9]*\)ms.*/\1/p' |
        sort -n | awk '{ a[NR] = $1 } END {
            if (NR == 0) { print "no frames"; exit }
            printf "%d frames, median %.1f ms, p95 %.1f ms, worst %.1f ms", NR, a[int((NR + 1) / 2)], a[int(NR * 0.95 + 0.5)], a[NR] }'
}
maximum() { sort -n | tail -n1; }

measure() {
    local renderer=$1
    local log="$work/sondik-$renderer.log"
    rm -rf "${XDG_RUNTIME_DIR:?}"/* "$XDG_CONFIG_HOME/Sondik"
    local -a env=(SONDIK_AUDIO_OUTPUT=null QT_QPA_PLATFORM=xcb QSG_INFO=1 LANG=en_US.UTF-8
                  QT_LOGGING_RULES=qt.scenegraph.time.renderloop.debug=true)
    case $renderer in
        software) env+=(QT_QUICK_BACKEND=software) ;;
        opengl) env+=(QT_QUICK_BACKEND=rhi QSG_RHI_BACKEND=opengl) ;;
    esac

    local t0 t_icon t_window
    t0=$(now_ns)
    env "${env[@]}" "$sondik" >"$log" 2>&1 &
    local pid=$!
    SESSION_PIDS+=("$pid")
    t_icon=$("$XPROBE" wait viewable sondik 1 64 10000 embedded | tail -n1)
    local icon
    icon=$("$XPROBE" find sondik 1 64 embedded | head -n1)
    t_window=$("$XPROBE" wait viewable sondik 200 4000 10000 | tail -n1)
    local ix iy iw ih
    read -r _ ix iy iw ih <<<"$icon"
    local cx=$(( ix + iw / 2 )) cy=$(( iy + ih / 2 ))

    # Clicks: hide, then time the showing. Apart enough not to be a double click.
    local clicks=() t_click t_shown
    for _ in 1 2 3 4 5 6 7; do
        xdotool mousemove "$cx" "$cy" click 1
        "$XPROBE" wait gone sondik 200 4000 5000 >/dev/null
        sleep 0.6
        "$XPROBE" wait viewable sondik 200 4000 5000 >"$work/shown" &
        local probe=$!
        sleep 0.1 # the probe is polling
        t_click=$(now_ns)
        xdotool click 1
        wait "$probe"
        t_shown=$(tail -n1 "$work/shown")
        clicks+=("$(ms_between "$t_click" "$t_shown")")
        sleep 0.6
    done

    # Hidden and idle.
    xdotool mousemove "$cx" "$cy" click 1
    "$XPROBE" wait gone sondik 200 4000 5000 >/dev/null
    sleep 2
    local rss pss threads
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
    pss=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup")
    threads=$(awk '/^Threads/ { print $2 }' "/proc/$pid/status")
    local ticks0 ticks1 hz
    hz=$(getconf CLK_TCK)
    ticks0=$(cpu_ticks "$pid")
    sleep "$seconds"
    ticks1=$(cpu_ticks "$pid")

    # Shown again: the list, then the wheel from top to bottom, then the
    # pointer across the rows.
    xdotool mousemove "$cx" "$cy" click 1
    local window wx wy ww wh
    window=$("$XPROBE" wait viewable sondik 200 4000 5000 | head -n1)
    read -r _ wx wy ww wh <<<"$window"
    sleep 2
    local vrss vpss
    vrss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
    vpss=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup")
    local mark
    mark=$(wc -l <"$log")
    xdotool mousemove $(( wx + 160 )) $(( wy + wh - 150 ))
    sleep 0.5
    local t_scroll0 t_scroll1
    t_scroll0=$(now_ns)
    xdotool click --repeat 450 --delay 12 5
    sleep 1
    t_scroll1=$(now_ns)
    local scrolled
    scrolled=$(tail -n +"$(( mark + 1 ))" "$log" | frame_times)
    mark=$(wc -l <"$log")
    xdotool click --repeat 500 --delay 4 4 # back to the top, not measured
    sleep 1
    mark=$(wc -l <"$log")
    local y
    for (( y = wy + wh - 340; y < wy + wh - 20; y += 13 )); do
        xdotool mousemove $(( wx + 160 )) "$y"
        sleep 0.05
    done
    sleep 0.5
    local hovered
    hovered=$(tail -n +"$(( mark + 1 ))" "$log" | frame_times)
    xdotool mousemove "$cx" "$cy" click 1
    "$XPROBE" wait gone sondik 200 4000 5000 >/dev/null

    local gl
    gl=$(sed -n 's/.*RENDERER: \(.*\) VERSION.*/\1/p' "$log" | head -n1)
    [ "$renderer" = software ] && gl="Qt Quick software renderer (QT_QUICK_BACKEND=software)"
    [ "$renderer" = default ] && gl="the program's default: ${gl:-software renderer}"

    echo "== $renderer: ${gl:-unknown}"
    echo "start to tray icon shown:        $(ms_between "$t0" "$t_icon") ms (target 400)"
    echo "start to window shown:           $(ms_between "$t0" "$t_window") ms (launch delay 200 ms)"
    echo "click to window shown, median:   $(printf '%s\n' "${clicks[@]}" | median) ms (target 50)"
    echo "click to window shown, worst:    $(printf '%s\n' "${clicks[@]}" | maximum) ms"
    echo "resident memory, window hidden:  $(( rss / 1024 )) MiB RSS, $(( pss / 1024 )) MiB PSS, $threads threads"
    echo "CPU over ${seconds} s hidden, idle:  $(awk -v a="$ticks0" -v b="$ticks1" -v hz="$hz" 'BEGIN { printf "%.2f", (b - a) / hz }') s"
    echo "resident memory, list shown:     $(( vrss / 1024 )) MiB RSS, $(( vpss / 1024 )) MiB PSS"
    echo "frames scrolling the whole list:  $scrolled (over $(ms_between "$t_scroll0" "$t_scroll1") ms)"
    echo "frames hovering across the rows:  $hovered"

    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

start_x_session "$work" 1280x800
echo "Xvfb 1280x800, openbox, tint2, no compositor; $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
case $renderers in
    both) measure software; measure opengl ;;
    *) measure "$renderers" ;;
esac
