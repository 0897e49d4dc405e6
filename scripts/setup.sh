#!/usr/bin/env bash
# Installs what the build needs from Debian's packages and builds into ./build.
# Sourced by run.sh and test.sh.
set -euo pipefail

VEDOMIR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

VEDOMIR_PACKAGES=(
  g++ cmake make
  qt6-base-dev libgl-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
)

# Installs the packages that are missing; apt is not touched when nothing is.
install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Устанавливаются пакеты: ${missing[*]}"
    $SUDO apt-get update -qq
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}

build_vedomir() {
  cmake -S "$VEDOMIR_ROOT" -B "$VEDOMIR_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$VEDOMIR_ROOT/build" -j "$(nproc)"
}
