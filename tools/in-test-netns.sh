#!/usr/bin/env bash
# Runs a command inside a private network namespace made for it: only
# loopback, up, with multicast and a route for 239.0.0.0/8, so that nothing a
# test sends reaches the machine's real interfaces. Tests that need more hosts
# add veth pairs into further namespaces of their own.
#   tools/in-test-netns.sh COMMAND [ARGS...]
set -euo pipefail

if [ "${TANDRIL_PRIVATE_NETNS:-}" != "1" ]; then
  userns=""
  [ "$(id -u)" -eq 0 ] || userns="-r"
  exec unshare $userns -n -- env TANDRIL_PRIVATE_NETNS=1 "$0" "$@"
fi

ip link set lo up
ip link set lo multicast on
ip route add 239.0.0.0/8 dev lo 2>/dev/null || true
exec "$@"
