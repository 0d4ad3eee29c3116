#!/usr/bin/env python3
"""The Jet diary benchmarks: export of a 10,000-entry Jet 4 diary beside the export of an SQLite
diary holding the same rows (goal: within 1.5x, peak memory flat), and `copy` of it into a new
SQLite diary (goal: a few seconds). The Jet file is made with the shared folder's JetTool
(Jackcess); without it the benchmark says so and stops.

usage: jet_bench.py SARNLINK WORK_DIR [--entries N]"""
import pathlib
import statistics
import subprocess

from bench_args import parse, timed

args = parse(10_000)
work = args.work
tools = pathlib.Path(__file__).resolve().parent.parent.parent / "shared" / "jet" / "tools"
if not (tools / "JetTool.java").exists():
    print(f"jet benchmark skipped: no JetTool at {tools}")
    raise SystemExit(0)

java = "/usr/share/java"
classes = work / "jet-classes"
classes.mkdir(exist_ok=True)
cp = f"{classes}:{tools}/jackcess-4.0.10.jar:{java}/commons-lang3.jar:{java}/commons-logging.jar"
subprocess.run(["javac", "-encoding", "UTF-8", "-cp", cp, "-d", str(classes),
                str(tools / "JetTool.java")], check=True)
mdb = work / "bench.mdb"
mdb.unlink(missing_ok=True)
print(f"making a Jet diary of {args.entries} entries with Jackcess ...", flush=True)
subprocess.run(["java", "-cp", cp, "JetTool", "create", str(mdb), str(args.entries), "true", "pk",
                str(work / "bench.jsonl")], check=True, capture_output=True)


copy = work / "bench-copy.db"
for suffix in ("", "-wal", "-shm"):
    pathlib.Path(str(copy) + suffix).unlink(missing_ok=True)
copy_s, copy_kb = timed([args.sarnlink, "copy", "--from", str(mdb), "--to", str(copy)])
print(f"copy of {args.entries} entries: {copy_s:.2f} s, peak {copy_kb / 1024:.1f} MB "
      f"(goal: a few seconds)")

runs = {}
for name, db in (("Jet", mdb), ("SQLite", copy)):
    seconds, peaks = [], []
    for _ in range(7):
        out = work / f"bench-{name}.txt"
        out.unlink(missing_ok=True)
        # The probe rows of day 2000/01/03 have no time to export; every other row is written.
        s, kb = timed([args.sarnlink, "export", "--quiet", "--db", str(db), "--out", str(out),
                       "--start", "2000/01/03"])
        seconds.append(s)
        peaks.append(kb)
    runs[name] = (statistics.median(seconds), max(peaks))
same = (work / "bench-Jet.txt").read_bytes() == (work / "bench-SQLite.txt").read_bytes()
jet_s, jet_kb = runs["Jet"]
sqlite_s, sqlite_kb = runs["SQLite"]
print(f"export of {args.entries} entries (medians of 7): Jet {jet_s:.3f} s, peak "
      f"{jet_kb / 1024:.1f} MB; SQLite {sqlite_s:.3f} s, peak {sqlite_kb / 1024:.1f} MB; ratio "
      f"{jet_s / sqlite_s:.2f}x (goal <= 1.5x, peak flat); files "
      f"{'byte-identical' if same else 'DIFFERENT'}")
if not same:
    raise SystemExit(1)
