#!/usr/bin/env bash
# Installs the named Debian packages that are not installed yet (through apt-get, with sudo
# when not root); says nothing when all are there. Usage: scripts/install-packages.sh PACKAGE...
set -euo pipefail
missing=()
for p in "$@"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
