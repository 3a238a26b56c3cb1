#include "app/model/cardtext.h"

namespace cardtext {

MainKinds mainKinds(bool hasKanji, quint8 top, quint8 bottom) {
    const auto topKind = TWordKind(top);
    const auto bottomKind = TWordKind(bottom);
    if (hasKanji)
        return {topKind, bottomKind};
    if (topKind == wkKanji)
        return {wkKana, wkTranslation};
    if (bottomKind != wkKanji)
        return {topKind, bottomKind};
    return {topKind, topKind == wkTranslation ? wkKana : wkTranslation};
}

QString fieldText(const TDictRec& word, TWordKind kind, bool hide, quint8 top) {
    switch (kind) {
    case wkKanji:
        return hide && (top == wkKana || top == wkTranslation) ? QString() : word.Kanji;
    case wkKana:
        return hide && (top == wkTranslation || (top == wkKanji && !word.Kanji.isEmpty()))
                   ? QString()
                   : word.Kana;
    case wkTranslation:
        return hide && (top == wkKanji || top == wkKana) ? QString() : word.Translation;
    }
    return QString();
}

Broken breakLines(const QString& text, int labelWidth,
                  const std::function<int(QStringView)>& width) {
    Broken out{text, 1};
    const int w = labelWidth > 0 ? labelWidth : 1;
    QString segment;
    for (qsizetype i = 0; i < out.text.size(); ++i) {
        const QChar c = out.text[i];
        if (c != u';' && c != QChar(0xFF1B)) {
            segment += c;
            continue;
        }
        // The count of wrapped lines is kept in a byte.
        out.lines += (width(segment) / w) & 0xFF;
        if (out.lines < 5) {
            out.text[i] = u'\r';
            segment.clear();
            ++out.lines;
        }
    }
    out.lines += 1 + width(segment) / w;
    return out;
}

} // namespace cardtext
