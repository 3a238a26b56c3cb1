#include "widgets/spinedit.h"

#include <algorithm>

namespace {

bool isAllowed(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-';
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(1);
    setAccelerated(false);
    setWrapping(false);
    setKeyboardTracking(true);
}

int TSpinEdit::readValue(QStringView text, int minimum, int maximum) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return minimum;
    // Saturates far beyond any int bound, so a long run of digits still clamps to the bound.
    constexpr qint64 Limit = qint64(1) << 40;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return minimum;
        magnitude = std::min(magnitude * 10 + (c.unicode() - u'0'), Limit);
    }
    const qint64 value = negative ? -magnitude : magnitude;
    return int(std::clamp<qint64>(value, minimum, maximum));
}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
    if (!std::all_of(input.cbegin(), input.cend(), isAllowed))
        return QValidator::Invalid;
    const QString canonical = textFromValue(readValue(input, minimum(), maximum()));
    if (input != canonical) {
        input = canonical;
        pos = int(input.size());
    }
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString& input) const {
    input = textFromValue(readValue(input, minimum(), maximum()));
}

int TSpinEdit::valueFromText(const QString& text) const {
    return readValue(text, minimum(), maximum());
}

QString TSpinEdit::textFromValue(int value) const {
    return QString::number(value);
}
