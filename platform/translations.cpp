#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

QTranslator* installToolkitTranslation(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // "qt_ru" gathers the translations of every installed toolkit module ("qtbase_ru" and more).
    if (!translator->load(QStringLiteral("qt_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace platform
