#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping what is already there.
set -euo pipefail
packages=(g++ cmake ninja-build libgtest-dev googletest libbenchmark-dev
          qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
          libgl-dev xvfb xauth ccache)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
