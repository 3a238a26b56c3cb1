#pragma once

#include "app/model/deck.h"

#include <QString>
#include <functional>

// Which field of a word goes on which card label, and how a field breaks into display lines.
namespace cardtext {

// The kinds of the two main labels for a word; words without kanji let the kana stand in.
struct MainKinds {
    TWordKind top;
    TWordKind second;
};
MainKinds mainKinds(bool hasKanji, quint8 topWordStyle, quint8 bottomWordStyle);

// The text a label of kind shows; on a new card (hide) only the top kind's field is shown, and
// the kana when the top kind is kanji and the word has none.
QString fieldText(const TDictRec& word, TWordKind kind, bool hide, quint8 topWordStyle);

struct Broken {
    QString text; // the separators that became breaks replaced by CR
    int lines = 0;
};

// Breaks text at ";" and "；" while fewer than five lines are used, counting the lines that
// segments wider than the label wrap into. width measures a segment in the label's font.
Broken breakLines(const QString& text, int labelWidth,
                  const std::function<int(QStringView)>& width);

} // namespace cardtext
