#include "platform/paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform::paths {

QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
}

QString runtimeFolder() {
    // The toolkit makes the folder (mode 0700) when the session gives none.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder;
}

QString runtimeFile(const QString& prefix, const QString& key, const QString& suffix) {
    const QByteArray digest =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(20);
    return runtimeFolder() + u'/' + prefix + QString::fromLatin1(digest) + suffix;
}

namespace {
QString installedDataFolder(const QString& appDir) {
    return QDir::cleanPath(appDir + QStringLiteral("../share/sorabi"));
}
} // namespace

QStringList pictureFolders(const QString& appDir) {
    return {appDir + QStringLiteral("pics"), installedDataFolder(appDir) + QStringLiteral("/pics")};
}

QString pictureCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/sorabi/pics");
}

QString strokeTableFile(const QString& appDir) {
    static const QString name = QStringLiteral("kanjivg-strokes.qz");
    const QString installed = installedDataFolder(appDir) + u'/' + name;
    if (!QFileInfo::exists(appDir + name) && QFileInfo::exists(installed))
        return installed;
    return appDir + name;
}

} // namespace platform::paths
