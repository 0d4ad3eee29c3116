#!/usr/bin/env bash
# The Jet reader beside an independent one: mdb-reader (npm, MIT) and `sarnlink copy` read the
# same files, and every column of every row must agree. The files: the test fixtures, and, where
# the shared folder's JetTool (Jackcess) is at hand, larger ones made with it: a few thousand
# rows, then rows grown onto other pages and deleted ("mutate").
set -euo pipefail
cd "$(dirname "$0")/.."
work=build-jet-differential
# Jackcess needs these beside a JDK; node and npm come with the machine.
if [ "$(id -u)" = 0 ]; then
  for p in openjdk-17-jdk-headless libcommons-lang3-java libcommons-logging-java; do
    dpkg -s "$p" >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$p" >/dev/null
  done
fi
mkdir -p "$work"
if [ ! -d "$work/node_modules/mdb-reader" ]; then
  (cd "$work" && npm init -y >/dev/null && npm install --no-audit --no-fund mdb-reader@3.2.0 >/dev/null)
fi
cp tools/jet-differential/dump.mjs "$work/"
files=(tests/data/jet/*.mdb)
tools=../shared/jet/tools
if [ -f "$tools/JetTool.java" ] && command -v javac >/dev/null; then
  java_path=/usr/share/java
  classes="$work/classes"
  mkdir -p "$classes"
  cp="$classes:$tools/jackcess-4.0.10.jar:$java_path/commons-lang3.jar:$java_path/commons-logging.jar"
  javac -encoding UTF-8 -cp "$cp" -d "$classes" "$tools/JetTool.java"
  rm -f "$work"/large*.mdb
  java -cp "$cp" JetTool create "$work/large.mdb" 3000 true pk "$work/large.jsonl" >/dev/null
  java -cp "$cp" JetTool create "$work/large-moved.mdb" 3000 false none "$work/large-moved.jsonl" >/dev/null
  java -cp "$cp" JetTool mutate "$work/large-moved.mdb" "$work/large-moved.jsonl" >/dev/null
  files+=("$work/large.mdb" "$work/large-moved.mdb")
else
  echo "jet-differential: no JetTool at $tools; comparing the fixtures only" >&2
fi
cmake --build build --target sarnlink >/dev/null
for file in "${files[@]}"; do
  name=$(basename "$file" .mdb)
  rm -f "$work/$name.db"
  build/sarnlink copy --from "$file" --to "$work/$name.db" >/dev/null
  node "$work/dump.mjs" "$file" >"$work/$name.jsonl.mdb-reader"
  python3 tools/jet-differential/compare.py "$work/$name.jsonl.mdb-reader" "$work/$name.db"
done
