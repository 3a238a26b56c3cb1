#include "platform/fonts.h"

#include "platform/frameplacement.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace platform {

QFont windowFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    return font;
}

void centreOnScreen(QWidget& window) {
    FramePlacement::of(window).placeCentred();
}

void registerFontSubstitutions() {
    const QStringList japanese = {QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho"),
                                  QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAGothic"),
                                  QStringLiteral("Noto Sans CJK JP")};
    QFont::removeSubstitutions(QStringLiteral("MS Mincho"));
    QFont::insertSubstitutions(QStringLiteral("MS Mincho"), japanese);
    // Liberation Sans is close to the stored font's width, so captions fit their fixed places.
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                              QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                              QStringLiteral("Noto Sans CJK JP")};
    QFont::removeSubstitutions(QStringLiteral("Tahoma"));
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
}

} // namespace platform
