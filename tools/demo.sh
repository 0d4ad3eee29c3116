#!/usr/bin/env bash
# Builds sarnlink, loads the bundled sample diary (data/sample-diary.sql) into a fresh SQLite
# diary and exports it as a MovableType file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target sarnlink
mkdir -p build/demo
rm -f build/demo/sample-diary.db build/demo/sample-diary.db-wal build/demo/sample-diary.db-shm
build/sarnlink init --db build/demo/sample-diary.db
sqlite3 build/demo/sample-diary.db < data/sample-diary.sql
build/sarnlink export --db build/demo/sample-diary.db --out build/demo/sample-diary.mt.txt \
  --overwrite --author "Sample Writer"
