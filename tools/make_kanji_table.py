#!/usr/bin/env python3
"""Generate the kanji code table compiled into Sorabi (resources/kanji-codes.txt).

Usage, from the repository root:
    python3 tools/make_kanji_table.py           write resources/kanji-codes.txt
    python3 tools/make_kanji_table.py --check   compare the written file with a fresh table

The hint window names each stroke-order picture after the kanji's two-byte
Shift_JIS code; this table maps a kanji's Unicode code point to that code.
One line per kanji, "0x" + four upper-case hex digits of the code point,
"=", "0x" + four upper-case hex digits of the Shift_JIS code, lead byte
first:

    0x4E9C=0x889F

Lines are separated by CR LF, with none after the last line; ASCII only,
no header.  The lines come in ascending Shift_JIS order: every two-byte
code with a lead byte of 0x81-0x9F or 0xE0-0xEA whose character is in
U+4E00-U+9FFF.  That is the ideograph U+4EDD of the symbols row plus the
two kanji levels of JIS X 0208.

Only Python's "shift_jis" codec is used: it covers JIS X 0208 and nothing
more.  The JIS X 0213 codecs (shift_jis_2004, shift_jisx0213) and the
vendor extensions of cp932 would add lines the picture set does not have.
The output depends only on that codec, so repeated runs give identical
bytes; the fixed counts below stop a codec that differs from the expected
one from slipping through.
"""

import codecs
import sys
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
OUTPUT = REPO_ROOT / "resources" / "kanji-codes.txt"

CODEC = "shift_jis"
LEAD_BYTES = [*range(0x81, 0xA0), *range(0xE0, 0xEB)]
TRAIL_BYTES = [b for b in range(0x40, 0xFD) if b != 0x7F]
FIRST_KANJI, LAST_KANJI = 0x4E00, 0x9FFF
EOL = "\r\n"

EXPECTED_LINES = 6356
EXPECTED_SIZE = 6355 * 15 + 13  # 95,338 bytes
EXPECTED_ROWS = {  # line number (from 1) -> text
    1: "0x4EDD=0x8157",
    2: "0x4E9C=0x889F",
    2966: "0x8155=0x9872",
    2967: "0x5F0C=0x989F",
    6355: "0x51DC=0xEAA3",
    6356: "0x7199=0xEAA4",
}


def fail(message):
    sys.exit("make_kanji_table: " + message)


def table_lines():
    decoder = codecs.lookup(CODEC)
    lines = []
    for lead in LEAD_BYTES:
        for trail in TRAIL_BYTES:
            try:
                text, _ = decoder.decode(bytes((lead, trail)), "strict")
            except UnicodeDecodeError:
                continue
            if len(text) == 1 and FIRST_KANJI <= ord(text) <= LAST_KANJI:
                lines.append(f"0x{ord(text):04X}=0x{lead:02X}{trail:02X}")
    return lines


def validate(lines):
    """Reject a table that is not the JIS X 0208 one the pictures are named by."""
    if len(lines) != EXPECTED_LINES:
        fail(f"codec {CODEC!r} gave {len(lines)} lines, expected {EXPECTED_LINES}")
    for number, text in EXPECTED_ROWS.items():
        if lines[number - 1] != text:
            fail(f"line {number} is {lines[number - 1]!r}, expected {text!r}")
    names = [line.split("=")[0] for line in lines]
    values = [line.split("=")[1] for line in lines]
    if len(set(names)) != len(names):
        fail("a code point appears on more than one line")
    if len(set(values)) != len(values) or values != sorted(values):
        fail("Shift_JIS codes are not unique and ascending")


def render():
    lines = table_lines()
    validate(lines)
    data = EOL.join(lines).encode("ascii")
    if len(data) != EXPECTED_SIZE:
        fail(f"table is {len(data)} bytes, expected {EXPECTED_SIZE}")
    return data


def main(argv):
    if argv not in ([], ["--check"]):
        sys.exit(__doc__.split("\n\n")[1])
    data = render()
    relative = OUTPUT.relative_to(REPO_ROOT)
    if argv == ["--check"]:
        if not OUTPUT.is_file():
            fail(f"{relative} is missing")
        if OUTPUT.read_bytes() != data:
            fail(f"{relative} differs from what this script generates")
        print(f"{relative}: OK, {EXPECTED_LINES} lines, {len(data)} bytes")
        return
    OUTPUT.write_bytes(data)
    print(f"wrote {relative} ({EXPECTED_LINES} lines, {len(data)} bytes)")


if __name__ == "__main__":
    main(sys.argv[1:])
