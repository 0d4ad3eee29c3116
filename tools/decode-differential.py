#!/usr/bin/env python3
"""Runs two builds of sarnlink over the same files and compares what `detect` and `decode` say
(the decision, the text, the notes on stderr and the exit status), with the encoding detected and
with each encoding named by --encoding. Used to show that a change to the decoders changes no
reading. The files are those named, and COUNT random ones made from the pieces that matter to
the legacy decoders (escapes whole, cut and unknown, JIS pairs in and out of range, EUC-JP and
Shift_JIS pairs, katakana, zero bytes, UTF-8 and UTF-16), some long enough to cross the import's
64 KB pieces.

A file that the old build refuses as ISO-2022-JP it cannot convert (exit 2) and the new one
decodes is counted apart: ISO-2022-JP no longer fails.

usage: decode-differential.py OLD NEW COUNT [FILE...]"""
import pathlib
import random
import subprocess
import sys
import tempfile

ENCODINGS = ["utf-8", "utf-16le", "utf-16be", "shift_jis", "euc-jp", "iso-2022-jp"]

ESCAPES = [b"\x1b$B", b"\x1b$@", b"\x1b(B", b"\x1b(J", b"\x1b(I", b"\x1b$(D", b"\x1b$A",
           b"\x1b$(C", b"\x1b$(Q", b"\x1b$(P", b"\x1bN", b"\x1bO", b"\x1b(X", b"\x1b", b"\x1b$",
           b"\x1b$(", b"\x1b\x01"]


def piece(rng):
    kind = rng.randrange(14)
    if kind == 0:
        return rng.choice(ESCAPES)
    if kind == 1:  # JIS X 0208 pairs, mostly in range
        return bytes(rng.randrange(0x21, 0x7F) for _ in range(2 * rng.randrange(1, 20)))
    if kind == 2:  # pairs of any bytes
        return bytes(rng.randrange(256) for _ in range(rng.randrange(1, 6)))
    if kind == 3:
        return rng.choice([b"\n", b"\r\n", b"\r", b"\t", b" ", b"\x00", b"AUTHOR: x\n", b"-----\n"])
    if kind == 4:  # EUC-JP pairs, katakana and the 8F form
        out = b""
        for _ in range(rng.randrange(1, 10)):
            out += rng.choice([bytes([rng.randrange(0xA1, 0xFF), rng.randrange(0xA1, 0xFF)]),
                               bytes([0x8E, rng.randrange(0xA1, 0xE0)]),
                               bytes([0x8F, rng.randrange(0xA1, 0xFF), rng.randrange(0xA1, 0xFF)])])
        return out
    if kind == 5:  # Shift_JIS pairs
        return b"".join(bytes([rng.choice([rng.randrange(0x81, 0xA0), rng.randrange(0xE0, 0xFD)]),
                               rng.randrange(0x40, 0xFD)]) for _ in range(rng.randrange(1, 10)))
    if kind == 6:
        return "".join(chr(rng.choice([rng.randrange(0x3040, 0x30FF), rng.randrange(0x4E00, 0x9FFF),
                                       rng.randrange(0x20, 0x7F), 0x1F600]))
                       for _ in range(rng.randrange(1, 20))).encode("utf-8", "surrogatepass")
    if kind == 7:
        return "あいう\nAUTHOR: 日記\n".encode(rng.choice(["utf-16le", "utf-16be"]))
    if kind == 8:
        return bytes(rng.randrange(0xA1, 0xE0) for _ in range(rng.randrange(1, 6)))
    return bytes(rng.randrange(0x20, 0x7F) for _ in range(rng.randrange(1, 40)))


def random_file(rng, index):
    target = rng.choice([rng.randrange(0, 64), rng.randrange(64, 4096)] * 8 +
                        [rng.randrange(60000, 200000)])
    out = bytearray()
    if rng.random() < 0.5:
        out += b"\x1b$B"
    elif rng.random() < 0.1:
        out += rng.choice([b"\xef\xbb\xbf", b"\xff\xfe", b"\xfe\xff"])
    while len(out) < target:
        out += piece(rng)
    if index % 7 == 0:  # cut anywhere, an escape or a pair included
        del out[rng.randrange(len(out) + 1):]
    return bytes(out)


def run(binary, args):
    done = subprocess.run([binary] + args, capture_output=True)
    return done.returncode, done.stdout, done.stderr


def main():
    old, new, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
    files = [pathlib.Path(p) for p in sys.argv[4:]]
    temp = tempfile.TemporaryDirectory()
    rng = random.Random(29)
    for k in range(count):
        path = pathlib.Path(temp.name) / f"random-{k}.txt"
        path.write_bytes(random_file(rng, k))
        files.append(path)
    same = failed_before = 0
    differ = []
    for path in files:
        for args in [["detect"], ["decode"]] + [[c, "--encoding", e] for e in ENCODINGS
                                                  for c in ("detect", "decode")]:
            call = args + [str(path)]
            before, after = run(old, call), run(new, call)
            if before == after:
                same += 1
            elif before[0] == 2 and b"ISO-2022-JP" in before[2] and after[0] == 0:
                failed_before += 1
            else:
                differ.append((call, before, after))
    print(f"files: {len(files)} ({count} random); runs compared: {same + failed_before + len(differ)}")
    print(f"identical: {same}; ISO-2022-JP refused before, decoded now: {failed_before}; "
          f"different: {len(differ)}")
    for call, before, after in differ[:10]:
        print("DIFFERENT:", " ".join(call))
        print("  old:", before[0], before[1][:200], before[2][:300])
        print("  new:", after[0], after[1][:200], after[2][:300])
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
