#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace strokes {

// The stroke table: for each kanji its strokes in writing order, each as SVG path data in a box of
// 109 x 109 units. Text, UTF-8, LF line ends; lines starting with "#" are comments; every other
// line is a code point in hexadecimal, then each stroke's path data, all separated by tabs. The
// file on disk holds that text compressed as qUncompress reads it (tools/make_stroke_table.py
// writes it).
class StrokeTable {
public:
    // The table's text: a line without a valid code point or without strokes, a code point
    // given twice or an empty stroke is an error naming the line.
    static std::optional<StrokeTable> fromText(QByteArray text, QString* error = nullptr);
    // The compressed file's bytes.
    static std::optional<StrokeTable> fromPacked(const QByteArray& packed,
                                                 QString* error = nullptr);
    static std::optional<StrokeTable> load(const QString& path, QString* error = nullptr);

    // The table of the file at path, loaded on the first call for that path and kept for the
    // program's run, as is a failure to read it. Null when it cannot be read (the reason goes to
    // error). Safe to call from several threads.
    static const StrokeTable* shared(const QString& path, QString* error = nullptr);

    bool contains(char32_t codePoint) const { return m_index.contains(codePoint); }
    // The strokes of a kanji in order (views into the table); empty when it has none.
    QList<QByteArrayView> strokesOf(char32_t codePoint) const;
    qsizetype size() const { return m_index.size(); }
    QList<char32_t> codePoints() const;

private:
    struct Span {
        qsizetype begin;
        qsizetype end;
    };
    QByteArray m_text;
    QHash<char32_t, Span> m_index;
};

} // namespace strokes
