#!/usr/bin/env python3
"""Draw Sorabi's button pictures and program icon (resources/icons/*.png).

Usage, from the repository root:
    python3 tools/make_icons.py                 write resources/icons/
    python3 tools/make_icons.py --check         compare with the written files
    python3 tools/make_icons.py --preview DIR   write, plus 8x previews in DIR

Every picture is built from signed-distance shapes (negative inside) and
rasterised with 8 x 8 samples per pixel, so edges are antialiased while
edges placed on whole pixel lines stay sharp.  Sample positions are exact
binary fractions and coverage is a sample count, so repeated runs produce
identical bytes.  The PNG writer is our own: 8-bit RGBA, no filtering,
one IDAT chunk, no ancillary chunks.

The disabled look of the buttons comes from the toolkit, so there are no
grey copies here.
"""

import math
import struct
import sys
import tempfile
import zlib
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
OUTPUT_DIR = REPO_ROOT / "resources" / "icons"

SUPERSAMPLE = 8
PREVIEW_SCALE = 8
INSIDE_BIAS = 1e-9  # samples exactly on an edge count as outside


# ---------------------------------------------------------------- shapes
#
# A shape is a function (x, y) -> signed distance in pixels, y pointing
# down, (0, 0) the top left corner of the picture.

def convex(points):
    """Convex polygon given clockwise on screen; insets give mitred corners."""
    edges = []
    count = len(points)
    for i in range(count):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % count]
        dx, dy = x1 - x0, y1 - y0
        length = math.sqrt(dx * dx + dy * dy)
        nx, ny = dy / length, -dx / length  # outward for clockwise order
        edges.append((nx, ny, nx * x0 + ny * y0))

    def sdf(x, y):
        return max(nx * x + ny * y - c for nx, ny, c in edges)
    return sdf


def rect(x0, y0, x1, y1, radius=0.0):
    """Axis-aligned rectangle, optionally with round corners."""
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return (math.sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0)
                - radius)
    return sdf


def circle(cx, cy, r):
    def sdf(x, y):
        dx, dy = x - cx, y - cy
        return math.sqrt(dx * dx + dy * dy) - r
    return sdf


def ring(cx, cy, r, width):
    """Band of the given width centred on the circle of radius r."""
    inner = circle(cx, cy, r)
    half = width / 2

    def sdf(x, y):
        return abs(inner(x, y)) - half
    return sdf


def stroke(points, width):
    """Polyline of the given width with round joins and caps."""
    segments = list(zip(points, points[1:]))
    half = width / 2

    def sdf(x, y):
        best = None
        for (x0, y0), (x1, y1) in segments:
            dx, dy = x1 - x0, y1 - y0
            t = ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)
            t = min(max(t, 0.0), 1.0)
            ex, ey = x - x0 - t * dx, y - y0 - t * dy
            d = ex * ex + ey * ey
            best = d if best is None else min(best, d)
        return math.sqrt(best) - half
    return sdf


def union(*shapes):
    def sdf(x, y):
        return min(s(x, y) for s in shapes)
    return sdf


def clip(shape, mask):
    """The part of shape that lies inside mask."""
    def sdf(x, y):
        return max(shape(x, y), mask(x, y))
    return sdf


def inset(shape, d):
    """Shape shrunk by d pixels (grown for negative d)."""
    def sdf(x, y):
        return shape(x, y) + d
    return sdf


# ---------------------------------------------------------------- paint

def hex_colour(text, alpha=255):
    value = int(text.lstrip("#"), 16)
    return (value >> 16, (value >> 8) & 0xFF, value & 0xFF, alpha)


def solid(text):
    colour = hex_colour(text)
    return lambda x, y: colour


