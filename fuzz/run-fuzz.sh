#!/usr/bin/env bash
# Builds the discovery datagram and codec XML fuzzers with clang (libFuzzer + AddressSanitizer)
# in $FUZZ_BUILD_DIR (default build-wsdd-fuzz/) and runs it from the committed seed corpus for a bounded time.
#   fuzz/run-fuzz.sh [SECONDS]   (default 60)
# Exits non-zero when the build fails or the fuzzer finds a crash, leak or
# sanitizer error; new inputs go to a scratch corpus, never into the repo.
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
ninja -C "$folder" wsdd_datagram_fuzzer

scratch=$(mktemp -d)
codecScratch=$(mktemp -d)
commandScratch=$(mktemp -d)
trap 'rm -rf "$scratch" "$codecScratch" "$commandScratch"' EXIT
cp fuzz/corpus/wsdd/* "$scratch"/
# The fuzzer opens one loopback socket and sends nothing; run it in a private
# namespace all the same.
tools/in-test-netns.sh env ASAN_OPTIONS=detect_leaks=1 \
  "$folder/bin/wsdd_datagram_fuzzer" -max_total_time="$seconds" -max_len=65507 \
  -artifact_prefix="$folder/" -print_final_stats=1 "$scratch"

# Codec configuration XML: a run of half that time from its own seed corpus.
ninja -C "$folder" codec_xml_fuzzer
cp fuzz/corpus/codec/* "$codecScratch"/
ASAN_OPTIONS=detect_leaks=1 "$folder/bin/codec_xml_fuzzer" -max_total_time=$(( (seconds + 1) / 2 )) \
  -max_len=4096 -artifact_prefix="$folder/" -print_final_stats=1 "$codecScratch"

# Atom paths and command server requests: half that time from its own seed
# corpus.
ninja -C "$folder" command_path_fuzzer
cp fuzz/corpus/command/* "$commandScratch"/
ASAN_OPTIONS=detect_leaks=1 "$folder/bin/command_path_fuzzer" -max_total_time=$(( (seconds + 1) / 2 )) \
  -max_len=8192 -artifact_prefix="$folder/" -print_final_stats=1 "$commandScratch"
