#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// A toolkit colour value: red + 256 * green + 65536 * blue for a plain colour, or 0xFF000000 plus
// a system colour index. Stored unchanged in the settings.
using TColor = qint32;

// The three fields of a word, also the kinds shown on the card labels.
enum TWordKind : quint8 { wkKanji = 0, wkKana = 1, wkTranslation = 2 };
constexpr int kWordKindCount = 3;

inline bool isWordKind(int kind) {
    return kind >= wkKanji && kind <= wkTranslation;
}

// One word of the deck.
struct TDictRec {
    QString Kanji; // may be empty: a word without a kanji writing
    QString Kana;
    QString Translation; // alternatives separated by ";" or "；"
    qint32 Attempts = 0;
    qint32 Misses = 0;
    bool Active = true;

    friend bool operator==(const TDictRec&, const TDictRec&) = default;
};

// The loaded deck with the totals over all its words, active or not.
struct TDict {
    std::vector<TDictRec> Words;
    qint32 TotalAttempts = 0;
    qint32 TotalMisses = 0;
};

// Counts are 32-bit and wrap around like the stored file's integers; this keeps the addition
// defined when a count reaches the top of the range.
inline qint32 wrappingAdd(qint32 a, qint32 b) {
    return static_cast<qint32>(static_cast<quint32>(a) + static_cast<quint32>(b));
}
