#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it for SECONDS (default 30) from the test
# fixtures as seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSARNLINK_FUZZ=ON -DSARNLINK_TESTS=OFF -DSARNLINK_WERROR=ON >/dev/null
cmake --build build-fuzz --target import_text_fuzz
mkdir -p build-fuzz/corpus
cp tests/data/*.txt build-fuzz/corpus/
build-fuzz/fuzz/import_text_fuzz -max_total_time="$seconds" -max_len=4096 build-fuzz/corpus