def vertical(top, bottom, y0, y1):
    """Linear gradient from top at y0 to bottom at y1, clamped."""
    a, b = hex_colour(top), hex_colour(bottom)

    def paint(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(round(p + (q - p) * t) for p, q in zip(a, b))
    return paint


class Canvas:
    """Premultiplied RGBA floats, composited with source-over."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
        step = 1.0 / SUPERSAMPLE
        self.offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]

    def coverage(self, shape, px, py):
        inside = 0
        for oy in self.offsets:
            for ox in self.offsets:
                if shape(px + ox, py + oy) < -INSIDE_BIAS:
                    inside += 1
        return inside / (SUPERSAMPLE * SUPERSAMPLE)

    def fill(self, shape, paint):
        for py in range(self.size):
            row = self.pixels[py]
            for px in range(self.size):
                cover = self.coverage(shape, px, py)
                if cover == 0.0:
                    continue
                r, g, b, a = paint(px + 0.5, py + 0.5)
                alpha = cover * a / 255
                keep = 1.0 - alpha
                dr, dg, db, da = row[px]
                row[px] = (r / 255 * alpha + dr * keep,
                           g / 255 * alpha + dg * keep,
                           b / 255 * alpha + db * keep,
                           alpha + da * keep)

    def rgba_rows(self):
        """Rows of straight (non-premultiplied) 8-bit RGBA."""
        rows = []
        for row in self.pixels:
            out = bytearray()
            for r, g, b, a in row:
                if a <= 0.0:
                    out += b"\0\0\0\0"
                    continue
                out += bytes(min(255, int(c / a * 255 + 0.5))
                             for c in (r, g, b))
                out.append(min(255, int(a * 255 + 0.5)))
            rows.append(bytes(out))
        return rows


# ---------------------------------------------------------------- PNG

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_chunk(kind, data):
    body = kind + data
    return (struct.pack(">I", len(data)) + body
            + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))


def encode_png(width, height, rows):
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    raw = b"".join(b"\0" + row for row in rows)  # filter type 0 per row
    return (PNG_SIGNATURE
            + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, 9))
            + png_chunk(b"IEND", b""))


def png_contents(data):
    """Chunks of a PNG with the image data inflated, or None if damaged.

    Two files with equal contents show the same picture even when another
    zlib build compressed it differently.
    """
    if not data.startswith(PNG_SIGNATURE):
        return None
    pos, chunks, idat = len(PNG_SIGNATURE), [], b""
    while pos < len(data):
        if pos + 12 > len(data):
            return None
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = data[pos + 8 + length:pos + 12 + length]
        if len(body) != length or len(crc) != 4 or crc != png_chunk(
                kind, body)[-4:]:
            return None
        if kind == b"IDAT":
            idat += body
        else:
            chunks.append((kind, body))
        pos += 12 + length
    try:
        return chunks, zlib.decompress(idat)
    except zlib.error:
        return None


# ---------------------------------------------------------------- pictures
#
# The 16 px button glyphs are laid out on whole pixels: bars and the flat
# sides of triangles sit on pixel lines, only slopes and curves blend.

GLYPH_TOP, GLYPH_BOTTOM = "#585858", "#101010"
RED_TOP, RED_BOTTOM, RED_EDGE = "#f24a3c", "#b80d0d", "#7c0606"
GREEN_TOP, GREEN_BOTTOM, GREEN_EDGE = "#8ee070", "#2f9a2f", "#1c5a1c"


def dark_glyph(canvas, shape, y0, y1):
    canvas.fill(shape, vertical(GLYPH_TOP, GLYPH_BOTTOM, y0, y1))


def red_glyph(canvas, shape, y0, y1, outside):
    """Red fill with a dark rim half a pixel wide, `outside` of it beyond
    the shape's edge."""
    canvas.fill(inset(shape, -outside), solid(RED_EDGE))
    canvas.fill(inset(shape, 0.5 - outside),
                vertical(RED_TOP, RED_BOTTOM, y0, y1))


def draw_play(canvas):
    triangle = convex([(4, 2), (13, 8), (4, 14)])
    canvas.fill(triangle, solid(GREEN_EDGE))
    canvas.fill(inset(triangle, 1.0), vertical(GREEN_TOP, GREEN_BOTTOM, 3, 13))


def draw_pause(canvas):
    bars = union(rect(4, 3, 7, 13), rect(9, 3, 12, 13))
    dark_glyph(canvas, bars, 3, 13)


def draw_prev(canvas):
    glyph = union(rect(3, 3, 5, 13), convex([(13, 3), (13, 13), (6, 8)]))
    dark_glyph(canvas, glyph, 3, 13)


def draw_next(canvas):
    glyph = union(rect(11, 3, 13, 13), convex([(3, 3), (10, 8), (3, 13)]))
    dark_glyph(canvas, glyph, 3, 13)


def draw_tick(canvas):
    tick = stroke([(3.5, 8.5), (6.5, 11.5), (12.5, 4.5)], 2.5)
    red_glyph(canvas, tick, 4, 12, 0.5)


def draw_cross(canvas):
    c, r = 8.0, 7.0
    d = r * math.sqrt(0.5)  # the bar runs from corner to corner at 45°
    bar = stroke([(c - d, c - d), (c + d, c + d)], 2.0)
    sign = union(ring(c, c, r - 1.0, 2.0), clip(bar, circle(c, c, r)))
    red_glyph(canvas, sign, 2, 14, 0.25)


# Deck editor buttons: list column, sheet and diskette drawn in flat
# colours on whole pixels, arrows and signs on top.
BLUE_TOP, BLUE_BOTTOM, BLUE_EDGE = "#7fb4f0", "#2860c0", "#163c80"
PAPER, PAPER_EDGE, FLAP, INK = "#ffffff", "#7a7a7a", "#d8d8d8", "#a8b4c4"
COLUMN_DOT = "#505a68"


def pixels(points):
    """Union of whole pixels given by their top left corners."""
    return union(*(rect(x, y, x + 1, y + 1) for x, y in points))


def dotted_column(canvas, x0, y0, x1, y1):
    """A white column whose outline is every other pixel."""
    canvas.fill(rect(x0, y0, x1, y1), solid(PAPER))
    border = [(x, y) for x in range(x0, x1) for y in range(y0, y1)
              if x in (x0, x1 - 1) or y in (y0, y1 - 1)]
    canvas.fill(pixels([(x, y) for x, y in border if (x + y) % 2 == 0]),
                solid(COLUMN_DOT))


def blue_arrow(canvas, shape, y0, y1):
    canvas.fill(shape, solid(BLUE_EDGE))
    canvas.fill(inset(shape, 1.0), vertical(BLUE_TOP, BLUE_BOTTOM, y0, y1))


def red_sign(canvas, shape, y0, y1):
    canvas.fill(shape, vertical(RED_TOP, RED_BOTTOM, y0, y1))


def draw_add(canvas):
    dotted_column(canvas, 9, 1, 15, 15)
    arrow = union(rect(1, 8, 8, 12), convex([(7, 5), (12, 10), (7, 15)]))
    blue_arrow(canvas, arrow, 5, 15)
    red_sign(canvas, union(rect(0, 2, 6, 4), rect(2, 0, 4, 6)), 0, 6)


def draw_delete(canvas):
    dotted_column(canvas, 9, 1, 15, 15)
    arrow = union(rect(6, 8, 13, 12), convex([(7, 5), (7, 15), (2, 10)]))
    blue_arrow(canvas, arrow, 5, 15)
    red_sign(canvas, rect(0, 2, 6, 4), 0, 6)


def sheet(canvas, x0, y0, x1, y1, lines, fold=3):
    """A sheet of paper with a folded top right corner and ruled lines."""
    outline = convex([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1),
                      (x0, y1)])
    canvas.fill(outline, solid(PAPER_EDGE))
    canvas.fill(inset(outline, 1.0), solid(PAPER))
    # The folded flap: light, edged on its two straight sides.
    canvas.fill(convex([(x1 - fold, y0), (x1, y0 + fold),
                        (x1 - fold, y0 + fold)]), solid(FLAP))
    canvas.fill(union(rect(x1 - fold, y0, x1 - fold + 1, y0 + fold + 1),
                      rect(x1 - fold, y0 + fold, x1, y0 + fold + 1)),
                solid(PAPER_EDGE))
    for lx0, ly, lx1 in lines:
        canvas.fill(rect(lx0, ly, lx1, ly + 1), solid(INK))


