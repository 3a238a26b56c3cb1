#!/usr/bin/env python3
"""Draw the picture shown for a kanji without a stroke-order file (resources/placeholder.gif).

Usage, from the repository root:
    python3 tools/make_placeholder_gif.py            write resources/placeholder.gif
    python3 tools/make_placeholder_gif.py --check    compare with the written file

A 50 x 59 GIF89a with one frame, a 16-entry grey global colour table (entry i is grey i * 17,
so 0 is black and 15 white) and no transparency: a dark question mark on a white ground. The
mark is built from a ring segment, a stem and a dot, rasterised with 8 x 8 samples per pixel so
its edges fall on the greys between. The GIF writer (and its LZW encoder) is our own, so repeated
runs give identical bytes.
"""

import math
import sys
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
OUTPUT = REPO_ROOT / "resources" / "placeholder.gif"

WIDTH, HEIGHT = 50, 59
SUPERSAMPLE = 8
INK = 3  # the darkest grey the mark reaches (index into the table)


def in_mark(x, y):
    """Whether the point (x, y), y pointing down, lies in the question mark."""
    cx, cy = 25.0, 20.0
    r_out, r_in = 13.0, 6.5
    d = math.hypot(x - cx, y - cy)
    # The hook: the ring from the left (180 degrees) over the top round to straight below the
    # centre, screen angles measured clockwise from the right.
    if r_in <= d <= r_out:
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360.0
        if a >= 180.0 or a <= 90.0:
            return True
    # The stem under the hook.
    if 21.75 <= x <= 28.25 and cy + r_in - 0.5 <= y <= 40.0:
        return True
    # The dot.
    return math.hypot(x - 25.0, y - 48.5) <= 4.25


def pixels():
    out = []
    n = SUPERSAMPLE * SUPERSAMPLE
    for py in range(HEIGHT):
        for px in range(WIDTH):
            hits = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    if in_mark(px + (sx + 0.5) / SUPERSAMPLE, py + (sy + 0.5) / SUPERSAMPLE):
                        hits += 1
            # Coverage 0 -> white (15), full -> INK.
            out.append(15 - (hits * (15 - INK) + n // 2) // n)
    return out


def lzw(indices, min_code_size):
    """GIF LZW: clear first, widths growing to 12 bits, a clear when the table is full."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    acc = 0
    bits = 0

    def put(code, width):
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    def reset():
        return {(i,): i for i in range(clear)}, min_code_size + 1, end + 1

    table, width, next_code = reset()
    put(clear, width)
    prefix = ()
    for p in indices:
        candidate = prefix + (p,)
        if candidate in table:
            prefix = candidate
            continue
        put(table[prefix], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code - 1 == (1 << width) and width < 12:
                width += 1
        else:
            put(clear, width)
            table, width, next_code = reset()
        prefix = (p,)
    if prefix:
        put(table[prefix], width)
    put(end, width)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif():
    data = bytearray(b"GIF89a")
    data += WIDTH.to_bytes(2, "little") + HEIGHT.to_bytes(2, "little")
    data += bytes([0x80 | 0x30 | 0x03, 15, 0])  # global table of 16, 4-bit colour, white ground
    for i in range(16):
        data += bytes([i * 17] * 3)
    data += b"\x2C" + bytes(4) + WIDTH.to_bytes(2, "little") + HEIGHT.to_bytes(2, "little")
    data += b"\x00"  # no local table, not interlaced
    code_size = 4
    payload = lzw(pixels(), code_size)
    data += bytes([code_size])
    for i in range(0, len(payload), 255):
        part = payload[i : i + 255]
        data += bytes([len(part)]) + part
    data += b"\x00;"
    return bytes(data)


def main(argv):
    out = gif()
    if "--check" in argv:
        if OUTPUT.read_bytes() != out:
            print(f"{OUTPUT} differs from what this script draws", file=sys.stderr)
            return 1
        return 0
    OUTPUT.write_bytes(out)
    print(f"wrote {OUTPUT} ({len(out)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
