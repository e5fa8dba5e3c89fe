#!/usr/bin/env bash
# Builds the release preset and makes the Debian package from it:
#   scripts/package.sh          -> build/release/tarnwick_<version>_<arch>.deb
# Install it with: sudo apt install ./build/release/tarnwick_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh release
cd build/release
rm -f tarnwick_*.deb
cpack -G DEB >/dev/null
ls "$PWD"/tarnwick_*.deb
