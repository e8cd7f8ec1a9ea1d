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

"$root/scripts/install-packages.sh" "${packages[@]}"

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
# MF_BUILD_TARGETS: build only these targets (space-separated) instead of everything.
# Progress lines are dropped; warnings, errors and failures are shown.
quiet() { grep -vE '^\[[0-9]+/[0-9]+\] |^ninja: no work to do|^-- ' || true; }
# shellcheck disable=SC2086
if ! log=$(cmake --build "$build" ${MF_BUILD_TARGETS:+--target $MF_BUILD_TARGETS} 2>&1); then
  printf '%s\n' "$log" | quiet
  exit 1
fi
printf '%s\n' "$log" | quiet | sed '/^$/d'
