#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing) and builds it.
# Quiet when everything is already there. Usage: scripts/setup.sh [build-dir] [extra cmake args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true

packages=(g++ cmake ninja-build pkg-config
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev libopencore-amrnb-dev
  qt6-base-dev libgtest-dev libgmock-dev ffmpeg libbenchmark-dev hyperfine tzdata)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
# MF_BUILD_TARGETS: build only these targets (space-separated) instead of everything.
# shellcheck disable=SC2086
cmake --build "$build" ${MF_BUILD_TARGETS:+--target $MF_BUILD_TARGETS} | grep -vE '^\[[0-9]+/[0-9]+\] |^ninja: no work to do|^-- ' || true
test "${PIPESTATUS[0]}" -eq 0
