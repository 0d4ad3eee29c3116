#!/usr/bin/env python3
"""The export and import benchmarks, each beside its floor, the sqlite3 shell doing the same
database work on the same rows in the same run.

Export: a diary of N entries (bodies of about 1 KB of Japanese text with line breaks and
hyphens) exported with the default settings; the floor writes the same columns of the same rows
to a file, and a second floor flushes that file too, as the export does (medians of 5 runs). Import: that export file, in UTF-8 and converted to Shift_JIS by iconv, imported into
a diary that already holds 10,000 rows on 3,000 days; the floor inserts the same rows from a
prepared SQL file, one transaction per row and then all in one transaction (as the import stores
them), with the tool's journal settings.

usage: diary_bench.py SARNLINK WORK_DIR [--entries N]"""
import os
import pathlib
import random
import shutil
import subprocess

from bench_args import parse, timed

args = parse(100_000)
work = args.work
sarnlink = args.sarnlink

KANA = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
KANJI = "日本語東京京都大阪旅行料理読書写真音楽映画天気今日明日昨年春夏秋冬朝昼夜山川海空雨雪花鳥風月"
GENRES = ["一般", "旅行", "日記", "料理", "読書"]


def quote(text):
    return "'" + text.replace("'", "''") + "'"


def body(rng):
    lines = []
    size = 0
    while size < 1000:
        line = "".join(rng.choice(KANA if rng.random() < 0.6 else KANJI) for _ in range(rng.randint(10, 40)))
        line += "。" if rng.random() < 0.8 else " - メモ"
        lines.append(line)
        size += len(line.encode("utf-8")) + 2
    return "\r\n".join(lines)


def rows(count, seed, days):
    rng = random.Random(seed)
    for k in range(count):
        day = "%04d/%02d/%02d" % (2000 + (k % days) // 336, (k % days) % 336 // 28 + 1, (k % days) % 28 + 1)
        yield (day, k // days + 1, rng.choice(GENRES), "日記 %d 番" % k, body(rng),
               day + " %02d:%02d:%02d" % (rng.randrange(24), rng.randrange(60), rng.randrange(60)),
               rng.randrange(2))


def insert(row, mark="''"):
    day, number, genre, title, text, time_text, private = row
    text_sql = quote(text).replace("\r\n", "' || char(13, 10) || '")
    return ("INSERT INTO Contents (Day, Number, Weather, Genre, Title, Contents, extend, excerpt, "
            "TrackBack, PublishTime, Private, ImportMark) VALUES (%s, %d, '晴', %s, %s, %s, '', '', '', "
            "%s, %d, %s);" % (quote(day), number, quote(genre), quote(title), text_sql, quote(time_text),
                              private, mark))


def make_diary(path, row_source):
    path.unlink(missing_ok=True)
    subprocess.run([sarnlink, "init", "--db", str(path)], check=True, capture_output=True)
    sql = work / (path.name + ".sql")
    with open(sql, "w") as out:
        out.write("BEGIN;\n")
        for row in row_source:
            out.write(insert(row) + "\n")
        out.write("COMMIT;\n")
    with open(sql) as source:
        subprocess.run(["sqlite3", str(path)], stdin=source, check=True)


def fresh_copy(source, target):
    for suffix in ("", "-wal", "-shm"):
        pathlib.Path(str(target) + suffix).unlink(missing_ok=True)
    shutil.copyfile(source, target)


n = args.entries
print(f"generating a diary of {n} entries ...", flush=True)
export_db = work / "export.db"
make_diary(export_db, rows(n, 1, 3000))

out = work / "export.mt.txt"
statement = ("SELECT Title, Private, Genre, PublishTime, Day, Contents, extend, excerpt FROM Contents "
             "WHERE (((Contents.Genre)Like '%') AND ((Contents.Private)Like '%') AND "
             "((Contents.Day)>'0000/00/00' And (Contents.Day)<'9999/99/99'));")
floor_out = work / "floor.txt"


def settled(command, made):
    """Median seconds and peak kilobytes of 5 runs of `command`, each writing the file `made`
    afresh on a settled disk: the kernel writing back an earlier run's file would slow the next."""
    runs = []
    for _ in range(5):
        made.unlink(missing_ok=True)
        os.sync()
        runs.append(timed(command))
    return sorted(runs)[len(runs) // 2]


export_s, export_kb = settled([sarnlink, "export", "--quiet", "--db", str(export_db), "--out", str(out)],
                              out)
floor_s, _ = settled(["sqlite3", str(export_db), ".output " + str(floor_out), statement], floor_out)
# The export flushes its file to the disk before putting it at its path; the shell does not. The
# second floor is the shell's file flushed the same way (sync FILE is fsync).
flushed_s, _ = settled(["sh", "-c", 'sqlite3 "$1" ".output $2" "$3" && sync "$2"', "floor",
                        str(export_db), str(floor_out), statement], floor_out)
print(f"export of {n} entries: {export_s:.2f} s, peak {export_kb / 1024:.1f} MB; "
      f"sqlite3 shell floor {floor_s:.2f} s; ratio {export_s / floor_s:.2f}x "
      f"(goal <= 1.3x, peak < 32 MB); the shell with its file flushed {flushed_s:.2f} s, ratio "
      f"{export_s / flushed_s:.2f}x (goal <= 1.10x); file {out.stat().st_size / 1e6:.0f} MB")

print("generating the import diary of 10,000 rows on 3,000 days ...", flush=True)
base_db = work / "base.db"
make_diary(base_db, rows(10_000, 2, 3000))
sjis = work / "export.sjis.txt"
with open(out, "rb") as source, open(sjis, "wb") as target:
    subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], stdin=source, stdout=target, check=True)

