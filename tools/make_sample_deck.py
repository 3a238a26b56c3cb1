#!/usr/bin/env python3
"""Generate the sample deck bundled with Sorabi (resources/sample.sb).

Usage, from the repository root:
    python3 tools/make_sample_deck.py           write resources/sample.sb
    python3 tools/make_sample_deck.py --check   verify the written file

Deck file layout: UTF-16LE with a byte-order mark (FF FE), every line ends
with CR LF (the last one too).  Line 1 is the position line "*0", then one
line per word:

    Kanji=Kana=Translation=Misses=Attempts

A word without kanji has an empty first field; an inactive word carries a
"#" directly in front of its line.  Alternatives inside the translation are
separated by "; ".

The output depends only on the table below, so repeated runs produce
identical bytes.
"""

import sys
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
OUTPUT = REPO_ROOT / "resources" / "sample.sb"

BOM = b"\xff\xfe"
EOL = "\r\n"
POSITION_LINE = "*0"
WORD_COUNT = 80
INACTIVE_COUNT = 2
MIN_KANA_ONLY = 3

# (kanji, kana, translation, active)
WORDS = [
    # Nature and animals
    ("水", "みず", "вода", True),
    ("山", "やま", "гора", True),
    ("川", "かわ", "река", True),
    ("木", "き", "дерево", True),
    ("花", "はな", "цветок", True),
    ("雨", "あめ", "дождь", True),
    ("雪", "ゆき", "снег", True),
    ("天気", "てんき", "погода", True),
    ("犬", "いぬ", "собака", True),
    ("猫", "ねこ", "кошка; кот", True),
    ("魚", "さかな", "рыба", True),
    # People
    ("人", "ひと", "человек", True),
    ("子供", "こども", "ребёнок; дети", True),
    ("友達", "ともだち", "друг; подруга", True),
    ("先生", "せんせい", "учитель; преподаватель", True),
    ("学生", "がくせい", "студент; учащийся", True),
    ("名前", "なまえ", "имя", True),
    # Body
    ("手", "て", "рука", True),
    ("目", "め", "глаз", True),
    # Places and transport
    ("家", "いえ", "дом", True),
    ("部屋", "へや", "комната", True),
    ("学校", "がっこう", "школа", True),
    ("店", "みせ", "магазин; лавка", True),
    ("病院", "びょういん", "больница", False),
    ("駅", "えき", "станция; вокзал", True),
    ("道", "みち", "дорога; путь", True),
    ("電車", "でんしゃ", "электричка; поезд", True),
    ("車", "くるま", "машина; автомобиль", True),
    # Time
    ("時間", "じかん", "время", True),
    ("今日", "きょう", "сегодня", True),
    ("明日", "あした", "завтра", True),
    ("昨日", "きのう", "вчера", True),
    ("朝", "あさ", "утро", True),
    ("夜", "よる", "ночь; вечер", True),
    # Food and drink
    ("肉", "にく", "мясо", True),
    ("野菜", "やさい", "овощи", True),
    ("卵", "たまご", "яйцо", True),
    ("牛乳", "ぎゅうにゅう", "молоко", True),
    ("", "パン", "хлеб", True),
    ("", "コーヒー", "кофе", True),
    # Everyday things
    ("本", "ほん", "книга", True),
    ("手紙", "てがみ", "письмо", True),
    ("電話", "でんわ", "телефон", True),
    ("", "テレビ", "телевизор", True),
    ("仕事", "しごと", "работа", True),
    ("日本語", "にほんご", "японский язык", True),
    # Greetings and expressions
    ("", "おはよう", "доброе утро", True),
    ("", "こんにちは", "здравствуйте; добрый день", True),
    ("", "さようなら", "до свидания", True),
    ("", "おやすみなさい", "спокойной ночи", True),
    ("", "ありがとう", "спасибо", True),
    ("", "すみません", "извините; простите", True),
    # Verbs
    ("見る", "みる", "смотреть; видеть", True),
    ("食べる", "たべる", "есть; кушать", True),
    ("飲む", "のむ", "пить", True),
    ("行く", "いく", "идти; ехать", True),
    ("来る", "くる", "приходить; приезжать", True),
    ("帰る", "かえる", "возвращаться", True),
    ("書く", "かく", "писать", True),
    ("読む", "よむ", "читать", True),
    ("聞く", "きく", "слушать; слышать; спрашивать", True),
    ("話す", "はなす", "говорить; разговаривать", True),
    ("買う", "かう", "покупать", True),
    ("寝る", "ねる", "спать; ложиться спать", True),
    ("起きる", "おきる", "вставать; просыпаться", True),
    ("分かる", "わかる", "понимать", True),
    ("待つ", "まつ", "ждать", True),
    ("会う", "あう", "встречаться; видеться", True),
    # Adjectives
    ("大きい", "おおきい", "большой", True),
    ("小さい", "ちいさい", "маленький", True),
    ("新しい", "あたらしい", "новый", True),
    ("古い", "ふるい", "старый", True),
    ("高い", "たかい", "высокий; дорогой", True),
    ("安い", "やすい", "дешёвый", True),
    ("寒い", "さむい", "холодный", True),
    ("楽しい", "たのしい", "весёлый; приятный", True),
    ("忙しい", "いそがしい", "занятой", False),
    ("白い", "しろい", "белый", True),
    ("黒い", "くろい", "чёрный", True),
    ("青い", "あおい", "синий; голубой", True),
]

