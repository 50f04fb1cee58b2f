#!/usr/bin/env bash
# Installs what is missing, builds Tandril and starts it. build/release is
# configured as tools/run-tests.sh configures it, so running one after the
# other rebuilds nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/configure.sh release
ninja -C build/release tandril
exec build/release/bin/tandril "$@"
