#!/usr/bin/env bash
# Set-up, build, and run the whole test suite: the regular build (windows included, on Qt's
# offscreen platform), then every test without a window again under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

"$root/scripts/setup.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

"$root/scripts/setup.sh" "$root/build-sanitize" -DMF_SANITIZE=address,undefined -DMF_BUILD_GUI=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"
