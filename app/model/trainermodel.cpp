#include "app/model/trainermodel.h"

#include "app/model/deckcodec.h"
#include "platform/atomicfile.h"
#include "platform/errors.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace {

bool hasDirectoryPart(const QString& path) {
#ifdef Q_OS_WIN
    return path.contains(u'\\') || path.contains(u'/') || path.contains(u':');
#else
    return path.contains(u'/');
#endif
}

} // namespace

void TrainerModel::setIntervals(qint32 newCardMinutes, qint32 translationSeconds) {
    ShowNewCard = newCardMinutes;
    ShowTranslation = translationSeconds;
    // Kept in range for any stored number of minutes.
    CardCountdown = qint32(std::clamp<qint64>(qint64(ShowNewCard) * 60, 0, INT_MAX));
    AnswerCountdown = ShowTranslation;
}

void TrainerModel::rebuildActiveList() {
    ActiveList.clear();
    const qint32 n = std::min<qint32>(WordCount, qint32(Dict.Words.size()));
    for (qint32 i = 0; i < n; ++i)
        if (Dict.Words[size_t(i)].Active)
            ActiveList.push_back(i);
    ActiveCount = qint32(ActiveList.size());
}

QString TrainerModel::resolveDeckPath(const QString& path) const {
    return hasDirectoryPart(path) ? path : AppDir + path;
}

QString TrainerModel::dictionaryFileName() const {
#ifdef Q_OS_WIN
    const qsizetype cut = std::max({Dictionary.lastIndexOf(u'\\'), Dictionary.lastIndexOf(u'/'),
                                    Dictionary.lastIndexOf(u':')});
#else
    const qsizetype cut = Dictionary.lastIndexOf(u'/');
#endif
    return Dictionary.mid(cut + 1);
}

void TrainerModel::forgetDeckFile() {
    m_deckLock.unlock();
    m_deckFile.clear();
    m_deckStamp = {};
    m_deckBytes.clear();
    m_deckEncoding = deckcodec::TextEncoding::Utf16LE;
}

DeckLoadResult TrainerModel::loadDeck(const QString& path) {
    DeckLoaded = false;
    WordCount = -1;
    CurrentPos = -1;
    forgetDeckFile();
    if (path.isEmpty())
        return {DeckLoadResult::EmptyPath, 0};
    const QString file = resolveDeckPath(path);
    const QFileInfo info(file);
    if (!info.exists() || info.isDir())
        return {DeckLoadResult::Missing, 0};
    if (m_deckLock.lock(file) == platform::FileInUseLock::Result::InUse)
        return {DeckLoadResult::InUse, 0};

    // The old words go before the read, so that a failed read leaves no deck behind.
    Dict = TDict();
    ActiveList.clear();
    ActiveCount = 0;
    QFile in(file);
    // Stamped before the read: a change made while it runs shows as a change at the next save.
    const platform::FileStamp stamp = platform::fileStamp(file);
    if (!in.open(QIODevice::ReadOnly)) {
        m_deckLock.unlock();
        throw platform::Error(
            QStringLiteral("Не удалось открыть файл %1: %2").arg(file, in.errorString()));
    }
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        m_deckLock.unlock();
        throw platform::Error(
            QStringLiteral("Не удалось прочитать файл %1: %2").arg(file, in.errorString()));
    }

    deckcodec::ParseResult parsed = deckcodec::parse(bytes);
    if (!parsed.ok) {
        m_deckLock.unlock();
        return {DeckLoadResult::Malformed, parsed.entryCount};
    }
    m_deckFile = file;
    m_deckStamp = stamp;
    m_deckEncoding = parsed.encoding;
    m_deckBytes = std::move(bytes);

    Dict = std::move(parsed.dict);
    CurrentPos = parsed.position;
    WordCount = qint32(Dict.Words.size());
    rebuildActiveList();
    if (CurrentPos < 0 || CurrentPos >= ActiveCount)
        CurrentPos = 0;
    DeckLoaded = true;
    return {DeckLoadResult::Loaded, parsed.entryCount};
}

QString TrainerModel::saveFailedText(const QString& path) {
    return QStringLiteral("Не удалось сохранить файл ") + path + u'!';
}

QString TrainerModel::inUseText(const QString& path) {
    return QStringLiteral("Файл ") + path + QStringLiteral(" уже открыт другой копией программы!");
}

bool TrainerModel::keepCopy(const QString& file, QString* error) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    const QByteArray original = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *error = in.errorString();
        return false;
    }
    const QString backup = backupFile(file);
    QString reason;
    if (!platform::writeFileAtomically(backup, original, &reason)) {
        *error = backup + QStringLiteral(": ") + reason;
        return false;
    }
    return true;
}

DeckSaveResult TrainerModel::saveDeck(const QString& path) {
    DeckSaveResult result;
    if (!DeckLoaded)
        return result;
    const QString file = resolveDeckPath(path);
    const QByteArray bytes = deckcodec::encode(Dict.Words, WordCount, CurrentPos);
    const bool own = !m_deckFile.isEmpty() &&
                     platform::paths::canonical(file) == platform::paths::canonical(m_deckFile);
    if (own) {
        const platform::FileStamp now = platform::fileStamp(file);
        const bool changedElsewhere = now.exists && now != m_deckStamp;
        if (!changedElsewhere && now.exists && bytes == m_deckBytes)
            return result; // the file already holds these bytes
        // The original is never replaced without a copy: a failed copy fails the save.
        if (now.exists &&
            (changedElsewhere || m_deckEncoding != deckcodec::TextEncoding::Utf16LE)) {
            if (!keepCopy(file, &result.error)) {
                result.ok = false;
                return result;
            }
            if (changedElsewhere)
                result.keptCopy = backupFile(file);
        }
    }
    if (!platform::writeFileAtomically(file, bytes, &result.error)) {
        result.ok = false;
        return result;
    }
    if (own) {
        m_deckStamp = platform::fileStamp(file);
        m_deckEncoding = deckcodec::TextEncoding::Utf16LE;
        m_deckBytes = bytes;
    }
    return result;
}
