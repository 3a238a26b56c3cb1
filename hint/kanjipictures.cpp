#include "hint/kanjipictures.h"

#include "hint/kanjicodes.h"
#include "platform/paths.h"
#include "strokes/renderer.h"
#include "strokes/stroketable.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

KanjiPictures::KanjiPictures(QStringList folders, QString cacheFolder,
                             const strokes::StrokeTable* table)
    : m_folders(std::move(folders)), m_cacheFolder(std::move(cacheFolder)), m_table(table) {}

KanjiPictures KanjiPictures::of(const platform::paths::Layout& layout) {
    const strokes::StrokeTable* table = QFileInfo::exists(layout.strokeTable)
                                            ? strokes::StrokeTable::shared(layout.strokeTable)
                                            : nullptr;
    return KanjiPictures(layout.pictureFolders, layout.pictureCache, table);
}

bool KanjiPictures::available() const {
    if (m_table)
        return true;
    for (const QString& folder : m_folders)
        if (QFileInfo(folder).isDir())
            return true;
    return false;
}

KanjiPictures::Picture KanjiPictures::pictureOf(char16_t unit, quint16 code) const {
    const QString name = KanjiCodes::pictureFileName(code);
    for (const QString& folder : m_folders) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isFile())
            return {path, {}, false};
    }
    if (!m_cacheFolder.isEmpty()) {
        const QFileInfo cached(m_cacheFolder + u'/' + name);
        if (cached.isFile() && cached.size() > 0)
            return {cached.filePath(), {}, true};
    }
    return remake(unit, code);
}

KanjiPictures::Picture KanjiPictures::remake(char16_t unit, quint16 code) const {
    if (!m_table || !m_table->contains(unit))
        return {};
    const QByteArray gif = strokes::makePicture(m_table->strokesOf(unit));
    if (gif.isEmpty())
        return {};
    // A cache needs no sync to disk: a copy lost in a crash is simply drawn again.
    if (!m_cacheFolder.isEmpty() && QDir().mkpath(m_cacheFolder)) {
        const QString path = m_cacheFolder + u'/' + KanjiCodes::pictureFileName(code);
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size() && file.commit())
            return {path, {}, true};
    }
    return {{}, gif, false};
}
