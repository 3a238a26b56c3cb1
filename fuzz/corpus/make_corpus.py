#!/usr/bin/env python3
"""Writes the seed files of the fuzz targets beside this script: tiny decks and INI files in every
encoding the readers tell apart, so the fuzzer starts from each branch of the text decoding."""
from pathlib import Path

HERE = Path(__file__).resolve().parent

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


def write(folder: str, seeds: dict) -> None:
    out = HERE / folder
    out.mkdir(exist_ok=True)
    for name, data in seeds.items():
        (out / name).write_bytes(data)


write("deck", DECK_SEEDS)
write("ini", INI_SEEDS)
