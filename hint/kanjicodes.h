#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

// The table from a kanji to its two-byte Shift_JIS code, which names the kanji's stroke-order
// picture. One line per kanji, "0x4E9C=0x889F": the name (before the first "=") is the kanji's
// UTF-16 code unit, the value (after it) the Shift_JIS code, lead byte first. The program carries
// the table of the JIS X 0208 kanji as the resource ":/RCDATA_0"; tools/make_kanji_table.py
// writes it.
class KanjiCodes {
public:
    KanjiCodes() = default;
    // Splits data into lines at CR LF, at a lone CR and at a lone LF. The last line needs no line
    // end, and a line end at the very end of data starts no further line.
    explicit KanjiCodes(const QByteArray& data);

    // The table compiled into the program, read from the resource on first use. Throws
    // platform::Error when the resource is missing (its library was not initialised).
    static const KanjiCodes& builtIn();

    const QByteArrayList& lines() const { return m_lines; }
    // The kanji of the table (the units their names stand for), in the table's order; lines
    // whose name is not a unit are left out.
    std::vector<char16_t> units() const;

    // The value of the first line whose name equals name, letters compared without regard to case
    // ("0x4e9c" finds the line of "0x4E9C"); empty when no line matches. Lines without "=" have no
    // name and never match.
    QString LookupCode(QStringView name) const;

    // The Shift_JIS code of one UTF-16 code unit: the lookup of its key, read by codeOfValue.
    // Empty for a unit that is not a kanji of the table (kana, Latin, a surrogate half).
    std::optional<quint16> codeOf(char16_t unit) const;

    // The key of a code unit: "0x" and the unit as four upper-case hexadecimal digits ("0x4E9C").
    static QString keyOf(char16_t unit);
    // The code in a value: the text after its first two characters (the "0x") read as a
    // hexadecimal number. Empty when that text is not made of hexadecimal digits or the number
    // does not fit in 16 bits, so a damaged value never names a file.
    static std::optional<quint16> codeOfValue(QStringView value);
    // The picture file of a code: four upper-case hexadecimal digits and ".gif" ("889F.gif").
    static QString pictureFileName(quint16 code);

private:
    QByteArrayList m_lines;
};
