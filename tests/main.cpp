#include "platform/fonts.h"
#include "tests/support/scriptedanswerer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test executable runs with a QApplication on the offscreen platform (unless the environment
// chooses another), and with message boxes that fail the test unless a script expects them.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Sockets and lock files of the program go to a runtime folder of this run alone, so tests
    // running side by side never meet.
    QTemporaryDir runtime;
    if (runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    // Pictures drawn by the program are cached for this run alone, never in the user's cache.
    QTemporaryDir cache;
    if (cache.isValid())
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorabi"));
    platform::registerFontSubstitutions();
    ScriptedAnswerer::installFailingDefault();
    return RUN_ALL_TESTS();
}
