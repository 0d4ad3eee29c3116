#!/usr/bin/env python3
"""Whole-process figures: `sarnlink decode FILE > /dev/null` and `sarnlink detect FILE` beside the
`iconv -f X -t UTF-8` command on the same file, for each of the four encodings, best of several
runs; files of about 20 MB made from the encoding benchmark's corpora. Then the start of any
command, `sarnlink --version`, beside its goal.

usage: process_bench.py SARNLINK WORK_DIR"""
import os
import pathlib
import subprocess
import sys
import time

sarnlink, work = sys.argv[1], pathlib.Path(sys.argv[2])
FILES = {"UTF-8": ("corpus.utf8.txt", "UTF-8"), "Shift_JIS": ("corpus.sjis.txt", "CP932"),
         "EUC-JP": ("corpus.eucjp.txt", "EUC-JP"), "ISO-2022-JP": ("corpus.iso2022jp.txt", "ISO-2022-JP")}


def best_of(runs, command):
    best = float("inf")
    with open(os.devnull, "wb") as sink:
        for _ in range(runs):
            start = time.perf_counter()
            subprocess.run(command, stdout=sink, check=True)
            best = min(best, time.perf_counter() - start)
    return best


print(f"{'whole process, ~20 MB':22} {'iconv cmd':>10} {'decode':>9} {'ratio':>6} {'goal':>6}"
      f" {'detect':>9} {'ratio':>6} {'goal':>6}")
for name, (file, iconv_name) in FILES.items():
    big = work / ("big." + file)
    if not big.exists():
        data = (work / file).read_bytes()
        big.write_bytes(data * max(1, round(20e6 / len(data))))
    iconv = best_of(7, ["iconv", "-f", iconv_name, "-t", "UTF-8", str(big)])
    decode = best_of(7, [sarnlink, "decode", str(big)])
    detect = best_of(7, [sarnlink, "detect", str(big)])
    print(f"{name:22} {iconv * 1e3:8.1f}ms {decode * 1e3:7.1f}ms {decode / iconv:5.2f}x {'0.33x':>6}"
          f" {detect * 1e3:7.1f}ms {detect / iconv:5.2f}x {'0.10x':>6}")

# The start of any command: `sarnlink --version` beside /bin/true, the median of 50 runs each.
def median_of(runs, command):
    times = []
    with open(os.devnull, "wb") as sink:
        for _ in range(runs):
            start = time.perf_counter()
            subprocess.run(command, stdout=sink, check=True)
            times.append(time.perf_counter() - start)
    return sorted(times)[runs // 2]


version = median_of(50, [sarnlink, "--version"])
true = median_of(50, ["/bin/true"])
print(f"\n{'start (--version)':22} {version * 1e3:7.2f}ms  goal <= 2 ms  (/bin/true {true * 1e3:.2f}ms;"
      f" {'met' if version <= 0.002 else 'short'})")
