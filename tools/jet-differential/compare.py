#!/usr/bin/env python3
"""Compares the rows an independent reader dumped (JSON lines) with the rows `sarnlink copy`
put in an SQLite diary, column by column; exits 1 on the first difference. Rows are compared in
the order both give, and where the orders differ, as sorted sets: a row moved to another page
is read by mdb-reader where its data now lies, and by sarnlink (as by the Jet engine and
Jackcess) where the table's slot for it is.
usage: compare.py DUMP.jsonl COPY.db"""
import json
import sqlite3
import sys

COLUMNS = ["Day", "Number", "Title", "Contents", "extend", "excerpt", "Genre", "Private",
           "PublishTime", "Weather", "TrackBack", "ImportMark"]
dumped = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
db = sqlite3.connect("file:" + sys.argv[2] + "?mode=ro", uri=True)
copied = db.execute("SELECT " + ", ".join(COLUMNS) + " FROM Contents ORDER BY rowid").fetchall()
if len(dumped) != len(copied):
    sys.exit(f"{sys.argv[2]}: {len(copied)} rows, the other reader read {len(dumped)}")


def as_dumped(row):
    value = dict(zip(COLUMNS, row))
    if value["Private"] is not None:
        value["Private"] = value["Private"] != 0
    return value


copied = [as_dumped(row) for row in copied]
same_order = dumped == copied
if not same_order:
    key = lambda row: json.dumps(row, sort_keys=True, ensure_ascii=False)
    dumped.sort(key=key)
    copied.sort(key=key)
for n, (want, got) in enumerate(zip(dumped, copied)):
    for column in COLUMNS:
        if want[column] != got[column]:
            sys.exit(f"{sys.argv[2]}: row {n}{'' if same_order else ' (sorted)'}, {column}: "
                     f"{str(got[column])[:60]!r} where the other reader read "
                     f"{str(want[column])[:60]!r}")
print(f"{sys.argv[2]}: {len(copied)} rows, every column as the other reader read it"
      + ("" if same_order else " (moved rows in another order)"))
