#!/usr/bin/env bash
# Builds the benchmarks in Release and prints the figures, each with its goal: the encoding
# routines beside iconv, nkf and python3's codecs in the same process, then `decode` and `detect`
# as whole processes beside the iconv command, then export and import beside the sqlite3 shell,
# then the export of a Jet diary beside that of an SQLite diary holding the same rows.
# Usage: tools/bench.sh [--entries N]   (export/import size, 100000 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
command -v nkf >/dev/null || { [ "$(id -u)" = 0 ] && apt-get install -y -qq nkf >/dev/null; } || true
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSARNLINK_BENCH=ON \
  -DSARNLINK_TESTS=OFF >/dev/null
cmake --build build-bench
work=build-bench/work
mkdir -p "$work"
python3 bench/compare.py build-bench "$work"
echo
python3 bench/process_bench.py build-bench/sarnlink "$work"
echo
python3 bench/diary_bench.py build-bench/sarnlink "$work" "$@"
echo
python3 bench/jet_bench.py build-bench/sarnlink "$work"
