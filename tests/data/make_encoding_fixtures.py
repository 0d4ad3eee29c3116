#!/usr/bin/env python3
"""Writes the encoding fixtures of tests/data with python3's own codecs, so that what the tests
expect does not come from our code. Run it again after changing the texts below."""
import pathlib

HERE = pathlib.Path(__file__).parent

JAPANESE = (
    "AUTHOR: 山田花子\r\n"
    "TITLE: 京都の秋、紅葉を見に行きました\r\n"
    "STATUS: Publish\r\n"
    "CATEGORY: 旅行\r\n"
    "DATE: 11/03/2005 02:15:00 PM\r\n"
    "-----\r\n"
    "BODY:\r\n"
    "朝早く家を出て、電車で京都へ。清水寺の舞台から見る景色は「絶景」の一言です。\r\n"
    "カタカナもひらがなも漢字も、ＡＢＣ全角英字も。\r\n"
    "-----\r\n"
    "--------\r\n"
)

# An English first entry longer than the detector's 1024-byte window, Japanese afterwards.
ENGLISH_FIRST = (
    "AUTHOR: Hanako\r\nTITLE: Notes\r\n-----\r\nBODY:\r\n"
    + "This first entry is written in English only. " * 30
    + "\r\n-----\r\n--------\r\n"
    + JAPANESE
)

def write(name, data):
    (HERE / name).write_bytes(data)

write("japanese.expected.txt", JAPANESE.encode("utf-8"))
write("japanese.utf8.txt", JAPANESE.encode("utf-8"))
write("japanese.utf8-bom.txt", JAPANESE.encode("utf-8-sig"))
write("japanese.sjis.txt", JAPANESE.encode("cp932"))
write("japanese.eucjp.txt", JAPANESE.encode("euc_jp"))
write("japanese.iso2022jp.txt", JAPANESE.encode("iso2022_jp"))
# As Windows Notepad saves "Unicode" and "Unicode big endian": UTF-16 with its mark.
write("japanese.utf16le.txt", b"\xff\xfe" + JAPANESE.encode("utf-16-le"))
write("japanese.utf16be.txt", b"\xfe\xff" + JAPANESE.encode("utf-16-be"))
write("english-first.expected.txt", ENGLISH_FIRST.encode("utf-8"))
write("english-first.utf8.txt", ENGLISH_FIRST.encode("utf-8"))
write("english-first.sjis.txt", ENGLISH_FIRST.encode("cp932"))
# Outside the Basic Multilingual Plane: only UTF-8 and UTF-16 can carry it.
write("emoji.utf8.txt", "TITLE: 花火 \U0001F386 と 🍉\r\n".encode("utf-8"))
write("emoji.utf16le.txt", "TITLE: 花火 \U0001F386 と 🍉\r\n".encode("utf-16"))
