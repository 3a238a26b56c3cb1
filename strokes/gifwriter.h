#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <vector>

namespace strokes {

// One frame of an animation: the rectangle it changes, that rectangle's colour indices (row by
// row), how long it stays in hundredths of a second, and the index that leaves the pixel below
// as it is (none when negative).
struct IndexedFrame {
    QRect rect;
    QByteArray indices;
    int delay = 0;
    int transparent = -1;
};

// Writes a looping GIF89a animation with one global palette (at most 256 colours) and a comment
// extension, through giflib. Each frame is drawn over the one before (no disposal). Returns the
// file's bytes, or an empty array with the reason in error.
QByteArray writeGif(QSize size, const QList<QRgb>& palette, const std::vector<IndexedFrame>& frames,
                    const QByteArray& comment, QString* error = nullptr);

} // namespace strokes
