#!/usr/bin/env bash
# 1000 distinct services announce themselves (Hello, one per millisecond)
# inside a private network namespace; prints the time until the repository
# holds all of them, the peak RSS and whether any was lost or doubled
# (target: all within 2 s of the last Hello, none lost or doubled).
#   bench/discovery-repository-load.sh [BUILD FOLDER]   (default build-wsdd)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-wsdd}
ninja -C "$folder" wsdd_repository_load wsddtarget >/dev/null
bench="$PWD/$folder/bin/wsdd_repository_load"
target="$PWD/$folder/bin/wsddtarget"
tools/in-test-netns.sh unshare -n sh -c \
  "ip link set lo up && ip link set lo multicast on && ip route add 239.0.0.0/8 dev lo && \
   QT_QPA_PLATFORM=offscreen '$bench' --target '$target' --services 1000 --interval-us 1000"
