#!/usr/bin/env bash
# Installs what is missing, builds Sollumen and runs every test; then builds
# the core and its tests once more with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them there too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The sanitizer build is kept lean: no Qt side, no benchmarks, little
# optimisation. GCC's may-be-uninitialized analysis misfires on the
# instrumented code, so that warning is off here. GCC's "undefined" leaves
# out float-to-integer conversions that overflow: they are asked for too.
sanitize="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g -fno-omit-frame-pointer $sanitize -Wno-maybe-uninitialized" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" \
  -DSOLLUMEN_BUILD_APP=OFF -DSOLLUMEN_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
