#!/usr/bin/env bash
# The servers list at 10000 services: runs the real tandril under Xvfb inside
# a private network namespace while 10000 distinct services (each its own
# endpoint and URL; SERVICES=N for another count) announce themselves, one
# Hello per millisecond (BURST=N: N back to back every millisecond). Prints the time until all are listed, the longest
# GUI freeze and the number of freezes over 100 ms (measured from outside:
# an X ping every 5 ms), the GUI thread's CPU per service at the first and
# the last thousand, and the peak RSS (targets: all listed within 2 s of the
# last Hello, no freeze over 100 ms, the last thousand at most 1.5 times the
# cost of the first, no Hello lost).
#   bench/servers-list-load.sh [BUILD FOLDER]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/release}
bash tools/build-targets.sh "$folder" tandril wsddtarget bench-xping bench-rowsprobe
exec tools/in-test-netns.sh python3 bench/servers-list-load.py --build "$folder" --services "${SERVICES:-10000}" --burst "${BURST:-1}"
