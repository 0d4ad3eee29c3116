#!/usr/bin/env bash
# Builds Sarnlink with warnings as errors and runs every test with ctest.
# SARNLINK_SANITIZE=1 builds and runs them under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=build
sanitize=OFF
if [ "${SARNLINK_SANITIZE:-0}" = 1 ]; then
  build=build-sanitize
  sanitize=ON
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSARNLINK_WERROR=ON \
  -DSARNLINK_SANITIZE="$sanitize" >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j2
