#!/usr/bin/env bash
# Installs what building and testing Pelsok needs on Debian 12 (run as root).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev zlib1g-dev libzip-dev libarchive-dev libdeflate-dev libbz2-dev
  qt6-base-dev libxcb1-dev fonts-ipafont-gothic
  xvfb openbox x11-utils
  lhasa 7zip jlha-utils libarchive-tools zip unzip gzip tar bzip2 pigz bc arj
  libmspack-dev gcab cabextract
  libpcre2-dev libssl-dev
  libinih-dev systemd
  dpkg-dev python3
  liblzma-dev libzstd-dev xz-utils zstd
  unar
  strace util-linux
  clang libclang-rt-14-dev clang-format clang-tidy
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
