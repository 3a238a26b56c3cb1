#pragma once

#include <QColor>

namespace platform {

// A toolkit colour value as a QColor: 0x00BBGGRR for a plain colour, 0xFF000000 plus an index for
// a system colour, taken from the application's palette.
QColor toQColor(qint32 value);

} // namespace platform
