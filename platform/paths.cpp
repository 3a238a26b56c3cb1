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

const QString kTableName = QStringLiteral("kanjivg-strokes.qz");
const QString kSampleName = QStringLiteral("sample.sb");

QString withDelimiter(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// <prefix>/share/sorabi for a program in <prefix>/bin, without a delimiter at the end.
QString installedDataFolder(const QString& programFolder) {
    return QDir::cleanPath(withDelimiter(programFolder) + QStringLiteral("../share/sorabi"));
}

// The user's cache of pictures made by the program: $XDG_CACHE_HOME/sorabi/pics (by default
// ~/.cache/sorabi/pics). May not exist yet.
QString pictureCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/sorabi/pics");
}

} // namespace

Layout Layout::forProgram(const QString& programFolder) {
    return QFileInfo(installedDataFolder(programFolder)).isDir() ? installedAt(programFolder)
                                                                 : portable(programFolder);
}

Layout Layout::portable(const QString& programFolder) {
    Layout l;
    l.installed = false;
    l.programFolder = withDelimiter(programFolder);
    l.settingsFile = l.programFolder + QStringLiteral("sorabi.ini");
    l.deckFolder = l.programFolder;
    l.pictureFolders = {l.programFolder + QStringLiteral("pics")};
    l.pictureCache = pictureCacheFolder();
    l.strokeTable = l.programFolder + kTableName;
    l.sampleDeck = l.programFolder + kSampleName;
    return l;
}

Layout Layout::installedAt(const QString& programFolder) {
    Layout l;
    l.installed = true;
    l.programFolder = withDelimiter(programFolder);
    const QString data = installedDataFolder(l.programFolder);
    l.settingsFile = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                     QStringLiteral("/sorabi/sorabi.ini");
    l.deckFolder =
        withDelimiter(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QStringLiteral("/sorabi"));
    l.pictureFolders = {data + QStringLiteral("/pics")};
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString pics = QDir::cleanPath(folder + QStringLiteral("/sorabi/pics"));
        if (!l.pictureFolders.contains(pics))
            l.pictureFolders << pics;
    }
    l.pictureCache = pictureCacheFolder();
    l.strokeTable = data + u'/' + kTableName;
    l.sampleDeck = data + u'/' + kSampleName;
    return l;
}

QString Layout::sampleDeckName() {
    return kSampleName;
}

} // namespace platform::paths
