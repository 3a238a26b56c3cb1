#include "app/model/trainermodel.h"

#include "app/model/deckcodec.h"
#include "platform/atomicfile.h"
#include "platform/errors.h"

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

DeckLoadResult TrainerModel::loadDeck(const QString& path) {
    DeckLoaded = false;
    WordCount = -1;
    CurrentPos = -1;
    if (path.isEmpty())
        return {DeckLoadResult::EmptyPath, 0};
    const QString file = resolveDeckPath(path);
    const QFileInfo info(file);
    if (!info.exists() || info.isDir())
        return {DeckLoadResult::Missing, 0};

    // The old words go before the read, so that a failed read leaves no deck behind.
    Dict = TDict();
    ActiveList.clear();
    ActiveCount = 0;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw platform::Error(
            QStringLiteral("Не удалось открыть файл %1: %2").arg(file, in.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        throw platform::Error(
            QStringLiteral("Не удалось прочитать файл %1: %2").arg(file, in.errorString()));

    deckcodec::ParseResult parsed = deckcodec::parse(bytes);
    if (!parsed.ok)
        return {DeckLoadResult::Malformed, parsed.entryCount};

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

bool TrainerModel::saveDeck(const QString& path) const {
    if (!DeckLoaded)
        return true;
    const QByteArray bytes = deckcodec::encode(Dict.Words, WordCount, CurrentPos);
    return platform::writeFileAtomically(resolveDeckPath(path), bytes);
}
