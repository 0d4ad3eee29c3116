#!/usr/bin/env python3
"""Runs the encoding benchmark program and, on the very same corpus files, the iconv command,
nkf and python3's codecs, then prints MB/s for each and our ratio to each peer.

usage: compare.py BUILD_DIR WORK_DIR"""
import json
import os
import pathlib
import shutil
import subprocess
import sys
import time

build, work = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
work.mkdir(parents=True, exist_ok=True)

raw = subprocess.run(
    [str(build / "bench" / "encoding_bench"), "--benchmark_format=json", "--benchmark_min_time=0.5"],
    env=dict(os.environ, SARNLINK_CORPUS_DIR=str(work)), check=True, capture_output=True, text=True)
ours = {b["name"]: b["bytes_per_second"] / 1e6 for b in json.loads(raw.stdout)["benchmarks"]}

FILES = {"UTF-8": "corpus.utf8.txt", "Shift_JIS": "corpus.sjis.txt", "EUC-JP": "corpus.eucjp.txt",
         "ISO-2022-JP": "corpus.iso2022jp.txt"}
ICONV = {"UTF-8": "UTF-8", "Shift_JIS": "CP932", "EUC-JP": "EUC-JP", "ISO-2022-JP": "ISO-2022-JP"}
NKF = {"UTF-8": "-W8", "Shift_JIS": "-S", "EUC-JP": "-E", "ISO-2022-JP": "-J"}
PYTHON = {"UTF-8": "utf-8", "Shift_JIS": "cp932", "EUC-JP": "euc_jp", "ISO-2022-JP": "iso2022_jp"}
OURS = {"UTF-8": "BM_DecodeUTF8", "Shift_JIS": "BM_ShiftJIS_to_UTF16",
        "EUC-JP": "BM_EUCJP_to_UTF16", "ISO-2022-JP": "BM_ISO2022JP_to_UTF16"}
LIBRARY = {"UTF-8": "BM_Iconv_UTF8_to_UTF16", "Shift_JIS": "BM_Iconv_CP932_to_UTF16",
           "EUC-JP": "BM_Iconv_EUCJP_to_UTF16", "ISO-2022-JP": "BM_Iconv_ISO2022JP_to_UTF16"}


def best_of(runs, action):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        action()
        best = min(best, time.perf_counter() - start)
    return best


def command_rate(args, path):
    size = path.stat().st_size
    with open(os.devnull, "wb") as sink:
        seconds = best_of(3, lambda: subprocess.run(args + [str(path)], stdout=sink, check=True))
    return size / seconds / 1e6


def python_rate(codec, path):
    data = path.read_bytes()
    return len(data) / best_of(3, lambda: data.decode(codec)) / 1e6


# The goals, as our ratio to iconv(3) in the same process.
GOALS = {"UTF-8": 3.0, "Shift_JIS": 2.5, "EUC-JP": 1.5, "ISO-2022-JP": 1.5}
rows = []
for name, file in FILES.items():
    path = work / file
    peers = {"iconv(3)": ours[LIBRARY[name]],
             "iconv cmd": command_rate(["iconv", "-f", ICONV[name], "-t", "UTF-16LE"], path),
             "python3": python_rate(PYTHON[name], path)}
    if shutil.which("nkf"):
        peers["nkf"] = command_rate(["nkf", NKF[name], "-w16L0"], path)
    rows.append((name + " to UTF-16", ours[OURS[name]], peers, GOALS[name]))
encode_peers = {"iconv(3)": ours["BM_Iconv_UTF16_to_UTF8"]}
rows.append(("UTF-16 to UTF-8 (lines)", ours["BM_EncodeUTF8_Lines"], encode_peers, 3.0))
rows.append(("UTF-16 to UTF-8 (whole)", ours["BM_EncodeUTF8_Whole"], encode_peers, 3.0))

print(f"{'conversion':26} {'ours MB/s':>10}  {'goal vs iconv(3)':>16}  peers (MB/s, our ratio)")
for name, mine, peers, goal in rows:
    cells = ", ".join(f"{peer} {rate:.0f} ({mine / rate:.2f}x)" for peer, rate in peers.items())
    met = "met" if mine / peers["iconv(3)"] >= goal else "short"
    print(f"{name:26} {mine:10.0f}  {'>= %.1fx %s' % (goal, met):>16}  {cells}")

print()
print(f"{'detection before conversion':34} {'MB/s':>12}  vs the conversion that follows")
DETECT = {"UTF-8": "BM_Detect_UTF8", "Shift_JIS": "BM_Detect_ShiftJIS", "EUC-JP": "BM_Detect_EUCJP",
          "ISO-2022-JP": "BM_Detect_ISO2022JP"}
for name in FILES:
    detect = ours[DETECT[name]]
    print(f"{name:34} {detect:12.0f}  {detect / ours[OURS[name]]:.0f}x faster")
