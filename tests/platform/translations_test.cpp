#include "platform/translations.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>
#include <gtest/gtest.h>

// The toolkit's own texts (edit menus, file dialogs, standard buttons) come out in Russian.
TEST(ToolkitTranslation, TheToolkitSpeaksRussian) {
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_ru.qm")))
        GTEST_SKIP() << "qt6-translations-l10n is not installed (scripts/install-deps.sh adds it)";
    QTranslator* translator = platform::installToolkitTranslation(*qApp);
    ASSERT_NE(translator, nullptr);
    const std::pair<const char*, const char*> texts[] = {{"QLineEdit", "&Undo"},
                                                         {"QLineEdit", "Select All"},
                                                         {"QFileDialog", "File &name:"},
                                                         {"QPlatformTheme", "Cancel"}};
    for (const auto& [context, source] : texts) {
        const QString t = QCoreApplication::translate(context, source);
        EXPECT_NE(t, QString::fromLatin1(source)) << context << " " << source;
        // Cyrillic, not a copy of the English text.
        EXPECT_TRUE(std::any_of(t.begin(), t.end(), [](QChar c) {
            return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF;
        })) << t.toStdString();
    }
    // The other tests see the toolkit as it comes.
    QCoreApplication::removeTranslator(translator);
    delete translator;
}
