#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Tandril need.
# Does nothing when all of them are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-5compat-dev libqt6opengl6-dev
  gsoap libgsoap-dev
  libboost-dev libboost-thread-dev libboost-system-dev libboost-regex-dev
  libboost-date-time-dev libboost-iostreams-dev
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool libx11-dev fonts-liberation fonts-dejavu-core
  iproute2 util-linux procps wsdd gdb curl python3 xdg-utils time
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
