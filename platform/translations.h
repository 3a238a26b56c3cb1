#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

namespace platform {

// Loads the toolkit's own Russian translation (file dialogs, standard buttons, the edit fields'
// context menus) into the application, as the rest of the interface is Russian. Returns the
// translator (owned by app), or null when the translation is not installed: the toolkit's texts
// then stay English.
QTranslator* installToolkitTranslation(QCoreApplication& app);

} // namespace platform