FORBIDDEN = ("=", "\uff1d", "\r", "\n", "\u2028", "\u2029")


def is_kanji(ch):
    return "\u4e00" <= ch <= "\u9fff" or ch == "\u3005"  # 々


def is_hiragana(ch):
    return "\u3041" <= ch <= "\u3096"


def is_katakana(ch):
    return "\u30a1" <= ch <= "\u30fa" or ch == "\u30fc"  # ー


def fail(message):
    sys.exit("make_sample_deck: " + message)


def validate_words():
    """Reject table entries that would make a malformed or misleading deck."""
    seen = set()
    for kanji, kana, translation, _active in WORDS:
        label = kanji or kana
        for field in (kanji, kana, translation):
            if any(bad in field for bad in FORBIDDEN):
                fail(f"{label}: field contains a separator or line break")
            if field != field.strip():
                fail(f"{label}: field has surrounding blanks")
        if not kana or not all(is_hiragana(c) or is_katakana(c) for c in kana):
            fail(f"{label}: reading must be written in kana only")
        # Kanji field: starts with a kanji; kana only as trailing okurigana.
        if kanji:
            stem = kanji.rstrip("".join(c for c in kanji if is_hiragana(c)))
            if not stem or not all(is_kanji(c) for c in stem):
                fail(f"{label}: kanji field must be kanji plus okurigana")
        alternatives = translation.split("; ")
        if any(not alt or alt != alt.strip() or ";" in alt for alt in alternatives):
            fail(f"{label}: alternatives must be separated by '; '")
        if len(set(alternatives)) != len(alternatives):
            fail(f"{label}: repeated alternative in translation")
        key = (kanji, kana)
        if key in seen:
            fail(f"{label}: duplicate word")
        seen.add(key)

    if len(WORDS) != WORD_COUNT:
        fail(f"expected {WORD_COUNT} words, table has {len(WORDS)}")
    inactive = sum(1 for w in WORDS if not w[3])
    if inactive != INACTIVE_COUNT:
        fail(f"expected {INACTIVE_COUNT} inactive words, table has {inactive}")
    if sum(1 for w in WORDS if not w[0]) < MIN_KANA_ONLY:
        fail(f"expected at least {MIN_KANA_ONLY} words without kanji")


def render():
    lines = [POSITION_LINE]
    for kanji, kana, translation, active in WORDS:
        line = f"{kanji}={kana}={translation}=0=0"
        lines.append(line if active else "#" + line)
    text = "".join(line + EOL for line in lines)
    return BOM + text.encode("utf-16-le")


def check(path):
    """Decode the written deck and verify its layout; return decoded lines."""
    data = path.read_bytes()
    if not data.startswith(BOM):
        fail(f"{path}: missing FF FE byte-order mark")
    body = data[len(BOM):]
    if len(body) % 2:
        fail(f"{path}: odd number of bytes after the byte-order mark")
    text = body.decode("utf-16-le")
    if not text.endswith(EOL):
        fail(f"{path}: last line does not end with CR LF")
    lines = text[: -len(EOL)].split(EOL)
    if any("\r" in line or "\n" in line for line in lines):
        fail(f"{path}: stray CR or LF outside a CR LF line ending")
    if len(lines) != WORD_COUNT + 1:
        fail(f"{path}: expected {WORD_COUNT + 1} lines, found {len(lines)}")
    if lines[0] != POSITION_LINE:
        fail(f"{path}: first line is {lines[0]!r}, expected {POSITION_LINE!r}")
    inactive = 0
    for number, line in enumerate(lines[1:], start=2):
        entry = line
        if entry.startswith("#"):
            inactive += 1
            entry = entry[1:]
        fields = entry.split("=")
        if len(fields) != 5:
            fail(f"{path}:{number}: expected 5 fields, found {len(fields)}")
        if fields[3:] != ["0", "0"]:
            fail(f"{path}:{number}: misses and attempts must both be 0")
        if not fields[1] or not fields[2]:
            fail(f"{path}:{number}: empty reading or translation")
        if "\uff1d" in entry:
            fail(f"{path}:{number}: full-width '=' inside a field")
    if inactive != INACTIVE_COUNT:
        fail(f"{path}: expected {INACTIVE_COUNT} inactive words, found {inactive}")
    if data != render():
        fail(f"{path}: differs from what this script generates")
    return lines


def main(argv):
    if argv not in ([], ["--check"]):
        sys.exit(__doc__.split("\n\n")[1])
    validate_words()
    if argv == ["--check"]:
        lines = check(OUTPUT)
        print(f"{OUTPUT.relative_to(REPO_ROOT)}: OK, {len(lines)} lines, "
              f"{len(lines) - 1} words")
        return
    OUTPUT.parent.mkdir(parents=True, exist_ok=True)
    OUTPUT.write_bytes(render())
    print(f"wrote {OUTPUT.relative_to(REPO_ROOT)} ({len(WORDS)} words)")


if __name__ == "__main__":
    main(sys.argv[1:])
