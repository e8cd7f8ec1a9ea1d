#!/usr/bin/env bash
# Set-up, build, and start the window program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" "$root/build"
exec "$root/build/bin/marrowfin" "$@"
