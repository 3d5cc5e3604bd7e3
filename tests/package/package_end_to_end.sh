#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack, clean under lintian,
# appstreamcli, desktop-file-validate and hardening-check, unpacked into a temporary root (the
# system's packages are not touched), and the unpacked program started on a
# private X server with a tray host: its icon, its window, and a click on a
# station that plays the test's loopback stream (see station_namespace.sh)
# through the plugin of the unpacked tree.
#
#   package_end_to_end.sh BUILD_DIR PCMPROBE HARDENED
#
# HARDENED: 1 for a build with the hardening flags (not a sanitizer's or a
# Debug build), whose binaries are checked for them.
set -euo pipefail

build=$1
pcmprobe=$2
hardened=$3
# shellcheck source=../views/station_namespace.sh
source "$(dirname "$0")/../views/station_namespace.sh"

# 1. The package, with what Debian's tools say of it.
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || fail cpack
deb=$(echo "$work"/out/sondik_*_"$(dpkg --print-architecture)".deb)
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libmpv2 libqt6quick6 qml6-module-qtquick-controls qt6-qpa-plugins qt6-wayland; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "$needed is not a dependency: $depends"
done
lintian --fail-on error --display-info "$deb" >"$work/lintian.log" 2>&1 || fail lintian
[ "$hardened" = 0 ] || ! grep -F hardening- "$work/lintian.log" || fail "lintian: hardening"

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
./usr/share/lintian/overrides/sondik
./usr/share/man/man1/sondik.1.gz
./usr/share/metainfo/$id.metainfo.xml
FILES
) || fail "the package's files differ from the list"
metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo names another version"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop file"
grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" || fail "metainfo licence"
grep -qx "License: GPL-3+" "$root/usr/share/doc/sondik/copyright" || fail "copyright licence"
# Built as Debian builds its own (stack protector, fortified functions, RELRO,
# immediate binding, PIE), and naming no compiler. Not control-flow protection,
# which no program of Debian 12 has (its C library's start files lack the
# marking); nor fortified calls in the plugin, which has none to check (its
# one candidate is std::deque's memmove into memory of a size known only to
# the allocator).
for shipped in usr/bin/sondik "usr/lib/$multiarch/sondik/libsondikmpv.so"; do
    options=(--nocfprotection)
    [[ $shipped != *.so ]] || options+=(--nofortify)
    [ "$hardened" = 0 ] || hardening-check "${options[@]}" "$root/$shipped" >"$work/hardening.log" ||
        fail "$(cat "$work/hardening.log")"
    ! readelf -S "$root/$shipped" | grep -qF .comment || fail "$shipped has a .comment section"
done

# 2. The unpacked program: icon, window, and a click on the first station.
start_x_session "$work" 1280x800
unset SONDIK_PLUGIN_DIR
export QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 LC_ALL='' LSAN_OPTIONS=exitcode=0
start_sondik "$root/usr/bin/sondik" sondik
sondik_window viewable 10 icon >/dev/null || fail "no tray icon"
first_row
expect_heard sondik
grep -qF "$root/usr/lib/$multiarch/sondik/libsondikmpv.so" /proc/"$sondik_pid"/maps ||
    fail "the plugin was not loaded from the unpacked tree"
stop_sondik "$sondik_pid"
