#include "platform/inistore.h"

#include "platform/atomicfile.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/hexdigit.h"

#include <QFile>
#include <QStringDecoder>

namespace platform {

namespace {

QString defaultNewline() {
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s) {
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// The section name of a header line "[name]", or a null view when the line is not a header.
QStringView headerName(QStringView line) {
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.front() != u'[')
        return {};
    const qsizetype close = t.indexOf(u']');
    const QStringView name = close < 0 ? t.mid(1) : t.mid(1, close - 1);
    return name.isNull() ? QStringView(u"") : trimBlanks(name);
}

// The key of a line "key=value", or a null view for anything else (comments, stray text).
QStringView lineKey(QStringView line) {
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.front() == u';' || t.front() == u'[')
        return {};
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0)
        return {};
    return trimBlanks(t.left(eq));
}

} // namespace

IniStore::IniStore() : m_newline(defaultNewline()) {}

IniStore::IniStore(QString path) : m_path(std::move(path)) {
    QFile file(m_path);
    m_existed = file.open(QIODevice::ReadOnly);
    if (m_existed)
        m_read = file.readAll();
    parse(m_read);
}

bool IniStore::differsFromFile() const {
    return !m_existed || toBytes() != m_read;
}

IniStore IniStore::fromBytes(const QByteArray& bytes) {
    IniStore store;
    store.parse(bytes);
    return store;
}

void IniStore::parse(const QByteArray& bytes) {
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8Bom;
        text = QString::fromUtf8(QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        m_encoding = Encoding::Utf16LE;
        QStringDecoder utf16(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        text = utf16.decode(QByteArrayView(bytes).sliced(2));
    } else {
        m_encoding = Encoding::EightBit;
        text = decode8Bit(bytes);
    }
    m_newline = text.contains(u"\r\n") ? QStringLiteral("\r\n") : defaultNewline();
    // CR LF, LF and a lone CR all end a line: a CR kept inside a line would turn into a different
    // line end when the file is written back.
    m_lines.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        m_lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    // A line end at the very end of the file does not start another line.
    if (start < text.size())
        m_lines.append(text.mid(start));
}

int IniStore::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i) {
        const QStringView name = headerName(m_lines[i]);
        if (!name.isNull() && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int IniStore::sectionEnd(int header) const {
    int i = header + 1;
    while (i < m_lines.size() && headerName(m_lines[i]).isNull())
        ++i;
    return i;
}

int IniStore::findKey(int header, const QString& key) const {
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QStringView k = lineKey(m_lines[i]);
        if (!k.isNull() && k.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString IniStore::rawValue(const QString& section, const QString& key) const {
    const int header = findSection(section);
    if (header < 0)
        return {};
    const int line = findKey(header, key);
    if (line < 0)
        return {};
    const QStringView t = trimBlanks(m_lines[line]);
    QStringView value = trimBlanks(t.mid(t.indexOf(u'=') + 1));
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value.isNull() ? QStringLiteral("") : value.toString();
}

QString IniStore::readString(const QString& section, const QString& key, const QString& def) const {
    const QString value = rawValue(section, key);
    if (value.isNull())
        return def;
    return value.left(kMaxStringLength);
}

bool IniStore::parseInteger(QStringView text, int* value) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    qint64 magnitude = 0;
    if (text.startsWith(u'$') || text.startsWith(u"0x", Qt::CaseInsensitive)) {
        // Hexadecimal covers all 32 bits, so colour values such as 0xFF00000F read back.
        text = text.mid(text.front() == u'$' ? 1 : 2);
        if (text.isEmpty())
            return false;
        for (const QChar c : text) {
            const int d = platform::hexDigit(c.unicode());
            if (d < 0)
                return false;
            magnitude = magnitude * 16 + d;
            if (magnitude > 0xFFFFFFFFLL)
                return false;
        }
        const auto bits = static_cast<quint32>(magnitude);
        *value = static_cast<int>(negative ? 0u - bits : bits);
        return true;
    }
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > 0x80000000LL)
            return false;
    }
    if (negative)
        magnitude = -magnitude;
    if (magnitude > 0x7FFFFFFFLL)
        return false;
    *value = static_cast<int>(magnitude);
    return true;
}

int IniStore::readInteger(const QString& section, const QString& key, int def) const {
    const QString value = rawValue(section, key);
    int result = 0;
    if (value.isNull() || !parseInteger(value, &result))
        return def;
    return result;
}

bool IniStore::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void IniStore::writeString(const QString& section, const QString& key, const QString& value) {
    const QString line = key + u'=' + value;
    int header = findSection(section);
    if (header < 0) {
        m_lines.append(u'[' + section + u']');
        m_lines.append(line);
        return;
    }
    const int existing = findKey(header, key);
    if (existing >= 0) {
        m_lines[existing] = line;
        return;
    }
    // After the last non-empty line of the section, so blank lines before the next header stay.
    int insert = sectionEnd(header);
    while (insert > header + 1 && trimBlanks(m_lines[insert - 1]).isEmpty())
        --insert;
    m_lines.insert(insert, line);
}

void IniStore::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniStore::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniStore::toBytes() const {
    QString text;
    for (const QString& line : m_lines) {
        text += line;
        text += m_newline;
    }
    switch (m_encoding) {
    case Encoding::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Encoding::Utf16LE: {
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE") + QByteArray(utf16.encode(text));
    }
    case Encoding::EightBit:
        break;
    }
    return encode8Bit(text);
}

void IniStore::save() const {
    if (!writeFileAtomically(m_path, toBytes()))
        throw Error(QStringLiteral("Unable to write to %1").arg(m_path));
}

} // namespace platform