def draw_edit(canvas):
    sheet(canvas, 1, 1, 12, 15, [(3, 5, 8), (3, 7, 10), (3, 9, 10),
                                 (3, 11, 6)])
    # A pencil at 45 degrees, writing at the end of the last line.
    ux, uy = math.sqrt(0.5), -math.sqrt(0.5)  # from the point to the end
    px, py = 6.5, 12.5  # the point
    half = 1.75

    def along(t, side):
        return (px + ux * t - uy * side, py + uy * t + ux * side)
    body = convex([along(3.2, -half), along(10.5, -half), along(10.5, half),
                   along(3.2, half)])
    cone = convex([along(0, 0), along(3.2, -half), along(3.2, half)])
    canvas.fill(inset(union(body, cone), -0.6), solid("#3a3020"))
    canvas.fill(body, vertical("#ffd84a", "#e09a10", 2, 11))
    canvas.fill(clip(body, convex([along(8.8, -3), along(11, -3),
                                   along(11, 3), along(8.8, 3)])),
                solid("#e86a7a"))
    canvas.fill(cone, solid("#f0d2a0"))
    canvas.fill(clip(cone, circle(*along(0, 0), 1.4)), solid("#303030"))


def draw_save(canvas):
    sheet(canvas, 0, 0, 8, 12, [(2, 4, 5), (2, 6, 6), (2, 8, 5)], fold=2)
    # The diskette: body, shutter with its slot, label.
    canvas.fill(rect(5, 6, 16, 16, 0.5), solid("#1a2c5c"))
    canvas.fill(rect(6, 7, 15, 15), vertical("#5a82cc", "#2a4c94", 7, 15))
    canvas.fill(rect(8, 7, 14, 10), solid("#dfe3ea"))
    canvas.fill(rect(9, 7, 10, 9), solid("#1a2c5c"))
    canvas.fill(rect(7, 11, 14, 15), solid(PAPER))
    canvas.fill(rect(8, 12, 13, 13), solid(INK))
    # The red arrow from the sheet down into the diskette.
    arrow = union(rect(5, 1, 13, 3), rect(11, 1, 13, 5),
                  convex([(8, 5), (16, 5), (12, 9)]))
    canvas.fill(arrow, vertical(RED_TOP, RED_BOTTOM, 1, 9))


