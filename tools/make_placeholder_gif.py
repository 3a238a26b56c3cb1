#!/usr/bin/env python3
"""Draw the picture shown for a kanji without a stroke-order file (resources/placeholder.gif).

Usage, from the repository root:
    python3 tools/make_placeholder_gif.py            write resources/placeholder.gif
    python3 tools/make_placeholder_gif.py --check    compare with the written file

A 50 x 59 GIF89a with one frame, a 16-entry grey global colour table (entry i is grey i * 17,
so 0 is black and 15 white) and no transparency: a dark question mark on a white ground. The
mark is built from a ring segment, a stem and a dot, rasterised with 8 x 8 samples per pixel so
its edges fall on the greys between. The GIF writer (and its LZW encoder) is our own, so repeated
runs give identical bytes (tools/gifwriter.py).
"""

import math
import sys
from pathlib import Path

from gifwriter import gif_image, gif_screen

REPO_ROOT = Path(__file__).resolve().parent.parent
OUTPUT = REPO_ROOT / "resources" / "placeholder.gif"

WIDTH, HEIGHT = 50, 59
SUPERSAMPLE = 8
INK = 3  # the darkest grey the mark reaches (index into the table)
GREYS = bytes(v for i in range(16) for v in (i * 17,) * 3)


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


def gif():
    # Global table of 16 greys, the white entry (15) as the background.
    return gif_screen(WIDTH, HEIGHT, GREYS, background=15) + gif_image(
        0, 0, WIDTH, HEIGHT, bytes(pixels()), code_size=4
    ) + b";"


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
