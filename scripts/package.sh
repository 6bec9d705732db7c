#!/usr/bin/env bash
# Installs what is missing, builds Sollumen and makes its Debian package in
# ./build; prints the package's path. Install it with
#   sudo apt install ./build/sollumen_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
(cd build && cpack -G DEB >package.log 2>&1) || { cat build/package.log >&2; exit 1; }
ls "$PWD"/build/sollumen_*.deb