# Program icon: a white flash card with a red disc in front of a second,
# blue-grey card.  Each size has its own layout so borders land on pixels.
CARD_LAYOUTS = {
    16: dict(back=(4, 0, 16, 10), front=(0, 4, 13, 15), corner=1.0,
             disc=3.0, border=1.0),
    32: dict(back=(6, 2, 31, 21), front=(1, 10, 26, 29), corner=2.0,
             disc=5.5, border=1.0),
    48: dict(back=(9, 4, 46, 33), front=(2, 15, 39, 44), corner=3.0,
             disc=8.0, border=2.0),
    # The desktop's larger sizes: the 32-pixel layout scaled up.
    64: dict(back=(12, 4, 62, 42), front=(2, 20, 52, 58), corner=4.0,
             disc=11.0, border=2.0),
    128: dict(back=(24, 8, 124, 84), front=(4, 40, 104, 116), corner=8.0,
              disc=22.0, border=4.0),
    256: dict(back=(48, 16, 248, 168), front=(8, 80, 208, 232), corner=16.0,
              disc=44.0, border=6.0),
}


def card(canvas, box, corner, border, outline, face):
    x0, y0, x1, y1 = box
    outer = rect(x0, y0, x1, y1, corner)
    canvas.fill(outer, solid(outline))
    canvas.fill(rect(x0 + border, y0 + border, x1 - border, y1 - border,
                     max(corner - border, 0.0)), face)


def draw_program_icon(canvas):
    layout = CARD_LAYOUTS[canvas.size]
    border, corner = layout["border"], layout["corner"]
    _, by0, _, by1 = layout["back"]
    card(canvas, layout["back"], corner, border, "#2e3f57",
         vertical("#b9cbe4", "#7f98bd", by0, by1))
    fx0, fy0, fx1, fy1 = layout["front"]
    card(canvas, layout["front"], corner, border, "#303030",
         vertical("#ffffff", "#e4e4e4", fy0, fy1))
    disc = circle((fx0 + fx1) / 2, (fy0 + fy1) / 2, layout["disc"])
    canvas.fill(disc, vertical("#f0402e", "#c40e0e", fy0, fy1))


PICTURES = [
    ("play.png", 16, draw_play),
    ("pause.png", 16, draw_pause),
    ("prev.png", 16, draw_prev),
    ("next.png", 16, draw_next),
    ("tick.png", 16, draw_tick),
    ("cross.png", 16, draw_cross),
    ("add.png", 16, draw_add),
    ("delete.png", 16, draw_delete),
    ("edit.png", 16, draw_edit),
    ("save.png", 16, draw_save),
    ("sorabi-16.png", 16, draw_program_icon),
    ("sorabi.png", 32, draw_program_icon),
    ("sorabi-48.png", 48, draw_program_icon),
    ("sorabi-64.png", 64, draw_program_icon),
    ("sorabi-128.png", 128, draw_program_icon),
    ("sorabi-256.png", 256, draw_program_icon),
]


