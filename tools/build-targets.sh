#!/usr/bin/env bash
# Builds the given targets in a build folder for the benchmarks; build/release
# is configured first (tools/configure.sh) when it has not been yet. Prints
# the build's output only when it fails.
#   tools/build-targets.sh FOLDER TARGET...
set -euo pipefail
folder=$(realpath -m "${1:?build folder}"); shift
cd "$(dirname "$0")/.."
if [ ! -f "$folder/build.ninja" ] && [ "$folder" = "$PWD/build/release" ]; then
  bash tools/configure.sh release
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
ninja -C "$folder" "$@" >"$log" 2>&1 || { cat "$log"; exit 1; }
