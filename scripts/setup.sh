#!/usr/bin/env bash
# Installs what is missing (Debian, as root or through sudo), then configures and builds.
#   scripts/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
shift || true

mapfile -t wanted < <(grep -v '^#' "$here/scripts/packages.txt" | sed '/^$/d')
missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The whole project, whatever an earlier configuration of this build directory left cached.
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJOBLOG_PANEL=ON \
  -DJOBLOG_TEST_GROUPS= "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
