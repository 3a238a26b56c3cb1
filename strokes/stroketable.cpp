#include "strokes/stroketable.h"

#include "platform/hexdigit.h"

#include <QFile>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace strokes {

namespace {

// The packed table is about 2.5 MB and its text about 6.5 MB; a file that claims far more is
// damaged, and is not unpacked into memory.
constexpr qsizetype kMaxPacked = 64 * 1024 * 1024;
constexpr quint32 kMaxText = 256 * 1024 * 1024;

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

std::optional<char32_t> hexCodePoint(QByteArrayView text) {
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    char32_t value = 0;
    for (const char c : text) {
        const int digit = platform::hexDigit(char16_t(uchar(c)));
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + char32_t(digit);
    }
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<StrokeTable> StrokeTable::fromText(QByteArray text, QString* error) {
    StrokeTable table;
    table.m_text = std::move(text);
    const QByteArray& t = table.m_text;
    qsizetype pos = 0;
    int lineNo = 0;
    while (pos < t.size()) {
        ++lineNo;
        qsizetype end = t.indexOf('\n', pos);
        if (end < 0)
            end = t.size();
        const QByteArrayView line(t.constData() + pos, end - pos);
        const qsizetype lineStart = pos;
        pos = end + 1;
        if (line.isEmpty() || line.front() == '#')
            continue;
        const qsizetype tab = line.indexOf('\t');
        const auto code = hexCodePoint(tab < 0 ? line : line.first(tab));
        auto fail = [&](const QString& what) {
            setError(error, QStringLiteral("stroke table, line %1: %2").arg(lineNo).arg(what));
            return std::nullopt;
        };
        if (!code)
            return fail(QStringLiteral("no code point"));
        if (tab < 0 || tab + 1 == line.size())
            return fail(QStringLiteral("no strokes"));
        if (line.contains("\t\t") || line.back() == '\t')
            return fail(QStringLiteral("an empty stroke"));
        if (table.m_index.contains(*code))
            return fail(QStringLiteral("the code point is given twice"));
        table.m_index.insert(*code, Span{lineStart + tab + 1, end});
    }
    if (table.m_index.isEmpty()) {
        setError(error, QStringLiteral("stroke table: no kanji"));
        return std::nullopt;
    }
    return table;
}

std::optional<StrokeTable> StrokeTable::fromPacked(const QByteArray& packed, QString* error) {
    if (packed.size() < 4 || packed.size() > kMaxPacked) {
        setError(error, QStringLiteral("stroke table: not a packed table"));
        return std::nullopt;
    }
    const auto* b = reinterpret_cast<const uchar*>(packed.constData());
    const quint32 length = quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
    if (length == 0 || length > kMaxText) {
        setError(error, QStringLiteral("stroke table: not a packed table"));
        return std::nullopt;
    }
    QByteArray text = qUncompress(packed);
    if (text.size() != qsizetype(length)) {
        setError(error, QStringLiteral("stroke table: the packed data is damaged"));
        return std::nullopt;
    }
    return fromText(std::move(text), error);
}

std::optional<StrokeTable> StrokeTable::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, path + QStringLiteral(": ") + file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxPacked) {
        setError(error, path + QStringLiteral(": not a packed table"));
        return std::nullopt;
    }
    QString why;
    auto table = fromPacked(file.readAll(), &why);
    if (!table)
        setError(error, path + QStringLiteral(": ") + why);
    return table;
}

const StrokeTable* StrokeTable::shared(const QString& path, QString* error) {
    struct Loaded {
        std::optional<StrokeTable> table;
        QString error;
    };
    // Tables are kept for the program's run, so the pointers handed out stay valid.
    static std::mutex lock;
    static std::map<QString, std::unique_ptr<Loaded>> loaded;
    const std::lock_guard guard(lock);
    auto& entry = loaded[path];
    if (!entry) {
        entry = std::make_unique<Loaded>();
        entry->table = load(path, &entry->error);
    }
    if (!entry->table)
        setError(error, entry->error);
    return entry->table ? &*entry->table : nullptr;
}

QList<QByteArrayView> StrokeTable::strokesOf(char32_t codePoint) const {
    QList<QByteArrayView> result;
    const auto it = m_index.constFind(codePoint);
    if (it == m_index.cend())
        return result;
    qsizetype pos = it->begin;
    while (pos <= it->end) {
        qsizetype tab = m_text.indexOf('\t', pos);
        if (tab < 0 || tab > it->end)
            tab = it->end;
        result.append(QByteArrayView(m_text.constData() + pos, tab - pos));
        pos = tab + 1;
    }
    return result;
}

QList<char32_t> StrokeTable::codePoints() const {
    QList<char32_t> codes = m_index.keys();
    std::sort(codes.begin(), codes.end());
    return codes;
}

} // namespace strokes
