#pragma once

#include "app/model/deck.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The deck file format, as pure bytes <-> words conversions.
namespace deckcodec {

// How a deck file's text is stored, by its first bytes. The program writes UTF-16LE only.
enum class TextEncoding { Utf16LE, Utf16BE, Utf8, EightBit };
TextEncoding detectEncoding(QByteArrayView bytes);

// The text of a deck file: UTF-16LE after FF FE, UTF-16BE after FE FF, UTF-8 after EF BB BF, 8-bit
// text otherwise. A U+0000 character ends the text.
QString decodeText(QByteArrayView bytes);

// Calls onLine for every line of text. A line ends at LF, VT, FF, CR, U+2028 or U+2029; CR LF ends
// one line; a line end at the very end of the text starts no further line.
template <typename F> void forEachLine(QStringView text, F&& onLine) {
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= 0x0A && c <= 0x0D) || c == 0x2028 || c == 0x2029) {
            onLine(text.mid(start, i - start));
            if (c == 0x0D && i + 1 < size && text[i + 1].unicode() == 0x0A)
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        onLine(text.mid(start));
}

// A word field as the deck file can hold it on one line: every run of line ends (CR, LF, VT, FF,
// U+0085, U+2028, U+2029) and other control characters becomes one space, and the blanks at both
// ends go, as the reader would drop them.
QString cleanField(const QString& text);

// Blanks are the characters U+0000 to U+0020.
QStringView trimBlanks(QStringView s);

// An optionally signed decimal integer in the 32-bit range, after trimming blanks.
bool parseInt32(QStringView text, qint32* value);

struct ParseResult {
    bool ok = false;
    // Entry lines counted, the failing one included (the n of the error message).
    int entryCount = 0;
    // The position line's value, or -1 when the file has none.
    qint32 position = -1;
    TextEncoding encoding = TextEncoding::Utf16LE;
    TDict dict;
};

ParseResult parse(QByteArrayView bytes);

// The file as written: FF FE, the position line, then one entry line per word, CR LF after each.
QByteArray encode(const std::vector<TDictRec>& words, qsizetype wordCount, qint32 position);

} // namespace deckcodec
