#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 30) from the test
# fixtures as seeds: the import's decision over text files, the Jet reader over diary files.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSARNLINK_FUZZ=ON -DSARNLINK_TESTS=OFF -DSARNLINK_WERROR=ON >/dev/null
cmake --build build-fuzz --target import_text_fuzz jet_reader_fuzz
mkdir -p build-fuzz/corpus
cp tests/data/*.txt build-fuzz/corpus/
build-fuzz/fuzz/import_text_fuzz -max_total_time="$seconds" -max_len=4096 build-fuzz/corpus
mkdir -p build-fuzz/jet-corpus
cp tests/data/jet/*.mdb build-fuzz/jet-corpus/
build-fuzz/fuzz/jet_reader_fuzz -max_total_time="$seconds" -max_len=1300000 -rss_limit_mb=4096 \
  build-fuzz/jet-corpus
