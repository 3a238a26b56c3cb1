#include "app/model/deckcodec.h"

#include "platform/codepage.h"

#include <QtEndian>

namespace deckcodec {

namespace {

constexpr char16_t kFullwidthEquals = 0xFF1D;
constexpr char16_t kFullwidthAsterisk = 0xFF0A;
constexpr char16_t kFullwidthNumberSign = 0xFF03;

QString decodeUtf16(QByteArrayView bytes, bool bigEndian) {
    const qsizetype units = bytes.size() / 2; // an odd last byte is no character
    QString text(units, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const uchar* in = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype n = 0;
    for (; n < units; ++n) {
        const char16_t c = bigEndian ? qFromBigEndian<quint16>(in + 2 * n)
                                     : qFromLittleEndian<quint16>(in + 2 * n);
        if (c == 0)
            break;
        out[n] = c;
    }
    text.truncate(n);
    return text;
}

// Reads the entry line (leading blanks removed, fullwidth separators already replaced) into rec;
// false when the entry is malformed.
bool parseEntry(QStringView line, TDictRec& rec) {
    rec.Active = true;
    if (!line.isEmpty() && (line.front() == u'#' || line.front() == kFullwidthNumberSign)) {
        rec.Active = false;
        line = line.mid(1);
    }
    qsizetype eq = line.indexOf(u'=');
    rec.Kanji = trimBlanks(line.left(eq)).toString();
    QStringView rest = line.mid(eq + 1);

    eq = rest.indexOf(u'=');
    if (eq < 0)
        return false;
    rec.Kana = trimBlanks(rest.left(eq)).toString();
    rest = rest.mid(eq + 1);

    QStringView counts;
    eq = rest.indexOf(u'=');
    if (eq >= 0) {
        rec.Translation = trimBlanks(rest.left(eq)).toString();
        counts = rest.mid(eq + 1);
    } else {
        if (rest.size() < 2)
            return false;
        rec.Translation = trimBlanks(rest).toString();
    }

    if (counts.isEmpty()) {
        rec.Misses = 0;
        rec.Attempts = 0;
        return true;
    }
    eq = counts.indexOf(u'=');
    if (eq < 0 || !parseInt32(counts.left(eq), &rec.Misses))
        return false;
    QStringView attempts = counts.mid(eq + 1);
    if (attempts.isEmpty()) {
        rec.Attempts = 0;
        return true;
    }
    eq = attempts.indexOf(u'=');
    if (eq >= 0)
        attempts = attempts.left(eq);
    return parseInt32(attempts, &rec.Attempts);
}

void appendLine(QString& out, QStringView line) {
    out += line;
    out += u"\r\n";
}

} // namespace

TextEncoding detectEncoding(QByteArrayView bytes) {
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE)
        return TextEncoding::Utf16LE;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFE && uchar(bytes[1]) == 0xFF)
        return TextEncoding::Utf16BE;
    if (bytes.size() >= 3 && uchar(bytes[0]) == 0xEF && uchar(bytes[1]) == 0xBB &&
        uchar(bytes[2]) == 0xBF)
        return TextEncoding::Utf8;
    return TextEncoding::EightBit;
}

QString decodeText(QByteArrayView bytes) {
    QString text;
    switch (detectEncoding(bytes)) {
    case TextEncoding::Utf16LE:
        return decodeUtf16(bytes.sliced(2), false);
    case TextEncoding::Utf16BE:
        return decodeUtf16(bytes.sliced(2), true);
    case TextEncoding::Utf8:
        text = QString::fromUtf8(bytes.sliced(3));
        break;
    case TextEncoding::EightBit:
        text = platform::decode8Bit(bytes);
        break;
    }
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

QString cleanField(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool inRun = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
        if (control) {
            if (!inRun)
                out += u' ';
            inRun = true;
        } else {
            out += c;
            inRun = false;
        }
    }
    return trimBlanks(out).toString();
}

QStringView trimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 0x20)
        ++b;
    while (e > b && s[e - 1].unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

bool parseInt32(QStringView text, qint32* value) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return false;
    qint64 magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > 0x80000000LL)
            return false;
    }
    const qint64 v = negative ? -magnitude : magnitude;
    if (v > 0x7FFFFFFFLL)
        return false;
    *value = static_cast<qint32>(v);
    return true;
}

ParseResult parse(QByteArrayView bytes) {
    ParseResult result;
    result.encoding = detectEncoding(bytes);
    const QString text = decodeText(bytes);
    bool first = true;
    bool success = false;
    bool malformed = false;
    QString buffer; // a line with its fullwidth separators replaced
    forEachLine(text, [&](QStringView line) {
        if (malformed)
            return;
        if (first) {
            first = false;
            const QStringView t = trimBlanks(line);
            if (!t.isEmpty() && (t.front() == u'*' || t.front() == kFullwidthAsterisk)) {
                qint32 pos = 0;
                result.position = parseInt32(t.mid(1), &pos) ? pos : 0;
                return;
            }
        }
        if (line.isEmpty())
            return;
        success = false;
        if (line.contains(kFullwidthEquals)) {
            buffer = line.toString();
            buffer.replace(QChar(kFullwidthEquals), u'=');
            line = buffer;
        }
        if (!line.contains(u'='))
            return;
        ++result.entryCount;
        qsizetype lead = 0;
        while (lead < line.size() && line[lead].unicode() <= 0x20)
            ++lead;
        TDictRec& rec = result.dict.Words.emplace_back();
        if (!parseEntry(line.mid(lead), rec)) {
            malformed = true;
            return;
        }
        result.dict.TotalAttempts = wrappingAdd(result.dict.TotalAttempts, rec.Attempts);
        result.dict.TotalMisses = wrappingAdd(result.dict.TotalMisses, rec.Misses);
        success = true;
    });
    result.ok = success && !malformed;
    if (!result.ok)
        result.dict = TDict();
    return result;
}

QByteArray encode(const std::vector<TDictRec>& words, qsizetype wordCount, qint32 position) {
    QString text;
    qsizetype estimate = 16;
    for (qsizetype i = 0; i < wordCount; ++i) {
        const TDictRec& w = words[size_t(i)];
        estimate += w.Kanji.size() + w.Kana.size() + w.Translation.size() + 32;
    }
    text.reserve(estimate);
    text += u'*';
    text += QString::number(position);
    text += u"\r\n";
    for (qsizetype i = 0; i < wordCount; ++i) {
        const TDictRec& w = words[size_t(i)];
        if (!w.Active)
            text += u'#';
        text += w.Kanji;
        text += u'=';
        text += w.Kana;
        text += u'=';
        text += w.Translation;
        text += u'=';
        text += QString::number(w.Misses);
        text += u'=';
        appendLine(text, QString::number(w.Attempts));
    }
    QByteArray bytes(2 + text.size() * 2, Qt::Uninitialized);
    uchar* out = reinterpret_cast<uchar*>(bytes.data());
    out[0] = 0xFF;
    out[1] = 0xFE;
    qToLittleEndian<quint16>(text.utf16(), text.size(), out + 2);
    return bytes;
}

} // namespace deckcodec
