#!/usr/bin/env bash
# Set-up, build, and run the whole test suite: the regular build (windows included, on Qt's
# offscreen platform); then every test without a window again under the address and
# undefined-behaviour sanitizers; then the threading tests under the thread sanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

"$root/scripts/setup.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

"$root/scripts/setup.sh" "$root/build-sanitize" -DMF_SANITIZE=address,undefined -DMF_BUILD_GUI=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir "$root/build-sanitize" --output-on-failure -j "$jobs"

MF_BUILD_TARGETS="component_tests engine_lifecycle_tests" \
  "$root/scripts/setup.sh" "$root/build-thread" -DMF_SANITIZE=thread -DMF_BUILD_GUI=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir "$root/build-thread" --output-on-failure -j "$jobs" -R 'MediaConverterTest|LifecycleTest'
