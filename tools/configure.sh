#!/usr/bin/env bash
# Configures build/release or build/sanitize, the build folders that
# tools/run-tandril.sh, tools/run-tests.sh and the benchmarks share, always
# with the same options (the tests included), so that running one of them
# after another rebuilds nothing. The output goes to FOLDER.configure.log and
# is shown when configuring fails.
#   tools/configure.sh release|sanitize
set -euo pipefail
cd "$(dirname "$0")/.."
case ${1:-} in
  release) folder=build/release; options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) folder=build/sanitize; options=(-DCMAKE_BUILD_TYPE=Debug -DTANDRIL_SANITIZE=ON) ;;
  *) echo "usage: tools/configure.sh release|sanitize" >&2; exit 2 ;;
esac
mkdir -p build
cmake -S . -B "$folder" -G Ninja -DBUILD_TESTING=ON "${options[@]}" >"$folder.configure.log" 2>&1 \
  || { cat "$folder.configure.log"; exit 1; }