def render(size, draw):
    canvas = Canvas(size)
    draw(canvas)
    return canvas.rgba_rows()


def render_all():
    """(file name, size, rows, PNG bytes) for every picture."""
    result = []
    for name, size, draw in PICTURES:
        rows = render(size, draw)
        result.append((name, size, rows, encode_png(size, size, rows)))
    return result


# ---------------------------------------------------------------- preview

def enlarge(rows, size, scale, backdrop):
    """Rows of opaque RGBA: the picture over backdrop, scale x, with grid."""
    out = []
    for y in range(size * scale):
        line = bytearray()
        for x in range(size * scale):
            sx, sy = x // scale, y // scale
            r, g, b, a = rows[sy][sx * 4:sx * 4 + 4]
            mixed = [(c * a + k * (255 - a) + 127) // 255
                     for c, k in zip((r, g, b), backdrop)]
            # A faint grid keeps single pixels countable.
            if scale > 2 and (x % scale == 0 or y % scale == 0):
                mixed = [m * 7 // 8 + 16 for m in mixed]
            line += bytes(mixed + [255])
        out.append(bytes(line))
    return out


def write_preview(folder, pictures):
    """Per picture: 8x on a light and a dark backdrop, and a 1x strip."""
    folder.mkdir(parents=True, exist_ok=True)
    light, dark = (0xF0, 0xF0, 0xF0), (0x40, 0x40, 0x40)
    for name, size, rows, _png in pictures:
        halves = [enlarge(rows, size, PREVIEW_SCALE, back)
                  for back in (light, dark)]
        sheet = [a + b for a, b in zip(*halves)]
        side = size * PREVIEW_SCALE
        out = folder / name.replace(".png", "-8x.png")
        out.write_bytes(encode_png(2 * side, side, sheet))
    # Everything at 1x and 2x on the light backdrop, side by side.
    for scale in (1, 2):
        height = max(size for _n, size, _r, _p in pictures) * scale
        strip = [bytearray() for _ in range(height)]
        for _name, size, rows, _png in pictures:
            big = enlarge(rows, size, scale, light)
            for y in range(height):
                pad = bytes(light) + b"\xff"
                strip[y] += (big[y] if y < len(big)
                             else pad * (size * scale)) + pad * 4
        width = len(strip[0]) // 4
        (folder / f"strip-{scale}x.png").write_bytes(
            encode_png(width, height, [bytes(r) for r in strip]))
    return folder


# ---------------------------------------------------------------- main

def write_all(folder, pictures):
    folder.mkdir(parents=True, exist_ok=True)
    for name, _size, _rows, png in pictures:
        (folder / name).write_bytes(png)


def check(pictures):
    """Regenerate into a temporary folder and compare; True when equal."""
    ok = True
    with tempfile.TemporaryDirectory() as tmp:
        fresh = Path(tmp)
        write_all(fresh, pictures)
        for name, _size, _rows, _png in pictures:
            committed = OUTPUT_DIR / name
            label = committed.relative_to(REPO_ROOT)
            if not committed.exists():
                print(f"{label}: missing")
                ok = False
                continue
            old, new = committed.read_bytes(), (fresh / name).read_bytes()
            if old == new:
                continue
            ok = False
            contents = png_contents(old)
            if contents is not None and contents == png_contents(new):
                print(f"{label}: same pixels, different compressed bytes "
                      "(another zlib build?)")
            else:
                print(f"{label}: differs from what this script draws")
    return ok


def main(argv):
    preview = None
    if len(argv) == 2 and argv[0] == "--preview":
        preview = Path(argv[1])
    elif argv not in ([], ["--check"]):
        sys.exit(__doc__.split("\n\n")[1])
    pictures = render_all()
    if argv == ["--check"]:
        if not check(pictures):
            sys.exit(1)
        print(f"{OUTPUT_DIR.relative_to(REPO_ROOT)}: OK, "
              f"{len(pictures)} pictures")
        return
    write_all(OUTPUT_DIR, pictures)
    for name, size, _rows, png in pictures:
        print(f"wrote {(OUTPUT_DIR / name).relative_to(REPO_ROOT)} "
              f"({size} x {size}, {len(png)} bytes)")
    if preview is not None:
        print(f"wrote {write_preview(preview, pictures)}")


if __name__ == "__main__":
    main(sys.argv[1:])
