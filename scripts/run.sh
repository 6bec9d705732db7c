#!/usr/bin/env bash
# Installs what is missing, builds and starts Sollumen on its embedded defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/tools/sollumen-cli now "$@"
