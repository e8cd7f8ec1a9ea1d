#!/usr/bin/env bash
# Starts the window program on a virtual X display and saves a PNG of its main window, to see
# how it looks. Runs with a fresh, temporary settings folder, so the window shows its first-run
# state and the user's settings stay untouched.
# Usage: scripts/screenshot.sh [output.png] [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/screenshot.png}")
build=${2:-$root/build}

"$root/scripts/install-packages.sh" xvfb x11-apps imagemagick

cmake --build "$build" --target marrowfin >/dev/null

# A display number nobody uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

export DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
"$build/bin/marrowfin" >"$work/app.log" 2>&1 &
pids+=($!)

# The window is there once xwd finds it by its title; give it a moment to finish painting.
for _ in $(seq 100); do
  if xwd -silent -name Marrowfin >/dev/null 2>&1; then break; fi
  sleep 0.1
done
sleep 1
xwd -silent -name Marrowfin | convert xwd:- "png:$out"
echo "$out"
