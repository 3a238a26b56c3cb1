#include "app/firststart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString firstStartDeck(const platform::paths::Layout& layout) {
    if (!layout.installed || QFileInfo::exists(layout.settingsFile))
        return QString();
    const QString copy = layout.deckFolder + platform::paths::Layout::sampleDeckName();
    if (QFileInfo::exists(copy))
        return copy;
    if (!QDir().mkpath(layout.deckFolder) || !QFile::copy(layout.sampleDeck, copy))
        return QString();
    // The installed file is read-only; the user's copy takes the counts.
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::ReadOther);
    return copy;
}
