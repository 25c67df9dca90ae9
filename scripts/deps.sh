#!/usr/bin/env bash
# Installs the Debian packages the program (and, with "test", its tests)
# needs, when any is missing. Uses sudo when not root.
set -euo pipefail
packages=(cmake make g++ pkg-config libsqlite3-dev sqlite3 qt6-base-dev qt6-base-private-dev libgl-dev fonts-noto-core
  qt6-translations-l10n)
if [ "${1:-}" = test ]; then
  packages+=(libgtest-dev libbenchmark-dev xvfb xauth poppler-utils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
