#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; only what is missing.
set -euo pipefail

# clang-16 builds the sanitizer and fuzz builds; llvm-16 has the symbolizer
# their reports are written with.
packages=(
  cmake g++ clang-16 libclang-rt-16-dev llvm-16 ninja-build pkg-config
  libboost-dev libglibmm-2.4-dev libpng-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libegl-mesa0 libgl1-mesa-dri libgles1 libegl-dev libgles-dev
  libsdl2-dev libvorbis-dev libjsoncpp-dev libxxhash-dev
  exfatprogs exfat-fuse
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
