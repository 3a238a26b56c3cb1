#!/usr/bin/env python3
"""Writes the seed files of the fuzz targets beside this script: tiny decks and INI files in every
encoding the readers tell apart, so the fuzzer starts from each branch of the text decoding, and
small GIFs with each kind of block the picture reader handles."""
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent.parent / "tools"))
from gifwriter import gif_control, gif_image, gif_screen, sub_blocks  # noqa: E402

DECK = "*2\r\n犬=いぬ=собака=1=4\r\n#水=みず=вода=0=0\r\n=こんにちは=здравствуйте; привет=0=2\r\n"

DECK_SEEDS = {
    "le.sb": b"\xff\xfe" + DECK.encode("utf-16-le"),
    "be.sb": b"\xfe\xff" + DECK.encode("utf-16-be"),
    "utf8.sb": b"\xef\xbb\xbf" + DECK.replace("\r\n", "\n").encode("utf-8"),
    # No mark and not UTF-8: read as Windows-1251, with a lone CR as the line end.
    "cp1251.sb": "кот=кот=кошка=1=2\r".encode("cp1251"),
    # Fullwidth markers and separators, the Unicode line and paragraph separators, a U+0000 that
    # ends the text, and a field of counts with a trailing extra part.
    "fullwidth.sb": b"\xff\xfe"
    + "＊1\u2028 ＃犬＝いぬ＝собака＝1＝\u2029a=b=cc=1=2=x\x00rest".encode("utf-16-le"),
}

INI_SEEDS = {
    "settings.ini": '; c\r\n[MAIN]\r\nStyle=0x1\r\nDictionary="/home/u/n5.sb"\r\nShowHint=yes\r\n'
    "\r\n[Other]\r\nX=$FF\r\n".encode("utf-8"),
    "utf16.ini": b"\xff\xfe" + "[main]\nstyle=-5\n".encode("utf-16-le"),
    "utf8bom.ini": b"\xef\xbb\xbf" + "[Other]\r\nFlag=0\r\n[MAIN]\r\nShowHint=-0x1\r\n".encode(),
    "cp1251.ini": "[MAIN]\r\nDictionary = 'C:\\Словари\\n5.sb'\r\n\r\n[X]\r\n".encode("cp1251"),
}


FOUR = bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])
GREYS = bytes(v for i in range(16) for v in (i * 17,) * 3)
STRIPES = bytes((x // 2 + y) % 4 for y in range(8) for x in range(8))

GIF_SEEDS = {
    # Two frames with delays, disposal and transparency, a loop extension and a comment.
    "anim.gif": gif_screen(8, 8, FOUR, 1)
    + b"\x21\xff" + sub_blocks(b"NETSCAPE2.0") [:-1] + b"\x03\x01\x00\x00\0"
    + gif_control(10, 2, 0)
    + gif_image(0, 0, 8, 8, STRIPES)
    + b"\x21\xfe" + sub_blocks(b"comment")
    + gif_control(150, 3, 3)
    + gif_image(2, 2, 4, 4, bytes([1, 2, 3, 0] * 4))
    + b";",
    # GIF87a with a local table, interlaced rows and a frame partly outside the screen.
    "interlaced.gif": gif_screen(6, 10, version=b"GIF87a")
    + gif_image(0, 0, 6, 10, bytes(i % 16 for i in range(60)), GREYS, True, 4)
    + gif_image(4, 8, 4, 4, bytes(16), FOUR)
    + b";",
    # A plain text extension between a control and the image; equal colours in the table.
    "plaintext.gif": gif_screen(4, 4, bytes([9, 9, 9] * 4))
    + gif_control(5, 1, 2)
    + b"\x21\x01" + sub_blocks(bytes(12) + b"hi")
    + gif_image(0, 0, 4, 4, bytes(range(4)) * 4)
    + b";",
    # A frame whose data stop inside a sub-block.
    "cut.gif": (gif_screen(8, 8, FOUR) + gif_image(0, 0, 8, 8, STRIPES))[:-6],
}


LINKLABEL_SEEDS = {
    "about.txt": "По всем вопросам пишите:<br>      <link>sorabi@example.org</link>" + "\r\n" * 4,
    "main.txt": "О программе...\r\n\r\n",
    # Every tag of the table in mixed case, with and without parameters.
    "tags.txt": "<B>b</b><I>i</I><u>u</U><Color=clRed>r</color><COLOR=$FF00>g</color>"
    "<color=255>n</color><LINK=p=q>l</link><link>m</link><Br><p><DYNAMIC><what>x",
    # Entities, texts touching without blanks, runs of blanks and a long word.
    "text.txt": "a &lt;b&gt; c&lt;&gt; half<b>bold</b>word    " + "w" * 80 + " end",
    # End tags that close the innermost node whatever their name, then one at the top level.
    "nesting.txt": "<b><i><link=x>deep</b> <color=$1234567890>y</i></u>z</q>hidden<br>",
    "unclosed.txt": "a<b>b<link=c",
}

STROKE_SEEDS = {
    # A path as the stroke table has it, and one with every command and number form.
    "path.txt": "M11,54.25c3.19,0.62,6.25,0.75,9.73,0.5c20.64-1.5,50.39-5.12,68.58-5.24",
    "forms.txt": "m1-2C.5.5.5.5 1e1-1E+1 3,4,5,6s1 2 3 4S5,6,7,8c1,2,3,4,5,6",
    # Table lines: a comment, a one-stroke and a two-stroke kanji, a code point beyond 16 bits.
    "table.txt": "# comment\n4E00\tM11,54.25c3.19,0.62,6.25,0.75,9.73,0.5\n"
    "5C71\tM53.5,12c1,1,1.5,2,1.5,3.5s0,50,-0.5,60\tM20,40c1,1,2,2,2,3S22,80,22,82\n"
    "20B9F\tM10,10C20,20,30,30,40,40\n",
    "bad.txt": "4E00\tM1,2L3,4\n4E01\t\tM1,1\nXYZ\n",
}


def write(folder: str, seeds: dict) -> None:
    out = HERE / folder
    out.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (out / name).write_bytes(data)


write("deck", DECK_SEEDS)
write("ini", INI_SEEDS)
write("gif", GIF_SEEDS)
write("linklabel", {n: t.encode() for n, t in LINKLABEL_SEEDS.items()})
write("strokes", {n: t.encode() for n, t in STROKE_SEEDS.items()})
