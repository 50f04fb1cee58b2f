#!/usr/bin/env bash
# 10000 distinct services (each its own endpoint and URL; SERVICES=N for
# another count) announce themselves (Hello, one per millisecond) inside a
# private network namespace; prints the time until the repository holds all
# of them, the CPU per announcement at the first and the last
# thousand, the peak RSS and whether any was lost or doubled
# (targets: all within 2 s of the last Hello, the last thousand at most 1.5
# times the CPU of the first, none lost or doubled).
#   bench/discovery-repository-load.sh [BUILD FOLDER]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/release}
bash tools/build-targets.sh "$folder" wsdd_repository_load wsddtarget
bench="$PWD/$folder/bin/wsdd_repository_load"
target="$PWD/$folder/bin/wsddtarget"
tools/in-test-netns.sh unshare -n sh -c \
  "ip link set lo up && ip link set lo multicast on && ip route add 239.0.0.0/8 dev lo && \
   QT_QPA_PLATFORM=offscreen '$bench' --target '$target' --services ${SERVICES:-10000} --interval-us 1000 --burst ${BURST:-1}"
