#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking need,
# and only the ones that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  # dpkg-shlibdeps, for the Depends of the Debian package (scripts/package.sh).
  dpkg-dev
  libcurl4-openssl-dev libcli11-dev
  qt6-base-dev qt6-qpa-plugins libqt6svg6
  libgtest-dev libgmock-dev libcpp-httplib-dev
  libbenchmark-dev nginx wget wget2 ripgrep python3
  # The fuzz targets: libFuzzer's runtime is only recommended by clang.
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
