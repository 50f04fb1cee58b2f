#!/usr/bin/env bash
# Installs what is missing, builds Tandril and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
ninja -C build/release
if [ -x build/release/bin/tandril ]; then
  exec build/release/bin/tandril "$@"
fi
echo "Everything is built; the tandril program itself is not part of the build yet."
