#include "app/firststart.h"
#include "app/umain.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "platform/singleinstance.h"
#include "platform/terminationsignals.h"
#include "platform/translations.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <cstdio>

namespace {

// Under Wayland a program may not place its own windows; the X11 backend lets the window sit at
// its remembered place.
void preferX11Backend() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The end of the desktop session arrives as the application's quit: the files are written without
// the exit question, which would hold up the logout.
class SessionEndFilter : public QObject {
public:
    explicit SessionEndFilter(TForm2& form) : m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit && !m_form.hasEnded()) {
            std::fputs("sorabi: the session ends; saving\n", stderr);
            m_form.endWithoutQuestion();
        }
        return false;
    }

private:
    TForm2& m_form;
};

} // namespace

int main(int argc, char* argv[]) {
    preferX11Backend();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorabi"));
    // The window may be hidden in the notification area while a dialog or message box closes:
    // only the main window's own close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    const platform::paths::Layout layout =
        platform::paths::Layout::forProgram(QApplication::applicationDirPath() + u'/');
    // A deck named on the command line, absolute: the running copy it may be handed to has
    // another current folder.
    QStringList args = QApplication::arguments();
    if (args.size() > 1 && !args.at(1).isEmpty())
        args[1] = QDir::current().absoluteFilePath(args.at(1));
    // One trainer per settings file: a second start brings the running one up (opening the deck
    // it was given) and ends.
    platform::SingleInstance instance(layout.settingsFile);
    switch (instance.start(args)) {
    case platform::SingleInstance::Role::First:
        break;
    case platform::SingleInstance::Role::HandedOver:
        return 0;
    case platform::SingleInstance::Role::Unreachable:
        std::fputs("sorabi: another copy is running but does not answer\n", stderr);
        return 1;
    }
    // Set up before the window exists, so that a signal during the start-up is not lost.
    platform::TerminationSignals terminations;

    platform::registerFontSubstitutions();
    platform::installToolkitTranslation(app);
    QString deckPath = args.size() > 1 ? args.at(1) : QString();
    if (deckPath.isEmpty())
        deckPath = firstStartDeck(layout);
    TForm2 form(layout, deckPath);
    QObject::connect(&form, &TForm2::FormClosed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(&instance, &platform::SingleInstance::started, &form, &TForm2::openHandedOver);
    QObject::connect(
        &terminations, &platform::TerminationSignals::received, &form, [&form](int signalNumber) {
            std::fprintf(stderr, "sorabi: ending on signal %d; saving\n", signalNumber);
            QCoreApplication::exit(form.endWithoutQuestion() ? 0 : 1);
        });
    // Some session managers ask only for the state to be saved before they end the session.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.commitSessionData(); });
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &form,
                     [&form](QSessionManager&) { form.commitSessionData(); });
    SessionEndFilter sessionEnd(form);
    app.installEventFilter(&sessionEnd);
    form.show();
    return QApplication::exec();
}
