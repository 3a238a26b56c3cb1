#include "hint/kanjicodes.h"

#include "platform/errors.h"
#include "platform/hexdigit.h"

#include <QFile>

namespace {

constexpr char kSeparator = '=';

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// Whether the 8-bit name equals key, ASCII letters compared without regard to case. A key unit
// beyond ASCII matches nothing: the names are ASCII.
bool sameName(QByteArrayView name, QStringView key) {
    if (name.size() != key.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t k = key[i].unicode();
        if (k > 0x7F || asciiLower(char16_t(uchar(name[i]))) != asciiLower(k))
            return false;
    }
    return true;
}

QString fourHexDigits(quint16 n) {
    return QString::number(n, 16).rightJustified(4, QLatin1Char('0')).toUpper();
}

KanjiCodes loadResource() {
    QFile file(QStringLiteral(":/RCDATA_0"));
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Error(QStringLiteral("Resource RCDATA_0 not found"));
    return KanjiCodes(file.readAll());
}

} // namespace

KanjiCodes::KanjiCodes(const QByteArray& data) {
    const qsizetype size = data.size();
    qsizetype start = 0;
    while (start < size) {
        qsizetype end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        m_lines.append(data.mid(start, end - start));
        if (end < size && data[end] == '\r')
            ++end;
        if (end < size && data[end] == '\n')
            ++end;
        start = end;
    }
}

const KanjiCodes& KanjiCodes::builtIn() {
    static const KanjiCodes table = loadResource();
    return table;
}

std::vector<char16_t> KanjiCodes::units() const {
    std::vector<char16_t> result;
    result.reserve(size_t(m_lines.size()));
    for (const QByteArray& line : m_lines) {
        const qsizetype eq = line.indexOf('=');
        // A name has the form of a value: "0x" and hexadecimal digits.
        if (eq > 0)
            if (const auto unit = codeOfValue(QString::fromLatin1(line.first(eq))))
                result.push_back(char16_t(*unit));
    }
    return result;
}

QString KanjiCodes::LookupCode(QStringView name) const {
    for (const QByteArray& line : m_lines) {
        const qsizetype separator = line.indexOf(kSeparator);
        if (separator >= 0 && sameName(QByteArrayView(line).first(separator), name))
            return QString::fromLatin1(QByteArrayView(line).sliced(separator + 1));
    }
    return {};
}

std::optional<quint16> KanjiCodes::codeOf(char16_t unit) const {
    const QString value = LookupCode(keyOf(unit));
    if (value.isEmpty())
        return std::nullopt;
    return codeOfValue(value);
}

QString KanjiCodes::keyOf(char16_t unit) {
    return QStringLiteral("0x") + fourHexDigits(unit);
}

std::optional<quint16> KanjiCodes::codeOfValue(QStringView value) {
    if (value.size() <= 2)
        return std::nullopt;
    uint code = 0;
    for (const QChar c : value.sliced(2)) {
        const int digit = platform::hexDigit(c.unicode());
        if (digit < 0)
            return std::nullopt;
        code = code * 16 + uint(digit);
        if (code > 0xFFFF)
            return std::nullopt;
    }
    return quint16(code);
}

QString KanjiCodes::pictureFileName(quint16 code) {
    return fourHexDigits(code) + QStringLiteral(".gif");
}
