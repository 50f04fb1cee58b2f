#!/usr/bin/env bash
# Installs what is missing, builds Tandril twice (a normal build and one with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test of both
# with CTest inside a private network namespace. Exits non-zero on any
# failure or sanitizer report.
set -uo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh || exit 1

jobs=$(nproc)
status=0

# Configured by tools/configure.sh, as tools/run-tandril.sh configures
# build/release: running one after the other rebuilds nothing.
build() { # release|sanitize
  bash tools/configure.sh "$1" && ninja -C "build/$1" -j "$jobs"
}

run_ctest() { # folder
  tools/in-test-netns.sh ctest --test-dir "$1" --output-on-failure -j "$jobs" --timeout 600
}

build release || exit 1
build sanitize || exit 1

# Fuzzers (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# from the seed corpora in fuzz/corpus: discovery datagrams and maintenance
# replies about 60 s each, codec XML and atom paths with command requests
# 30 s each; any crash, sanitizer report, file written outside the download
# folder or memory above the limit fails the run.
FUZZ_BUILD_DIR=build/fuzz bash fuzz/run-fuzz.sh 60 || status=1

echo "== tests: normal build"
run_ctest build/release || status=1

echo "== tests: discovery network tests as an unprivileged user"
bash tools/run-unprivileged-netns-tests.sh build/release || status=1

echo "== tests: AddressSanitizer and UndefinedBehaviorSanitizer build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:exitcode=23:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=24"
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
run_ctest build/sanitize || status=1

exit $status
