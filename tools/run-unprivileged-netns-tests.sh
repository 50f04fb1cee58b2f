#!/usr/bin/env bash
# Runs the discovery library's network tests as an ordinary user (nobody,
# no capabilities), inside tools/in-test-netns.sh: their peer namespaces must
# work with only the capabilities of that user namespace. Fails when any test
# fails or is skipped.
#   tools/run-unprivileged-netns-tests.sh BUILD_FOLDER
# Run as root (as CI does); an ordinary user already runs these tests
# unprivileged in the normal test run, and then this does nothing.
set -uo pipefail
cd "$(dirname "$0")/.."
folder=${1:?build folder}
tests=(pelwick_client_tests pelwick_network_tests)

if [ "$(id -u)" -ne 0 ]; then
  echo "already unprivileged: the normal test run covered these tests"
  exit 0
fi

as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups --inh-caps=-all "$@"; }

# The build folder must be readable by nobody along its whole path; when it
# is not (a checkout below /root, say), build the tests again in a copy that is.
if ! as_nobody test -x "$folder/bin/${tests[0]}"; then
  scratch=$(mktemp -d /tmp/tandril-unprivileged.XXXXXX)
  trap 'rm -rf "$scratch"' EXIT
  chmod 755 "$scratch"
  tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$scratch/" || exit 1
  cmake -S "$scratch" -B "$scratch/build" -G Ninja -DBUILD_TESTING=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$scratch/configure.log" 2>&1 \
    || { cat "$scratch/configure.log"; exit 1; }
  ninja -C "$scratch/build" -j "$(nproc)" "${tests[@]}" wsddtarget || exit 1
  chmod -R a+rX "$scratch"
  folder="$scratch/build"
fi

status=0
for t in "${tests[@]}"; do
  log=$(mktemp)
  as_nobody tools/in-test-netns.sh "$folder/bin/$t" >"$log" 2>&1
  code=$?
  if [ $code -ne 0 ] || grep -q '^\[  SKIPPED \]' "$log" || ! grep -q '^\[  PASSED  \]' "$log"; then
    cat "$log"
    echo "unprivileged: $t failed or skipped tests (exit code $code)"
    status=1
  else
    grep '^\[  PASSED  \]' "$log" | sed "s/^/unprivileged $t: /"
  fi
  rm -f "$log"
done
exit $status
