#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace strokes {

// The look and pace of a stroke-order picture.
inline constexpr int kPictureSize = 150;    // pixels, square
inline constexpr int kFirstFrameDelay = 50; // hundredths of a second: the pale kanji alone
inline constexpr int kStepDelay = 5;        // each step of a stroke; the program plays no faster
inline constexpr int kFinalDelay = 150;     // the finished kanji, held
inline constexpr double kStepLength = 9.0;  // pixels of stroke drawn per step
inline constexpr int kMinStepsPerStroke = 2;
// Bounds for damaged data: a real stroke takes up to about 20 steps, a real kanji up to 30
// strokes.
inline constexpr int kMaxStepsPerStroke = 60;
inline constexpr int kMaxStrokes = 100;

// The attribution every picture carries in its comment extension.
QByteArray pictureComment();

// Draws the stroke-order animation of a kanji from its strokes' path data (in order, in the
// table's 109-unit box) and returns it as GIF bytes: first the whole kanji in a pale form, then
// each stroke drawn along its length in a dark colour with a red pen tip, then the finished
// kanji, held. Frames after the first store only the rectangle that changed. An empty result
// and the reason in error when a stroke's data cannot be read or there are more than
// kMaxStrokes.
QByteArray makePicture(const QList<QByteArrayView>& strokes, QString* error = nullptr);

} // namespace strokes