floor_sql = work / "floor-import.sql"
with open(floor_sql, "w") as target:
    target.write("PRAGMA journal_mode=WAL;\nPRAGMA synchronous=NORMAL;\n")
    for row in rows(n, 1, 3000):
        target.write(insert(row, "'stamp'") + "\n")
target_db = work / "import.db"
fresh_copy(base_db, target_db)
with open(floor_sql) as source:
    floor_s, _ = timed(["sqlite3", str(target_db)], stdin=source)
print(f"import floor (sqlite3 shell, one transaction per row): {floor_s:.2f} s, {n / floor_s:.0f} entries/s")
# The import stores its rows in one transaction: the same rows in one transaction are its floor.
one_sql = work / "floor-import-one.sql"
with open(floor_sql) as source, open(one_sql, "w") as target:
    lines = source.read().split("\n", 2)
    target.write(lines[0] + "\n" + lines[1] + "\nBEGIN;\n" + lines[2] + "COMMIT;\n")
fresh_copy(base_db, target_db)
with open(one_sql) as source:
    one_s, _ = timed(["sqlite3", str(target_db)], stdin=source)
print(f"import floor (sqlite3 shell, one transaction): {one_s:.2f} s, {n / one_s:.0f} entries/s")

for name, path in (("UTF-8", out), ("Shift_JIS", sjis)):
    fresh_copy(base_db, target_db)
    seconds, kb = timed([sarnlink, "import", "--quiet", "--db", str(target_db), "--in", str(path)])
    stored = subprocess.run(["sqlite3", str(target_db), "SELECT COUNT(*) FROM Contents"],
                            check=True, capture_output=True, text=True).stdout.strip()
    print(f"import {name}: {seconds:.2f} s, {n / seconds:.0f} entries/s, ratio to floor "
          f"{seconds / floor_s:.2f}x (goal <= 0.75x), to one transaction {seconds / one_s:.2f}x "
          f"(goal <= 1.0x), peak {kb / 1024:.0f} MB (goal <= 64 MB), "
          f"rows now {stored}")

# Passing over what the diary already holds: an import of n entries into a diary of n other
# rows, with the check and without it (--allow-duplicates), then the same file once more, when
# every entry is passed over.
print(f"generating a diary of {n} other rows for the duplicate check ...", flush=True)
full_db = work / "full.db"
make_diary(full_db, rows(n, 3, 3000))
timings = {}
for name, extra in (("without the check", ["--allow-duplicates"]), ("with the check", [])):
    fresh_copy(full_db, target_db)
    timings[name], _ = timed([sarnlink, "import", "--quiet", *extra, "--db", str(target_db),
                              "--in", str(out)])
again_s, _ = timed([sarnlink, "import", "--quiet", "--db", str(target_db), "--in", str(out)])
print(f"import of {n} into {n} rows: {timings['without the check']:.2f} s without the duplicate "
      f"check, {timings['with the check']:.2f} s with it; ratio "
      f"{timings['with the check'] / timings['without the check']:.2f}x (goal <= 1.5x); "
      f"the same file again, every entry passed over: {again_s:.2f} s")
