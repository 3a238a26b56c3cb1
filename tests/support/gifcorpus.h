#pragma once

// The published GIF decoder test suite: gifs/<name>.gif with the expected full picture of every
// frame in gifs/frames/<name>-<n>.png (a single-frame file may have gifs/frames/<name>.png).

#include <QDir>
#include <QFileInfo>
#include <QString>

inline QString corpusFramePath(const QDir& gifs, const QString& gifName, int index,
                               int frameCount) {
    const QString base = QFileInfo(gifName).completeBaseName();
    const QString numbered = gifs.filePath(QStringLiteral("frames/%1-%2.png").arg(base).arg(index));
    if (frameCount == 1 && !QFileInfo::exists(numbered))
        return gifs.filePath(QStringLiteral("frames/%1.png").arg(base));
    return numbered;
}
