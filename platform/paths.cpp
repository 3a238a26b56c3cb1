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

} // namespace platform::paths
