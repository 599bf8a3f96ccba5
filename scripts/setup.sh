#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run.
# Only packages that are missing are installed, so a second run is quick.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev xvfb xauth libgl-dev adwaita-icon-theme fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  e2fsprogs btrfs-progs util-linux coreutils
  clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
