#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, whose reports end the run) in
# $FUZZ_BUILD_DIR (default build/fuzz/) and runs each from its committed
# seed corpus for a bounded time: the discovery datagram fuzzer and the
# maintenance reply fuzzer for SECONDS each, the codec configuration XML
# fuzzer and the atom path and command request fuzzer for half of it.
#   fuzz/run-fuzz.sh [SECONDS]   (default 60)
# Exits non-zero when the build fails or a fuzzer finds a crash, leak,
# sanitizer error, a file written outside its download folder or memory above
# its limit; new inputs go to a scratch corpus, never into the repo.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
half=$(( (seconds + 1) / 2 ))
folder=${FUZZ_BUILD_DIR:-build/fuzz}
mkdir -p "$folder"
sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$folder" -G Ninja -DBUILD_TESTING=OFF -DTANDRIL_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER_LAUNCHER="$PWD/fuzz/no-werror-launcher.sh" \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$PWD/fuzz/no-werror-launcher.sh" \
  -DCMAKE_C_FLAGS="$sanitize" \
  -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >"$folder/configure.log" 2>&1 \
  || { cat "$folder/configure.log"; exit 1; }
ninja -C "$folder" wsdd_datagram_fuzzer reply_fuzzer codec_xml_fuzzer command_path_fuzzer

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
artifacts=$(realpath "$folder")

# run FUZZER CORPUS SECONDS [LIBFUZZER OPTIONS...]: from a scratch copy of
# fuzz/corpus/CORPUS, inside a private network namespace (the discovery
# fuzzer opens one loopback socket; the others open none).
run() {
  local fuzzer=$1 corpus=$2 time=$3; shift 3
  echo "== fuzz: $fuzzer for $time s"
  mkdir "$scratch/$corpus"
  cp fuzz/corpus/"$corpus"/* "$scratch/$corpus"/
  tools/in-test-netns.sh env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$folder/bin/$fuzzer" -max_total_time="$time" -artifact_prefix="$artifacts/$fuzzer-" \
    -print_final_stats=1 "$@" "$scratch/$corpus"
}

run wsdd_datagram_fuzzer wsdd "$seconds" -max_len=65507
# Works in its own scratch folder in /tmp, hence the absolute artifact prefix.
run reply_fuzzer reply "$seconds" -max_len=65536 -rss_limit_mb=512
run codec_xml_fuzzer codec "$half" -max_len=4096
run command_path_fuzzer command "$half" -max_len=8192
