#!/bin/sh
# What NetworkStatus costs while the network is quiet: runs it for a minute in a
# network namespace of its own (a veth link with a default route, so the path is
# satisfied) and prints the CPU seconds used and the thread count.
# Needs root. Builds nothing: cmake --build build --target network-idle first.
#
#   bench/network-idle.sh [build-dir] [seconds]
set -eu

build=${1:-build}
seconds=${2:-60}
program="$build/bench/network-idle"
if [ ! -x "$program" ]; then
    echo "$program is missing; build it with: cmake --build $build --target network-idle" >&2
    exit 1
fi

exec unshare --net sh -eu -c '
    ip link set lo up
    ip link add sa0 type veth peer name sb0
    ip link set sa0 up
    ip link set sb0 up
    ip addr add 10.0.0.1/24 dev sa0
    ip route add default via 10.0.0.2
    QT_QPA_PLATFORM=offscreen exec "$0" "$1"
' "$program" "$seconds"
