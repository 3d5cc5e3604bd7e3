#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack, clean under lintian,
# appstreamcli and desktop-file-validate, unpacked into a temporary root (the
# system's packages are not touched), and the unpacked program started on a
# private X server with a tray host: its icon, its window, and a click on a
# station that plays a loopback stream through the plugin of the unpacked tree.
# Runs in a mount and network namespace of its own (root), where a private
# /etc/hosts sends the first station's host to the test's server.
#
#   package_end_to_end.sh BUILD_DIR XPROBE PCMPROBE
set -euo pipefail

if [ "${PACKAGE_TEST_NAMESPACE:-}" != 1 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "SKIP: a private network namespace needs root"
        exit 77
    fi
    exec unshare --mount --net env PACKAGE_TEST_NAMESPACE=1 "$0" "$@"
fi

build=$1
export XPROBE=$2
pcmprobe=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../app/xsession.sh
source "$here/../app/xsession.sh"

work=$(mktemp -d)
cleanup() {
    stop_x_session
    umount /etc/hosts 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for log in sondik server; do
        [ -f "$work/$log.log" ] && { echo "--- $log log" >&2; cat "$work/$log.log" >&2; }
    done
    exit 1
}

# 1. The package, with what Debian's tools say of it.
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$(echo "$work"/out/sondik_*.deb)
version=$(dpkg-deb -f "$deb" Version)
[ "$deb" = "$work/out/sondik_${version}_$(dpkg --print-architecture).deb" ] || fail "package named $deb"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libmpv2 libqt6quick6 qml6-module-qtquick-controls qt6-qpa-plugins qt6-wayland; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "$needed is not a dependency"
done
[ "$(dpkg-deb -f "$deb" Section)" = sound ] || fail "section"
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
grep -v 'root privileges' "$work/lintian.log" | sed 's/^/lintian: /' || true

root="$work/root"
dpkg-deb -x "$deb" "$root"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
id=de.sondik.Sondik
diff <(cd "$root" && find . -type f | sort) <(sort <<FILES
./usr/bin/sondik
./usr/lib/$multiarch/sondik/libsondikmpv.so
./usr/share/applications/$id.desktop
./usr/share/doc/sondik/changelog.gz
./usr/share/doc/sondik/copyright
./usr/share/icons/hicolor/48x48/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/sondik.1.gz
./usr/share/metainfo/$id.metainfo.xml
FILES
) || fail "the package's files differ from the list"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo names another version"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop file"

# 2. A network of its own: a default route, and the station's host on loopback.
host=stream.absolutradio.de
ip link set lo up
ip link add uplink type veth peer name uplink-peer
ip addr add 10.200.0.1/24 dev uplink
ip link set uplink-peer up
ip link set uplink up
ip route add default via 10.200.0.2 dev uplink
printf '127.0.0.1 localhost\n127.0.0.1 %s\n' "$host" >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts
ffmpeg -loglevel error -f lavfi -i "aevalsrc=0.8*sin(440*2*PI*t):s=44100:d=5" -ac 2 \
    -c:a libmp3lame -b:a 128k "$work/tone.mp3"
start_bg "$work/server.log" python3 -u "$here/../views/station_server.py" "$work/tone.mp3" 128
server_up() { (exec 3<>/dev/tcp/127.0.0.1/80) 2>/dev/null; }
wait_until 10000 server_up || fail "the station server did not start"

# 3. The unpacked program: icon, window, and a click on the first station.
start_x_session "$work" 1280x800
unset SONDIK_PLUGIN_DIR
export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL='' LSAN_OPTIONS=exitcode=0
SONDIK_AUDIO_OUTPUT=pcm SONDIK_AUDIO_FILE="$work/heard.wav" start_bg "$work/sondik.log" "$root/usr/bin/sondik"
sondik_pid=$LAST_PID
"$XPROBE" wait viewable sondik 1 64 10000 embedded >/dev/null || fail "no tray icon"
window=$("$XPROBE" wait viewable sondik 200 4000 10000 | head -n1) || fail "the window did not open"
read -r _ wx wy _ wh <<<"$window"
# The first row of the station list: the 360 high content ends 12 below the window.
xdotool mousemove $(( wx + 160 )) $(( wy + wh + 12 - 360 + 34 )) click 1
heard() {
    read -r _ rms share <<<"$("$pcmprobe" "$work/heard.wav" 440)"
    awk -v r="$rms" -v s="$share" 'BEGIN { exit !(r > 0.01 && s > 0.8) }'
}
wait_until 30000 heard || fail "the station is not heard"
grep -q "GET /bella/stream.mp3 200" "$work/server.log" || fail "the stream came from elsewhere"
grep -qF "$root/usr/lib/$multiarch/sondik/libsondikmpv.so" /proc/"$sondik_pid"/maps ||
    fail "the plugin was not loaded from the unpacked tree"
kill "$sondik_pid"
wait "$sondik_pid" || fail "Sondik ended with status $?"
echo "all checks passed"
