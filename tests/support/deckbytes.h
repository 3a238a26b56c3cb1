#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Deck file bytes for tests, in each of the encodings a deck may come in.
namespace deckbytes {

inline QByteArray utf16(const QString& text, bool bigEndian, bool bom = true) {
    QByteArray out;
    if (bom)
        out += bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        uchar b[2];
        if (bigEndian)
            qToBigEndian<quint16>(c.unicode(), b);
        else
            qToLittleEndian<quint16>(c.unicode(), b);
        out.append(reinterpret_cast<const char*>(b), 2);
    }
    return out;
}
inline QByteArray le(const QString& text) {
    return utf16(text, false);
}
inline QByteArray be(const QString& text) {
    return utf16(text, true);
}
inline QByteArray utf8Bom(const QString& text) {
    return "\xEF\xBB\xBF" + text.toUtf8();
}

// The lines joined with CR LF, the last one included.
inline QString crlf(std::initializer_list<const char*> lines) {
    QString text;
    for (const char* line : lines)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

} // namespace deckbytes
