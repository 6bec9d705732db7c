#!/usr/bin/env bash
# Installs what is missing, builds Sollumen and opens its window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/src/app/sollumen "$@"
