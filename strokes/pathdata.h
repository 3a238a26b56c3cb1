#pragma once

#include <QByteArrayView>
#include <QPainterPath>
#include <QString>

namespace strokes {

// The result of reading one stroke's path data: the path, or why it could not be read.
struct PathParse {
    QPainterPath path;
    QString error; // empty when the data was read
    bool ok() const { return error.isEmpty(); }
};

// Coordinates beyond this (in either direction) are refused: the data is drawn in a box of 109
// units, and a far-off point would only make a huge, slow drawing.
inline constexpr double kMaxCoordinate = 1000.0;

// Reads SVG path data made of the commands the stroke table uses: moveto (M, m) and cubic Bézier
// curves (C, c, S, s), with their implicit repetition for curves. Numbers may be separated by
// white space, one comma, or nothing where the next number's sign or point ends the previous one
// ("1-2", "0.5.5"). The first command must be a moveto. Any other command (lines, arcs,
// quadratics, closepath), a moveto followed by bare coordinates (an implicit line), a missing or
// malformed number, or a coordinate beyond kMaxCoordinate gives an error naming the offset.
// Reading is one pass over the data.
PathParse parsePath(QByteArrayView data);

} // namespace strokes
