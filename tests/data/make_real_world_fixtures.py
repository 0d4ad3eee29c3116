#!/usr/bin/env python3
"""Writes tests/data/real-world: MovableType files shaped like what blog software and converters
really write (not copied from any of them), and the encodings of one mostly-English export. The
texts are made here and encoded by python3's own codecs. Run it again after changing them."""
import pathlib

HERE = pathlib.Path(__file__).parent / "real-world"
HERE.mkdir(exist_ok=True)

# A Japanese blog service: LF, a blank line after every heading, several CATEGORY lines and no
# PRIMARY one, 24-hour times without a marker, emoji and half-width katakana, and no closing
# "--------" after the last entry.
BLOG_SERVICE = """AUTHOR: hanako
TITLE: 花火大会 🎆
STATUS: Publish
ALLOW COMMENTS: 1
CONVERT BREAKS: 1
ALLOW PINGS: 0
CATEGORY: 夏
CATEGORY: 旅行
DATE: 08/15/2016 21:30:00
-----
BODY:

ﾊﾝｶｸｶﾀｶﾅの看板と 🍉 すいか。
二行目です。
-----
EXTENDED BODY:

-----
EXCERPT:

-----
KEYWORDS:

-----

--------
AUTHOR: hanako
TITLE: 朝ごはん
STATUS: Draft
CATEGORY: 日記
DATE: 08/16/2016 07:05:09
-----
BODY:

ごはんと味噌汁
-----
EXTENDED BODY:

続きはここ
-----
"""

# Movable Type's own export: PRIMARY CATEGORY followed by the other CATEGORY lines, blank lines
# between sections, a COMMENT heading written with a trailing space whose AUTHOR and DATE belong
# to the comment, a PING section, keys the diary has no column for, "STATUS: publish" in lower
# case from a converter, and a body line that reads as a separator, escaped with a TAB.
MOVABLE_TYPE = """AUTHOR: Melody
TITLE: A Rainy Day: notes
BASENAME: a_rainy_day
STATUS: publish
ALLOW COMMENTS: 1
CONVERT BREAKS: richtext
ALLOW PINGS: 1
PRIMARY CATEGORY: Weather
CATEGORY: Diary
CATEGORY: Weather
TAGS: "rain","umbrella"
DATE: 04/09/2017 07:49:39 PM

-----
BODY:
It rained all day.
-----\t
The end.
-----

EXTENDED BODY:
More about the rain.
-----

EXCERPT:

-----

KEYWORDS:
rain
-----

COMMENT: 
AUTHOR: Visitor
EMAIL: visitor@example.com
IP: 127.0.0.1
URL: 
DATE: 01/01/2019 12:00:00 AM
Nice post!
-----

PING:
TITLE: Elsewhere
URL: http://example.com/rain-post
IP: 127.0.0.1
BLOG NAME: Another Blog
DATE: 04/10/2017 09:00:00 AM
Mentioned you.
-----

--------
AUTHOR: Melody
TITLE: Afternoon
STATUS: Publish
PRIMARY CATEGORY:
CATEGORY: Diary
DATE: 2017-04-22 20:41:58

-----
BODY:
Tea.
-----

--------
"""

# A mostly-English export: the first kilobyte is plain ASCII, then curly quotes and Japanese.
# The UTF-8 copy also carries three stray Windows-1252 bytes pasted from another tool.
ENGLISH = (
    "AUTHOR: Melody\nTITLE: Notes\nDATE: 01/02/2018 10:00:00 AM\n-----\nBODY:\n"
    + "This first entry is written in plain English only. " * 24
    + "\n-----\n--------\n"
    "AUTHOR: Melody\nTITLE: “Quoted” title\nDATE: 01/03/2018 10:00:00 AM\n-----\nBODY:\n"
    "She said ‘hello’ and left. STRAY1\n"
    "東京で友達と会いました。ひらがなとカタカナと漢字の文章です。今日は晴れでした。\n"
    "夜は雨。STRAY2 明日はどうなるでしょうか。STRAY3\n-----\n--------\n"
)
STRAYS = {"STRAY1": b"\x93", "STRAY2": b"\xab", "STRAY3": b"\x94"}

def write(name, data):
    (HERE / name).write_bytes(data)

write("blog-service.utf8.txt", BLOG_SERVICE.encode("utf-8"))
write("movable-type.utf8.txt", MOVABLE_TYPE.encode("utf-8"))

clean = ENGLISH
for mark in STRAYS:
    clean = clean.replace(mark, "")
stray_utf8 = ENGLISH.encode("utf-8")
stray_expected = ENGLISH
for mark, byte in STRAYS.items():
    stray_utf8 = stray_utf8.replace(mark.encode(), byte)
    stray_expected = stray_expected.replace(mark, "\ufffd")
write("mostly-english.utf8-stray.txt", stray_utf8)
write("mostly-english.utf8-stray.expected.txt", stray_expected.encode("utf-8"))
write("mostly-english.expected.txt", clean.encode("utf-8"))
write("mostly-english.sjis.txt", clean.encode("cp932"))
write("mostly-english.eucjp.txt", clean.encode("euc_jp"))
write("mostly-english.iso2022jp.txt", clean.encode("iso2022_jp"))
