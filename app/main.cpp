#include "app/umain.h"
#include "platform/fonts.h"

#include <QApplication>

namespace {

// Under Wayland a program may not place its own windows; the X11 backend lets the window sit at
// its remembered place.
void preferX11Backend() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace

int main(int argc, char* argv[]) {
    preferX11Backend();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorabi"));
    // The window may be hidden in the notification area while a dialog or message box closes:
    // only the main window's own close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::registerFontSubstitutions();

    const QStringList args = QApplication::arguments();
    const QString deckPath = args.size() > 1 ? args.at(1) : QString();
    TForm2 form(QApplication::applicationDirPath() + u'/', deckPath);
    QObject::connect(&form, &TForm2::FormClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.show();
    return QApplication::exec();
}
