#include "app/umain.h"

#include <QApplication>
#include <QFont>

namespace {

// Under Wayland a program may not place its own windows; the X11 backend lets the window sit at
// its remembered place.
void preferX11Backend() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The stored font names come from Windows; map them to fonts a Linux desktop has, a Japanese-
// capable family first so that kanji and kana never show as boxes.
void registerFontSubstitutions() {
    const QStringList japanese = {QStringLiteral("IPAMincho"), QStringLiteral("IPAPMincho"),
                                  QStringLiteral("Noto Serif CJK JP"), QStringLiteral("IPAGothic"),
                                  QStringLiteral("Noto Sans CJK JP")};
    QFont::insertSubstitutions(QStringLiteral("MS Mincho"), japanese);
    QStringList sans = {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                        QStringLiteral("Noto Sans CJK JP")};
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), sans);
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11Backend();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorabi"));
    registerFontSubstitutions();

    const QStringList args = QApplication::arguments();
    const QString deckPath = args.size() > 1 ? args.at(1) : QString();
    TForm2 form(QApplication::applicationDirPath() + u'/', deckPath);
    form.show();
    return QApplication::exec();
}
