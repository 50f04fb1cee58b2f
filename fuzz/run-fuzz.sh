#!/usr/bin/env bash
# Builds the discovery datagram fuzzer and the maintenance reply fuzzer with
# clang (libFuzzer + AddressSanitizer) in $FUZZ_BUILD_DIR (default
# build-wsdd-fuzz/) and runs each from its committed seed corpus for a bounded time.
#   fuzz/run-fuzz.sh [SECONDS]   (default 60, for each fuzzer)
# Exits non-zero when the build fails or a fuzzer finds a crash, leak,
# sanitizer error, a file written outside its download folder or memory above
# 512 MiB; new inputs go to a scratch corpus, never into the repo.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
folder=${FUZZ_BUILD_DIR:-build-wsdd-fuzz}
mkdir -p "$folder"

CC=clang CXX=clang++ cmake -S . -B "$folder" -G Ninja -DBUILD_TESTING=OFF -DTANDRIL_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER_LAUNCHER="$PWD/fuzz/no-werror-launcher.sh" \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$PWD/fuzz/no-werror-launcher.sh" \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address" >"$folder/configure.log" 2>&1 \
  || { cat "$folder/configure.log"; exit 1; }
ninja -C "$folder" wsdd_datagram_fuzzer reply_fuzzer

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/wsdd" "$scratch/reply"
cp fuzz/corpus/wsdd/* "$scratch/wsdd"/
cp fuzz/corpus/reply/* "$scratch/reply"/
# The fuzzer opens one loopback socket and sends nothing; run it in a private
# namespace all the same.
tools/in-test-netns.sh env ASAN_OPTIONS=detect_leaks=1 \
  "$folder/bin/wsdd_datagram_fuzzer" -max_total_time="$seconds" -max_len=65507 \
  -artifact_prefix="$folder/" -print_final_stats=1 "$scratch/wsdd"
# The reply fuzzer answers the nine operations from its input; it opens no
# socket and works in its own scratch folder in /tmp (so the artifact prefix
# is absolute).
tools/in-test-netns.sh env ASAN_OPTIONS=detect_leaks=1 \
  "$folder/bin/reply_fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=512 \
  -artifact_prefix="$(realpath "$folder")/reply-" -print_final_stats=1 "$scratch/reply"
